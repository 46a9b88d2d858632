# The settings dialog comes first; F1 explains the focused control; a chaotic rack of 800 balls reaches the game.
source "$(dirname "$0")/e2e_lib.sh"

xdotool mousemove 5 5  # the pointer (and its tooltips) off the dialog
start_game
! xdotool search --name "$GAME_TITLE" >/dev/null 2>&1 || fail "a game window exists before the dialog is answered"
xdotool key F1  # on the first difficulty button, focused at the start
answer_box "\[i\]" dialog_help_difficulty
short=$BOX_HEIGHT
activate "$DLG"; xdotool key --delay 50 Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab; sleep 0.3; xdotool key F1  # on "Lerakat"
answer_box "\[i\]" dialog_help_rack
more_than "help box height on \"Lerakat\" (difficulty: $short)" "$BOX_HEIGHT" "$short"
# 40 (800 balls) is only valid with "Kaotikus játék", the next control, checked with the space bar.
activate "$DLG"; xdotool key End BackSpace BackSpace BackSpace BackSpace BackSpace; xdotool type 40
xdotool key Tab; sleep 0.3; xdotool key space; sleep 0.5
xdotool mousemove 640 512 key Return
for _ in $(seq 50); do
  dialog_open || break
  xdotool search --onlyvisible --name "^HIBA!\$" >/dev/null 2>&1 && fail "the chaotic rack of 40 was refused"
  sleep 0.2
done
dialog_open && fail "the dialog did not close on OK"
take_game_window; sleep 2
view=$(screenshot dialog_chaotic_view)
for quarter in 640x460+0+60 640x460+640+60 640x460+0+520 640x460+640+520; do  # below the overlay lines
  for colour in "50 - - 15 - 15" "- 15 50 - - 15" "- 15 - 15 50 -"; do
    more_than "pixels in $quarter of colour $colour" "$(count "$view" "$quarter" "$colour")" 150
  done
done
close_game
