#include "shell/tick_schedule.h"

#include "shell/main_loop.h"

namespace vl {

bool RunDueTicks() {
  for (int i = 0; i < kMaxTicksPerDisplayFrame; ++i) {
    const uint32_t now = loopPlatform->TimeGetTime();
    if (!TickDue(now, lastFrameTime)) return true;
    const uint32_t start = TickStart(now, lastFrameTime);
    if (!MainLoopPass()) return false;
    // The pass noted when it began; the tick counts from its due time.
    lastFrameTime = start;
  }
  return true;
}

}  // namespace vl
