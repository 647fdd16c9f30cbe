// Where the game's own output goes, and whether anyone started it from a
// console to read it.
#pragma once

namespace vl {

// Connects stdout and stderr to the console the game was started from, where
// the system does not do so by itself: a windowed Windows program has no
// console of its own, so --help would otherwise print nowhere. Returns true
// when the game was started from a console or with its output redirected,
// false when it was started from the desktop (a double-click, the start
// menu), where nobody reads its output and the working folder may be one
// the player cannot write to. Elsewhere it is always true.
bool ConnectToConsole();

// Whether stderr is a terminal a person watches (for a progress bar).
bool StderrIsTerminal();

}  // namespace vl
