# The sound output, recorded by SDL's disk audio driver (signed 16-bit stereo): silent while
# the cue ball is placed and the shot prepared, not silent once SPACE strikes the cue ball.
source "$(dirname "$0")/e2e_lib.sh"
source "$(dirname "$0")/play_lib.sh"

AUDIO="$WORK/audio.raw"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$AUDIO"

audio_size() { stat -c %s "$AUDIO" 2>/dev/null || echo 0; }

# Prints "<non-zero samples> <largest magnitude> <byte offset of the first non-zero sample>"
# for the bytes from..to of the recording (to = -1: the end); the offset is -1 for silence.
audio_stats() {
  python3 - "$AUDIO" "$1" "$2" <<'EOF'
import array, sys
path, start, end = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
with open(path, "rb") as f:
    data = f.read()
if end < 0:
    end = len(data)
start -= start % 4
end -= (end - start) % 4
samples = array.array("h", data[start:end])
if sys.byteorder != "little":
    samples.byteswap()
nonzero = [i for i, s in enumerate(samples) if s != 0]
first = start + 2 * nonzero[0] if nonzero else -1
print(len(nonzero), max((abs(s) for s in samples), default=0), first)
EOF
}

start_window_manager
prepare_workdir
centre_pointer
start_game
wait_dialog
accept_dialog_defaults
take_game_window

# The disk driver writes continuously from start-up on.
for _ in $(seq 100); do
  [ "$(audio_size)" -gt 0 ] && break
  sleep 0.2
done
[ "$(audio_size)" -gt 0 ] || fail "no audio recording at $AUDIO (the disk audio driver did not start)"

# Place the cue ball, aim and raise the strength: none of this makes a sound.
fly_back_clear_of_rack
place_cue_ball
see_cue_ball_ahead
aim_with_ctrl
raise_strength 1
screenshot sound_before_shot >/dev/null
sleep 0.5

before=$(audio_size)
focus_game
xdotool key space
# Everything written before the press is fixed now; read it while the shot sounds.
read -r loud peak first <<<"$(audio_stats 0 "$before")"
note "before the shot: $before bytes, $loud non-zero samples (peak $peak)"
# At least a second of 44.1 kHz stereo has been written, all of it silence.
[ "$before" -gt 176400 ] || fail "the recording is too short before the shot ($before bytes)"
[ "$loud" -eq 0 ] || fail "the output is not silent before the first shot ($loud non-zero samples, first at byte $first)"

for _ in $(seq 40); do
  sleep 0.5
  read -r loud peak first <<<"$(audio_stats "$before" -1)"
  [ "$loud" -gt 1000 ] && break
done
after=$(audio_size)
note "after the shot: $((after - before)) new bytes, $loud non-zero samples (peak $peak), first at byte $first"
[ "$loud" -gt 1000 ] || fail "the output stays silent after the shot"
[ "$peak" -gt 1000 ] || fail "the shot sound is too faint (peak $peak)"
# The shot is heard within about three seconds of sound after the press.
[ $((first - before)) -lt $((3 * 176400)) ] ||
  fail "the first sound comes $(( (first - before) / 176 )) ms of audio after the press"
screenshot sound_after_shot >/dev/null

xdotool key --window "$GAME_WIN" alt+F4
wait_game_exit 150 || fail "the game did not end on the close request"
code=$(game_exit_code)
[ "$code" -eq 0 ] || fail "exit code $code after closing"
note "closed with exit code 0"
