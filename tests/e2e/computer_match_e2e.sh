# Computer against computer ("Lerakat" 1, "Körök száma" 1, "Bajnok"): the match plays to the
# winner's message; Return brings a fresh game with the dialog, where "Kilépés" exits 0.
source "$(dirname "$0")/e2e_lib.sh"
type_into() { click_control "$@"; xdotool key ctrl+a BackSpace; xdotool type --delay 50 "$6"; }

start_game
dlg=$(wait_for 300 --name "$DIALOG") || fail "the settings dialog did not appear"
sleep 1; activate "$dlg"
type_into "$dlg" 64 88 56 12 1        # Lerakat
type_into "$dlg" 64 104 56 12 1       # Körök száma
click_control "$dlg" 140 176 60 12    # Bajnok
click_control "$dlg" 136 16 80 12     # player 1: computer
click_control "$dlg" 136 36 80 12     # player 2: computer
screenshot computer_match_dialog >/dev/null
click_control "$dlg" 40 228 50 14     # OK
game=$(wait_for 300 --name "$GAME_TITLE") || fail "no game window"

# The winner's message is a new window beside the (hidden) game window.
box=""
for _ in $(seq 900); do
  for id in $(xdotool search --onlyvisible --name "" 2>/dev/null); do
    [ "$id" = "$game" ] && continue
    case "$(xdotool getwindowname "$id" 2>/dev/null || true)" in *"$DIALOG"*) continue ;; esac
    size=$(xwininfo -id "$id" 2>/dev/null | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w*h}' || true)
    [ "${size:-0}" -gt 2000 ] && [ "${size:-0}" -lt 1000000 ] && { box=$id; break; }
  done
  [ -n "$box" ] && break
  kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended without the winner's message: $(cat "$WORK/game.out")"
  sleep 0.2
done
[ -n "$box" ] || fail "no match-end message appeared"
sleep 1
shot=$(screenshot computer_match_end)
# With the game window hidden, the box and its text are all that is drawn on the black screen.
more_than "pixels drawn on the screen" $((1280 * 1024 - $(count "$shot" 1280x1024+0+0 "- 10 - 10 - 10"))) 10000

activate "$box"; xdotool key Return
dlg=$(wait_for 300 --name "$DIALOG") || fail "the game did not start anew with the dialog"
sleep 1
screenshot computer_match_restarted >/dev/null
click_control "$dlg" 208 227 50 14    # Kilépés
expect_exit "\"Kilépés\""
