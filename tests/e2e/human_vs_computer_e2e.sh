# A human (player 1, who starts) against the computer (player 2). The human places the cue ball
# and strikes at strength 0, a foul that hands the computer the ball in hand; the computer then
# places its cue ball, the view turns towards its shot and it shoots.
source "$(dirname "$0")/e2e_lib.sh"
source "$(dirname "$0")/play_lib.sh"

click_control() {
  local dlg=$1 x=$2 y=$3 w=$4 h=$5
  xdotool mousemove --window "$dlg" $((2 * x + w)) $((2 * y + h)) click 1
  sleep 0.3
}

start_window_manager
prepare_workdir
start_game
dlg=$(wait_window_named "Morvane - Be" 300) || fail "the settings dialog did not appear"
sleep 1
xdotool windowactivate --sync "$dlg" >/dev/null 2>&1 || true
click_control "$dlg" 136 36 80 12     # player 2: computer
click_control "$dlg" 136 121 124 12   # no random start: player 1 begins
screenshot human_vs_computer_dialog >/dev/null
click_control "$dlg" 40 228 50 14     # OK
centre_pointer
take_game_window

shot=$(screenshot human_vs_computer_start)
[ "$(yellow_count "$shot" "$PLAYER1_AREA")" -gt 50 ] || fail "player 1 is not to move at the start"
fly_back_clear_of_rack
place_cue_ball
see_cue_ball_ahead
human=$(screenshot human_vs_computer_placed)

# Strength 0: the cue ball touches nothing, which is a foul once everything rests.
focus_game
xdotool key space

# The computer's turn: it must take the ball in hand, and within a generous time its shot rolls
# (the strength line turns grey) and player 2's line is the yellow one.
shot_seen=""
for _ in $(seq 240); do
  s=$(peek)
  if [ "$(magenta_count "$s" "$STRENGTH_AREA")" -lt 20 ]; then
    shot_seen="$ARTEFACTS/human_vs_computer_computer_shot.png"
    cp "$s" "$shot_seen"
    break
  fi
  sleep 0.5
done
[ -n "$shot_seen" ] || fail "the computer did not shoot within two minutes"
[ "$(yellow_count "$shot_seen" "$PLAYER2_AREA")" -gt 50 ] || fail "player 2 is not the one to move during the computer's shot"
ball_in_hand_shown "$shot_seen" && fail "the ball-in-hand message is still shown after the computer's placement"
# The view turned and moved to the computer's cue ball: the picture differs from the human's.
moved=$(compare -metric AE -fuzz 10% "$human" "$shot_seen" null: 2>&1 || true)
note "pixels changed between the human's view and the computer's shot: $moved"
awk -v m="$moved" 'BEGIN { exit !(m + 0 > 100000) }' || fail "the view did not change for the computer's shot ($moved)"

wait_all_at_rest 240 >/dev/null || fail "the balls did not come to rest"
screenshot human_vs_computer_after >/dev/null
xdotool key --window "$GAME_WIN" alt+F4
wait_game_exit 100 || fail "the game did not end on the close request"
code=$(game_exit_code)
[ "$code" -eq 0 ] || fail "exit code $code after closing"
note "closed with exit code 0"
