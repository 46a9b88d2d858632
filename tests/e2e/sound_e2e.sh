# The sound output, recorded by SDL's disk audio driver (signed 16-bit stereo, 44.1 kHz): silent
# while the cue ball is placed and the shot prepared, not silent once SPACE strikes it.
source "$(dirname "$0")/e2e_lib.sh"
AUDIO="$WORK/audio.raw"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$AUDIO"
audio_size() { stat -c %s "$AUDIO" 2>/dev/null || echo 0; }

# Prints "<non-zero samples> <largest magnitude> <byte offset of the first non-zero sample, or
# -1>" for the bytes FROM..TO of the recording (TO -1: the end).
audio_stats() {
  python3 - "$AUDIO" "$1" "$2" <<'PY'
import array, sys
data = open(sys.argv[1], "rb").read()
start, end = int(sys.argv[2]), int(sys.argv[3])
end = len(data) if end < 0 else end
start -= start % 4
end -= (end - start) % 4
samples = array.array("h", data[start:end])
if sys.byteorder != "little": samples.byteswap()
nonzero = [i for i, s in enumerate(samples) if s != 0]
print(len(nonzero), max(map(abs, samples), default=0), start + 2 * nonzero[0] if nonzero else -1)
PY
}

start_game
accept_dialog_defaults
take_game_window
for _ in $(seq 100); do [ "$(audio_size)" -gt 0 ] && break; sleep 0.2; done
[ "$(audio_size)" -gt 0 ] || fail "no audio recording (the disk audio driver did not start)"

place_cue_ball
aim_with_ctrl
raise_strength 1
screenshot sound_before_shot >/dev/null; sleep 0.5
before=$(audio_size)
focus_game; xdotool key space
# All written before the press is final now: at least a second of it, and all silence.
read -r loud peak first <<<"$(audio_stats 0 "$before")"
more_than "bytes recorded before the shot" "$before" 176400
[ "$loud" -eq 0 ] || fail "not silent before the first shot ($loud non-zero samples, first at byte $first)"

for _ in $(seq 40); do
  sleep 0.5; read -r loud peak first <<<"$(audio_stats "$before" -1)"
  [ "$loud" -gt 1000 ] && break
done
more_than "non-zero samples after the shot" "$loud" 1000
more_than "peak after the shot" "$peak" 1000
# The shot is heard within three seconds of audio after the press.
more_than "bytes of audio from the first sound to 3 s after the press" $((before + 3 * 176400 - first)) 0
screenshot sound_after_shot >/dev/null
close_game
