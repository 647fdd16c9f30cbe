// For the tests that drive the real program: with VANTALOOP_FRAME_COUNT
// naming a file, the game makes that file anew at start-up and adds one
// byte to it for every frame it presents, so its size is the number of
// frames presented so far. A test waits for a flight of so many frames, or
// for the next few frames after a key press, instead of guessing how many
// seconds a busy machine needs for them. The byte is written through at
// once; nothing of the game's own (its picture, flight, log or files)
// depends on it. Without the variable nothing is counted or written.
#pragma once

#include <cstdio>
#include <string>

namespace vl {

class FrameCountFile {
 public:
  // The name given in VANTALOOP_FRAME_COUNT; empty when the variable is
  // unset or empty.
  static std::string NameFromEnvironment();

  // Makes the file `path` anew, empty; counts nothing when it cannot be
  // made.
  explicit FrameCountFile(const std::string& path);
  ~FrameCountFile();
  FrameCountFile(const FrameCountFile&) = delete;
  FrameCountFile& operator=(const FrameCountFile&) = delete;

  // One more frame has been presented.
  void Presented();

 private:
  std::FILE* file_ = nullptr;
};

}  // namespace vl
