# The settings dialog: it is the first window; F1 explains the focused control in an "[i]" box;
# typed values reach the game (chaotic layout with a large rack: balls of all three colours all
# over the view); an invalid rack is refused with "HIBA!" and the dialog stays; Esc and
# "Kilépés" end the program with exit code 0 without a game window ever appearing.
source "$(dirname "$0")/e2e_lib.sh"
source "$(dirname "$0")/play_lib.sh"

# Searched by the part without accented letters (xdotool matches the name's raw bytes).
DIALOG_NAME="Morvane - Be"
WATCH_PID=""
trap '[ -n "$WATCH_PID" ] && kill "$WATCH_PID" 2>/dev/null; cleanup' EXIT

# Records in a file whether a game window shows up at any moment while it runs.
start_game_window_watch() {
  rm -f "$WORK/game_window_seen"
  (
    while :; do
      xdotool search --classname morvane >/dev/null 2>&1 && touch "$WORK/game_window_seen"
      sleep 0.1
    done
  ) &
  WATCH_PID=$!
}

stop_game_window_watch() {
  kill "$WATCH_PID" 2>/dev/null || true
  wait "$WATCH_PID" 2>/dev/null || true
  WATCH_PID=""
}

dialog_id() { wait_window_named "^$DIALOG_NAME" 600 || fail "the settings dialog did not appear"; }

# Absolute position of the dialog's client area: "x y".
dialog_origin() {
  xwininfo -id "$1" | awk '/Absolute upper-left X:/{x=$4} /Absolute upper-left Y:/{y=$4} END{print x, y}'
}

window_height() { xwininfo -id "$1" | awk '/Height:/{print $2}'; }

focus_dialog() {
  xdotool windowactivate --sync "$1" >/dev/null 2>&1 || xdotool windowfocus --sync "$1" >/dev/null 2>&1 || true
  sleep 0.3
}

# Waits for a box with exactly this caption; prints its id.
wait_box() {
  wait_window_named "^$1\$" 100 || fail "no box captioned \"$1\" appeared"
}

wait_box_gone() {
  for _ in $(seq 50); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "the box \"$1\" did not close"
}

dialog_still_open() {
  xdotool search --onlyvisible --name "^$DIALOG_NAME" >/dev/null 2>&1
}

# Replaces the text of the focused input field.
retype_field() {
  xdotool key End BackSpace BackSpace BackSpace BackSpace BackSpace
  xdotool type "$1"
}

start_window_manager
prepare_workdir

# ---------- Run 1: help boxes, then a chaotic layout with 800 balls. ----------
xdotool mousemove 5 5    # keep the pointer (and its tooltips) off the dialog
start_game_window_watch
start_game
dlg=$(dialog_id)
sleep 1
screenshot dialog_first_window >/dev/null
[ ! -e "$WORK/game_window_seen" ] || fail "a game window appeared before the dialog was answered"
title=$(xprop -id "$dlg" _NET_WM_NAME | sed 's/^[^"]*"//; s/"$//')
note "the dialog \"$title\" is up and no game window exists"
[ "$title" = "Morvane - Beállítás" ] || fail "the dialog's title is \"$title\""
read -r dx dy <<<"$(dialog_origin "$dlg")"
note "dialog client area at $dx,$dy"

# F1 on the control that has the focus at the start, the first difficulty button.
focus_dialog "$dlg"
xdotool key F1
box=$(wait_box "\[i\]")
sleep 0.5
screenshot dialog_help_difficulty >/dev/null
short_box=$(window_height "$box")
focus_dialog "$box"
xdotool key Return
wait_box_gone "\[i\]"

# Tab through the template order to "Lerakat" (the difficulty buttons, OK, the two names, the
# player 2 check box, "Térméret", "Lerakat"); its help text is several lines long.
focus_dialog "$dlg"
for _ in $(seq 10); do xdotool key Tab; done
sleep 0.3
xdotool key F1
box=$(wait_box "\[i\]")
sleep 0.5
screenshot dialog_help_rack >/dev/null
long_box=$(window_height "$box")
note "help box heights: difficulty $short_box, rack $long_box"
[ "$long_box" -gt "$short_box" ] || fail "F1 on \"Lerakat\" does not show its own, longer help text"
focus_dialog "$box"
xdotool key Return
wait_box_gone "\[i\]"
dialog_still_open || fail "the dialog closed with the help box"

# "Lerakat" 40 (800 balls: only valid with "Kaotikus játék"), then Tab to "Kaotikus játék"
# and check it with the space bar.
focus_dialog "$dlg"
retype_field 40
xdotool key Tab
sleep 0.3
unchecked=$(screenshot dialog_chaotic_unchecked)
xdotool key space
sleep 0.5
checked=$(screenshot dialog_chaotic_checked)
box_area="26x26+$((dx + 272))+$((dy + 144))"
dark_before=$(count_rgb "$unchecked" "$box_area" - 20 - 20 - 20)
dark_after=$(count_rgb "$checked" "$box_area" - 20 - 20 - 20)
note "dark pixels in the \"Kaotikus játék\" box: $dark_before unchecked, $dark_after checked"
[ "$dark_after" -gt $((dark_before + 10)) ] || fail "the space bar did not check \"Kaotikus játék\""

centre_pointer
xdotool key Return
for _ in $(seq 50); do
  dialog_still_open || break
  xdotool search --onlyvisible --name "^HIBA!\$" >/dev/null 2>&1 && fail "the chaotic rack of 40 was refused"
  sleep 0.2
done
dialog_still_open && fail "the dialog did not close on OK"
stop_game_window_watch
take_game_window
sleep 2
view=$(screenshot dialog_chaotic_view)

# Balls of every colour spread over the view: a 4 x 4 grid of cells between the overlay lines.
cells=0 red_cells=0 green_cells=0 blue_cells=0
for row in 0 1 2 3; do
  for col in 0 1 2 3; do
    cell="320x230+$((col * 320))+$((60 + row * 230))"
    red=$(count_rgb "$view" "$cell" 50 - - 15 - 15)
    green=$(count_rgb "$view" "$cell" - 15 50 - - 15)
    blue=$(count_rgb "$view" "$cell" - 15 - 15 50 -)
    [ "$red" -gt 150 ] && red_cells=$((red_cells + 1))
    [ "$green" -gt 150 ] && green_cells=$((green_cells + 1))
    [ "$blue" -gt 150 ] && blue_cells=$((blue_cells + 1))
    [ $((red + green + blue)) -gt 150 ] && cells=$((cells + 1))
  done
done
note "cells with balls: $cells of 16 (red $red_cells, green $green_cells, blue $blue_cells)"
[ "$cells" -ge 10 ] || fail "the balls are not spread over the view ($cells of 16 cells)"
[ "$red_cells" -ge 2 ] && [ "$green_cells" -ge 2 ] && [ "$blue_cells" -ge 2 ] ||
  fail "not every colour is scattered (red $red_cells, green $green_cells, blue $blue_cells cells)"

xdotool key --window "$GAME_WIN" alt+F4
wait_game_exit 150 || fail "the game did not end on the close request"
code=$(game_exit_code)
[ "$code" -eq 0 ] || fail "exit code $code after closing the chaotic game"

# ---------- Run 2: "Lerakat" 9 without "Kaotikus játék" is refused; Esc leaves. ----------
xdotool mousemove 5 5
start_game_window_watch
start_game
dlg=$(dialog_id)
sleep 1
focus_dialog "$dlg"
for _ in $(seq 10); do xdotool key Tab; done
retype_field 9
xdotool key Return
box=$(wait_box "HIBA!")
sleep 0.5
screenshot dialog_invalid_rack >/dev/null
dialog_still_open || fail "the dialog closed on an invalid rack"
focus_dialog "$box"
xdotool key Return
wait_box_gone "HIBA!"
sleep 1
dialog_still_open || fail "the dialog is gone after the error box"
# The next OK reads the fields again and refuses again.
focus_dialog "$dlg"
xdotool key Return
box=$(wait_box "HIBA!")
focus_dialog "$box"
xdotool key Return
wait_box_gone "HIBA!"
focus_dialog "$dlg"
xdotool key Escape
wait_game_exit 100 || fail "Esc did not end the program"
code=$(game_exit_code)
stop_game_window_watch
[ "$code" -eq 0 ] || fail "exit code $code after Esc in the dialog"
[ ! -e "$WORK/game_window_seen" ] || fail "a game window appeared although the rack was refused"
note "invalid rack refused twice, Esc ended with exit code 0, no game window"

# ---------- Run 3: "Kilépés" ends the program at once. ----------
start_game_window_watch
start_game
dlg=$(dialog_id)
sleep 1
read -r dx dy <<<"$(dialog_origin "$dlg")"
xdotool mousemove $((dx + 466)) $((dy + 468)) click 1
wait_game_exit 100 || fail "\"Kilépés\" did not end the program"
code=$(game_exit_code)
sleep 0.5
stop_game_window_watch
[ "$code" -eq 0 ] || fail "exit code $code after \"Kilépés\""
[ ! -e "$WORK/game_window_seen" ] || fail "a game window appeared after \"Kilépés\""
note "\"Kilépés\" ended with exit code 0, no game window"
