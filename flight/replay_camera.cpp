#include "flight/replay_camera.h"

#include <algorithm>

#include "flight/vec_math.h"

namespace vl {

const char* ReplayViewName(ReplayView v) {
  switch (v) {
    case ReplayView::Chase: return "chase";
    case ReplayView::Top: return "top";
    case ReplayView::Cockpit: break;
  }
  return "cockpit";
}

ReplayView NextReplayView(ReplayView v) {
  return static_cast<ReplayView>((static_cast<int>(v) + 1) % kReplayViewCount);
}

void TakeRecordedPose(const FrameRecord& f, Camera& c) {
  c.position = f.position;
  // The recorded rotation's columns are right, up and -forward.
  c.right = {f.rotation[0], f.rotation[1], f.rotation[2]};
  c.up = {f.rotation[4], f.rotation[5], f.rotation[6]};
  c.forward = {-f.rotation[8], -f.rotation[9], -f.rotation[10]};
}

void TakeChasePose(const FrameRecord* frames, int32_t count, int32_t frame, Camera& c) {
  frame = std::clamp(frame, 0, count - 1);
  Vec3 forward{0, 0, 0}, up{0, 0, 0};
  float weight = 1.0f;
  for (int32_t k = 0; k < kChaseFrames; ++k) {
    const FrameRecord& f = frames[std::max(frame - k, 0)];
    forward = forward + Vec3{-f.rotation[8], -f.rotation[9], -f.rotation[10]} * weight;
    up = up + Vec3{f.rotation[4], f.rotation[5], f.rotation[6]} * weight;
    weight *= kChaseFading;
  }
  Normalize(forward);
  Normalize(up);
  const Vec3 target = frames[frame].position;
  c.position = target - forward * kChaseBehind + up * kChaseAbove;
  // Looking straight at the aircraft keeps it in the middle of the picture.
  c.forward = target - c.position;
  c.up = up;
  Orthonormalize(c);
}

void TakeTopPose(Vec3 below, Camera& c) {
  c.position = {below.x, below.y + kTopHeight, below.z};
  c.forward = {0, -1, 0};
  c.up = {0, 0, 1};
  c.right = Cross(c.forward, c.up);
}

int32_t NextFollowed(int32_t current, int by, const std::vector<int32_t>& flying) {
  if (flying.empty()) return 0;
  const auto at = std::lower_bound(flying.begin(), flying.end(), current);
  const auto n = static_cast<int64_t>(flying.size());
  int64_t i = at - flying.begin();
  // Not flying: it stands between its neighbours, and a step back starts
  // from the one before it.
  if (at == flying.end() || *at != current) i -= by > 0 ? 1 : 0;
  i = ((i + by) % n + n) % n;
  return flying[static_cast<size_t>(i)];
}

}  // namespace vl
