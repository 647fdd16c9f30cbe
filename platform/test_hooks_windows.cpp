#include "platform/test_hooks.h"

namespace vl {

// Windows has no signal that stops a process from within: the tests that
// hold a save up run on POSIX systems.
void InstallTestHooks() {}

}  // namespace vl
