# The Debian package made from this build: lintian finds nothing to fix, the
# menu entry, the store metadata and the manual page pass their own
# checkers, and the game starts from the unpacked package (never installed
# on this machine), with its data in the player's data folder.
source "$(dirname "$0")/lib.sh"
e2e_unix_only "the Debian package is Linux's (Windows players get the ZIP)"
e2e_init "$1"
[ -d "${VANTALOOP_BUILD_DIR:-}" ] || fail "VANTALOOP_BUILD_DIR is not set"
for tool in cpack dpkg-deb lintian desktop-file-validate appstreamcli man; do
  command -v "$tool" >/dev/null || fail "$tool is not installed"
done
cpack --config "$VANTALOOP_BUILD_DIR/CPackConfig.cmake" -B "$WORK/package" >"$WORK/cpack.log" 2>&1 ||
  fail "cpack failed: $(cat "$WORK/cpack.log")"
DEB=$(ls "$WORK"/package/vantaloop_*.deb)
lintian --fail-on error,warning "$DEB" >"$WORK/lintian.txt" 2>&1 || fail "lintian: $(cat "$WORK/lintian.txt")"

ROOT="$WORK/root"
dpkg-deb -x "$DEB" "$ROOT"
desktop-file-validate "$ROOT/usr/share/applications/vantaloop.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$ROOT"/usr/share/metainfo/*.metainfo.xml >"$WORK/appstream.txt" 2>&1 ||
  fail "appstreamcli: $(cat "$WORK/appstream.txt")"
man --warnings -l "$ROOT/usr/share/man/man6/vantaloop.6.gz" 2>"$WORK/man.txt" >/dev/null
[ ! -s "$WORK/man.txt" ] || fail "the manual page: $(cat "$WORK/man.txt")"

e2e_start_xvfb
GAME="$ROOT/usr/games/vantaloop-desktop"
e2e_start -u XDG_DATA_HOME HOME="$WORK/home"
e2e_escape_and_exit
grep -qx "numjoyaxes: 0" "$WORK/home/.local/share/vantaloop/log.txt" || fail "the packaged game left no log"
echo "PASS: the Debian package is clean and its game starts"
