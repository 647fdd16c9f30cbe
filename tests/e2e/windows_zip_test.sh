# What a Windows player gets: the ZIP holds one folder with vantaloop.exe,
# which needs no DLL beside it, and its README. Started the way a
# double-click starts it (no console, in the folder it was unpacked to), the
# game keeps its files in the player's own folder, %APPDATA%\vantaloop, and
# writes nothing beside itself.
source "$(dirname "$0")/lib.sh"
e2e_windows_only "the ZIP and a start from the Windows desktop are Windows'"
e2e_init "$1"
[ -d "${VANTALOOP_BUILD_DIR:-}" ] || fail "VANTALOOP_BUILD_DIR is not set"
(cd "$VANTALOOP_BUILD_DIR" && cpack -G ZIP -B "$WORK/package" >"$WORK/cpack.log" 2>&1) ||
  fail "cpack failed: $(cat "$WORK/cpack.log")"
zip=$(ls "$WORK"/package/vantaloop-*-win64.zip) || fail "no ZIP made"
mkdir "$WORK/unpacked"
(cd "$WORK/unpacked" && cmake -E tar xf "$zip") || fail "the ZIP does not unpack"
folder=$(ls -d "$WORK"/unpacked/vantaloop-*-win64) || fail "the ZIP holds no vantaloop folder"
[ "$(ls "$folder" | tr '\n' ' ')" = "README.txt vantaloop.exe " ] || fail "the ZIP holds: $(ls -R "$WORK/unpacked")"

e2e_start_xvfb
# Wine's start, like Explorer, starts the program without a console.
e2e_count_frames
(cd "$folder" && exec "$VANTALOOP_WINE" start /wait /unix "$folder/vantaloop.exe" </dev/null >/dev/null 2>&1) &
GAME_PID=$!
e2e_ready
e2e_escape_and_exit
logs=("$WINEPREFIX"/drive_c/users/*/AppData/Roaming/vantaloop/log.txt)
[ -f "${logs[0]}" ] || fail "no log in %APPDATA%\\vantaloop"
grep -qx "numjoyaxes: 0" "${logs[0]}" || fail "the log in %APPDATA%\\vantaloop is not the game's"
[ "$(ls "$folder" | tr '\n' ' ')" = "README.txt vantaloop.exe " ] || fail "files were written beside the game"
echo "PASS: the ZIP's game starts from the desktop with its files in %APPDATA%\\vantaloop"
