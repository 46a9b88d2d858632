# A human (player 1, who starts) against the computer (player 2). The human strikes at strength
# 0, a foul that hands the computer the ball in hand; it places the cue ball, the view turns to
# its shot and it shoots.
source "$(dirname "$0")/e2e_lib.sh"
start_game
dlg=$(wait_for 300 --name "$DIALOG") || fail "the settings dialog did not appear"
sleep 1; activate "$dlg"
click_control "$dlg" 136 36 80 12     # player 2: computer
click_control "$dlg" 136 121 124 12   # no random start: player 1 begins
screenshot human_vs_computer_dialog >/dev/null
click_control "$dlg" 40 228 50 14     # OK
take_game_window
[ "$(player_to_move "$(screenshot human_vs_computer_start)")" -eq 1 ] || fail "player 1 is not to move at the start"
place_cue_ball
human=$(screenshot human_vs_computer_placed)
focus_game; xdotool key space

# Within a generous time the computer's shot rolls (the strength line grey) with player 2's line
# yellow, the ball in hand taken, and the view moved to the computer's cue ball.
computer=$(poll human_vs_computer_computer_shot 240 0.5 '[ "$(magenta "$s")" -lt 20 ]') ||
  fail "the computer did not shoot within two minutes"
[ "$(player_to_move "$computer")" -eq 2 ] || fail "player 2 is not the one to move during the computer's shot"
ball_in_hand "$computer" && fail "the ball-in-hand message is still shown after the computer's placement"
moved=$(compare -metric AE -fuzz 10% "$human" "$computer" null: 2>&1 || true)
note "pixels changed between the human's view and the computer's shot: $moved"
awk -v m="$moved" 'BEGIN { exit !(m + 0 > 100000) }' || fail "the view did not change for the computer's shot"
wait_at_rest human_vs_computer_after
close_game
