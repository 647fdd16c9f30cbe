# A player's own flights: --list, --map, --ghosts and --replay on a data
# folder holding a real saved flight, a copy of it, a gap in the numbering
# and a file cut short.
source "$(dirname "$0")/lib.sh"
e2e_desktop "$1"
command -v xmllint >/dev/null || fail "xmllint is not installed"
DATA="$WORK/data"
mkdir -p "$DATA/recordings"

# Starts the game on $DATA with the given arguments.
launch() { e2e_launch -- --data "$DATA" "$@"; }

# A real flight, saved as flight 0.
launch
e2e_ready
e2e_fly_long
e2e_escape_and_exit
[ -f "$DATA/recordings/rec0000.bin" ] || fail "no flight was saved"
REC="$DATA/recordings"
frames=$(e2e_recording_frames "$REC/rec0000.bin")
cp "$REC/rec0000.bin" "$REC/rec0001.bin"
head -c $((4 + 76 * 100 + 30)) "$REC/rec0000.bin" >"$REC/rec0003.bin"
echo 4 >"$DATA/mem.txt"
sums() { (cd "$DATA" && sha256sum mem.txt recordings/*); }
before=$(sums)

# --list needs no window.
(unset DISPLAY; e2e_game --data "$DATA" --list >"$WORK/list.txt" 2>"$WORK/list.err") || fail "--list failed"
rows() { awk -v n="$1" '$1 == n { $1 = $1; print }' "$WORK/list.txt"; }
[ "$(rows 1)" = "$(rows 0 | sed 's/^0 /1 /')" ] || fail "a copy of flight 0 lists differently: $(rows 1)"
[ "$(rows 0 | cut -d' ' -f2)" = "$frames" ] || fail "flight 0 is not listed with its $frames frames"
[ "$(rows 2)" = "2 - - - - - no missing" ] || fail "the gap is listed as: $(rows 2)"
rows 3 | grep -q "^3 100 0:01.600 .* yes cut short: holds 100 of $frames frames$" || fail "the cut file: $(rows 3)"
[ "$(tail -n 1 "$WORK/list.txt")" = \
  "4 flights: 1 damaged, 1 missing; 3 fly as ghosts at the next start (mem.txt holds 4)" ] ||
  fail "summary: $(tail -n 1 "$WORK/list.txt")"

# --map: well-formed XML, one path per flight in its ghost's colour.
(cd "$WORK" && e2e_game --data "$DATA" --map map.svg >/dev/null) || fail "--map failed"
xmllint --noout "$WORK/map.svg" || fail "the map is not well-formed XML"
xpath() { xmllint --xpath "$1" "$WORK/map.svg"; }
[ "$(xpath 'count(//*[local-name()="path"][@class="flight"])')" = 3 ] || fail "not one path per flight"
[ "$(xpath 'string(//*[@id="flight-0"]/@stroke)')" = "#b0b1d0" ] || fail "flight 0 is not in entry 1's colour"
[ "$(xpath 'string(//*[@id="flight-1"]/@stroke)')" = "#78acb6" ] || fail "flight 1 is not in entry 2's colour"

# --map under a file-size limit says so and leaves nothing behind; a
# relative name is never taken inside the data folder when the folder the
# game was started in is gone.
if ! e2e_under_wine; then
  (cd "$WORK" && ulimit -f 1 && e2e_game --data "$DATA" --map big.svg >/dev/null 2>"$WORK/big.err"); rc=$?
  [ "$rc" = 1 ] && grep -q "^vantaloop: could not write the map to .*big.svg: File too large" "$WORK/big.err" ||
    fail "--map under a file-size limit gave status $rc: $(cat "$WORK/big.err")"
  [ -z "$(find "$WORK" -name 'big.svg*')" ] || fail "--map under a file-size limit left $(find "$WORK" -name 'big.svg*')"
  mkdir "$WORK/gone"
  (cd "$WORK/gone" && rmdir "$WORK/gone" && e2e_game --data "$DATA" --map rel.svg >/dev/null 2>"$WORK/rel.err"); rc=$?
  [ "$rc" = 1 ] && [ ! -e "$DATA/rel.svg" ] || fail "--map from a folder that is gone gave status $rc"
fi

# --ghosts: numbers without a file are named once.
launch --ghosts 0,2,7
e2e_ready
e2e_close
e2e_wait_exit 20
grep -qx "vantaloop: no saved flight 2, 7: skipped" "$WORK/stderr.txt" || fail "the missing ghosts were not named"
grep -qx "loading 3 recordings" "$DATA/log.txt" || fail "the chosen ghosts were not loaded"

# --replay: the window says which flight and where it stands, the end of the
# flight stays on screen, paused, until Escape, and nothing is saved.
start=$(date +%s)
launch --replay 1
e2e_ready "vantaloop: replay of flight 1, 0:.*"
e2e_wait_frames $((frames + 5))
took=$(($(date +%s) - start))
[ "$took" -ge $((frames * 16 / 1000)) ] || fail "a replay of $frames frames reached its end after $took s"
at() { awk -v n="$1" 'BEGIN { cs = int(n * 16 / 10); printf "%d:%02d.%02d", cs / 6000, cs / 100 % 60, cs % 100 }'; }
e2e_window "vantaloop: replay of flight 1, $(at $((frames - 1))) of $(at "$frames"), paused"
e2e_escape_and_exit
[ "$(sums)" = "$before" ] || fail "the replay changed mem.txt or the recordings"

# --timedemo: flight 3 (the 100 whole frames of a file cut short) as fast
# as it draws, then its figures.
e2e_game --data "$DATA" --replay 3 --timedemo >"$WORK/timedemo.txt" 2>&1 || fail "--timedemo failed"
grep -Eq "^timedemo: 100 frames, [0-9.]+ seconds, [0-9.]+ frames per second\$" "$WORK/timedemo.txt" ||
  fail "--timedemo printed: $(cat "$WORK/timedemo.txt")"

e2e_game --data "$WORK/none" --list >/dev/null 2>&1 && fail "--list on a missing data folder succeeded"
[ ! -e "$WORK/none" ] || fail "--list made the data folder"

for bad in "--replay x" "--ghosts 3-" "--ghosts 999" "--json" "--map" "--list --ghosts 1" "--timedemo" \
  "--video a.mp4" "--replay 1 --size 13x8" "--replay 1 --video a.mp4 --timedemo" "--replay 1 --camera side"; do
  e2e_game --data "$DATA" $bad >/dev/null 2>"$WORK/bad.err"; rc=$?
  [ "$rc" = 2 ] && grep -q "^usage: vantaloop" "$WORK/bad.err" || fail "'$bad' gave status $rc without the usage"
done
# A build without video (the Windows one) says so.
if e2e_game --help | grep -q "^This build has no --video"; then
  e2e_game --data "$DATA" --replay 1 --video a.mp4 >/dev/null 2>"$WORK/video.err" && fail "--video ran without video"
  grep -q "^vantaloop: --video is not in this build" "$WORK/video.err" || fail "no word on --video: $(cat "$WORK/video.err")"
fi
echo "PASS: --list, --map, --ghosts and --replay on a real saved flight ($frames frames, replayed in $took s)"
