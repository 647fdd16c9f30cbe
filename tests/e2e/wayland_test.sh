# The game on a Wayland desktop: a headless sway, SDL's wayland driver and
# no X server. The compositor shows exactly the frame the game drew, F11
# fills the screen with the picture, Escape ends the game, and so does the
# compositor's close request.
source "$(dirname "$0")/lib.sh"
e2e_unix_only "Wayland is a Linux desktop"
e2e_init "$1"
[ -f "${VANTALOOP_FRAME_GRAB:-}" ] || fail "VANTALOOP_FRAME_GRAB is not set"
for tool in sway swaymsg grim wtype jq compare; do
  command -v "$tool" >/dev/null || fail "$tool is not installed"
done
unset DISPLAY

# sway runs as an ordinary user; under root that is nobody. Its runtime
# folder is private to that user, as a login session's is. sway and the
# keyboards end with this script, even when it is killed.
WITH_SCRIPT=(setpriv --pdeathsig TERM)
SWAY_USER=("${WITH_SCRIPT[@]}")
[ "$(id -u)" != 0 ] || SWAY_USER+=(--reuid=nobody --regid="$(id -g nobody)" --clear-groups)
RUNTIME=$(mktemp -d /tmp/vantaloop-wayland.XXXXXX)
cat >"$RUNTIME/config" <<'EOF'
output HEADLESS-1 resolution 1280x800 position 0 0
xwayland disable
default_border none
default_floating_border none
for_window [title="^vantaloop$"] floating enable
EOF
[ "$(id -u)" != 0 ] || chown -R nobody "$RUNTIME"
SWAY_PID="" KEYBOARD_PID=""
wayland_cleanup() {
  local pid
  for pid in "$KEYBOARD_PID" "$SWAY_PID"; do
    [ -z "$pid" ] || { kill "$pid" && wait "$pid"; } 2>/dev/null
  done
  rm -rf "$RUNTIME"
  e2e_cleanup
}
trap wayland_cleanup EXIT
env -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$RUNTIME" WLR_BACKENDS=headless WLR_RENDERER=pixman \
  WLR_LIBINPUT_NO_DEVICES=1 "${SWAY_USER[@]}" sway -c "$RUNTIME/config" >"$WORK/sway.log" 2>&1 &
SWAY_PID=$!
export XDG_RUNTIME_DIR="$RUNTIME" WAYLAND_DISPLAY="" SWAYSOCK=""
for _ in $(seq 1 100); do
  WAYLAND_DISPLAY=$(cd "$RUNTIME" && ls wayland-? 2>/dev/null | head -n 1)
  SWAYSOCK=$(ls "$RUNTIME"/sway-ipc.*.sock 2>/dev/null | head -n 1)
  [ -n "$WAYLAND_DISPLAY" ] && [ -n "$SWAYSOCK" ] && break
  kill -0 "$SWAY_PID" 2>/dev/null || fail "sway did not start: $(cat "$WORK/sway.log")"
  sleep 0.1
done
[ -n "$SWAYSOCK" ] || fail "sway did not start"

# The seat always holds a long-lived virtual keyboard: SDL 2.26 crashes when
# it starts on a seat without a keyboard, and sway leaves the seat without
# one when the short-lived keyboard of a key press goes, so a fresh one
# follows every key press.
keyboards() { swaymsg -t get_inputs | jq '[.[] | select(.type == "keyboard")] | length'; }
hold_keyboard() {
  local old=$KEYBOARD_PID want=$(($(keyboards) + 1))
  "${WITH_SCRIPT[@]}" wtype -s 3600000 &
  KEYBOARD_PID=$!
  for _ in $(seq 1 50); do [ "$(keyboards)" -ge "$want" ] && break; sleep 0.1; done
  [ -z "$old" ] || { kill "$old" && wait "$old"; } 2>/dev/null
}
press() {
  wtype -k "$1" || fail "wtype could not press $1"
  hold_keyboard
}
# The game window as sway places it: "x,y wxh fullscreen-mode", once shown.
window() {
  swaymsg -t get_tree | jq -r '.. | select(.name? == "vantaloop" and .visible? == true)
    | "\(.rect.x),\(.rect.y) \(.rect.width)x\(.rect.height) \(.fullscreen_mode)"'
}
wait_window() {
  for _ in $(seq 1 200); do
    [[ "$(window)" == $1 ]] && return 0
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before its window was $1"
    sleep 0.1
  done
  fail "the window is '$(window)', not $1"
}
# Asks the game for its next frame, which it then holds on the screen (see
# tests/e2e/tools/frame_grab.cpp), and compares it with what the compositor
# shows in the region, pixel for pixel. A frame drawn while the compositor
# was still moving the window may differ; the next one may not.
expect_frame_shown() {
  local region=$1 diff="" try i
  for try in 1 2 3 4 5; do
    rm -f "$WORK/back.ppm"
    touch "$WORK/grab"
    for i in $(seq 1 600); do
      [ -f "$WORK/back.ppm" ] && break
      kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before the frame to compare"
      sleep 0.1
    done
    [ -f "$WORK/back.ppm" ] || fail "the game drew no frame to compare"
    grim -t ppm -g "$region" "$WORK/screen.ppm" || fail "grim could not take a screenshot"
    diff=$(compare -metric AE "$WORK/back.ppm" "$WORK/screen.ppm" null: 2>&1)
    touch "$WORK/go"
    [ "$diff" = 0 ] && return 0
    sleep 0.5
  done
  fail "the screen differs from the game's frame in $region ($diff)"
}

hold_keyboard
e2e_launch SDL_VIDEODRIVER=wayland LD_PRELOAD="$VANTALOOP_FRAME_GRAB" VANTALOOP_GRAB_DIR="$WORK"
wait_window "*,* 800x500 0"
read -r at size _ <<<"$(window)"
expect_frame_shown "$at $size"

press F11
wait_window "0,0 1280x800 1"
expect_frame_shown "0,0 1280x800"
# The picture fills the whole screen: its top right corner is drawn too.
lit=$(convert "$WORK/screen.ppm" -crop 200x150+1080+0 -colorspace Gray -format "%[fx:mean]" info:)
awk -v v="$lit" 'BEGIN { exit !(v > 0.05) }' || fail "the top right of the full screen is dark ($lit)"

NORMAL_LOG=("CreateGLWindow()" "load cursors" "numjoyaxes: 0" "glkInit()" "hwnd=00000001"
  "enter message loop ------------ USAGE START" "${SHUTDOWN_LINES[@]}")
press Escape
e2e_wait_exit 20
[ "$GAME_RC" = 0 ] || fail "exit status $GAME_RC after Escape"
e2e_expect_log "${NORMAL_LOG[@]}"

e2e_launch SDL_VIDEODRIVER=wayland
wait_window "* 800x500 0"
swaymsg -q '[title="^vantaloop$"] kill' || fail "sway could not ask the window to close"
e2e_wait_exit 20
[ "$GAME_RC" = 0 ] || fail "exit status $GAME_RC after the close request"
e2e_expect_log "${NORMAL_LOG[@]}"
echo "PASS: on Wayland the screen shows the game's frames, F11 fills it, Escape and close end the game"
