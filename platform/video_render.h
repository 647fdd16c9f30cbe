// --replay N --video FILE: the replay drawn without a window, through SDL's
// offscreen driver as the tests draw, one picture per recorded frame into a
// video file that appears whole or not at all.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vl {

// Draws the replay at width x height: `frame` receives frame k of the
// flight (RGB, top row first) for k = 0, 1, ... to its last frame, or only
// for the frames in `only` when given. Stops when `frame` returns false or
// the program is asked to quit (Ctrl+C). False when it did not get through
// or no window could be made. SDL's video must be started.
bool DrawReplayFrames(int32_t width, int32_t height,
                      const std::function<bool(int32_t k, const uint8_t* rgb)>& frame,
                      const std::vector<int32_t>* only = nullptr);

// Renders the replay into `file` (.webm or .mp4); the exit status.
int WriteReplayVideo(const std::string& file, int32_t width, int32_t height);

}  // namespace vl
