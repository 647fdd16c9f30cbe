# `cmake --install` into a temporary prefix: the game and its launcher on the
# PATH, the menu entry and the icon; the menu entry's command starts the game
# with its data in $XDG_DATA_HOME/vantaloop (or ~/.local/share/vantaloop).
source "$(dirname "$0")/lib.sh"
e2e_unix_only "the desktop menu entry and the XDG data folder are Linux's (Windows players get the ZIP)"
e2e_init "$1"
[ -d "${VANTALOOP_BUILD_DIR:-}" ] || fail "VANTALOOP_BUILD_DIR is not set"
PREFIX="$WORK/prefix"
cmake --install "$VANTALOOP_BUILD_DIR" --prefix "$PREFIX" >"$WORK/install.log" 2>&1 || fail "install failed: $(cat "$WORK/install.log")"
for f in bin/vantaloop bin/vantaloop-desktop share/applications/vantaloop.desktop \
         share/icons/hicolor/scalable/apps/vantaloop.svg share/icons/hicolor/128x128/apps/vantaloop.png; do
  [ -f "$PREFIX/$f" ] || fail "the install has no $f"
done
[ -x "$PREFIX/bin/vantaloop" ] && [ -x "$PREFIX/bin/vantaloop-desktop" ] || fail "the installed programs cannot run"
grep -qx "Icon=vantaloop" "$PREFIX/share/applications/vantaloop.desktop" || fail "the menu entry names no icon"
EXEC=$(sed -n 's/^Exec=//p' "$PREFIX/share/applications/vantaloop.desktop")
[ -n "$EXEC" ] || fail "the menu entry has no command"

e2e_start_xvfb
# Starts the menu entry's command with the given environment, then leaves
# the game with Escape.
start_from_menu() {
  e2e_count_frames
  (cd / && exec env "$@" PATH="$PREFIX/bin:$PATH" $EXEC >"$WORK/stdout.txt" 2>"$WORK/stderr.txt") &
  GAME_PID=$!
  e2e_ready
  e2e_escape_and_exit
}
start_from_menu HOME="$WORK/home" XDG_DATA_HOME="$WORK/xdg"
grep -qx "numjoyaxes: 0" "$WORK/xdg/vantaloop/log.txt" || fail "no log in \$XDG_DATA_HOME/vantaloop"
start_from_menu -u XDG_DATA_HOME HOME="$WORK/home"
grep -qx "numjoyaxes: 0" "$WORK/home/.local/share/vantaloop/log.txt" || fail "no log in ~/.local/share/vantaloop"
echo "PASS: installed with a menu entry and icon; data in the XDG data folder"
