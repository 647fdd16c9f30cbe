#include "flight/replay.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "flight/ghost_choice.h"
#include "flight/recordings.h"

namespace vl {

namespace {

bool active = false;
Recording flight;  // the replayed flight; `cursor` is the next frame shown
std::string title;

}  // namespace

bool StartReplay(int32_t number, std::string& error) {
  const std::string path = RecordingPath(number);
  const RecordingFileInfo info = ReadRecordingFile(path, flight);
  if (flight.frameCount <= 0) {
    std::error_code ec;
    error = !std::filesystem::exists(path, ec)
                ? "no saved flight " + std::to_string(number) + " (no " + path + ")"
            : !info.opened ? path + " is not a plain file that can be read"
                           : path + " holds no frames to replay";
    flight = Recording{};
    return false;
  }
  // The replayed flight is the camera; it never flies as its own ghost.
  std::vector<int32_t> ghosts;
  if (ghostChoice.chosen) {
    ghosts = ghostChoice.flights;
    std::erase(ghosts, number);
  } else {
    // When flight n was flown, mem.txt held n - 1: the start-up had loaded
    // files 0 to n - 2.
    for (int32_t n = 0; n < std::min(number - 1, kMaxLoadedFlights); ++n) ghosts.push_back(n);
  }
  ChooseGhosts(std::move(ghosts));
  // Recorded frame f is the pose after frame f + 60 of its run, when every
  // ghost showed its frame f + 120.
  ghostChoice.firstFrame = kReplayStart + kSkippedFrames;
  title = "vantaloop: replay of flight " + std::to_string(number);
  active = true;
  return true;
}

bool ReplayActive() { return active; }

bool ReplayFinished() { return active && flight.cursor >= flight.frameCount; }

void TakeReplayPose(Camera& c) {
  if (flight.cursor >= flight.frameCount) return;
  const FrameRecord& f = flight.frames[flight.cursor];
  c.position = f.position;
  // The recorded rotation's columns are right, up and -forward.
  c.right = {f.rotation[0], f.rotation[1], f.rotation[2]};
  c.up = {f.rotation[4], f.rotation[5], f.rotation[6]};
  c.forward = {-f.rotation[8], -f.rotation[9], -f.rotation[10]};
  flight.cursor += 1;
}

const char* ReplayTitle() { return title.c_str(); }

void ResetReplayForTest() {
  active = false;
  flight = Recording{};
  title.clear();
}

}  // namespace vl
