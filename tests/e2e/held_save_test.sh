# Saves on exFAT through FUSE (no hard links, no renames that refuse to
# replace: a name can only be looked at and then renamed to), with copies
# of the game held up in their saves the way Ctrl+Z, a debugger or a
# stalled disk holds them:
# - copy A stops between looking at its flight's name and renaming to it,
#   while copy B saves after waiting out the lock A holds: neither flight
#   is lost;
# - copy C is killed at the same step, its whole flight left under its
#   temporary name.
# Each next start names what it finds left whole (B's flight, then C's),
# --list shows them, and after one more save they fly as ghosts.
source "$(dirname "$0")/lib.sh"
e2e_unix_only "copies of the game are held up with SIGSTOP"
e2e_desktop "$1"
DATA=$WORK/exfat/data
e2e_mount_exfat "$WORK/exfat" || { echo "SKIP: no exFAT volume can be mounted here (needs root, FUSE, exfat-fuse)"; exit 77; }
mkdir -p "$DATA/recordings"

# Starts a copy of the game in the data folder (arguments: environment for
# it) on a window of its own, and flies it until its flight is long enough
# to be saved. Sets GAME_PID, WID and FRAMES.
copies=0
fly_copy() {
  local others i
  others=$(xdotool search --onlyvisible --name '^vantaloop$' 2>/dev/null)
  E2E_OUTPUT=$((++copies)) e2e_launch -C "$DATA" "$@"
  for i in $(seq 1 600); do
    WID=$(xdotool search --onlyvisible --name '^vantaloop$' 2>/dev/null | grep -vxF "${others:-none}" | head -n 1)
    [ -n "$WID" ] && break
    kill -0 "$GAME_PID" 2>/dev/null || fail "copy $copies ended before its window appeared"
    sleep 0.1
  done
  [ -n "$WID" ] || fail "no window of copy $copies appeared"
  e2e_focus
  e2e_fly_long
}

# Escape, then waits until the copy has stopped itself in its save.
escape_and_stop() {
  local i
  e2e_key Escape
  for i in $(seq 1 600); do
    [ "$(ps -o stat= -p "$GAME_PID" | cut -c1)" = T ] && return 0
    kill -0 "$GAME_PID" 2>/dev/null || fail "copy $copies ended instead of stopping in its save"
    sleep 0.1
  done
  fail "copy $copies never reached the step of its save where it stops"
}

temps() { find "$DATA" -name '*.tmp' | sort; }

fly_copy VANTALOOP_TEST_STOP_SAVE=claim
A=$GAME_PID
escape_and_stop
fly_copy
e2e_key Escape
e2e_wait_exit 60
[ "$GAME_RC" = 0 ] || fail "copy B ended with status $GAME_RC"
grep -q "while another copy of the game was saving: it is kept as" "$WORK/stderr2.txt" ||
  fail "copy B did not say where its flight is kept: $(cat "$WORK/stderr2.txt")"
kill -CONT "$A"
GAME_PID=$A
e2e_wait_exit 60
[ "$GAME_RC" = 0 ] || fail "copy A ended with status $GAME_RC"
[ "$(temps | wc -l)" = 1 ] || fail "copy B's flight is not kept under its temporary name: $(temps)"
a_frames=$(e2e_recording_frames "$DATA/recordings/rec0000.bin")
b_temp=$(temps)
b_frames=$(e2e_recording_frames "$b_temp")

# The next start names B's flight.
E2E_OUTPUT=$((++copies)) e2e_start -C "$DATA"
e2e_close
e2e_wait_exit 20
grep -qxF "vantaloop: the flight of $b_frames frames that a cut-off save left as ${b_temp#"$DATA/"} is saved as recordings/rec0001.bin" \
  "$WORK/stderr3.txt" || fail "the next start did not name B's flight: $(cat "$WORK/stderr3.txt")"

# Copy C is killed while stopped in its save, its flight on disk and not
# yet named.
fly_copy VANTALOOP_TEST_STOP_SAVE=claim
escape_and_stop
kill -KILL "$GAME_PID"
wait "$GAME_PID" 2>/dev/null
GAME_PID=""
c_temp=$(temps)
[ "$(echo "$c_temp" | wc -w)" = 1 ] || fail "copy C's flight is not on disk alone: $(temps)"
c_frames=$(e2e_recording_frames "$c_temp")

# Copy D's start names C's flight, and D's own flight is saved after it.
fly_copy
e2e_key Escape
e2e_wait_exit 60
[ "$GAME_RC" = 0 ] || fail "copy D ended with status $GAME_RC"
grep -qxF "vantaloop: the flight of $c_frames frames that a cut-off save left as ${c_temp#"$DATA/"} is saved as recordings/rec0002.bin" \
  "$WORK/stderr5.txt" || fail "copy D's start did not name C's flight: $(cat "$WORK/stderr5.txt")"
[ -z "$(temps)" ] || fail "temporary files left: $(temps)"
got=$(for n in 0 1 2; do e2e_recording_frames "$DATA/recordings/rec000$n.bin"; done | tr '\n' ' ')
want="$a_frames $b_frames $c_frames "
[ "$got" = "$want" ] || fail "the saved flights hold $got frames, not those flown: $want"
[ "$(cat "$DATA/mem.txt")" = 3 ] || fail "mem.txt holds '$(cat "$DATA/mem.txt")'"

# An upper-case name, as a player copying files may leave on exFAT: --list
# finds all four flights, and a start loads files 0 to 2.
mv "$DATA/recordings/rec0002.bin" "$DATA/recordings/renamed" && mv "$DATA/recordings/renamed" "$DATA/recordings/REC0002.BIN"
(cd "$WORK" && e2e_game --data "$DATA" --list >"$WORK/list.txt") || fail "--list failed"
[ "$(tail -n 1 "$WORK/list.txt")" = \
  "4 flights: 0 damaged, 0 missing; 3 fly as ghosts at the next start (mem.txt holds 3)" ] ||
  fail "--list: $(cat "$WORK/list.txt")"
e2e_start -C "$DATA"
e2e_close
e2e_wait_exit 20
sed -n 5,8p "$DATA/log.txt" | sed 's/ frames$//' >"$WORK/loaded.txt"
[ "$(head -n 1 "$WORK/loaded.txt")" = "loading 3 recordings" ] || fail "the last start: $(cat "$WORK/loaded.txt")"
[ "$(tail -n 3 "$WORK/loaded.txt" | tr '\n' ' ')" = "$want" ] ||
  fail "the last start loaded $(tail -n 3 "$WORK/loaded.txt" | tr '\n' ' ') frames, not $want"
echo "PASS: on $(stat -f -c %T "$DATA"), held-up and cut-off saves keep all three flights ($want frames); they fly at the next start"
