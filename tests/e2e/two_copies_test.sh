# Two copies of the game flying at the same time in one folder, both left
# with Escape after a long flight: both flights are kept, in two new files.
# The folder starts with mem.txt behind its files (0, with files 0 and 1 on
# disk, as after a save cut off before mem.txt moved on), so the first copy
# to save finds its number taken and moves on; the old files stay as they
# were. The folder is on an exFAT volume mounted through FUSE (no hard
# links, no renames that refuse to replace) where this machine can mount
# one. A brief third start then loads the flights saved there.
source "$(dirname "$0")/lib.sh"
e2e_desktop "$1"
DATA=$WORK
if e2e_mount_exfat "$WORK/exfat"; then
  DATA=$WORK/exfat/data
  mkdir "$DATA"
else
  echo "note: no exFAT volume can be mounted here (needs root, FUSE, exfat-fuse); saving into $WORK" >&2
fi

# A recording of $1 frames, every byte of every frame $2.
old_recording() {
  printf "\\x$(printf %02x "$1")\\x00\\x00\\x00"
  head -c $(($1 * 76)) /dev/zero | tr '\0' "\\$(printf %03o "$2")"
}
old_recording 70 1 >"$WORK/rec0000.bin"
old_recording 90 2 >"$WORK/rec0001.bin"

# Both copies fly until their flights are long enough to be saved and are
# left with Escape.
rm -rf "$DATA/recordings" && mkdir "$DATA/recordings"
cp "$WORK/rec0000.bin" "$WORK/rec0001.bin" "$DATA/recordings/"
echo 0 >"$DATA/mem.txt"
pids=() wids=() counts=()
for n in 1 2; do
  E2E_OUTPUT=$n e2e_launch -C "$DATA"
  e2e_other_window "${wids[@]}"
  # Up and drawing, so that it has taken the focus it takes at the start
  # before the focus goes elsewhere.
  e2e_focus
  e2e_wait_frames 1
  pids+=("$GAME_PID") wids+=("$WID") counts+=("$FRAMES")
done
# One copy after the other has the focus (only the active window draws
# under Wine) until its flight is long enough; both fly all the while. The
# focus is given again every 25 frames, should the window manager have
# moved it.
for n in 0 1; do
  GAME_PID=${pids[n]} WID=${wids[n]} FRAMES=${counts[n]}
  while [ "$(e2e_frames)" -lt "$E2E_SAVED_FRAMES" ]; do
    e2e_focus
    e2e_wait_frames +25
  done
done
for WID in "${wids[@]}"; do
  e2e_key Escape
  sleep 1
done
for p in "${pids[@]}"; do
  for i in $(seq 1 200); do kill -0 "$p" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$p" 2>/dev/null && { kill -KILL "${pids[@]}" 2>/dev/null; fail "a copy did not end after Escape"; }
  wait "$p" || fail "a copy ended with status $?"
done
GAME_PID=""
e2e_strip_cr "$WORK/stderr1.txt" "$WORK/stderr2.txt"
cat "$WORK/stderr1.txt" "$WORK/stderr2.txt" >"$WORK/stderr.txt"
grep -q "could not" "$WORK/stderr.txt" && fail "a copy reported a failed save"
cmp -s "$WORK/rec0000.bin" "$DATA/recordings/rec0000.bin" || fail "rec0000.bin changed"
cmp -s "$WORK/rec0001.bin" "$DATA/recordings/rec0001.bin" || fail "rec0001.bin changed"
[ -f "$DATA/recordings/rec0002.bin" ] && [ -f "$DATA/recordings/rec0003.bin" ] ||
  fail "two flights long enough to be saved were not both saved: one was lost"
for n in 2 3; do
  count=$(e2e_recording_frames "$DATA/recordings/rec000$n.bin")
  [ "$count" -gt 600 ] || fail "rec000$n.bin: $count frames"
  echo "rec000$n.bin: $count frames"
  frames[n]=$count
done
[ "$(ls -A "$DATA/recordings" | wc -l)" = 4 ] || fail "other files in recordings: $(ls -A "$DATA/recordings")"
[ "$(ls -A "$DATA" | grep -c '\.tmp$')" = 0 ] || fail "temporary files left: $(ls -A "$DATA")"
[ "$(cat "$DATA/mem.txt")" = 3 ] || fail "mem.txt holds '$(cat "$DATA/mem.txt")'"
grep -qx "vantaloop: recordings/rec0001.bin is taken: the flight is saved as recordings/rec0002.bin" \
  "$WORK/stderr.txt" || fail "no copy said that file 1 was taken"

# The next start loads files 0 to 2 from the volume.
e2e_start -C "$DATA"
e2e_close
e2e_wait_exit 20
[ "$GAME_RC" = 0 ] || fail "the third start ended with status $GAME_RC"
sed -n 5,8p "$DATA/log.txt" >"$WORK/loaded.txt"
printf 'loading 3 recordings\n70 frames\n90 frames\n%s frames\n' "${frames[2]}" | cmp -s - "$WORK/loaded.txt" ||
  fail "the third start loaded: $(cat "$WORK/loaded.txt")"
echo "PASS: two copies saving into one folder on $(stat -f -c %T "$DATA") both keep their flights, and the next start loads them"
