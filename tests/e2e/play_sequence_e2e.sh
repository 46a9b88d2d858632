# e2e-screen: 1920x1080x24
# A human (player 1) against the computer on a 16:9 screen: overlay, help, a round cue ball, aiming, strength, sound, a foul,
# the computer's shot; recorded, and replayed to the same worlds.
source "$(dirname "$0")/e2e_lib.sh"
STRENGTH_AREA=160x20+$((W / 2 - 10))+0 PLAYER1_AREA=300x20+0+0 PLAYER2_AREA=200x20+$((W - 200))+0
BALL_IN_HAND_AREA=900x34+0+$((H - 34)) HELP_AREA=900x470+0+40 MIDDLE=300x300+$((W / 2 - 150))+$((H / 2 - 150))
MAGENTA="95 - - 5 95 -" YELLOW="95 - 95 - - 5" GREEN="- 5 95 - - 5" WHITE="75 - 75 - 75 -" GREY="29 30.5 29 30.5 29 30.5"
AUDIO="$WORK/audio.raw"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$AUDIO"
audio_stats() {  # FROM TO: "<non-zero samples> <peak> <first non-zero byte or -1>" of bytes FROM..TO
  head -c "$2" "$AUDIO" | tail -c +$(($1 + 1)) | od -An -v -td2 -w2 |
    awk -v from="$1" '$1 != 0 { n++; if (first == "") first = from + 2 * (NR - 1) } { a = $1 < 0 ? -$1 : $1; if (a > peak) peak = a }
      END { print n + 0, peak + 0, first == "" ? -1 : first }'
}
ball_in_hand() { [ "$(count "$1" "$BALL_IN_HAND_AREA" "$GREEN")" -gt 500 ]; }
player_to_move() {  # whose line is yellow (1 or 2), or 0 unless exactly one is
  awk -v a="$(count "$1" "$PLAYER1_AREA" "$YELLOW")" -v b="$(count "$1" "$PLAYER2_AREA" "$YELLOW")" \
    'BEGIN { print (a > 50 && b == 0) ? 1 : (b > 50 && a == 0) ? 2 : 0 }'
}
mask_difference() {  # A B REGION RANGES: pixels in which the masks of two screenshots differ
  mask "$1" "$3" "$4" "$WORK/m1.png"; mask "$2" "$3" "$4" "$WORK/m2.png"
  compare -metric AE "$WORK/m1.png" "$WORK/m2.png" null: 2>&1 || true
}
white_ball() {  # the largest bright patch of equal channels, as only the white ball shows: "w h x y area"
  convert "$1" -separate \
    \( -clone 0,1 -compose difference -composite -threshold 0.6% -negate \) \
    \( -clone 1,2 -compose difference -composite -threshold 0.6% -negate \) \
    \( -clone 0 -threshold 15% \) -delete 0-2 -evaluate-sequence min \
    -define connected-components:verbose=true -define connected-components:area-threshold=500 -connected-components 8 null: |
    awk '$NF == "gray(255)" || $NF == "srgb(255,255,255)" {
           split($2, g, /[x+]/); split($3, c, ","); if ($4 + 0 > best) { best = $4 + 0; out = g[1] " " g[2] " " c[1] " " c[2] " " $4 } }
         END { if (out != "") print out }'
}
eye_z() {  # the rack's top edge, 80 above its centre at z 60, is (H / 2) / tan 30° * 80 / (z - 60) px above the middle
  local geo row=9999
  geo=$(mask "$1" 700x$((H - 74))+$((W / 2 - 350))+40 "- 15 - 15 25 -" -bordercolor black -border 1 -format "%@" info: 2>/dev/null)
  case $geo in 0x*) ;; *) row=$((${geo##*+} + 40 - 1)) ;; esac
  awk -v t="$row" -v m=$((H / 2)) 'BEGIN { print (t == 9999) ? 0 : (t >= m) ? 9999 : int(60 + m * 1.7320508 * 80 / (m - t)) }'
}

start_game --record play.rec
click_control 136 36 80 12     # player 2: computer
click_control 136 121 124 12   # no random start: player 1 begins
accept_settings
shot=$(screenshot play_start)
[ "$(player_to_move "$shot")" -eq 1 ] || fail "player 1 is not to move at the start"
focus_game; xdotool keydown F1  # the help screen while F1 is held
poll play_help 20 0.3 '[ "$(count "$s" "$HELP_AREA" "$GREEN")" -gt 20000 ]' >/dev/null || fail "F1 held does not show the help screen"
xdotool keyup F1
poll play_help_released 20 0.3 '[ "$(count "$s" "$HELP_AREA" "$GREEN")" -lt 3000 ]' >/dev/null || fail "the help screen stays after F1 is released"

# Bursts to a free spot 260..400 behind the rack, short of the pocket cube at z 420..500, where the click
# places the cue ball; back until it shows whole straight ahead: round, not stretched as on a 4:3 screen.
z=0
for _ in $(seq 60); do
  focus_game; hold "$([ "$z" -gt 400 ] && echo KP_Up || echo KP_Begin)" 0.2; sleep 0.5
  z=$(eye_z "$(peek)")
  [ "$z" -ge 260 ] && [ "$z" -le 400 ] && break
done
[ "$z" -ge 260 ] && [ "$z" -le 400 ] || fail "the camera did not reach a free spot behind the rack (z = $z)"
ball_in_hand "$(peek)" || fail "no ball-in-hand message before placing"
focus_game; xdotool click 1
poll play_placing 40 0.5 '! ball_in_hand "$s"' >/dev/null || fail "the click did not place the cue ball"
for _ in $(seq 30); do
  focus_game; hold KP_Begin 0.1; sleep 0.8
  read -r w h cx cy area <<<"$(white_ball "$(screenshot play_round_ball)")" || true
  [ "${h:-0}" -ge 200 ] && [ "$h" -le 1000 ] && break
done
[ "${h:-0}" -ge 200 ] && [ "$h" -le 1000 ] || fail "no white ball in full view behind the placed cue ball"
awk -v x="$cx" -v y="$cy" -v w="$w" -v h="$h" -v a="$area" -v W="$W" -v H="$H" 'BEGIN { r = a / (3.14159265 / 4 * w * h)
  exit !((x - W / 2) ^ 2 < 25 && (y - H / 2) ^ 2 < 25 && (w - h) ^ 2 <= 9 && r > 0.95 && r < 1.01) }' ||
  fail "the ball (${w}x${h} at $cx,$cy, $area pixels) is not a round disc straight ahead"

focus_game; xdotool keydown ctrl  # aiming: the camera orbits the cue ball
for _ in 1 2 3 4 5 6; do xdotool mousemove_relative -- 2 1; sleep 0.1; done
xdotool keyup ctrl; sleep 0.8
aimed=$(screenshot play_aimed)
more_than "white pixels in the middle after aiming" "$(count "$aimed" "$MIDDLE" "$WHITE")" 5000
focus_game; xdotool mousedown 1  # held until the strength has two digits, then the right button until it is 0
poll play_strength 100 0.2 '[ "$(mask_difference "$aimed" "$s" "$STRENGTH_AREA" "$MAGENTA")" -gt 15 ]' >/dev/null || fail "the left button does not raise the strength"
xdotool mouseup 1; xdotool mousedown 3
poll play_weak 100 0.2 '[ "$(mask_difference "$shot" "$s" "$STRENGTH_AREA" "$MAGENTA")" -eq 0 ]' >/dev/null || fail "the right button does not lower the strength to 0"
xdotool mouseup 3
before=$(stat -c %s "$AUDIO")
focus_game; xdotool key space; sleep 1  # at strength 0 the cue ball touches nothing: a foul, the computer's ball in hand
foul=$(screenshot play_foul)
[ "$(player_to_move "$foul")" -eq 2 ] || fail "the foul did not hand the turn to the computer"
more_than "grey pixels in player 1's line" "$(count "$foul" "$PLAYER1_AREA" "$GREY")" 30
read -r loud peak first <<<"$(audio_stats 0 "$before")"
[ "$loud" -eq 0 ] || fail "not silent before the first shot ($loud non-zero samples from byte $first)"
timeout 30 sh -c "until [ \$(stat -c %s '$AUDIO') -gt $((before + 3 * 176400)) ]; do sleep 0.5; done" || fail "the audio stopped"
read -r loud peak first <<<"$(audio_stats "$before" $((before + 3 * 176400)))"
more_than "non-zero samples after the shot" "$loud" 1000
more_than "peak after the shot" "$peak" 1000

computer=$(poll play_computer_shot 600 0.1 '[ "$(count "$s" "$STRENGTH_AREA" "$MAGENTA")" -lt 20 ]') || fail "the computer's shot was not seen rolling"
more_than "grey strength pixels while rolling" "$(count "$computer" "$STRENGTH_AREA" "$GREY")" 150
[ "$(player_to_move "$computer")" -eq 2 ] || fail "player 2 is not the one to move during the computer's shot"
ball_in_hand "$computer" && fail "the ball-in-hand message is still shown during the computer's shot"
moved=$(compare -metric AE -fuzz 10% "$aimed" "$computer" null: 2>&1 || true)
awk -v m="$moved" 'BEGIN { exit !(m + 0 > 100000) }' || fail "the view did not turn to the computer's shot ($moved)"
poll play_computer_rest 240 0.5 '[ "$(count "$s" "$STRENGTH_AREA" "$MAGENTA")" -gt 150 ]' >/dev/null || fail "the balls did not come to rest"
close_game
start_game --replay play.rec
timeout 600 tail --pid="$GAME_PID" -f /dev/null; expect_exit "the replay's end"
grep -q "^replay: the world matches the recording" "$WORK/game.out" || fail "$(cat "$WORK/game.out")"
