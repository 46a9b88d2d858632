# Shared helpers. Each script runs in its own 1280x1024 Xvfb (xvfb-run; a script with a line
# "# e2e-screen: WxHxD" gets that screen instead, and the regions below assume 1280x1024) with
# the arguments <game binary> <assets dir> <artefacts dir>; screenshots are kept in the
# artefacts dir. E2E_BUILD_DIR names the build directory.
set -euo pipefail
GAME_BIN=$1 ASSETS=$2 ARTEFACTS=$3
mkdir -p "$ARTEFACTS"
WORK=$(mktemp -d)
GAME_PID="" WM_PID="" WATCH_PID="" GAME_WIN=""
DIALOG="Morvane - Be"  # xdotool matches raw bytes: the title without its accented letters
# The game window by its title (the dialog shares its window class, morvane).
GAME_TITLE="^Morvane$"
# Overlay regions (WxH+X+Y) and colour ranges "RLO RHI GLO GHI BLO BHI" (lo < channel <= hi,
# percent, - for open); the overlay's grey 0.3 comes out as 76 or 77.
STRENGTH_AREA=160x20+630+0 POINTS_AREA=170x18+630+32 TARGET_AREA=110x30+1170+984
PLAYER1_AREA=300x20+0+0 PLAYER2_AREA=200x20+1080+0 BALL_IN_HAND_AREA=900x34+0+990
HELP_AREA=900x470+0+40 MIDDLE=300x300+490+362
MAGENTA="95 - - 5 95 -" YELLOW="95 - 95 - - 5" GREEN="- 5 95 - - 5" BLUE="- 5 - 5 95 -"
CYAN="- 5 95 - 95 -" WHITE="75 - 75 - 75 -" GREY="29 30.5 29 30.5 29 30.5"
COUNT_FORMAT="%[fx:round(mean*w*h)]"

cleanup() {
  local p
  for p in $WATCH_PID $GAME_PID $WM_PID; do kill "$p" 2>/dev/null || true; done
  rm -rf "$WORK"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
note() { echo "-- $*" >&2; }
# more_than WHAT VALUE LIMIT
more_than() { note "$1: $2"; [ "$2" -gt "$3" ] || fail "$1: $2, not more than $3"; }

openbox >/dev/null 2>&1 &
WM_PID=$!
cp "$ASSETS"/* "$WORK"/ && sleep 1  # a private copy of the assets is the working directory

start_game() {
  (cd "$WORK" && exec env SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}" "$GAME_BIN" >"$WORK/game.out" 2>&1) &
  GAME_PID=$!
}

# wait_for TRIES SEARCH-ARGS...: prints the first visible window xdotool finds (0.1 s a try).
wait_for() {
  local tries=$1 id
  shift
  for _ in $(seq "$tries"); do
    id=$(xdotool search --onlyvisible "$@" 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

activate() { xdotool windowactivate --sync "$1" >/dev/null 2>&1 || xdotool windowfocus --sync "$1" >/dev/null 2>&1 || true; sleep 0.3; }
focus_game() { xdotool windowfocus --sync "$GAME_WIN" >/dev/null 2>&1 || true; }
hold() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; }

# Clicks a dialog control at the centre of its rectangle X Y W H (dialog units, 2 px each).
click_control() { xdotool mousemove --window "$1" $((2 * $2 + $4)) $((2 * $3 + $5)) click 1; sleep 0.3; }

accept_dialog_defaults() {
  local dlg
  dlg=$(wait_for 600 --name "$DIALOG") || fail "the settings dialog did not appear"
  for _ in 1 2 3 4 5; do
    activate "$dlg"; xdotool key Return 2>/dev/null || true; sleep 1
    xdotool search --onlyvisible --name "$DIALOG" >/dev/null 2>&1 || return 0
  done
  fail "the settings dialog did not close on Return"
}

# Waits for the game window, gives it the keyboard and resets the camera orientation (R) with
# the pointer in the middle, where a motion turns the camera by nothing.
take_game_window() {
  xdotool mousemove 640 512
  GAME_WIN=$(wait_for 300 --name "$GAME_TITLE") || fail "no game window"
  sleep 2; focus_game; xdotool key r; sleep 1
}

# The game must end within 15 s with exit code 0; $1 says what ended it.
expect_exit() {
  local code=0
  for _ in $(seq 150); do kill -0 "$GAME_PID" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$GAME_PID" 2>/dev/null && fail "the game did not end on $1"
  wait "$GAME_PID" || code=$?
  GAME_PID=""
  [ "$code" -eq 0 ] || fail "exit code $code after $1"
  note "exit code 0 after $1"
}
close_game() { xdotool key --window "$GAME_WIN" alt+F4; expect_exit "the close request"; }

screenshot() { import -window root "$ARTEFACTS/$1.png"; echo "$ARTEFACTS/$1.png"; }
peek() { import -window root "$WORK/peek.png"; echo "$WORK/peek.png"; }

# poll NAME TRIES PAUSE CONDITION: screenshots as $s until the shell condition holds; keeps
# that one as artefact NAME and prints its path.
poll() {
  local s
  for _ in $(seq "$2"); do
    s=$(peek)
    eval "$4" && { cp "$s" "$ARTEFACTS/$1.png"; echo "$ARTEFACTS/$1.png"; return 0; }
    sleep "$3"
  done
  return 1
}

# mask FILE REGION RANGES OUTPUT...: the region white where every channel is in its range.
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
count() { mask "$1" "$2" "$3" -precision 12 -format "$COUNT_FORMAT" info:; }
magenta() { count "$1" "$STRENGTH_AREA" "$MAGENTA"; }
ball_in_hand() { [ "$(count "$1" "$BALL_IN_HAND_AREA" "$GREEN")" -gt 500 ]; }

# mask_difference A B REGION RANGES: pixels in which the masks of two screenshots differ.
mask_difference() {
  mask "$1" "$3" "$4" "$WORK/m1.png"; mask "$2" "$3" "$4" "$WORK/m2.png"
  compare -metric AE "$WORK/m1.png" "$WORK/m2.png" null: 2>&1 || true
}

# recoloured A B REGION FROM TO: at least 90% of A's FROM pixels there have colour TO in B.
recoloured() {
  local was now
  mask "$1" "$3" "$4" "$WORK/m1.png"; mask "$2" "$3" "$5" "$WORK/m2.png"
  was=$(count "$1" "$3" "$4")
  now=$(convert "$WORK/m1.png" "$WORK/m2.png" -compose multiply -composite -format "$COUNT_FORMAT" info:)
  note "$3: $now of $was glyph pixels recoloured"
  [ "$now" -ge $((was * 9 / 10)) ]
}

# Prints whose line is yellow (1 or 2), or 0 unless exactly one is.
player_to_move() {
  local y1 y2
  y1=$(count "$1" "$PLAYER1_AREA" "$YELLOW"); y2=$(count "$1" "$PLAYER2_AREA" "$YELLOW")
  note "yellow pixels in the player lines: $y1 / $y2"
  if [ "$y1" -gt 50 ] && [ "$y2" -eq 0 ]; then echo 1
  elif [ "$y2" -gt 50 ] && [ "$y1" -eq 0 ]; then echo 2
  else echo 0; fi
}

# Polls until every ball rests (the strength line magenta again).
wait_at_rest() {
  poll "$1" 240 0.5 '[ "$(magenta "$s")" -gt 150 ]' >/dev/null || fail "the balls did not come to rest within two minutes"
}

# The view's vertical field is 60 degrees: a point y above the eye at depth d shows 886.8*y/d
# pixels above row 512. The default rack's top edge is 80 above the centre line at z 60, so the
# top row of its blue pixels in the middle columns tells the eye's z.
eye_z() {
  local geo row=9999
  geo=$(mask "$1" 700x950+400+40 "- 15 - 15 25 -" -bordercolor black -border 1 -format "%@" info: 2>/dev/null)
  case $geo in 0x*) ;; *) row=$((${geo##*+} + 40 - 1)) ;; esac
  awk -v t="$row" 'BEGIN { print (t == 9999) ? 0 : (t >= 512) ? 9999 : int(60 + 886.8 * 80 / (512 - t)) }'
}

# Flies in bursts of at most about 130 units (keypad 5 back, 8 forward) until the eye is 260 to
# 400 behind the origin: clear of the rack, inside the arena, short of the pocket cube at
# z 420..500. There a left click places the cue ball and the ball-in-hand message goes; short
# flights back then bring a white ball into the middle of the view.
place_cue_ball() {
  local z=0 white
  focus_game
  for _ in $(seq 60); do
    hold "$([ "$z" -gt 400 ] && echo KP_Up || echo KP_Begin)" 0.2; sleep 0.5
    z=$(eye_z "$(peek)")
    [ "$z" -ge 260 ] && [ "$z" -le 400 ] && break
  done
  [ "$z" -ge 260 ] && [ "$z" -le 400 ] || fail "the camera did not reach a free spot behind the rack (z = $z)"
  note "eye about z = $z"
  ball_in_hand "$(peek)" || fail "no ball-in-hand message before placing"
  focus_game; xdotool click 1
  poll placing 40 0.5 '! ball_in_hand "$s"' >/dev/null || fail "the click did not place the cue ball"
  for _ in $(seq 8); do
    hold KP_Begin 0.1; sleep 0.5
    white=$(count "$(peek)" "$MIDDLE" "$WHITE")
    [ "$white" -gt 5000 ] && { note "white cue ball pixels in the middle: $white"; return 0; }
  done
  fail "no white cue ball in front of the camera after placing it ($white)"
}

# CTRL held with small mouse moves: the cue takes the view direction, the camera orbits the ball.
aim_with_ctrl() {
  focus_game; xdotool keydown ctrl
  for _ in 1 2 3 4 5 6; do xdotool mousemove_relative -- 2 1; sleep 0.1; done
  xdotool keyup ctrl; sleep 0.8
}
# Raises the strength with the left button held for $1 seconds.
raise_strength() { focus_game; xdotool mousedown 1; sleep "$1"; xdotool mouseup 1; sleep 0.8; }
