# Computer against computer, set up on the command line and recorded, to the winner's message;
# the restarted game's dialog holds the options (its small arena refuses a rack the default arena
# would take); then the recording replays to the same message and the same world.
source "$(dirname "$0")/e2e_lib.sh"
type_into() { click_control "$@"; xdotool key ctrl+a BackSpace; xdotool type --delay 50 "$5"; }

winners_box() {  # the winner's message: a dialog window without a caption
  wait_for 30 --name "$GAME_TITLE" >/dev/null || fail "no game window"
  box=""
  for _ in $(seq 900); do
    for id in $(xdotool search --onlyvisible --name '^$' 2>/dev/null); do
      xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q DIALOG && box=$id
    done
    [ -n "$box" ] && break
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended without the winner's message: $(cat "$WORK/game.out")"
    sleep 0.2
  done
  [ -n "$box" ] || fail "no match-end message appeared"
  sleep 1
}

start_game --computer1 --computer2 --level=4 --rack 1 --arena 200 --rounds 1 --no-dialog --record match.rec
winners_box
shot=$(screenshot computer_match_end)
more_than "pixels drawn on the black screen" $((W * H - $(count "$shot" ${W}x${H}+0+0 "- 10 - 10 - 10"))) 10000

activate "$box"; xdotool key Return
dialog_window
type_into 64 88 56 12 8
xdotool key Return
answer_box "HIBA!" computer_match_prefilled_refuses_rack_8
click_control 208 227 50 14    # Kilépés
expect_exit "Kilépés in the dialog"
[ -s "$WORK/match.rec" ] && [ ! -e "$WORK/match.rec.2" ] || fail "not one recording: $(ls "$WORK")"

start_game --replay match.rec
winners_box
activate "$box"; xdotool key Return
expect_exit "the replay's end"
grep -q "^replay: the world matches the recording" "$WORK/game.out" || fail "$(cat "$WORK/game.out")"
