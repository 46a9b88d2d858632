# Helpers for the end-to-end scripts that play: flying the camera, placing and striking the cue
# ball, reading the overlay. Source after e2e_lib.sh; they expect a 1280x1024 screen and the
# game window id in GAME_WIN.
#
# The view has a 60 degree vertical field of view, so a point y units above the eye at depth d
# appears 886.8 * y / d pixels above the centre row 512. The default rack (edge 5) reaches
# 80 units above the centre line (the top ball's edge) at z = 60, so the top row of its blue
# pixels tells how far back along +z the eye is.

GAME_WIN=""

# Region of the overlay lines (WxH+X+Y).
STRENGTH_AREA=160x20+630+0
POINTS_AREA=170x18+630+32
PLAYER1_AREA=300x20+0+0
PLAYER2_AREA=200x20+1080+0
TARGET_AREA=110x30+1170+984
BALL_IN_HAND_AREA=900x34+0+990
HELP_AREA=900x470+0+40

focus_game() {
  xdotool windowfocus --sync "$GAME_WIN" >/dev/null 2>&1 || true
}

# Puts the pointer on the screen centre, where a motion event turns the camera by nothing.
centre_pointer() {
  xdotool mousemove 640 512
}

# Waits (generously: start-up is slow on a loaded machine) until the settings dialog is up.
wait_dialog() {
  wait_window_named "Morvane - Be" 600 >/dev/null || fail "the settings dialog did not appear"
}

# Waits for the game window, gives it the keyboard and resets the camera orientation (R).
take_game_window() {
  GAME_WIN=$(wait_game_window 300) || fail "no game window"
  sleep 2
  focus_game
  xdotool key r
  sleep 1
}

# Channel-range mask: writes to stdout the ImageMagick arguments that turn the cropped region
# into white where lo < channel <= hi for each of R, G, B (percent; a bound of - is left out).
# Per-channel thresholds are far quicker than a per-pixel -fx on a large region.
rgb_mask_args() {
  local region=$1 k=0 lo hi
  printf '%s\n' -crop "$region" +repage -separate
  shift
  while [ $# -ge 2 ]; do
    lo=$1 hi=$2
    shift 2
    [ "$lo" != - ] && printf '%s\n' "(" -clone "$k" -threshold "$lo%" ")"
    [ "$hi" != - ] && printf '%s\n' "(" -clone "$k" -threshold "$hi%" -negate ")"
    k=$((k + 1))
  done
  printf '%s\n' -delete 0-2 -evaluate-sequence min
}

# Number of pixels in a region whose channels lie in the given ranges (percent):
# count_rgb FILE REGION RLO RHI GLO GHI BLO BHI.
count_rgb() {
  local file=$1
  shift
  local args
  mapfile -t args < <(rgb_mask_args "$@")
  convert "$file" "${args[@]}" -format "%[fx:round(mean*w*h)]" info:
}

magenta_count() { count_rgb "$1" "$2" 95 - - 5 95 -; }
# The overlay's grey (0.3, 0.3, 0.3) comes out as 76 or 77.
grey_count() { count_rgb "$1" "$2" 29 30.5 29 30.5 29 30.5; }
yellow_count() { count_rgb "$1" "$2" 95 - 95 - - 5; }
pure_green_count() { count_rgb "$1" "$2" - 5 95 - - 5; }
pure_blue_count() { count_rgb "$1" "$2" - 5 - 5 95 -; }
cyan_count() { count_rgb "$1" "$2" - 5 95 - 95 -; }
white_count() { count_rgb "$1" "$2" 75 - 75 - 75 -; }

# Writes the channel-range mask of a region to a file: mask_file FILE OUT REGION ranges...
mask_file() {
  local file=$1 out=$2
  shift 2
  local args
  mapfile -t args < <(rgb_mask_args "$@")
  convert "$file" "${args[@]}" "$out"
}

# Pixels that differ between two mask files.
masks_differ() { compare -metric AE "$1" "$2" null: 2>&1 || true; }

# Pixels white in both mask files.
masks_overlap() {
  convert "$1" "$2" -compose multiply -composite -format "%[fx:round(mean*w*h)]" info:
}

# Number of pixels that differ between two screenshots in one channel-range mask:
# mask_difference A B REGION ranges...
mask_difference() {
  local a=$1 b=$2
  shift 2
  mask_file "$a" "$WORK/mask_a.png" "$@"
  mask_file "$b" "$WORK/mask_b.png" "$@"
  masks_differ "$WORK/mask_a.png" "$WORK/mask_b.png"
}

# Screenshot into the working directory (not kept), for polling.
peek() {
  import -window root "$WORK/peek.png"
  echo "$WORK/peek.png"
}

# Top row of the rack's blue pixels in the middle columns, or 9999 when there are none.
rack_top_row() {
  local geo args
  mapfile -t args < <(rgb_mask_args 700x950+400+40 - 15 - 15 25 -)
  geo=$(convert "$1" "${args[@]}" -bordercolor black -border 1 -format "%@" info: 2>/dev/null)
  case $geo in
    0x*) echo 9999 ;;
    *) echo $(( $(echo "$geo" | sed 's/.*+//') + 40 - 1 )) ;;
  esac
}

# Eye z estimated from the rack's top row (valid while the whole rack is in front).
eye_z_from_row() {
  awk -v t="$1" 'BEGIN { if (t >= 512) print 9999; else printf "%d\n", 60 + 886.8 * 80 / (512 - t) }'
}

# Flies along z in short bursts (keypad 5 back, keypad 8 forward) until the eye is about 260 to
# 400 units behind the origin: clear of the rack, inside the arena and short of the pocket cube
# at z 420..500. A burst is at most about 13 ticks (130 units), so it cannot jump over that
# window.
fly_back_clear_of_rack() {
  local shot row z=0 key
  focus_game
  for _ in $(seq 60); do
    key=KP_Begin
    [ "$z" -gt 400 ] && key=KP_Up
    xdotool keydown "$key"
    sleep 0.2
    xdotool keyup "$key"
    sleep 0.5
    shot=$(peek)
    row=$(rack_top_row "$shot")
    z=$(eye_z_from_row "$row")
    [ "$row" -eq 9999 ] && z=0
    if [ "$z" -ge 260 ] && [ "$z" -le 400 ]; then
      note "eye about z = $z (rack top at row $row)"
      return 0
    fi
  done
  fail "the camera did not reach a free spot behind the rack with keypad 5 (last estimate z = $z)"
}

ball_in_hand_shown() {
  [ "$(pure_green_count "$1" "$BALL_IN_HAND_AREA")" -gt 500 ]
}

# Left click at the eye; waits until the ball-in-hand message is gone.
place_cue_ball() {
  local shot
  shot=$(peek)
  ball_in_hand_shown "$shot" || fail "no ball-in-hand message before placing"
  focus_game
  xdotool click 1
  for _ in $(seq 40); do
    sleep 0.5
    shot=$(peek)
    ball_in_hand_shown "$shot" || return 0
  done
  fail "the click did not place the cue ball (the ball-in-hand message stays)"
}

# Flies back a little at a time until a white ball fills the middle of the view.
see_cue_ball_ahead() {
  local shot white
  focus_game
  for _ in $(seq 8); do
    xdotool keydown KP_Begin
    sleep 0.1
    xdotool keyup KP_Begin
    sleep 0.5
    shot=$(peek)
    white=$(white_count "$shot" 300x300+490+362)
    if [ "$white" -gt 5000 ]; then
      note "white cue ball pixels in the middle: $white"
      return 0
    fi
  done
  fail "no white cue ball in front of the camera after placing it ($white)"
}

# CTRL held with small mouse moves: the cue takes the view direction and the camera stays on
# the line through the cue ball.
aim_with_ctrl() {
  focus_game
  xdotool keydown ctrl
  for _ in 1 2 3 4 5 6; do
    xdotool mousemove_relative -- 2 1
    sleep 0.1
  done
  xdotool keyup ctrl
  sleep 0.8
}

# Raises the strength with the left button held for the given seconds.
raise_strength() {
  focus_game
  xdotool mousedown 1
  sleep "$1"
  xdotool mouseup 1
  sleep 0.8
}

# Polls until the strength line is magenta again (every ball at rest); prints the screenshot.
wait_all_at_rest() {
  local tries=${1:-180} shot
  for _ in $(seq "$tries"); do
    shot=$(peek)
    if [ "$(magenta_count "$shot" "$STRENGTH_AREA")" -gt 150 ]; then
      echo "$shot"
      return 0
    fi
    sleep 0.5
  done
  return 1
}
