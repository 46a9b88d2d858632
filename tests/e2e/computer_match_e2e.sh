# Computer against computer to the winner's message; the fresh game's dialog refuses a bad rack, Esc exits 0.
source "$(dirname "$0")/e2e_lib.sh"
type_into() { click_control "$@"; xdotool key ctrl+a BackSpace; xdotool type --delay 50 "$5"; }

start_game
type_into 64 88 56 12 1        # Lerakat
type_into 64 104 56 12 1       # Körök száma
click_control 140 176 60 12    # Bajnok
click_control 136 16 80 12     # player 1: computer
click_control 136 36 80 12     # player 2: computer
click_control 40 228 50 14     # OK
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
type_into 64 88 56 12 9
xdotool key Return
answer_box "HIBA!" computer_match_invalid_rack
activate "$DLG"; xdotool key Return
answer_box "HIBA!" computer_match_invalid_rack_again
activate "$DLG"; xdotool key Escape
expect_exit "Esc in the dialog"
