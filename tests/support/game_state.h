// Puts every piece of the game's process-wide state back to its start value,
// so each test begins as a fresh run of the program would.
#pragma once

namespace vl::test {

void ResetGameState();

}  // namespace vl::test
