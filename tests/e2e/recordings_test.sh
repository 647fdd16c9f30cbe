# Flights saved by the real program and flown again as a ghost.
#
# 1. A first flight of more than 660 frames, ended with the key the player's
#    keyboard layout makes Escape (Caps Lock, with XKB's caps:escape), is
#    saved as recordings/rec0000.bin and mem.txt holds 0.
# 2. A second one is saved as rec0001.bin; it loads nothing (mem.txt held 0:
#    the newest file waits), so its picture has no ghost.
# 3. A third start loads file 0 and, with no joystick, flies the same
#    straight line as the first flight: its ghost is 120 frames ahead, right
#    in front of the camera near the middle of the picture, in the tint of
#    entry 1. This third flight is as long as the saved ones but ends with
#    the window's close button, which never saves a flight.
source "$(dirname "$0")/lib.sh"
e2e_desktop "$1"
command -v import >/dev/null || fail "imagemagick is not installed"

# Caps Lock types Escape on this X server. The key goes by its X key code:
# xdotool's name Caps_Lock would look for a key that types Caps Lock, which
# this layout no longer has.
setxkbmap -option caps:escape || fail "could not set the keyboard option caps:escape"
CAPS=$(xkbcomp -xkb "$DISPLAY" - 2>/dev/null | sed -n 's/^ *<CAPS> *= *\([0-9]*\);.*/\1/p')
[ -n "$CAPS" ] || fail "no Caps Lock key in the X keymap"

# The screenshot is taken once the game has drawn this many frames (3 s at
# full speed), its ghost well on its way.
SHOT_AT_FRAME=188

# Flies until the flight is long enough to be saved, taking a screenshot of
# the window to $1 (if given) on the way, then leaves with Escape (or, with
# $2 = caps, with the Caps Lock key; with $2 = close, with the window's close
# request).
fly() {
  local shot=${1:-} ending=${2:-escape}
  e2e_start
  if [ -n "$shot" ]; then
    e2e_wait_frames "$SHOT_AT_FRAME"
    import -window "$WID" -depth 8 "$shot" || fail "could not take a screenshot"
  fi
  e2e_fly_long
  if [ "$ending" = close ]; then
    e2e_close
  elif [ "$ending" = caps ]; then
    e2e_key "$CAPS"
  else
    e2e_key Escape
  fi
  e2e_wait_exit 20
  [ "$GAME_RC" = 0 ] || fail "exit status $GAME_RC"
  e2e_expect_log_tail "${SHUTDOWN_LINES[@]}"
}

# Every frame presented belongs to the flight: the saved file $1 holds
# every frame waited for but the first 60 of the run.
expect_whole_flight() {
  local saved
  saved=$(e2e_recording_frames "$1")
  [ "$saved" -ge $((E2E_SAVED_FRAMES - 60)) ] || fail "$1 holds $saved frames of a flight of $E2E_SAVED_FRAMES"
}

# How many pixels of the 60 x 40 middle of the screenshot $1 have the colour of
# one of the ghost's faces (entry 1's tint over the face palette and each
# box's colour offset), within 2 levels per channel.
ghost_pixels() {
  convert "$1" -crop 60x40+370+230 +repage -depth 8 txt:- | awk '
    BEGIN {
      # The face palette of the lit boxes: -x, +x, -y, +y, -z, +z.
      split("0.15840 0.34867 0.42920 0.29467 0.46222 0.49733 0.24600 0.42167 0.47300 " \
            "0.58666 0.70555 0.64333 0.18760 0.37300 0.44380 0.39200 0.54333 0.54600", p, " ")
      # Entry 1 of the table: its tint.
      i = 1
      r = (cos(1.21 * i) + 1) * 0.5; g = (cos(0.31 * i) + 1) * 0.5 * 0.7; b = (sin(7.61 * i) + 1) * 0.5
      m[1] = r + (0.7 - r) * 0.6; m[2] = g + (0.7 - g) * 0.6; m[3] = b + (0.7 - b) * 0.6
      # The ten boxes of the aircraft: centre and size.
      split("0 0 0 1.3 0.9 2.0  0 -0.4 1.0 0.8 0.5 4.5  0 0 -2.0 2.0 1.5 3.0  0 0 -3.0 1.5 1.0 3.0 " \
            "3.0 0 -2.0 4.0 0.3 2.0  2.0 0.3 -2.0 2.0 0.3 2.0  -3.0 0 -2.0 4.0 0.3 2.0 " \
            "-2.0 0.3 -2.0 2.0 0.3 2.0  -0.5 1.0 -4.0 0.2 1.0 1.5  0.5 1.0 -4.0 0.2 1.0 1.5", bx, " ")
      n = 0
      for (k = 0; k < 10; k++) {
        for (f = 0; f < 6; f++) {
          n++
          for (c = 1; c <= 3; c++) {
            corner = bx[k * 6 + c] - bx[k * 6 + c + 3] / 2
            v = (p[f * 3 + c] + 0.01 * corner) * m[c]
            want[n, c] = int(v * 255 + 0.5)
          }
        }
      }
    }
    /^[0-9]+,[0-9]+:/ {
      s = $2; gsub(/[()]/, "", s); split(s, px, ",")
      for (j = 1; j <= n; j++) {
        if (px[1] - want[j, 1] <= 2 && want[j, 1] - px[1] <= 2 &&
            px[2] - want[j, 2] <= 2 && want[j, 2] - px[2] <= 2 &&
            px[3] - want[j, 3] <= 2 && want[j, 3] - px[3] <= 2) { hits++; break }
      }
    }
    END { print hits + 0 }'
}

# First flight, ended with the Caps Lock key: saved as file 0.
fly "" caps
grep -q "^loading" "$WORK/log.txt" && fail "a start without mem.txt loaded recordings"
expect_whole_flight "$WORK/recordings/rec0000.bin"
first=$(e2e_recording_frames "$WORK/recordings/rec0000.bin")
[ "$first" -gt 600 ] && [ "$first" -le 10800 ] || fail "rec0000.bin holds $first frames"
[ "$(cat "$WORK/mem.txt")" = 0 ] || fail "mem.txt holds '$(cat "$WORK/mem.txt")' after the first flight"

# Second flight: nothing loaded yet, saved as file 1.
fly "$WORK/second.png"
grep -qx "loading 0 recordings" "$WORK/log.txt" || fail "the second start did not log 'loading 0 recordings'"
second=$(e2e_recording_frames "$WORK/recordings/rec0001.bin")
[ "$second" -gt 600 ] || fail "rec0001.bin holds $second frames"
[ "$(cat "$WORK/mem.txt")" = 1 ] || fail "mem.txt holds '$(cat "$WORK/mem.txt")' after the second flight"
[ "$(e2e_recording_frames "$WORK/recordings/rec0000.bin")" = "$first" ] || fail "rec0000.bin changed"

# Third flight: file 0 is loaded and its ghost flies ahead. Closing the
# window ends it without saving, however long it was.
fly "$WORK/third.png" close
e2e_expect_log "CreateGLWindow()" "load cursors" "numjoyaxes: 0" "glkInit()" \
  "loading 1 recordings" "$first frames" "$(sed -n 7p "$WORK/log.txt")" \
  "enter message loop ------------ USAGE START" "${SHUTDOWN_LINES[@]}"
[ "$(cat "$WORK/mem.txt")" = 1 ] || fail "a flight ended by closing the window changed mem.txt"
[ -f "$WORK/recordings/rec0002.bin" ] && fail "a flight ended by closing the window was saved"
[ "$(e2e_recording_frames "$WORK/recordings/rec0000.bin")" = "$first" ] || fail "rec0000.bin changed"

with=$(ghost_pixels "$WORK/third.png")
without=$(ghost_pixels "$WORK/second.png")
echo "saved flights: $first and $second frames"
echo "ghost-coloured pixels near the middle: $with with the ghost, $without without"
[ "$with" -ge 20 ] || fail "no ghost in front of the camera ($with pixels of its tint)"
[ "$without" -le 5 ] || fail "$without pixels of the ghost's tint in a picture without ghosts"
echo "PASS: flights are saved, counted and flown again as a ghost"
