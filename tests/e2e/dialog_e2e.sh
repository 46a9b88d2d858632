# The settings dialog: the first window; F1 explains the focused control in an "[i]" box; a
# chaotic layout of 800 balls reaches the game; an invalid rack is refused with "HIBA!" and the
# dialog stays; Esc and "Kilépés" exit 0 without a game window ever appearing.
source "$(dirname "$0")/e2e_lib.sh"
TABS_TO_RACK="Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab"
DARK="- 20 - 20 - 20"

# Starts the game with a watcher noting whether a game window ever exists; DLG is the dialog.
start_watched() {
  rm -f "$WORK/seen"
  # By its title: the dialog shares the game window's class.
  (while :; do xdotool search --name "$GAME_TITLE" >/dev/null 2>&1 && touch "$WORK/seen"; sleep 0.1; done) &
  WATCH_PID=$!
  start_game
  DLG=$(wait_for 600 --name "^$DIALOG") || fail "the settings dialog did not appear"
  sleep 1
}
stop_watch() { kill "$WATCH_PID" 2>/dev/null || true; wait "$WATCH_PID" 2>/dev/null || true; WATCH_PID=""; }
no_game_window() { [ ! -e "$WORK/seen" ] || fail "a game window appeared $1"; }
dialog_open() { xdotool search --onlyvisible --name "^$DIALOG" >/dev/null 2>&1; }
retype() { xdotool key End BackSpace BackSpace BackSpace BackSpace BackSpace; xdotool type "$1"; }

# answer_box CAPTION ARTEFACT: the box comes up over the dialog, closes on Return, the dialog
# stays; BOX_HEIGHT is its height.
answer_box() {
  local box
  box=$(wait_for 100 --name "^$1\$") || fail "no box captioned \"$1\" appeared"
  sleep 0.5; screenshot "$2" >/dev/null
  BOX_HEIGHT=$(xwininfo -id "$box" | awk '/Height:/{print $2}')
  dialog_open || fail "the dialog closed when the box \"$1\" came up"
  activate "$box"; xdotool key Return
  for _ in $(seq 50); do xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || break; sleep 0.1; done
  xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 && fail "the box \"$1\" did not close"
  sleep 1
  dialog_open || fail "the dialog closed with the box \"$1\""
}

# Run 1: help boxes, then a chaotic layout with "Lerakat" 40.
xdotool mousemove 5 5  # the pointer (and its tooltips) off the dialog
start_watched
screenshot dialog_first_window >/dev/null
no_game_window "before the dialog was answered"
title=$(xprop -id "$DLG" _NET_WM_NAME | sed 's/^[^"]*"//; s/"$//')
[ "$title" = "Morvane - Beállítás" ] || fail "the dialog's title is \"$title\""
read -r dx dy <<<"$(xwininfo -id "$DLG" | awk '/Absolute upper-left X:/{x=$4} /Absolute upper-left Y:/{y=$4} END{print x, y}')"
# F1 on the first difficulty button, focused at the start; then on "Lerakat" (ten Tabs on: the
# difficulty buttons, OK, the two names, the player 2 box, "Térméret"), whose help is longer.
activate "$DLG"; xdotool key F1
answer_box "\[i\]" dialog_help_difficulty
short=$BOX_HEIGHT
activate "$DLG"; xdotool key --delay 50 $TABS_TO_RACK; sleep 0.3; xdotool key F1
answer_box "\[i\]" dialog_help_rack
more_than "help box height on \"Lerakat\" (difficulty: $short)" "$BOX_HEIGHT" "$short"

# 800 balls are only valid with "Kaotikus játék", the next control, checked with the space bar.
activate "$DLG"; retype 40; xdotool key Tab; sleep 0.3
unchecked=$(screenshot dialog_chaotic_unchecked)
xdotool key space; sleep 0.5
checked=$(screenshot dialog_chaotic_checked)
check_box="26x26+$((dx + 272))+$((dy + 144))"
dark=$(count "$unchecked" "$check_box" "$DARK")
more_than "dark pixels in the checked box (unchecked: $dark)" "$(count "$checked" "$check_box" "$DARK")" $((dark + 10))
xdotool mousemove 640 512 key Return
for _ in $(seq 50); do
  dialog_open || break
  xdotool search --onlyvisible --name "^HIBA!\$" >/dev/null 2>&1 && fail "the chaotic rack of 40 was refused"
  sleep 0.2
done
dialog_open && fail "the dialog did not close on OK"
stop_watch
take_game_window; sleep 2
view=$(screenshot dialog_chaotic_view)

# Balls of every colour all over the view: a 4 x 4 grid of cells between the overlay lines.
declare -A cells=([all]=0 [red]=0 [green]=0 [blue]=0)
declare -A range=([red]="50 - - 15 - 15" [green]="- 15 50 - - 15" [blue]="- 15 - 15 50 -")
for row in 0 1 2 3; do
  for col in 0 1 2 3; do
    total=0
    for c in red green blue; do
      n=$(count "$view" "320x230+$((col * 320))+$((60 + row * 230))" "${range[$c]}"); total=$((total + n))
      [ "$n" -gt 150 ] && cells[$c]=$((cells[$c] + 1))
    done
    [ "$total" -gt 150 ] && cells[all]=$((cells[all] + 1))
  done
done
note "cells with balls: ${cells[all]} of 16 (red ${cells[red]}, green ${cells[green]}, blue ${cells[blue]})"
[ "${cells[all]}" -ge 10 ] || fail "the balls are not spread over the view"
[ "${cells[red]}" -ge 2 ] && [ "${cells[green]}" -ge 2 ] && [ "${cells[blue]}" -ge 2 ] || fail "not every colour is scattered"
close_game

# Run 2: "Lerakat" 9 without "Kaotikus játék" is refused, on every OK; Esc leaves.
xdotool mousemove 5 5
start_watched
activate "$DLG"; xdotool key --delay 50 $TABS_TO_RACK; retype 9; xdotool key Return
answer_box "HIBA!" dialog_invalid_rack
activate "$DLG"; xdotool key Return
answer_box "HIBA!" dialog_invalid_rack_again
activate "$DLG"; xdotool key Escape
expect_exit "Esc in the dialog"
stop_watch
no_game_window "although the rack was refused"

# Run 3: "Kilépés" ends the program at once.
start_watched
click_control "$DLG" 208 227 50 14
expect_exit "\"Kilépés\""; sleep 0.5; stop_watch
no_game_window "after \"Kilépés\""
