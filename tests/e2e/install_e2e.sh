# The build installed into a temporary prefix and played from /: the installed copy finds its
# data beside itself, the command line answers without a display, the windows carry the
# game's title and class, the desktop entry and the man page are sound, and a missing sound
# device stops the game with a hint on stderr.
source "$(dirname "$0")/e2e_lib.sh"
BUILD=${E2E_BUILD_DIR:?E2E_BUILD_DIR names the build directory to install}
PREFIX="$WORK/prefix"
cmake --install "$BUILD" --prefix "$PREFIX" >"$WORK/install.log" 2>&1 || { cat "$WORK/install.log" >&2; fail "cmake --install failed"; }
GAME="$PREFIX/games/morvane"
DATA="$PREFIX/share/games/morvane"

# The installed tree: exactly these files, nothing from the tests, benchmarks or tools.
expected=(games/morvane
  share/games/morvane/{walltex.bmp,clickb.wav,clickbb.wav,clicke.wav,hit.wav,pocket.wav}
  share/applications/morvane.desktop share/icons/hicolor/scalable/apps/morvane.svg
  share/icons/hicolor/{48x48,256x256}/apps/morvane.png share/man/man6/morvane.6.gz
  share/doc/morvane/{README.md,copyright,changelog.gz})
actual=$(cd "$PREFIX" && find . -type f -printf '%P\n' | sort)
[ "$actual" = "$(printf '%s\n' "${expected[@]}" | sort)" ] || fail "installed files differ: $(echo $actual)"
[ -x "$GAME" ] || fail "the game is not executable"
for size in 48 256; do
  got=$(identify -format %wx%h "$PREFIX/share/icons/hicolor/${size}x${size}/apps/morvane.png")
  [ "$got" = "${size}x${size}" ] || fail "the ${size}px icon is $got"
done
desktop-file-validate "$PREFIX/share/applications/morvane.desktop" || fail "the desktop entry does not validate"
for key in Exec=morvane Icon=morvane "Categories=Game;SportsGame;" StartupWMClass=morvane "Comment[hu]="; do
  grep -qF "$key" "$PREFIX/share/applications/morvane.desktop" || fail "the desktop entry lacks $key"
done
man_text=$(MANWIDTH=80 man -l "$PREFIX/share/man/man6/morvane.6.gz" 2>"$WORK/man.err" | col -b)
[ ! -s "$WORK/man.err" ] || fail "man complains: $(cat "$WORK/man.err")"
for section in NAME SYNOPSIS DESCRIPTION OPTIONS FILES CONTROLS "EXIT STATUS" ENVIRONMENT; do
  grep -q "^$section" <<<"$man_text" || fail "the man page has no $section section"
done
grep -q "SDL_AUDIODRIVER=dummy morvane" <<<"$man_text" || fail "the man page does not tell how to play without sound"

# The command line, answered with no display, no sound and no data.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")
out=$(cd / && env -u DISPLAY "$GAME" --version) || fail "--version failed"
[ "$out" = "morvane $version" ] || fail "--version says '$out'"
out=$(cd / && env -u DISPLAY "$GAME" --help) || fail "--help failed"
grep -q "^Usage: morvane" <<<"$out" || fail "--help prints no usage"
code=0
(cd / && env -u DISPLAY "$GAME" --fullscreen >"$WORK/bad.out" 2>"$WORK/bad.err") || code=$?
[ "$code" -eq 2 ] || fail "an unknown argument gave exit code $code"
[ ! -s "$WORK/bad.out" ] || fail "an unknown argument wrote to stdout"
[ "$(head -n 1 "$WORK/bad.err")" = "morvane: unknown argument '--fullscreen'" ] || fail "stderr: $(head -n 1 "$WORK/bad.err")"
grep -q "^Usage: morvane" "$WORK/bad.err" || fail "no usage after an unknown argument"
note "--version, --help and an unknown argument answered without a display"

# start_installed AUDIO-DRIVER: the installed game started from /.
start_installed() {
  (cd / && exec env SDL_AUDIODRIVER="$1" "$GAME" >"$WORK/game.out" 2>&1) &
  GAME_PID=$!
}
# window_class ID: the WM_CLASS strings, e.g. "morvane", "morvane".
window_class() { xprop -id "$1" WM_CLASS | sed 's/^WM_CLASS(STRING) = //'; }

# No sound device: the message box, then exit 1 with a hint on stderr.
start_installed nosuch
accept_dialog_defaults
poll no_sound_box 100 0.2 '[ "$(count "$s" 400x300+440+262 "15 - 15 - 15 -")" -gt 5000 ]' >/dev/null ||
  fail "no message box about the sound device"
xdotool key Return
for _ in $(seq 100); do kill -0 "$GAME_PID" 2>/dev/null || break; sleep 0.1; done
code=0; wait "$GAME_PID" || code=$?; GAME_PID=""
[ "$code" -eq 1 ] || fail "exit code $code without a sound device"
grep -q "^HANG:112: Wave mapper could not be opened!" "$WORK/game.out" || fail "no HANG line: $(cat "$WORK/game.out")"
grep -q "SDL_AUDIODRIVER=dummy morvane" "$WORK/game.out" || fail "no hint on stderr: $(cat "$WORK/game.out")"
note "no sound device: message box, exit 1, hint on stderr"

# The game itself from /, playing in its installed data directory.
start_installed dummy
dlg=$(wait_for 600 --name "$DIALOG") || fail "the settings dialog did not appear"
class=$(window_class "$dlg")
note "dialog WM_CLASS $class"
[ "${class%%,*}" = '"morvane"' ] || fail "the dialog's window class is $class"
accept_dialog_defaults
xdotool mousemove 640 512
GAME_WIN=$(wait_for 300 --name "$GAME_TITLE") || fail "no game window"
sleep 3
[ "$(readlink "/proc/$GAME_PID/cwd")" = "$(readlink -f "$DATA")" ] ||
  fail "the game works in $(readlink "/proc/$GAME_PID/cwd"), not in $DATA"
name=$(xdotool getwindowname "$GAME_WIN")
class=$(window_class "$GAME_WIN")
note "game window \"$name\", WM_CLASS $class"
[ "$name" = Morvane ] || fail "the game window is titled '$name'"
[ "$class" = '"morvane", "morvane"' ] || fail "the game window's class is $class"
geometry=$(xwininfo -id "$GAME_WIN" | awk '/Width:/{w=$2} /Height:/{h=$2} /Absolute upper-left X:/{x=$4}
  /Absolute upper-left Y:/{y=$4} END{print w"x"h"+"x"+"y}')
[ "$geometry" = 1280x1024+0+0 ] || fail "the window does not cover the screen: $geometry"
# The start view, drawn with the installed data: a blue ball in the middle, the textured wall.
shot=$(screenshot installed_start_view)
more_than "blue pixels in the middle" "$(count "$shot" 200x200+540+412 "- 19.9 - 19.9 50 -")" 35000
close_game
