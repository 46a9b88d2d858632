# The installed build, played from /: data beside itself, command line, desktop entry, man page, no-sound hint, pictures.
source "$(dirname "$0")/e2e_lib.sh"
BUILD=${E2E_BUILD_DIR:?E2E_BUILD_DIR names the build directory to install}
PREFIX="$WORK/prefix" REFERENCE=$(cd "$(dirname "$0")" && pwd)/reference
cmake --install "$BUILD" --prefix "$PREFIX" >"$WORK/install.log" 2>&1 || { cat "$WORK/install.log" >&2; fail "cmake --install failed"; }
GAME_BIN="$PREFIX/games/morvane" GAME_DIR=/
desktop-file-validate "$PREFIX/share/applications/morvane.desktop" || fail "the desktop entry does not validate"
for key in Exec=morvane Icon=morvane "Categories=Game;SportsGame;" StartupWMClass=morvane "Comment[hu]="; do
  grep -qF "$key" "$PREFIX/share/applications/morvane.desktop" || fail "the desktop entry lacks $key"
done

man_text=$(MANWIDTH=80 man -l "$PREFIX/share/man/man6/morvane.6.gz" 2>"$WORK/man.err" | col -b)
[ ! -s "$WORK/man.err" ] && grep -q "SDL_AUDIODRIVER=dummy morvane" <<<"$man_text" || fail "the man page: $(cat "$WORK/man.err")"
for section in NAME SYNOPSIS DESCRIPTION OPTIONS FILES CONTROLS "EXIT STATUS" ENVIRONMENT; do
  grep -q "^$section" <<<"$man_text" || fail "the man page has no $section section"
done
for size in 48 256; do
  icon=$(identify -format %wx%h "$PREFIX/share/icons/hicolor/${size}x${size}/apps/morvane.png")
  [ "$icon" = "${size}x${size}" ] || fail "the ${size}px icon is $icon"
done
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")
out=$(cd / && env -u DISPLAY "$GAME_BIN" --version) && [ "$out" = "morvane $version" ] || fail "--version: $out"
out=$(cd / && env -u DISPLAY "$GAME_BIN" --help) && grep -q "^Usage: morvane" <<<"$out" || fail "--help prints no usage"
code=0
(cd / && env -u DISPLAY "$GAME_BIN" --fullscreen >"$WORK/bad.out" 2>"$WORK/bad.err") || code=$?
[ "$code" -eq 2 ] && [ ! -s "$WORK/bad.out" ] && [ "$(head -n 1 "$WORK/bad.err")" = "morvane: unknown argument '--fullscreen'" ] ||
  fail "an unknown argument: exit code $code, stderr $(cat "$WORK/bad.err")"

SDL_AUDIODRIVER=nosuch start_game
click_control 40 228 50 14
poll no_sound_box 100 0.2 '[ "$(count "$s" 400x300+440+262 "15 - 15 - 15 -")" -gt 5000 ]' >/dev/null || fail "no message box about the sound device"
xdotool key Return
expect_exit "no sound device" 1
grep -q "^HANG:112: Wave mapper could not be opened!" "$WORK/game.out" || fail "no HANG line: $(cat "$WORK/game.out")"
grep -q "SDL_AUDIODRIVER=dummy morvane" "$WORK/game.out" || fail "no hint on stderr: $(cat "$WORK/game.out")"

start_game
[[ "$(xprop -id "$DLG" WM_CLASS)" == 'WM_CLASS(STRING) = "morvane",'* ]] || fail "the dialog's $(xprop -id "$DLG" WM_CLASS)"
accept_settings
[ "$(readlink "/proc/$GAME_PID/cwd")" = "$(readlink -f "$PREFIX/share/games/morvane")" ] || fail "the game works in $(readlink "/proc/$GAME_PID/cwd")"
[ "$(xdotool getwindowname "$GAME_WIN")" = Morvane ] || fail "the game window is titled $(xdotool getwindowname "$GAME_WIN")"
[ "$(xprop -id "$GAME_WIN" WM_CLASS)" = 'WM_CLASS(STRING) = "morvane", "morvane"' ] || fail "the game window's $(xprop -id "$GAME_WIN" WM_CLASS)"

# The start view and a view from z = 1500 match reference/ (copy the artefacts there for a change
# meant), player lines blacked out: who starts is drawn by lot.
check_picture() {
  convert "$1" -fill black -draw "rectangle 0,0 299,19" -draw "rectangle 1080,0 1279,19" -strip \
    -define png:compression-level=9 "$ARTEFACTS/$2.png"
  local n
  n=$(compare -metric AE -fuzz 2% "$ARTEFACTS/$2.png" "$REFERENCE/$2.png" "$ARTEFACTS/${2}_diff.png" 2>&1 || true)
  [ "$n" -le "${MORVANE_PICTURE_TOLERANCE:-50}" ] || fail "$2: $n pixels differ by more than 2% from the reference"
}
eye_z_outside() {  # outside, looking along -z: the near wall edges (y = +-500, z = 500) lie 886.8 * 500 / (z - 500) px off the middle
  local geo top height
  geo=$(convert "$1" -crop 200x920+540+56 +repage -colorspace gray -threshold 3% -bordercolor black -border 1 -format "%@" info: 2>/dev/null)
  case $geo in 0x*) echo 0; return ;; esac
  height=${geo#*x}; height=${height%%+*}
  top=${geo#*+*+}; top=$((top + 56 - 1))
  [ "$top" -gt 57 ] && [ $((top + height)) -lt 975 ] || { echo 0; return; }
  awk -v h="$height" 'BEGIN { print 10 * int(50 + 88680 / h + 0.5) }'  # to the flight's 10-unit step
}
sleep 1
check_picture "$(screenshot picture_start)" start_view
focus_game; hold KP_Begin 2
z=0
for _ in $(seq 80); do
  sleep 0.4
  z=$(eye_z_outside "$(peek)")
  if [ "$z" -eq 0 ]; then hold KP_Begin 1; continue; fi
  ticks=$(((1500 - z) / 10))  # keypad 5 moves the eye 10 along +z a tick
  echo "-- eye about z = $z" >&2
  [ "$ticks" -eq 0 ] && break
  key=KP_Begin; [ "$ticks" -lt 0 ] && { key=KP_Up; ticks=$((-ticks)); }
  if [ "$ticks" -le 2 ]; then xdotool keydown "$key" sleep 0.005 keyup "$key"
  else hold "$key" "$(awk -v n="$ticks" 'BEGIN { print n * 0.7 / 64 }')"; fi
done
[ "$z" -eq 1500 ] || fail "the camera did not reach z = 1500 (last read $z)"
sleep 0.5
check_picture "$(screenshot picture_far)" far_view
close_game
