# Saves on exFAT through FUSE (no hard links, no renames that refuse to
# replace: a name can only be looked at and then renamed to), with copies
# of the game held up in their saves the way Ctrl+Z, a debugger or a
# stalled disk holds them:
# - copy C is killed between looking at its flight's name and renaming to
#   it: its whole flight is left under its temporary name, and the next
#   start names it;
# - copy A stops at the same step, while copy B saves after waiting out the
#   lock A holds: neither flight is lost, and the start after names B's.
# --list shows every flight, also under an upper-case name, and the flights
# fly as ghosts as the loading rule says.
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
  local others
  others=$(xdotool search --onlyvisible --name '^vantaloop$' 2>/dev/null)
  E2E_OUTPUT=$((++copies)) e2e_launch -C "$DATA" "$@"
  e2e_other_window $others
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

# Copy A's start names C's flight; A stops in its own save, holding the
# lock, while B flies and saves.
fly_copy VANTALOOP_TEST_STOP_SAVE=claim
A=$GAME_PID
grep -qxF "vantaloop: the flight of $c_frames frames that a cut-off save left as ${c_temp#"$DATA/"} is saved as recordings/rec0000.bin" \
  "$WORK/stderr2.txt" || fail "the next start did not name C's flight: $(cat "$WORK/stderr2.txt")"
escape_and_stop
fly_copy
e2e_key Escape
e2e_wait_exit 60
[ "$GAME_RC" = 0 ] || fail "copy B ended with status $GAME_RC"
grep -q "while another copy of the game was saving: it is kept as" "$WORK/stderr3.txt" ||
  fail "copy B did not say where its flight is kept: $(cat "$WORK/stderr3.txt")"
kill -CONT "$A"
GAME_PID=$A
e2e_wait_exit 60
[ "$GAME_RC" = 0 ] || fail "copy A ended with status $GAME_RC"
b_temp=$(temps)
[ "$(echo "$b_temp" | wc -w)" = 1 ] || fail "copy B's flight is not kept under its temporary name: $(temps)"
a_frames=$(e2e_recording_frames "$DATA/recordings/rec0001.bin")
b_frames=$(e2e_recording_frames "$b_temp")

# The next start names B's flight, and flies C's and A's as ghosts.
E2E_OUTPUT=$((++copies)) e2e_start -C "$DATA"
e2e_close
e2e_wait_exit 20
grep -qxF "vantaloop: the flight of $b_frames frames that a cut-off save left as ${b_temp#"$DATA/"} is saved as recordings/rec0002.bin" \
  "$WORK/stderr4.txt" || fail "the next start did not name B's flight: $(cat "$WORK/stderr4.txt")"
[ -z "$(temps)" ] || fail "temporary files left: $(temps)"
got=$(for n in 0 1 2; do e2e_recording_frames "$DATA/recordings/rec000$n.bin"; done | tr '\n' ' ')
[ "$got" = "$c_frames $a_frames $b_frames " ] || fail "the saved flights hold $got frames, not those flown"
[ "$(cat "$DATA/mem.txt")" = 2 ] || fail "mem.txt holds '$(cat "$DATA/mem.txt")'"
sed -n '/^loading /,+2p' "$DATA/log.txt" | tr '\n' ' ' >"$WORK/loaded.txt"
[ "$(cat "$WORK/loaded.txt")" = "loading 2 recordings $c_frames frames $a_frames frames " ] ||
  fail "the start after loaded: $(cat "$WORK/loaded.txt")"

# An upper-case name, as a player copying files may leave on exFAT: --list
# finds it as the start-up's loader does.
mv "$DATA/recordings/rec0001.bin" "$DATA/recordings/renamed" && mv "$DATA/recordings/renamed" "$DATA/recordings/REC0001.BIN"
(cd "$WORK" && e2e_game --data "$DATA" --list >"$WORK/list.txt") || fail "--list failed"
[ "$(tail -n 1 "$WORK/list.txt")" = \
  "3 flights: 0 damaged, 0 missing; 2 fly as ghosts at the next start (mem.txt holds 2)" ] ||
  fail "--list: $(cat "$WORK/list.txt")"
echo "PASS: on $(stat -f -c %T "$DATA"), held-up and cut-off saves keep all three flights ($got frames)"
