// Test-only hooks, switched on by environment variables that only the
// end-to-end tests set (the README lists them beside VANTALOOP_NO_DIALOGS).
//
// VANTALOOP_TEST_STOP_SAVE=claim|counter: the end-of-flight save stops the
// whole process (SIGSTOP) between looking at the flight's name and renaming
// the flight to it (where the file system has no other way to claim a name,
// such as exFAT through FUSE), or right before mem.txt moves on, as a
// debugger, Ctrl+Z or a stalled disk would hold it up there. The naming of
// leftover flights at start-up is never held up. The test lets the game go
// on with SIGCONT. POSIX systems only.
#pragma once

namespace vl {

void InstallTestHooks();

}  // namespace vl
