# Shared helpers; arguments <game binary> <assets dir> <artefacts dir>; the screen's size from the X root.
set -euo pipefail
GAME_BIN=$1 ASSETS=$2 ARTEFACTS=$3
mkdir -p "$ARTEFACTS"
WORK=$(mktemp -d)
GAME_PID="" GAME_WIN=""
read -r W H <<<"$(xwininfo -root | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w, h}')"
DIALOG="^Morvane - Be" GAME_TITLE="^Morvane$"
openbox >/dev/null 2>&1 &
WM_PID=$!
trap 'kill $GAME_PID $WM_PID 2>/dev/null || true; rm -rf "$WORK"' EXIT
cp "$ASSETS"/* "$WORK"/ && sleep 1
fail() { echo "FAIL: $*" >&2; exit 1; }
more_than() { echo "-- $1: $2" >&2; [ "$2" -gt "$3" ] || fail "$1: $2, not more than $3"; }

# start_game [ARG...]: the game, run in $GAME_DIR ($WORK) with SDL_AUDIODRIVER (dummy), up to its settings
# dialog unless told --no-dialog or --replay.
start_game() {
  (cd "${GAME_DIR:-$WORK}" && exec env SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}" "$GAME_BIN" "$@" >"$WORK/game.out" 2>&1) &
  GAME_PID=$!
  [[ " $* " == *" --no-dialog "* || " $* " == *" --replay "* ]] || dialog_window
}
# wait_for SECONDS SEARCH-ARGS: the first visible window found, tried every 0.1 s as windows come and go.
wait_for() { timeout "$1" bash -c 'until xdotool search --onlyvisible "$@" 2>/dev/null | head -n 1 | grep .; do sleep 0.1; done' _ "${@:2}"; }
activate() { xdotool windowactivate --sync "$1" >/dev/null 2>&1 || xdotool windowfocus --sync "$1" >/dev/null 2>&1 || true; sleep 0.3; }
focus_game() { xdotool windowfocus --sync "$GAME_WIN" >/dev/null 2>&1 || true; }
hold() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; }
click_control() { xdotool mousemove --window "$DLG" $((2 * $1 + $3)) $((2 * $2 + $4)) click 1; sleep 0.3; }  # X Y W H in dialog units
dialog_open() { xdotool search --onlyvisible --name "$DIALOG" >/dev/null 2>&1; }
dialog_window() { DLG=$(wait_for 60 --name "$DIALOG") || fail "the settings dialog did not appear"; sleep 1; activate "$DLG"; }
accept_settings() { click_control 40 228 50 14; take_game_window; }  # OK, then the game window
# answer_box CAPTION ARTEFACT: a box comes up over the dialog, which stays, and closes on Return.
answer_box() {
  local box
  box=$(wait_for 10 --name "^$1\$") || fail "no box captioned \"$1\" appeared"
  sleep 0.5; screenshot "$2" >/dev/null
  BOX_HEIGHT=$(xwininfo -id "$box" | awk '/Height:/{print $2}')
  activate "$box"; xdotool key Return; sleep 1
  xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 && fail "the box \"$1\" did not close"
  dialog_open || fail "the dialog closed with the box \"$1\""
}

# The game window covers the screen; it gets the keyboard, and R resets the camera's orientation
# with the pointer in the middle, where a motion turns nothing.
take_game_window() {
  xdotool mousemove $((W / 2)) $((H / 2))
  GAME_WIN=$(wait_for 30 --name "$GAME_TITLE") || fail "no game window"
  sleep 2
  [ "$(xwininfo -id "$GAME_WIN" | awk '/Width:/{w=$2} /Height:/{h=$2} /Absolute upper-left [XY]:/{p = p "+" $4}
    END{print w "x" h p}')" = "${W}x${H}+0+0" ] || fail "the game window does not cover the screen"
  focus_game; xdotool key r; sleep 1
}
expect_exit() {  # WHAT [CODE]: the game ends within 15 s with exit code CODE (0)
  local code=0
  timeout 15 tail --pid="$GAME_PID" -f /dev/null || fail "the game did not end on $1"
  wait "$GAME_PID" || code=$?
  GAME_PID=""
  [ "$code" -eq "${2:-0}" ] || fail "exit code $code after $1"
}
close_game() { xdotool key --window "$GAME_WIN" alt+F4; expect_exit "the close request"; }

screenshot() { import -window root "$ARTEFACTS/$1.png"; echo "$ARTEFACTS/$1.png"; }
peek() { import -window root "$WORK/peek.png"; echo "$WORK/peek.png"; }
poll() {  # NAME TRIES PAUSE CONDITION: screenshots as $s until the condition holds; keeps and prints it
  local s
  for _ in $(seq "$2"); do
    s=$(peek)
    eval "$4" && { cp "$s" "$ARTEFACTS/$1.png"; echo "$ARTEFACTS/$1.png"; return 0; }
    sleep "$3"
  done
  return 1
}
# mask FILE REGION RANGES OUTPUT...: the region white where every channel is in its range, the
# ranges "RLO RHI GLO GHI BLO BHI" (lo < channel <= hi, percent, - open).
mask() {
  local file=$1 args=(-crop "$2" +repage -separate)
  local -a r=($3)
  shift 3
  for k in 0 1 2; do
    [ "${r[2 * k]}" != - ] && args+=("(" -clone $k -threshold "${r[2 * k]}%" ")")
    [ "${r[2 * k + 1]}" != - ] && args+=("(" -clone $k -threshold "${r[2 * k + 1]}%" -negate ")")
  done
  convert "$file" "${args[@]}" -delete 0-2 -evaluate-sequence min "$@"
}
count() { mask "$1" "$2" "$3" -precision 12 -format "%[fx:round(mean*w*h)]" info:; }
