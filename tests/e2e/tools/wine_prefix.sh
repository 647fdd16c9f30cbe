# Makes the Wine prefix ($1) that the Windows build's tests copy, once per
# build folder: wineboot takes many seconds, a copy a fraction of one.
set -euo pipefail
prefix=$1
[ -f "$prefix/.complete" ] && exit 0
rm -rf "$prefix"
# No display: nothing of the set-up may show a window. Wine's Mono and Gecko
# are not needed and not asked for.
env -u DISPLAY WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
WINEPREFIX="$prefix" wineserver -w
[ -f "$prefix/system.reg" ] || { echo "wineboot made no Wine prefix in $prefix" >&2; exit 1; }
touch "$prefix/.complete"
