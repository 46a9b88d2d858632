# e2e-screen: 1920x1080x24
# On a 16:9 screen the game covers the screen and draws balls round: the white cue ball, put
# down at the camera and seen straight ahead from a little behind, is as wide as it is tall.
# (With the view stretched as on a 4:3 screen it would be a third wider than tall.)
source "$(dirname "$0")/e2e_lib.sh"
W=1920 H=1080
BALL_IN_HAND_AREA=900x34+0+1046

# The eye's z, as eye_z in e2e_lib.sh, for this screen: the default rack's top edge, 80 above
# the centre line at z 60, shows 935.3 * 80 / (z - 60) pixels above row 540.
eye_z_wide() {
  local geo row=9999
  geo=$(mask "$1" 700x1000+610+40 "- 15 - 15 25 -" -bordercolor black -border 1 -format "%@" info: 2>/dev/null)
  case $geo in 0x*) ;; *) row=$((${geo##*+} + 40 - 1)) ;; esac
  awk -v t="$row" 'BEGIN { print (t == 9999) ? 0 : (t >= 540) ? 9999 : int(60 + 935.3 * 80 / (540 - t)) }'
}

# The white ball's outline: the largest patch of grey pixels (the three channels equal, as
# only the white ball under the white light gives them; the walls and the racked balls are
# tinted) that is not too dark. Prints "width height centre-x centre-y area", or nothing.
white_ball() {
  convert "$1" -separate \
    \( -clone 0,1 -compose difference -composite -threshold 0.6% -negate \) \
    \( -clone 1,2 -compose difference -composite -threshold 0.6% -negate \) \
    \( -clone 0 -threshold 15% \) -delete 0-2 -evaluate-sequence min \
    -define connected-components:verbose=true -define connected-components:area-threshold=500 \
    -connected-components 8 null: |
    awk '$NF == "gray(255)" || $NF == "srgb(255,255,255)" {
           split($2, g, /[x+]/); split($3, c, ","); if ($4 + 0 > best) { best = $4 + 0; out = g[1] " " g[2] " " c[1] " " c[2] " " $4 } }
         END { if (out != "") print out }'
}

start_game
accept_dialog_defaults
xdotool mousemove $((W / 2)) $((H / 2))
GAME_WIN=$(wait_for 300 --name "$GAME_TITLE") || fail "no game window"
sleep 2; focus_game; xdotool key r; sleep 1
geometry=$(xwininfo -id "$GAME_WIN" | awk '/Width:/{w=$2} /Height:/{h=$2} /Absolute upper-left X:/{x=$4}
  /Absolute upper-left Y:/{y=$4} END{print w"x"h"+"x"+"y}')
note "game window geometry $geometry"
[ "$geometry" = ${W}x${H}+0+0 ] || fail "the window does not cover the screen: $geometry"

# Out of the rack to a free spot in front of it (as place_cue_ball does), and the ball down.
z=0
for _ in $(seq 80); do
  focus_game; hold "$([ "$z" -gt 400 ] && echo KP_Up || echo KP_Begin)" 0.2; sleep 0.5
  z=$(eye_z_wide "$(peek)")
  [ "$z" -ge 260 ] && [ "$z" -le 400 ] && break
done
[ "$z" -ge 260 ] && [ "$z" -le 400 ] || fail "the camera did not reach a free spot in front of the rack (z = $z)"
note "eye about z = $z"
ball_in_hand "$(peek)" || fail "no ball-in-hand message before placing"
focus_game; xdotool click 1
poll wide_placing 40 0.5 '! ball_in_hand "$s"' >/dev/null || fail "the click did not place the cue ball"

# Back along the view until the whole ball is in the picture, straight ahead.
ball=""
for _ in $(seq 30); do
  focus_game; hold KP_Begin 0.1; sleep 0.8
  shot=$(peek)
  read -r w h cx cy area <<<"$(white_ball "$shot")" || true
  [ -n "${h:-}" ] && note "white ball ${w}x${h} at $cx,$cy"
  if [ -n "${h:-}" ] && [ "$h" -ge 200 ] && [ "$h" -le 1000 ]; then ball=yes; break; fi
done
[ -n "$ball" ] || fail "no white ball in full view behind the placed cue ball"
cp "$shot" "$ARTEFACTS/wide_screen_ball.png"

# Straight ahead: centred within a few pixels. Round: as wide as tall within a few pixels,
# and filling its box as a disc does (a 20-sided outline covers about 0.98 of the circle).
awk -v x="$cx" -v y="$cy" -v W=$W -v H=$H 'BEGIN { exit !((x - W / 2) ^ 2 < 25 && (y - H / 2) ^ 2 < 25) }' ||
  fail "the ball is not straight ahead (centre $cx,$cy)"
[ $((w - h)) -le 3 ] && [ $((h - w)) -le 3 ] || fail "the ball is ${w} pixels wide and ${h} tall"
awk -v a="$area" -v w="$w" -v h="$h" 'BEGIN { r = a / (3.14159265 / 4 * w * h); print "-- disc fill " r > "/dev/stderr"; exit !(r > 0.95 && r < 1.01) }' ||
  fail "the ball's outline does not fill its box as a disc ($area pixels in ${w}x${h})"
note "the ball straight ahead is ${w}x${h}"
close_game
