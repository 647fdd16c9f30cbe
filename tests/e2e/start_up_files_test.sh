# Start-up against hostile files and a missing GL, without any desktop
# (SDL's offscreen driver; each run is stopped with SIGTERM):
# 1. a video driver that gives no OpenGL: start-up fails with the message on
#    stderr and a non-zero exit status;
# 2. FIFOs named mem.txt and icon.ico: read as missing, start-up goes on;
# 3. a FIFO as a recording, a link to a recording longer than any flight,
#    an icon claiming 60000 x 60000 pixels: the FIFO loads as empty, the long
#    one as 10800 frames, the icon is passed over;
# 4. a file-size limit of 0: nothing can be written, yet the game runs and
#    shuts down normally;
# 5. a data folder that takes no files (/proc): said at once, and the game
#    still flies.
source "$(dirname "$0")/lib.sh"
e2e_unix_only "FIFOs, symbolic links, file-size limits and SDL's offscreen driver are POSIX's"
e2e_init "$1"

# Waits for the game to fly, then stops it.
run_headless() {
  rm -f "$WORK/log.txt"  # the last run's log must not be taken for this one's
  e2e_launch SDL_VIDEODRIVER=offscreen
  e2e_wait_frames 30
  grep -q "^enter message loop" "$WORK/log.txt" || fail "the game draws, but its log has no main loop"
  kill -TERM "$GAME_PID"
  e2e_wait_exit 20
  [ "$GAME_RC" = 0 ] || fail "exit status $GAME_RC"
}

e2e_launch SDL_VIDEODRIVER=dummy
e2e_wait_exit 20
[ "$GAME_RC" != 0 ] || fail "a start-up without a window ended with status 0"
grep -q "Could not create window" "$WORK/stderr.txt" || fail "no message on stderr"
e2e_expect_log "CreateGLWindow()"

mkfifo "$WORK/mem.txt" "$WORK/icon.ico"
run_headless
grep -q "^loading" "$WORK/log.txt" && fail "a FIFO was read as mem.txt"
rm "$WORK/mem.txt" "$WORK/icon.ico"

echo 2 >"$WORK/mem.txt"
mkfifo "$WORK/recordings/rec0000.bin"
mkdir "$WORK/elsewhere"
{ printf '\xff\xff\xff\x7f'; head -c $((20000 * 76)) /dev/zero; } >"$WORK/elsewhere/long.bin"
ln -s "$WORK/elsewhere/long.bin" "$WORK/recordings/rec0001.bin"
{ printf 'BM'; head -c 16 /dev/zero; printf '\x60\xea\x00\x00\x60\xea\x00\x00\x01\x00\x18\x00'; head -c 95 /dev/zero; } \
  >"$WORK/icon.ico"
run_headless
sed -n 5,7p "$WORK/log.txt" >"$WORK/loaded.txt"
printf 'loading 2 recordings\n0 frames\n10800 frames\n' | cmp -s - "$WORK/loaded.txt" ||
  fail "loaded: $(cat "$WORK/loaded.txt")"

rm -rf "$WORK/recordings"/* "$WORK/mem.txt" "$WORK/icon.ico" "$WORK/log.txt"
(cd "$WORK" && ulimit -f 0 && exec env SDL_VIDEODRIVER=offscreen "$GAME" >/dev/null 2>&1) &
GAME_PID=$!
sleep 2
kill -0 "$GAME_PID" 2>/dev/null || { wait "$GAME_PID"; fail "under a file-size limit the game ended with status $?"; }
kill -TERM "$GAME_PID"
e2e_wait_exit 20
[ "$GAME_RC" = 0 ] || fail "exit status $GAME_RC under a file-size limit"

e2e_launch SDL_VIDEODRIVER=offscreen -- --data /proc
# The message comes before the window.
e2e_wait_frames 30
grep -q "^vantaloop: Flights cannot be saved: No new file can be made in /proc\. " "$WORK/stderr.txt" ||
  fail "no word that /proc cannot keep flights"
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended on a data folder that takes no files"
kill -TERM "$GAME_PID"
e2e_wait_exit 20
[ "$GAME_RC" = 0 ] || fail "exit status $GAME_RC with --data /proc"
echo "PASS: failed start-up reported; hostile files, a file-size limit and a read-only data folder do not stop the game"
