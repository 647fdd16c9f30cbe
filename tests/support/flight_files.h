// Recording files for tests, written as the game writes them.
#pragma once

#include <cstdint>
#include <vector>

#include "flight/recordings.h"

namespace vl::test {

// `count` frames flown in a straight line: frame f at start + step f, with
// a rotation whose fields differ from frame to frame.
std::vector<FrameRecord> StraightFlight(int32_t count, Vec3 start, Vec3 step);

// recordings/recNNNN.bin holding `frames`, under the frame count `count`
// (that of `frames` when -1), followed by `extraBytes` bytes.
void WriteFlightFile(int32_t number, const std::vector<FrameRecord>& frames, int64_t count = -1,
                     int extraBytes = 0);

}  // namespace vl::test
