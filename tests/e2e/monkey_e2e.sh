# Random play through the real window: keys of the game's set held and tapped, mouse motion with
# and without CTRL and SHIFT, both buttons, F1; the window closed at a random moment. The game
# must keep ticking (its --stats lines keep coming), never crash, and exit 0.
# MORVANE_MONKEY_SECONDS sets the length (60), MORVANE_MONKEY_SEED the run (printed).
source "$(dirname "$0")/e2e_lib.sh"
SECONDS_TO_PLAY=${MORVANE_MONKEY_SECONDS:-60}
SEED=${MORVANE_MONKEY_SEED:-$(date +%s)}
RANDOM=$SEED
echo "-- monkey seed $SEED, $SECONDS_TO_PLAY s" >&2
KEYS=(KP_Insert KP_End KP_Down KP_Next KP_Left KP_Begin KP_Right KP_Home KP_Up KP_Prior KP_Delete KP_Add
  KP_Enter Return space r F1 w a s d q e)

start_game --stats
accept_settings
alive() {
  kill -0 "$GAME_PID" 2>/dev/null || { cat "$WORK/game.out" >&2; fail "the game ended by itself"; }
}
# Every few seconds a new stats line must have come: the game thread is not stuck.
stats_lines() { grep -c '^stats: ticks=' "$WORK/game.out" || true; }
last_lines=$(stats_lines) last_check=$SECONDS
close_at=$((SECONDS + SECONDS_TO_PLAY / 2 + RANDOM % (SECONDS_TO_PLAY / 2 + 1)))
while [ "$SECONDS" -lt "$close_at" ]; do
  alive
  focus_game
  case $((RANDOM % 6)) in
    0 | 1) hold "${KEYS[RANDOM % ${#KEYS[@]}]}" "0.$((RANDOM % 5))" ;;
    2) xdotool key "${KEYS[RANDOM % ${#KEYS[@]}]}" ;;
    3) mod=$((RANDOM % 3))
       [ "$mod" -eq 1 ] && xdotool keydown ctrl
       [ "$mod" -eq 2 ] && xdotool keydown shift
       for _ in 1 2 3 4; do xdotool mousemove_relative -- $((RANDOM % 41 - 20)) $((RANDOM % 41 - 20)); sleep 0.05; done
       xdotool keyup ctrl keyup shift ;;
    4) button=$((RANDOM % 2 * 2 + 1))
       xdotool mousedown "$button"; sleep "0.$((RANDOM % 8))"; xdotool mouseup "$button" ;;
    5) xdotool keydown F1; sleep 0.3; xdotool keyup F1 ;;
  esac
  if [ $((SECONDS - last_check)) -ge 5 ]; then
    lines=$(stats_lines)
    [ "$lines" -gt "$last_lines" ] || fail "no stats line in 5 s: the game thread is stuck"
    last_lines=$lines last_check=$SECONDS
  fi
done
alive
screenshot monkey_end >/dev/null
close_game
echo "-- monkey: $(stats_lines) stats lines, closed after $SECONDS s" >&2
