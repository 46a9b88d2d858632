# Shared helpers for the end-to-end scripts. Each script runs inside its own Xvfb server
# (xvfb-run) and is called with: <game binary> <assets dir> <artefacts dir>.
set -euo pipefail

GAME_BIN=$1
ASSETS=$2
ARTEFACTS=$3
mkdir -p "$ARTEFACTS"
WORK=$(mktemp -d)
GAME_PID=""
WM_PID=""

cleanup() {
  [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null || true
  [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
note() { echo "-- $*"; }

start_window_manager() {
  openbox >/dev/null 2>&1 &
  WM_PID=$!
  sleep 1
}

# A private copy of the assets as the working directory, so a test may break one file.
prepare_workdir() {
  cp "$ASSETS"/* "$WORK"/
}

start_game() {
  (cd "$WORK" && exec env SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}" "$GAME_BIN" >"$WORK/game.out" 2>&1) &
  GAME_PID=$!
}

# Waits for a window whose name matches, prints its id.
wait_window_named() {
  local name=$1 tries=${2:-100} id
  for _ in $(seq "$tries"); do
    id=$(xdotool search --onlyvisible --name "$name" 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

wait_game_window() {
  local tries=${1:-150} id
  for _ in $(seq "$tries"); do
    id=$(xdotool search --onlyvisible --classname morvane 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Presses a key in the settings dialog once it has keyboard focus.
dialog_key() {
  local dlg
  dlg=$(wait_window_named "Morvane - Be") || fail "the settings dialog did not appear"
  sleep 0.3
  xdotool windowactivate --sync "$dlg" >/dev/null 2>&1 || xdotool windowfocus --sync "$dlg" >/dev/null 2>&1 || true
  xdotool key "$@" 2>/dev/null || true
}

accept_dialog_defaults() {
  for _ in 1 2 3 4 5; do
    dialog_key Return
    sleep 1
    xdotool search --onlyvisible --name "Morvane - Be" >/dev/null 2>&1 || return 0
  done
  fail "the settings dialog did not close on Return"
}

screenshot() { import -window root "$ARTEFACTS/$1.png"; echo "$ARTEFACTS/$1.png"; }

# Number of pixels in a region (WxH+X+Y) whose colour is exactly r,g,b.
count_colour() {
  local file=$1 region=$2 colour=$3
  convert "$file" -crop "$region" +repage -fill black +opaque "rgb($colour)" -fill white -opaque "rgb($colour)" \
    -colorspace gray -format "%[fx:round(mean*w*h)]" info:
}

# Number of pixels in a region for which an fx expression (r, g, b in 0..1) is true.
count_where() {
  local file=$1 region=$2 expr=$3
  convert "$file" -crop "$region" +repage -fx "($expr) ? 1 : 0" -colorspace gray \
    -format "%[fx:round(mean*w*h)]" info:
}

game_exit_code() {
  local code=0
  wait "$GAME_PID" || code=$?
  GAME_PID=""
  echo "$code"
}

wait_game_exit() {
  local tries=${1:-100}
  for _ in $(seq "$tries"); do
    kill -0 "$GAME_PID" 2>/dev/null || return 0
    sleep 0.1
  done
  return 1
}
