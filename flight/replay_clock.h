// Where a replayed flight stands and how fast it moves: the recorded frame
// on screen, the speed, pause, stepping and seeking. One tick is one 16 ms
// frame of the main loop. A recorded frame is only ever shown as it was
// recorded: slow speeds keep it on screen for several ticks, fast ones
// skip frames, and nothing is made up between two of them.
#pragma once

#include <cstdint>

namespace vl {

// The speeds, slowest first, as recorded frames per tick: num / den.
struct ReplaySpeed {
  int32_t num;
  int32_t den;
};
constexpr ReplaySpeed kReplaySpeeds[] = {{1, 4}, {1, 2}, {1, 1}, {2, 1}, {4, 1}, {8, 1}};
constexpr int kReplaySpeedCount = 6;
constexpr int kNormalSpeed = 2;
// Page Up and Page Down jump ten seconds of flight.
constexpr int32_t kSeekFrames = 625;

class ReplayClock {
 public:
  explicit ReplayClock(int32_t frames = 0) : frames_(frames) {}

  int32_t frames() const { return frames_; }
  int32_t shown() const { return shown_; }
  bool paused() const { return paused_; }
  ReplaySpeed speed() const { return kReplaySpeeds[speed_]; }
  bool atEnd() const { return shown_ >= frames_ - 1; }

  // One tick has gone by: the frame on screen moves on at the speed, unless
  // paused. Once the last frame is reached it stays on screen, paused.
  void Tick();
  void TogglePause() { paused_ = !paused_; }
  // One recorded frame back or forward; only while paused.
  void Step(int32_t by);
  // Jumps by so many frames, or to a frame, kept within the flight.
  void Seek(int32_t by) { SeekTo(static_cast<int64_t>(shown_) + by); }
  void SeekTo(int64_t frame);
  // One speed step faster (+1) or slower (-1), stopping at the ends.
  void ChangeSpeed(int by);

 private:
  int32_t frames_;
  int32_t shown_ = 0;
  int speed_ = kNormalSpeed;
  bool paused_ = false;
  int32_t ticksOnFrame_ = 0;  // at slow speeds: ticks the shown frame has stayed
};

}  // namespace vl
