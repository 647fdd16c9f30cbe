#include "flight/replay_clock.h"

#include <algorithm>

namespace vl {

void ReplayClock::Tick() {
  if (paused_ || frames_ <= 0) return;
  const ReplaySpeed s = speed();
  if (++ticksOnFrame_ < s.den) return;
  ticksOnFrame_ = 0;
  SeekTo(static_cast<int64_t>(shown_) + s.num);
  if (atEnd()) paused_ = true;
}

void ReplayClock::Step(int32_t by) {
  if (paused_) Seek(by);
}

void ReplayClock::SeekTo(int64_t frame) {
  shown_ = static_cast<int32_t>(std::clamp<int64_t>(frame, 0, std::max(frames_ - 1, 0)));
  // A slow frame starts its stay anew, wherever it was reached from.
  ticksOnFrame_ = 0;
}

void ReplayClock::ChangeSpeed(int by) {
  speed_ = std::clamp(speed_ + by, 0, kReplaySpeedCount - 1);
  ticksOnFrame_ = 0;
}

}  // namespace vl
