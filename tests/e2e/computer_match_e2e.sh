# Computer against computer, set up on the command line, to the winner's message; the restarted
# game's dialog holds the options: its small arena refuses a rack the default arena would take.
source "$(dirname "$0")/e2e_lib.sh"
type_into() { click_control "$@"; xdotool key ctrl+a BackSpace; xdotool type --delay 50 "$5"; }

start_game --computer1 --computer2 --level=4 --rack 1 --arena 200 --rounds 1 --no-dialog
wait_for 30 --name "$GAME_TITLE" >/dev/null || fail "no game window"
box=""
for _ in $(seq 900); do  # the winner's message: a dialog window without a caption
  for id in $(xdotool search --onlyvisible --name '^$' 2>/dev/null); do
    xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q DIALOG && box=$id
  done
  [ -n "$box" ] && break
  kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended without the winner's message: $(cat "$WORK/game.out")"
  sleep 0.2
done
[ -n "$box" ] || fail "no match-end message appeared"
sleep 1
shot=$(screenshot computer_match_end)
more_than "pixels drawn on the black screen" $((W * H - $(count "$shot" ${W}x${H}+0+0 "- 10 - 10 - 10"))) 10000

activate "$box"; xdotool key Return
dialog_window
type_into 64 88 56 12 8
xdotool key Return
answer_box "HIBA!" computer_match_prefilled_refuses_rack_8
click_control 208 227 50 14    # Kilépés
expect_exit "Kilépés in the dialog"
