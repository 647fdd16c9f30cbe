# Shared helpers for the end-to-end tests: the real game binary in a fresh
# working folder, on a private Xvfb display, driven by real X input events.
#
#   source "$(dirname "$0")/lib.sh"
#   e2e_desktop "$1"       # e2e_init and e2e_start_xvfb
#   e2e_init "$1"          # the game binary; makes $WORK and cleans up on exit
#   e2e_start_xvfb         # private X server; sets DISPLAY
#   e2e_start [ENV...] [-- ARGS...]   # e2e_launch, then e2e_ready
#   e2e_launch [ENV...] [-- ARGS...]  # starts the game in $WORK; sets GAME_PID
#   e2e_ready [TITLE]      # its window is shown and has drawn a frame; sets WID
#   e2e_window [TITLE]     # waits for the game window; sets WID
#   e2e_wait_frames N|+N   # waits until the game has presented N (N more) frames
#   e2e_fly_long           # ... until its flight is long enough to be saved
#   e2e_key Escape         # focuses the window and presses a key for real
#   e2e_escape_and_exit    # Escape, then a normal end
#   e2e_wait_exit 20       # waits for the game to end; sets GAME_RC
#   e2e_expect_log "line" ...   # log.txt must be exactly these lines
#   e2e_recording_frames FILE   # the frames a recording file holds
#
# Tests wait for frames, never for a number of seconds: every game a script
# starts gets VANTALOOP_FRAME_COUNT, the name of a file of its own ($FRAMES,
# outside the data folder) that grows by one byte for every frame the game
# presents. Time limits (e2e_wait_exit 20, a game that presents no frame for
# a minute) only keep a hung game from holding up the suite.
#
# The Windows build runs the same scripts against vantaloop.exe under Wine:
# VANTALOOP_WINE names Wine and VANTALOOP_WINE_TEMPLATE a ready Wine prefix.
# Each script then runs its games in a copy of that prefix of its own (one
# wineserver per X display), with a window manager on its display (Wine's
# windows take the focus through it), and reads the game's console output
# with its CR/LF line ends made LF. A script that needs what only POSIX or
# X11 offer calls e2e_unix_only and is skipped there. A window that is not
# the active one presents no frames there: a script waits for the frames of
# the window it has just focused.
set -u

GAME=""
WORK=""
GAME_PID=""
GAME_RC=""
WID=""
XVFB_PID=""
WM_PID=""
# The command that runs the game: the binary, or Wine with the .exe.
RUN_GAME=()
# The frame count file of the game started last, and how many were started.
FRAMES=""
GAMES_STARTED=0
# A flight is saved when it has more than 600 recorded frames, and the first
# 60 frames of a run are not recorded: 661 frames at least. The rest leaves
# room for a frame presented outside the loop's own (a repaint asked for by
# the system).
E2E_SAVED_FRAMES=700
EXFAT_MOUNT=""
EXFAT_LOOP=""

fail() {
  e2e_strip_cr "$WORK"/stdout*.txt "$WORK"/stderr*.txt
  echo "FAIL: $*" >&2
  if [ -n "$WORK" ] && [ -f "$WORK/log.txt" ]; then
    echo "--- log.txt" >&2
    cat "$WORK/log.txt" >&2
  fi
  if [ -n "$WORK" ] && [ -f "$WORK/stderr.txt" ]; then
    echo "--- game stderr" >&2
    cat "$WORK/stderr.txt" >&2
  fi
  exit 1
}

e2e_under_wine() { [ -n "${VANTALOOP_WINE:-}" ]; }

# Skips the script under Wine, saying why (exit 77: CTest's "skipped").
e2e_unix_only() {
  if e2e_under_wine; then
    echo "SKIP on Windows: $*"
    exit 77
  fi
}

# Skips the script except under Wine (exit 77), saying why.
e2e_windows_only() {
  if ! e2e_under_wine; then
    echo "SKIP: $*"
    exit 77
  fi
}

# Console output of a Windows program ends its lines in CR/LF.
e2e_strip_cr() {
  e2e_under_wine || return 0
  local f
  for f in "$@"; do [ -f "$f" ] && sed -i 's/\r$//' "$f"; done
  return 0
}

# RUN_GAME for the program that GAME names now (a script may name another).
e2e_runner() {
  RUN_GAME=("$GAME")
  if e2e_under_wine; then RUN_GAME=("$VANTALOOP_WINE" "$GAME"); fi
}

# Runs the game in the foreground with the given arguments: its status, its
# stdout and its stderr as a program of this system gives them.
e2e_game() {
  e2e_under_wine || { "$GAME" "$@"; return; }
  e2e_runner
  local rc=0
  "${RUN_GAME[@]}" "$@" >"$WORK/.game-out" 2>"$WORK/.game-err" || rc=$?
  tr -d '\r' <"$WORK/.game-out"
  tr -d '\r' <"$WORK/.game-err" >&2
  rm -f "$WORK/.game-out" "$WORK/.game-err"
  return "$rc"
}

e2e_cleanup() {
  if [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; then
    kill -KILL "$GAME_PID" 2>/dev/null
  fi
  # Ends every program of the script's Wine prefix, and its wineserver.
  if e2e_under_wine && [ -n "$WORK" ] && [ -d "$WORK/wine" ]; then
    WINEPREFIX="$WORK/wine" wineserver -k 2>/dev/null
    WINEPREFIX="$WORK/wine" wineserver -w 2>/dev/null
  fi
  if [ -n "$WM_PID" ]; then
    kill "$WM_PID" 2>/dev/null
    wait "$WM_PID" 2>/dev/null
  fi
  if [ -n "$EXFAT_MOUNT" ]; then
    umount "$EXFAT_MOUNT" 2>/dev/null || umount -l "$EXFAT_MOUNT" 2>/dev/null
    losetup -d "$EXFAT_LOOP" 2>/dev/null
  fi
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
  fi
  if [ -n "$WORK" ] && [ -z "${E2E_KEEP:-}" ]; then
    rm -rf "$WORK"
  fi
}

e2e_init() {
  GAME=$(readlink -f "$1")
  [ -x "$GAME" ] || fail "no game binary at $1"
  WORK=$(mktemp -d /tmp/vantaloop-e2e.XXXXXX)
  mkdir -p "$WORK/recordings"
  trap e2e_cleanup EXIT
  export VANTALOOP_NO_DIALOGS=1
  if e2e_under_wine; then
    [ -f "${VANTALOOP_WINE_TEMPLATE:-}/system.reg" ] || fail "no Wine prefix at VANTALOOP_WINE_TEMPLATE"
    e2e_wine_prefix "$WORK/wine"
  fi
  e2e_runner
}

# A Wine prefix of its own at $1, copied from the template: the files of
# its drive C: are linked where the file system allows (Wine only reads
# them), the rest (the registry, which Wine writes) is copied.
e2e_wine_prefix() {
  local entry
  mkdir -p "$1"
  for entry in "$VANTALOOP_WINE_TEMPLATE"/* "$VANTALOOP_WINE_TEMPLATE"/.[!.]*; do
    [ -e "$entry" ] || [ -L "$entry" ] || continue
    if [ "$(basename "$entry")" = drive_c ]; then
      cp -al "$entry" "$1/" 2>/dev/null || cp -a "$entry" "$1/"
    else
      cp -a "$entry" "$1/"
    fi || fail "could not copy the Wine prefix"
  done
  export WINEPREFIX="$1" WINEDEBUG=-all
}

e2e_start_xvfb() {
  command -v Xvfb >/dev/null || fail "Xvfb is not installed"
  local fifo="$WORK/.displayfd"
  mkfifo "$fifo"
  # Xvfb picks a free display number and writes it to the given descriptor.
  # -noreset: the server must not restart between two games of one script.
  Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1280x800x24 3>"$fifo" >"$WORK/xvfb.log" 2>&1 &
  XVFB_PID=$!
  local number
  if ! read -r -t 20 number <"$fifo"; then
    fail "Xvfb did not start"
  fi
  rm -f "$fifo"
  # A wineserver left from programs run before there was a display (it stays
  # a few seconds after the last one ends) would keep its display-less
  # desktop, and the game's window could not be made on it.
  if e2e_under_wine && [ -d "${WINEPREFIX:-}" ]; then
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
  fi
  export DISPLAY=":$number"
  unset SDL_VIDEODRIVER
  e2e_under_wine && e2e_start_wm
  return 0
}

# A fresh working folder for the game binary $1, on a private X display.
e2e_desktop() {
  e2e_init "$1"
  e2e_start_xvfb
}

# A window manager on the display (full screen is its job, and under Wine
# so is the keyboard focus). Starts one only once.
e2e_start_wm() {
  [ -n "$WM_PID" ] && return 0
  command -v openbox >/dev/null || fail "openbox is not installed"
  openbox >"$WORK/wm.log" 2>&1 &
  WM_PID=$!
  # It is ready once it names itself on the root window.
  local i
  for i in $(seq 1 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && return 0
    kill -0 "$WM_PID" 2>/dev/null || fail "openbox did not start: $(cat "$WORK/wm.log")"
    sleep 0.1
  done
  fail "openbox did not start"
}

# Mounts a new 64 MB exFAT volume through FUSE at $1, on a loop device, the
# way a USB stick is often mounted: no hard links, no renames that refuse
# to replace. Needs root; returns non-zero when this machine cannot.
e2e_mount_exfat() {
  [ "$(id -u)" = 0 ] && command -v mount.exfat-fuse >/dev/null && command -v mkfs.exfat >/dev/null || return 1
  truncate -s 64M "$WORK/exfat.img" && mkfs.exfat "$WORK/exfat.img" >/dev/null 2>&1 || return 1
  EXFAT_LOOP=$(losetup -f --show "$WORK/exfat.img" 2>/dev/null) || return 1
  mkdir -p "$1"
  if ! mount.exfat-fuse "$EXFAT_LOOP" "$1" >/dev/null 2>&1; then
    losetup -d "$EXFAT_LOOP"
    return 1
  fi
  EXFAT_MOUNT=$1
}

# A new frame count file ($FRAMES) for the next game started, which finds
# its name in VANTALOOP_FRAME_COUNT. e2e_launch calls it; a script that
# starts a game its own way calls it first.
e2e_count_frames() {
  GAMES_STARTED=$((GAMES_STARTED + 1))
  mkdir -p "$WORK/frames"
  FRAMES="$WORK/frames/game$GAMES_STARTED"
  export VANTALOOP_FRAME_COUNT=$FRAMES
}

# Starts the game in the background: the arguments before "--" go to env
# (assignments, -u NAME, -C FOLDER for a working folder other than $WORK),
# those after it to the game. Its output goes to $WORK/stdout$E2E_OUTPUT.txt
# and $WORK/stderr$E2E_OUTPUT.txt.
e2e_launch() {
  local env_args=()
  while [ $# -gt 0 ] && [ "$1" != -- ]; do env_args+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  e2e_runner
  e2e_count_frames
  (cd "$WORK" && exec env "${env_args[@]}" "${RUN_GAME[@]}" "$@" \
    >"$WORK/stdout${E2E_OUTPUT:-}.txt" 2>"$WORK/stderr${E2E_OUTPUT:-}.txt") &
  GAME_PID=$!
}

# The frames the game started last has presented so far.
e2e_frames() {
  local size
  size=$(stat -c %s "$FRAMES" 2>/dev/null) || size=0
  echo "$size"
}

# Waits until the game started last has presented $1 frames in all, or with
# +N, N more than it has now. Fails when the game ends first, or presents
# no frame for a minute (a hang).
e2e_wait_frames() {
  local want=$1 n last=-1 still=0
  [[ "$want" == +* ]] && want=$(($(e2e_frames) + ${want#+}))
  for (( ; ; )); do
    n=$(e2e_frames)
    [ "$n" -ge "$want" ] && return 0
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended after $n of the $want frames waited for"
    if [ "$n" != "$last" ]; then
      last=$n still=0
    elif [ $((still += 1)) -ge 600 ]; then
      fail "the game presented no frame for a minute ($n of the $want waited for)"
    fi
    sleep 0.1
  done
}

# Waits until the flight of the game started last is long enough to be saved.
e2e_fly_long() { e2e_wait_frames "$E2E_SAVED_FRAMES"; }

# Waits for the game window, titled "vantaloop" unless $1 names the title.
e2e_window() {
  local i title=${1:-vantaloop}
  WID=""
  for i in $(seq 1 200); do
    WID=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1)
    [ -n "$WID" ] && return 0
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before its window '$title' appeared"
    sleep 0.1
  done
  fail "no game window '$title' appeared"
}

# Waits for a game window that is none of the windows given (those of other
# copies of the game) and sets WID to it.
e2e_other_window() {
  local others i
  others=$(printf '%s\n' "$@")
  for i in $(seq 1 600); do
    WID=$(xdotool search --onlyvisible --name '^vantaloop$' 2>/dev/null | grep -vxF "${others:-none}" | head -n 1)
    [ -n "$WID" ] && return 0
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before its window appeared"
    sleep 0.1
  done
  fail "no window of the new copy of the game appeared"
}

# Waits for the game window (titled $1 if given), gives it the keyboard
# focus and waits for its first frame: the game is up and drawing.
e2e_ready() {
  e2e_window "$@"
  e2e_focus
  e2e_wait_frames 1
}

# e2e_launch with the arguments, then e2e_ready.
e2e_start() {
  e2e_launch "$@"
  e2e_ready
}

# Gives the game window the keyboard focus.
e2e_focus() {
  if e2e_under_wine; then
    # Wine takes the focus only through the window manager: another of its
    # windows would keep it otherwise.
    xdotool windowactivate --sync "$WID" 2>/dev/null || xdotool windowactivate "$WID"
  else
    xdotool windowfocus --sync "$WID" 2>/dev/null || xdotool windowfocus "$WID"
  fi
}

# Gives the game window the keyboard focus and presses the key for real
# (XTEST), the way a player's keyboard would.
e2e_key() {
  e2e_focus
  sleep 0.2
  xdotool key "$1"
}

# Leaves the game with Escape and expects it to end normally.
e2e_escape_and_exit() {
  e2e_key Escape
  e2e_wait_exit 20
  [ "$GAME_RC" = 0 ] || fail "exit status $GAME_RC"
}

# Asks the window to close, as its title bar's close button does. Without
# the X11 tool (the Windows build has none), Alt+F4 asks it under Wine.
e2e_close() {
  if [ -z "${VANTALOOP_X11_CLOSE:-}" ] && e2e_under_wine; then
    e2e_key alt+F4
    return
  fi
  [ -n "${VANTALOOP_X11_CLOSE:-}" ] || fail "VANTALOOP_X11_CLOSE is not set"
  "$VANTALOOP_X11_CLOSE" "$WID" || fail "could not send the close request"
}

e2e_wait_exit() {
  local limit=$1 i
  for i in $(seq 1 $((limit * 10))); do
    if ! kill -0 "$GAME_PID" 2>/dev/null; then
      wait "$GAME_PID"
      GAME_RC=$?
      GAME_PID=""
      e2e_strip_cr "$WORK"/stdout*.txt "$WORK"/stderr*.txt
      return 0
    fi
    sleep 0.1
  done
  fail "the game did not end within $limit s"
}

# log.txt must hold exactly the given lines.
e2e_expect_log() {
  local expected actual
  expected=$(printf '%s\n' "$@")
  actual=$(cat "$WORK/log.txt" 2>/dev/null)
  if [ "$expected" != "$actual" ]; then
    echo "expected log:" >&2
    printf '%s\n' "$expected" >&2
    fail "log.txt differs"
  fi
}

# The last lines of log.txt must be the given ones.
e2e_expect_log_tail() {
  local n=$# expected actual
  expected=$(printf '%s\n' "$@")
  actual=$(tail -n "$n" "$WORK/log.txt" 2>/dev/null)
  if [ "$expected" != "$actual" ]; then
    echo "expected the log to end with:" >&2
    printf '%s\n' "$expected" >&2
    fail "log.txt ends differently"
  fi
}

# The frames held by the recording file $1, from its size (4 + 76 per
# frame); the count at its start must agree.
e2e_recording_frames() {
  local size count
  size=$(stat -c %s "$1") || fail "no file $1"
  [ $(((size - 4) % 76)) = 0 ] || fail "$1 has $size bytes, not 4 + 76 n"
  count=$(od -An -t d4 --endian=little -N 4 "$1" | tr -d ' ')
  [ "$count" = $(((size - 4) / 76)) ] || fail "$1 counts $count frames in $size bytes"
  echo "$count"
}

SHUTDOWN_LINES=(
  "leave message loop ------------ USAGE END"
  "glkFree()"
  "kill window"
  "end of WinMain() -> exit program"
)
