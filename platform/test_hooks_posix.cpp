#include <csignal>
#include <cstdlib>
#include <cstring>

#include "flight/flight_save.h"
#include "platform/test_hooks.h"

namespace vl {

void InstallTestHooks() {
  const char* step = std::getenv("VANTALOOP_TEST_STOP_SAVE");
  if (!step) return;
  const auto stop = [] { std::raise(SIGSTOP); };
  if (std::strcmp(step, "claim") == 0) duringClaimForTest = stop;
  if (std::strcmp(step, "counter") == 0) beforeCounterForTest = stop;
}

}  // namespace vl
