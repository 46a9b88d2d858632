# The game comes up full screen with the start view and closes with exit code 0.
source "$(dirname "$0")/e2e_lib.sh"
start_game
accept_dialog_defaults
GAME_WIN=$(wait_for 300 --name "$GAME_TITLE") || fail "no game window"
sleep 3
geometry=$(xwininfo -id "$GAME_WIN" | awk '/Width:/{w=$2} /Height:/{h=$2} /Absolute upper-left X:/{x=$4}
  /Absolute upper-left Y:/{y=$4} END{print w"x"h"+"x"+"y}')
note "game window geometry $geometry"
[ "$geometry" = 1280x1024+0+0 ] || fail "the window does not cover the screen: $geometry"

# The camera starts at the arena centre inside the diamond: a blue ball fills the middle; the
# lit, textured grey-blue wall shows at the upper left.
shot=$(screenshot start_view)
more_than "blue pixels in the middle" "$(count "$shot" 200x200+540+412 "- 19.9 - 19.9 50 -")" 35000
wall=$(convert "$shot" -crop 150x300+0+60 +repage -fx '(r > 0.15 && g > 0.15 && b > 0.15 && abs(r - b) < 0.4) ? 1 : 0' \
  -colorspace gray -format "$COUNT_FORMAT" info:)
more_than "wall pixels at the upper left" "$wall" 20000

# Flying back (keypad 5) brings the pocket wire cubes (51,51,255) and the green balls into view.
focus_game; hold KP_Begin 2.5; sleep 1
shot=$(screenshot start_view_back)
more_than "pocket-coloured pixels" "$(count "$shot" 1280x1000+0+24 "19.8 20.2 19.8 20.2 99.8 -")" 200
more_than "green ball pixels" "$(count "$shot" 1280x1000+0+24 "- 19.9 40 - - 19.9")" 500
close_game
