# Computer against computer through the dialog: "Lerakat" 1, "Körök száma" 1, "Bajnok", both
# players computer. The match plays to its end, the winner's message appears, Return dismisses
# it, a fresh copy of the game starts with the dialog, and "Kilépés" there exits 0.
source "$(dirname "$0")/e2e_lib.sh"

# Clicks a control of the dialog at the centre of its rectangle (dialog units, 2 px each).
click_control() {
  local dlg=$1 x=$2 y=$3 w=$4 h=$5
  xdotool mousemove --window "$dlg" $((2 * x + w)) $((2 * y + h)) click 1
  sleep 0.3
}

# Replaces the text of an edit control.
type_into() {
  local dlg=$1 x=$2 y=$3 w=$4 h=$5 text=$6
  click_control "$dlg" "$x" "$y" "$w" "$h"
  xdotool key ctrl+a BackSpace
  xdotool type --delay 50 "$text"
}

start_window_manager
prepare_workdir
start_game
dlg=$(wait_window_named "Morvane - Be" 300) || fail "the settings dialog did not appear"
sleep 1
xdotool windowactivate --sync "$dlg" >/dev/null 2>&1 || true
type_into "$dlg" 64 88 56 12 1        # Lerakat
type_into "$dlg" 64 104 56 12 1       # Körök száma
click_control "$dlg" 140 176 60 12    # Bajnok
click_control "$dlg" 136 16 80 12     # player 1: computer
click_control "$dlg" 136 36 80 12     # player 2: computer
screenshot computer_match_dialog >/dev/null
click_control "$dlg" 40 228 50 14     # OK

game=$(wait_game_window 300) || fail "no game window"
note "game window $game"

# The match-end box is a new window beside the (hidden) game window.
box=""
for _ in $(seq 900); do
  for id in $(xdotool search --onlyvisible --name "" 2>/dev/null); do
    [ "$id" = "$game" ] && continue
    name=$(xdotool getwindowname "$id" 2>/dev/null || true)
    case "$name" in *"Morvane - Be"*) continue ;; esac
    geo=$(xwininfo -id "$id" 2>/dev/null | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w*h}')
    [ "${geo:-0}" -gt 2000 ] && [ "${geo:-0}" -lt 1000000 ] && { box=$id; break; }
  done
  [ -n "$box" ] && break
  kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended without the winner's message: $(cat "$WORK/game.out")"
  sleep 0.2
done
[ -n "$box" ] || fail "no match-end message appeared"
sleep 1
shot=$(screenshot computer_match_end)
note "message box $box: $(xwininfo -id "$box" | awk '/Width:|Height:/{printf "%s ", $2}')"
# The game window is hidden: all that is drawn on the black screen is the box and its text.
drawn=$(count_where "$shot" 1280x1024+0+0 "r > 0.1 || g > 0.1 || b > 0.1")
note "pixels drawn on the screen: $drawn"
[ "$drawn" -gt 10000 ] || fail "the message box is not visible ($drawn pixels drawn)"

xdotool windowactivate --sync "$box" >/dev/null 2>&1 || xdotool windowfocus --sync "$box" >/dev/null 2>&1 || true
xdotool key Return
dlg=$(wait_window_named "Morvane - Be" 300) || fail "the game did not start anew with the dialog"
sleep 1
screenshot computer_match_restarted >/dev/null
note "the dialog is back"
click_control "$dlg" 208 227 50 14    # Kilépés
wait_game_exit 100 || fail "Kilépés did not end the game"
code=$(game_exit_code)
[ "$code" -eq 0 ] || fail "exit code $code after Kilépés"
note "Kilépés exited with code 0"
