# Runs a test program of the Windows build ($1, then its arguments) under
# Wine, in a Wine prefix and on an X display of its own.
source "$(dirname "$0")/../lib.sh"
e2e_init "$1"
shift
e2e_start_xvfb
e2e_game "$@"
