# Two human players, one shot: place the cue ball, aim with CTRL and the mouse, raise the
# strength with the left button, strike with SPACE; the overlay follows the shot (strength line
# grey while balls roll, the turn passes or stays as the shot deserves); F1 shows the help
# screen while held; closing the window ends the game with exit code 0.
source "$(dirname "$0")/e2e_lib.sh"
source "$(dirname "$0")/play_lib.sh"

start_window_manager
prepare_workdir
centre_pointer
start_game
wait_dialog
accept_dialog_defaults
take_game_window

# --- Ball in hand at the start: the message, target colour blue, strength 0 in magenta. ---
shot=$(screenshot play_start)
ball_in_hand_shown "$shot" || fail "no ball-in-hand message at the start"
blue_word=$(pure_blue_count "$shot" "$TARGET_AREA")
note "blue target word pixels: $blue_word"
[ "$blue_word" -gt 30 ] || fail "the target colour word is not blue at the start ($blue_word)"
[ "$(magenta_count "$shot" "$STRENGTH_AREA")" -gt 150 ] || fail "the strength line is not magenta at rest"
yellow1=$(yellow_count "$shot" "$PLAYER1_AREA")
yellow2=$(yellow_count "$shot" "$PLAYER2_AREA")
note "yellow pixels in the player lines: $yellow1 / $yellow2"
if [ "$yellow1" -gt 50 ] && [ "$yellow2" -eq 0 ]; then
  shooter=1
elif [ "$yellow2" -gt 50 ] && [ "$yellow1" -eq 0 ]; then
  shooter=2
else
  fail "not exactly one player line is yellow ($yellow1 / $yellow2)"
fi
area_of_player() { [ "$1" -eq 1 ] && echo "$PLAYER1_AREA" || echo "$PLAYER2_AREA"; }
waiting_grey=$(grey_count "$shot" "$(area_of_player $(( 3 - shooter )))")
note "grey pixels in the waiting player's line: $waiting_grey"
[ "$waiting_grey" -gt 30 ] || fail "the waiting player's line is not grey ($waiting_grey)"
note "player $shooter to move"

# --- Placing: fly back clear of the rack, click; the message goes, a white ball is there. ---
fly_back_clear_of_rack
place_cue_ball
see_cue_ball_ahead
placed=$(screenshot play_placed)
ball_in_hand_shown "$placed" && fail "the ball-in-hand message is still shown after placing"

# --- Aim with CTRL and the mouse: the camera orbits the cue ball, which stays ahead. ---
aim_with_ctrl
aimed=$(screenshot play_aimed)
white=$(white_count "$aimed" 300x300+490+362)
note "white pixels in the middle after aiming: $white"
[ "$white" -gt 5000 ] || fail "the cue ball left the middle of the view while aiming ($white)"

# --- Strength: the left button held raises it; the number changes, the line stays magenta. ---
raise_strength 1.5
strong=$(screenshot play_strength)
changed=$(mask_difference "$aimed" "$strong" "$STRENGTH_AREA" 95 - - 5 95 -)
note "strength digits: $changed magenta pixels changed"
[ "$changed" -gt 15 ] || fail "the strength did not change with the left button held"
[ "$(magenta_count "$strong" "$STRENGTH_AREA")" -gt 150 ] || fail "the strength line is not magenta at rest"

# --- SPACE: while the balls roll the strength line is grey: the same glyphs, now grey. ---
mask_file "$strong" "$WORK/strength_magenta.png" "$STRENGTH_AREA" 95 - - 5 95 -
magenta=$(magenta_count "$strong" "$STRENGTH_AREA")
focus_game
xdotool key space
rolling=""
for _ in $(seq 20); do
  s=$(peek)
  if [ "$(magenta_count "$s" "$STRENGTH_AREA")" -lt 20 ]; then
    rolling=$(screenshot play_rolling)
    break
  fi
  sleep 0.2
done
[ -n "$rolling" ] || fail "the strength line stays magenta after SPACE"
mask_file "$rolling" "$WORK/strength_grey.png" "$STRENGTH_AREA" 29 30.5 29 30.5 29 30.5
grey_glyphs=$(masks_overlap "$WORK/strength_magenta.png" "$WORK/strength_grey.png")
note "strength line while rolling: $grey_glyphs of $magenta glyph pixels grey"
[ "$grey_glyphs" -ge $(( magenta * 9 / 10 )) ] || fail "the strength line is not grey while rolling"

# --- All at rest: magenta again, the turn passes unless a right ball fell without a foul. ---
wait_all_at_rest 240 >/dev/null || fail "the balls did not come to rest within two minutes"
sleep 1
rest=$(screenshot play_rest)
[ "$(magenta_count "$rest" "$STRENGTH_AREA")" -gt 150 ] || fail "the strength line is not magenta at rest"
points_changed=$(mask_difference "$strong" "$rest" "$POINTS_AREA" - 5 95 - 95 -)
foul=0
ball_in_hand_shown "$rest" && foul=1
note "points line pixels changed: $points_changed; foul (ball in hand): $foul"
if [ "$foul" -eq 0 ] && [ "$points_changed" -gt 0 ]; then
  expected=$shooter
else
  expected=$(( 3 - shooter ))
fi
yellow1=$(yellow_count "$rest" "$PLAYER1_AREA")
yellow2=$(yellow_count "$rest" "$PLAYER2_AREA")
note "after the shot yellow pixels: $yellow1 / $yellow2, expected player $expected to move"
if [ "$expected" -eq 1 ]; then
  [ "$yellow1" -gt 50 ] && [ "$yellow2" -eq 0 ] || fail "player 1 should be to move ($yellow1 / $yellow2)"
else
  [ "$yellow2" -gt 50 ] && [ "$yellow1" -eq 0 ] || fail "player 2 should be to move ($yellow1 / $yellow2)"
fi
if [ "$expected" -ne "$shooter" ]; then
  # The shooter's own line keeps its glyphs and turns grey.
  area=$(area_of_player "$shooter")
  mask_file "$shot" "$WORK/shooter_yellow.png" "$area" 95 - 95 - - 5
  mask_file "$rest" "$WORK/shooter_grey.png" "$area" 29 30.5 29 30.5 29 30.5
  was=$(yellow_count "$shot" "$area")
  now=$(masks_overlap "$WORK/shooter_yellow.png" "$WORK/shooter_grey.png")
  note "the shooter's line: $now of $was glyph pixels now grey"
  [ "$now" -ge $(( was * 9 / 10 )) ] || fail "the previous shooter's line did not turn grey"
fi
blue_word=$(pure_blue_count "$rest" "$TARGET_AREA")
[ "$blue_word" -gt 30 ] || fail "the target colour word is not blue after the shot ($blue_word)"

# --- F1 held: 28 green help lines from y 50 to 505; released: gone. ---
focus_game
xdotool keydown F1
help=""
for _ in $(seq 20); do
  sleep 0.3
  s=$(peek)
  if [ "$(pure_green_count "$s" "$HELP_AREA")" -gt 20000 ]; then
    help=$(screenshot play_help)
    break
  fi
done
xdotool keyup F1
[ -n "$help" ] || fail "F1 held does not show the help screen"
first=$(pure_green_count "$help" 500x16+0+38)
last=$(pure_green_count "$help" 700x16+0+493)
note "help: $(pure_green_count "$help" "$HELP_AREA") green pixels, first line $first, last line $last"
[ "$first" -gt 300 ] || fail "the first help line is missing ($first)"
[ "$last" -gt 300 ] || fail "the last help line is missing ($last)"
gone=""
for _ in $(seq 20); do
  sleep 0.3
  s=$(peek)
  if [ "$(pure_green_count "$s" "$HELP_AREA")" -lt 3000 ]; then
    gone=$(screenshot play_help_released)
    break
  fi
done
[ -n "$gone" ] || fail "the help screen stays after F1 is released"

# --- Closing the window ends the game with exit code 0. ---
xdotool key --window "$GAME_WIN" alt+F4
wait_game_exit 150 || fail "the game did not end on the close request"
code=$(game_exit_code)
[ "$code" -eq 0 ] || fail "exit code $code after closing"
note "closed with exit code 0"
