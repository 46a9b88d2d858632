# Two human players, one shot: place the cue ball, aim with CTRL and the mouse, raise the
# strength with the left button, strike with SPACE; the overlay follows the shot; F1 shows the
# help screen while held; closing the window exits 0.
source "$(dirname "$0")/e2e_lib.sh"
start_game
accept_dialog_defaults
take_game_window

# Ball in hand at the start, the target colour word blue, strength 0 in magenta, one player's
# line yellow and the other's grey.
shot=$(screenshot play_start)
ball_in_hand "$shot" || fail "no ball-in-hand message at the start"
more_than "blue target word pixels" "$(count "$shot" "$TARGET_AREA" "$BLUE")" 30
more_than "magenta strength pixels at rest" "$(magenta "$shot")" 150
shooter=$(player_to_move "$shot")
[ "$shooter" -ne 0 ] || fail "not exactly one player line is yellow"
waiting=PLAYER$((3 - shooter))_AREA
more_than "grey pixels in the waiting player's line" "$(count "$shot" "${!waiting}" "$GREY")" 30

place_cue_ball
ball_in_hand "$(screenshot play_placed)" && fail "the ball-in-hand message is still shown after placing"
aim_with_ctrl
aimed=$(screenshot play_aimed)
more_than "white pixels in the middle after aiming" "$(count "$aimed" "$MIDDLE" "$WHITE")" 5000
raise_strength 1.5
strong=$(screenshot play_strength)
more_than "strength digit pixels changed" "$(mask_difference "$aimed" "$strong" "$STRENGTH_AREA" "$MAGENTA")" 15
more_than "magenta strength pixels at rest" "$(magenta "$strong")" 150

# SPACE: while the balls roll the strength line keeps its glyphs in grey.
focus_game; xdotool key space
rolling=$(poll play_rolling 20 0.2 '[ "$(magenta "$s")" -lt 20 ]') || fail "the strength line stays magenta after SPACE"
recoloured "$strong" "$rolling" "$STRENGTH_AREA" "$MAGENTA" "$GREY" || fail "the strength line is not grey while rolling"

# At rest: magenta again; the turn passes unless a right ball fell without a foul, and then
# the previous shooter's line turns grey.
wait_at_rest play_resting; sleep 1
rest=$(screenshot play_rest)
more_than "magenta strength pixels at rest" "$(magenta "$rest")" 150
points=$(mask_difference "$strong" "$rest" "$POINTS_AREA" "$CYAN")
expected=$((3 - shooter))
ball_in_hand "$rest" || [ "$points" -eq 0 ] || expected=$shooter
note "points line pixels changed: $points; expected player $expected to move"
[ "$(player_to_move "$rest")" -eq "$expected" ] || fail "player $expected should be to move"
shooter_area=PLAYER${shooter}_AREA
[ "$expected" -eq "$shooter" ] || recoloured "$shot" "$rest" "${!shooter_area}" "$YELLOW" "$GREY" ||
  fail "the previous shooter's line did not turn grey"
more_than "blue target word pixels after the shot" "$(count "$rest" "$TARGET_AREA" "$BLUE")" 30

# F1 held: green help lines from y 50 to 505; released: gone.
focus_game; xdotool keydown F1
help=$(poll play_help 20 0.3 '[ "$(count "$s" "$HELP_AREA" "$GREEN")" -gt 20000 ]') || true
xdotool keyup F1
[ -n "$help" ] || fail "F1 held does not show the help screen"
more_than "green pixels of the first help line" "$(count "$help" 500x16+0+38 "$GREEN")" 300
more_than "green pixels of the last help line" "$(count "$help" 700x16+0+493 "$GREEN")" 300
poll play_help_released 20 0.3 '[ "$(count "$s" "$HELP_AREA" "$GREEN")" -lt 3000 ]' >/dev/null ||
  fail "the help screen stays after F1 is released"
close_game
