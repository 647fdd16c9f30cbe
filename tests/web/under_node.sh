#!/usr/bin/env bash
# Runs a test program built as WebAssembly under node (the web preset's
# tests), with the machine's own files (NODERAWFS), leaving out the few
# tests that need what WebAssembly does not have:
#   - fork, FIFOs, other processes to look at, file locks (flock does nothing:
#     the web page takes turns through the browser's Web Locks API instead);
#   - GoogleTest's capture of stderr: a program's stderr goes to node's
#     console, not to a file descriptor the capture can redirect.
# Usage: tests/web/under_node.sh PROGRAM.js [ARGS...]
set -euo pipefail
program=$1
shift
needs_more=(
  # fork, FIFOs and other processes
  "Files.AFileBeingReadIsReplacedOnceTheReaderLetsGo"
  "Files.OnlyTheTemporaryFilesOfGoneWritersAreLeftovers"
  "Log.ALinkOrAFifoGivesWayToANewLog"
  # file locks
  "SaveLock.*"
  # stderr captured
  "WriteFlightMap.OnlyANewOrPlainFileOutsideTheDataFoldersOwn"
  "LoadGhosts.TheChosenFlightsFlyFromTheirOwnEntries"
  "EndOfFlightSave.AFlightIsNeverLostForWantOfAWayToNameIt"
  "EndOfFlightSave.AnExistingRecordingIsNeverReplaced"
  "EndOfFlightSave.UnwritableFolderIsReportedAndTheCounterKept"
)
filter=$(IFS=:; echo "${needs_more[*]}")
echo "left out under node (WebAssembly lacks what they need): ${needs_more[*]}"
exec node --no-experimental-fetch "$program" "--gtest_filter=-$filter" "$@"
