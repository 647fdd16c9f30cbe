# The command line: --help and --version, a bad option, and a flight with
# --data into a new folder (named beyond ASCII) started in full screen,
# switched with F11 and Alt+Enter.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"

e2e_game --help >"$WORK/help.txt" 2>"$WORK/help.err"; rc=$?
[ "$rc" = 0 ] || fail "--help exited with $rc"
grep -q "^usage: vantaloop \[--data DIR\] \[--fullscreen\] \[--low-power\] \[--help\] \[--version\]$" \
  "$WORK/help.txt" || fail "--help printed no usage on stdout"
[ ! -s "$WORK/help.err" ] || fail "--help wrote to stderr"
e2e_game --version | grep -qE "^vantaloop [0-9]+\.[0-9]+" || fail "--version printed no version"

e2e_game --data >/dev/null 2>&1; rc=$?
[ "$rc" = 2 ] || fail "--data without a folder exited with $rc, not 2"
(cd "$WORK" && e2e_game --data "$WORK/x" --loud >"$WORK/bad.out" 2>"$WORK/bad.err"); rc=$?
[ "$rc" = 2 ] || fail "a bad option exited with $rc, not 2"
grep -q "^usage: vantaloop" "$WORK/bad.err" || fail "a bad option printed no usage on stderr"
grep -q -- "--loud" "$WORK/bad.err" || fail "a bad option was not named"
[ ! -s "$WORK/bad.out" ] || fail "a bad option wrote to stdout"
[ ! -e "$WORK/x" ] && [ ! -e "$WORK/log.txt" ] || fail "a bad command line still started the game"

e2e_start_xvfb
e2e_start_wm

# Geometry of the game window as "W H".
size() { xdotool getwindowgeometry "$WID" | awk '/Geometry:/ { sub("x", " ", $2); print $2 }'; }
wait_size() {
  local i
  for i in $(seq 1 200); do
    [ "$(size)" = "$1" ] && return 0
    sleep 0.1
  done
  fail "the window is $(size), not $1 ($2)"
}

# A new folder, named beyond ASCII: it must be used as it is named.
DATA="$WORK/new földer/dätä-ü"
e2e_start -- --data "$DATA" --fullscreen
wait_size "1280 800" "started with --fullscreen"
# A few frames drawn at that size.
e2e_wait_frames +10
import -window "$WID" -depth 8 "$WORK/full.png" || fail "could not take a screenshot"
# The picture fills the whole screen: its top right corner is drawn too.
lit=$(convert "$WORK/full.png" -crop 200x150+1080+0 -colorspace Gray -format "%[fx:mean]" info:)
awk -v v="$lit" 'BEGIN { exit !(v > 0.05) }' || fail "the top right of the full screen is dark ($lit)"

e2e_focus
xdotool key F11
wait_size "800 500" "after F11"
xdotool key alt+Return
wait_size "1280 800" "after Alt+Enter"
xdotool key alt+Return
wait_size "800 500" "after Alt+Enter again"
e2e_fly_long
e2e_escape_and_exit

for f in log.txt mem.txt recordings/rec0000.bin; do
  [ -f "$DATA/$f" ] || fail "no $f in the --data folder"
done
[ ! -e "$WORK/log.txt" ] && [ ! -e "$WORK/mem.txt" ] && [ -z "$(ls "$WORK/recordings")" ] ||
  fail "files were written outside the --data folder"
grep -qx "numjoyaxes: 0" "$DATA/log.txt" || fail "the log in the --data folder is not the game's"
echo "PASS: --help, --version, a bad option, --data and full screen"
