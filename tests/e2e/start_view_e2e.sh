# The game comes up full screen with the start view and closes with exit code 0.
source "$(dirname "$0")/e2e_lib.sh"

start_window_manager
prepare_workdir
start_game
accept_dialog_defaults
win=$(wait_game_window) || fail "no game window"
sleep 3

geometry=$(xwininfo -id "$win" | awk '/Width:/{w=$2} /Height:/{h=$2} /Absolute upper-left X:/{x=$4} /Absolute upper-left Y:/{y=$4} END{print w"x"h"+"x"+"y}')
note "game window geometry $geometry"
[ "$geometry" = "1280x1024+0+0" ] || fail "the window does not cover the screen: $geometry"

shot=$(screenshot start_view)
# The camera starts at the arena centre inside the diamond: a blue ball fills the middle.
blue=$(count_where "$shot" 200x200+540+412 "b > 0.5 && r < 0.2 && g < 0.2")
note "blue pixels in the middle: $blue"
[ "$blue" -gt 35000 ] || fail "no blue ball in front of the camera ($blue)"
# The textured wall shows in the upper left corner: lit, grey-blue panels, not black.
wall=$(count_where "$shot" 150x300+0+60 "r > 0.15 && g > 0.15 && b > 0.15 && abs(r-b) < 0.4")
note "wall pixels at the upper left: $wall"
[ "$wall" -gt 20000 ] || fail "no textured wall at the upper left ($wall)"

# Fly back along +z (keypad 5) to see the rack and the pocket cubes beyond it.
xdotool windowfocus --sync "$win" 2>/dev/null || true
xdotool keydown KP_Begin
sleep 2.5
xdotool keyup KP_Begin
sleep 1
shot=$(screenshot start_view_back)
pocket=$(count_colour "$shot" 1280x1000+0+24 "51,51,255")
note "pocket-coloured pixels: $pocket"
[ "$pocket" -gt 200 ] || fail "no pocket wire cube in view ($pocket)"
green=$(count_where "$shot" 1280x1000+0+24 "g > 0.4 && r < 0.2 && b < 0.2")
note "green ball pixels: $green"
[ "$green" -gt 500 ] || fail "no green ball of the diamond in view ($green)"

# The window manager's close request ends the game with exit code 0.
xdotool key --window "$win" alt+F4
wait_game_exit 100 || fail "the game did not end on the close request"
code=$(game_exit_code)
[ "$code" -eq 0 ] || fail "exit code $code after closing"
note "closed with exit code 0"
