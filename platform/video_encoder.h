// A video file being written, frame by frame: the replay's pictures go in,
// an encoded .webm (VP9) or .mp4 (H.264) comes out. Every frame lasts one
// 16 ms tick of the game (62.5 frames per second, an exact time base), so
// the video lasts as long as the flight.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace vl {

class VideoEncoder {
 public:
  virtual ~VideoEncoder() = default;
  // One picture, width x height RGB bytes, top row first.
  virtual bool AddFrame(const uint8_t* rgb) = 0;
  // Writes what the encoder still holds and the file's index. The file
  // stays open: its owner closes it.
  virtual bool Finish() = 0;
  // What went wrong, once a call has failed.
  virtual const std::string& error() const = 0;
};

// Whether the file name ends in a kind of video this build writes.
bool VideoFormatKnown(const std::string& name);

// An encoder writing into `out` (opened for binary writing, seekable), the
// kind of video chosen by the file name `name`. nullptr, with `error`
// saying why, when it cannot start.
std::unique_ptr<VideoEncoder> OpenVideoEncoder(std::FILE* out, const std::string& name, int32_t width,
                                               int32_t height, std::string& error);

}  // namespace vl
