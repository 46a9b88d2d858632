# The start view and a far view match the reference pictures in tests/e2e/reference/ within a
# small tolerance, so a change in how the scene is drawn cannot change what the player sees.
# With MORVANE_WRITE_REFERENCE=1 the two pictures are written there instead (for a change of
# picture that is meant).
#
# The far view is reached with keys alone: R faces the camera along -z, and every tick keypad 5
# is held moves the eye exactly 10 units along +z. How many ticks a hold lasts depends on
# timing, so the script reads the eye's z off the picture (the near edges of the arena walls)
# and corrects with short holds until the eye stands exactly at z = FAR_Z.
source "$(dirname "$0")/e2e_lib.sh"
REFERENCE=$(cd "$(dirname "$0")" && pwd)/reference
FAR_Z=1500
# Pixels whose channels differ by more than FUZZ from the reference's, and how many may. The
# references were taken from the corner-by-corner drawing, and the shared-corner meshes give the
# same picture bit for bit on Mesa 22; the allowance is for another rasteriser's rounding along
# a few edges, and stays well under the 400-odd pixels of one ball in the far view.
FUZZ=2% MAX_DIFFERENT=${MORVANE_PICTURE_TOLERANCE:-50}

# The eye's z from the top and bottom rows of the lit walls in the middle columns, with the eye
# outside the arena (z > 500) looking along -z: the near wall is seen from behind and culled,
# and the near edges (y = +-500, z = +500) show 886.8 * 500 / (z - 500) pixels off row 512
# whatever the aspect. Rounded to the 10-unit step of the flight; 0 when the edges are not
# both in view.
eye_z_outside() {
  local geo top height
  geo=$(convert "$1" -crop 200x920+540+56 +repage -colorspace gray -threshold 3% \
    -bordercolor black -border 1 -format "%@" info: 2>/dev/null)
  case $geo in 0x*) echo 0; return ;; esac
  height=${geo#*x}; height=${height%%+*}
  top=${geo#*+*+}; top=$((top + 56 - 1))
  # Both edges must lie inside the crop, clear of its borders.
  [ "$top" -gt 57 ] && [ $((top + height)) -lt 975 ] || { echo 0; return; }
  awk -v h="$height" 'BEGIN { print 10 * int(50 + 88680 / h + 0.5) }'
}

# The picture without the two player lines: who shoots first is drawn by lot at every start,
# and the lines' colours follow it.
without_player_lines() {
  convert "$1" -fill black -draw "rectangle 0,0 299,19" -draw "rectangle 1080,0 1279,19" -strip \
    -define png:compression-level=9 "$2"
}

check_picture() {
  local name=$2 shot="$ARTEFACTS/$2.png" count
  without_player_lines "$1" "$shot"
  if [ "${MORVANE_WRITE_REFERENCE:-0}" = 1 ]; then
    mkdir -p "$REFERENCE"; cp "$shot" "$REFERENCE/$name.png"; note "wrote $REFERENCE/$name.png"
    return
  fi
  [ -f "$REFERENCE/$name.png" ] || fail "no reference picture $name.png"
  # Pixels that differ by more than FUZZ; the difference picture is kept beside the shot.
  count=$(compare -metric AE -fuzz "$FUZZ" "$shot" "$REFERENCE/$name.png" "$ARTEFACTS/${name}_diff.png" 2>&1 || true)
  note "$name: $count pixels differ by more than $FUZZ from the reference"
  [ "$count" -le "$MAX_DIFFERENT" ] || fail "$name: $count pixels differ from the reference (at most $MAX_DIFFERENT)"
}

start_game
accept_dialog_defaults
take_game_window
sleep 1
check_picture "$(screenshot picture_start)" start_view

# Far view: a long hold to leave the arena, then holds sized by the remaining distance.
focus_game; hold KP_Begin 2
z=0
for _ in $(seq 80); do
  sleep 0.4
  z=$(eye_z_outside "$(peek)")
  if [ "$z" -eq 0 ]; then note "still inside the arena"; hold KP_Begin 1; continue; fi
  ticks=$(((FAR_Z - z) / 10))
  note "eye about z = $z"
  [ "$ticks" -eq 0 ] && break
  key=KP_Begin; [ "$ticks" -lt 0 ] && { key=KP_Up; ticks=$((-ticks)); }
  # A tick or two: press and release from one xdotool call, which often moves nothing at all
  # but seldom more than a step.
  if [ "$ticks" -le 2 ]; then xdotool keydown "$key" sleep 0.005 keyup "$key"
  else hold "$key" "$(awk -v n="$ticks" 'BEGIN { print n * 0.7 / 64 }')"; fi
done
[ "$z" -eq "$FAR_Z" ] || fail "the camera did not reach z = $FAR_Z (last read $z)"
note "eye at z = $z"
sleep 0.5
check_picture "$(screenshot picture_far)" far_view
close_game
