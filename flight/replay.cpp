#include "flight/replay.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "flight/ghost_choice.h"
#include "flight/ghosts.h"
#include "flight/recordings.h"
#include "input/input_state.h"
#include "input/messages.h"
#include "render/gl_api.h"
#include "shell/tick.h"

namespace vl {

namespace {

bool active = false;
bool playThrough = false;
bool lastShown = false;  // played through: the last frame is on screen
int32_t flightNumber = 0;
Recording flight;  // the replayed flight
ReplayClock clock;
ReplayView view = ReplayView::Cockpit;
int32_t followed = 0;  // entry of the followed aircraft; 0: the replayed flight
std::string title;

// The replayed flight flies in the colour it has as a ghost: file n flies
// from entry n + 1.
Vec3 FlightColour(int32_t entry) { return GhostColour(entry == 0 ? flightNumber + 1 : entry); }

// Every ghost shows its frame f + 120 (ghostChoice.firstFrame) while the
// replay shows frame f, as it did when the flight was flown.
int32_t GhostFrame() { return clock.shown() + ghostChoice.firstFrame; }

bool Flying(int32_t entry) {
  if (entry == 0) return true;
  if (entry >= recordingCount) return false;
  const int32_t f = GhostFrame();
  return f >= 0 && f < recordings[entry].frameCount;
}

// The entries flying at the frame on screen, the replayed flight first.
std::vector<int32_t> FlyingNow() {
  std::vector<int32_t> flying{0};
  for (int32_t i = 1; i < recordingCount; ++i)
    if (Flying(i)) flying.push_back(i);
  return flying;
}

// The followed aircraft's frames and its frame on screen; the replayed
// flight while the chosen ghost is not flying.
const Recording& FollowedFlight(int32_t& frame) {
  if (followed != 0 && Flying(followed)) {
    frame = GhostFrame();
    return recordings[followed];
  }
  frame = clock.shown();
  return flight;
}

int32_t FollowedEntry() { return followed != 0 && Flying(followed) ? followed : 0; }

void ReadKeys() {
  const auto pressed = [](int key) { return keysPressed[key] != 0; };
  if (pressed(vk::SPACE)) clock.TogglePause();
  if (pressed(vk::LEFT) || pressed(vk::OEM_COMMA)) clock.Step(-1);
  if (pressed(vk::RIGHT) || pressed(vk::OEM_PERIOD)) clock.Step(1);
  if (pressed(vk::OEM_MINUS) || pressed(vk::SUBTRACT)) clock.ChangeSpeed(-1);
  if (pressed(vk::OEM_PLUS) || pressed(vk::ADD)) clock.ChangeSpeed(1);
  if (pressed(vk::PRIOR)) clock.Seek(-kSeekFrames);
  if (pressed(vk::NEXT)) clock.Seek(kSeekFrames);
  if (pressed(vk::HOME)) clock.SeekTo(0);
  if (pressed(vk::END)) clock.SeekTo(clock.frames() - 1);
  if (pressed('C')) view = NextReplayView(view);
  if (pressed(vk::TAB)) followed = NextFollowed(FollowedEntry(), keysHeld[vk::SHIFT] ? -1 : 1, FlyingNow());
}

// m:ss.cc of so many frames of 16 ms.
std::string FlightTime(int64_t frames) {
  const int64_t cs = frames * kTickMs / 10;
  char text[32];
  std::snprintf(text, sizeof text, "%" PRId64 ":%02" PRId64 ".%02" PRId64, cs / 6000, cs / 100 % 60, cs % 100);
  return text;
}

const char* SpeedName(ReplaySpeed s) {
  if (s.den == 4) return "\u00BC";
  if (s.den == 2) return "\u00BD";
  static char text[8];
  std::snprintf(text, sizeof text, "%d", static_cast<int>(s.num));
  return text;
}

void UpdateTitle() {
  title = "vantaloop: replay of flight " + std::to_string(flightNumber) + ", " + FlightTime(clock.shown()) +
          " of " + FlightTime(clock.frames());
  title += clock.paused() ? std::string(", paused") : std::string(", \u00D7") + SpeedName(clock.speed());
  if (view != ReplayView::Cockpit) {
    const int32_t entry = FollowedEntry();
    const Vec3 c = FlightColour(entry);
    const auto byte = [](float v) { return static_cast<int>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
    char colour[16];
    std::snprintf(colour, sizeof colour, "#%02X%02X%02X", byte(c.x), byte(c.y), byte(c.z));
    title += std::string(", ") + ReplayViewName(view) + " view of flight " +
             std::to_string(entry == 0 ? flightNumber : entry - 1) + " (" + colour + ")";
  }
}

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
  flightNumber = number;
  clock = ReplayClock(flight.frameCount);
  active = true;
  UpdateTitle();
  return true;
}

bool ReplayActive() { return active; }

void PlayReplayThrough() { playThrough = true; }

bool ReplayFinished() { return active && playThrough && lastShown; }

void TakeReplayPose(Camera& c) {
  if (!playThrough) ReadKeys();
  const int32_t shown = clock.shown();
  for (int32_t i = 1; i < recordingCount; ++i) recordings[i].cursor = GhostFrame();
  int32_t frame = 0;
  const Recording& target = FollowedFlight(frame);
  switch (view) {
    case ReplayView::Cockpit: TakeRecordedPose(flight.frames[shown], c); break;
    case ReplayView::Chase: TakeChasePose(target.frames.get(), target.frameCount, frame, c); break;
    case ReplayView::Top: TakeTopPose(target.frames[frame].position, c); break;
  }
  lastShown = clock.atEnd();
  UpdateTitle();
}

void DrawReplayedFlight() {
  if (view == ReplayView::Cockpit) return;
  DrawGhostAircraft(flight.frames[clock.shown()], FlightColour(0));
  if (view != ReplayView::Top) return;
  // The track flown so far, drawn over the city and the plates above it.
  int32_t frame = 0;
  const Recording& target = FollowedFlight(frame);
  const Vec3 c = FlightColour(FollowedEntry());
  gl.Disable(glc::DEPTH_TEST);
  gl.Color3f(c.x, c.y, c.z);
  gl.LineWidth(3);
  gl.Begin(glc::LINE_STRIP);
  for (int32_t f = 0; f <= frame; f += std::max<int32_t>(1, std::min(4, frame - f))) {
    const Vec3 p = target.frames[f].position;
    gl.Vertex3f(p.x, p.y, p.z);
  }
  gl.End();
  gl.Enable(glc::DEPTH_TEST);
}

bool ReplayFromOutside() { return view != ReplayView::Cockpit; }

void AdvanceReplay() { clock.Tick(); }

const char* ReplayTitle() { return title.c_str(); }

void SetReplayView(ReplayView v, int32_t entry) {
  view = v;
  followed = entry;
  UpdateTitle();
}

bool ChooseReplayView(const std::string& name, int32_t flight, std::string& error) {
  ReplayView v = ReplayView::Cockpit;
  for (ReplayView each : {ReplayView::Cockpit, ReplayView::Chase, ReplayView::Top})
    if (name == ReplayViewName(each)) v = each;
  int32_t entry = 0;
  if (flight >= 0 && flight != flightNumber) {
    const std::vector<int32_t>& ghosts = ghostChoice.flights;
    if (std::find(ghosts.begin(), ghosts.end(), flight) == ghosts.end()) {
      error = "flight " + std::to_string(flight) + " does not fly in the replay of flight " +
              std::to_string(flightNumber);
      return false;
    }
    entry = flight + 1;  // file n flies from entry n + 1
  }
  SetReplayView(v, entry);
  return true;
}

void SeekReplay(int32_t frame) { clock.SeekTo(frame); }

const ReplayClock& ReplayClockNow() { return clock; }

void ResetReplayForTest() {
  active = false;
  playThrough = false;
  lastShown = false;
  flight = Recording{};
  clock = ReplayClock();
  view = ReplayView::Cockpit;
  followed = 0;
  title.clear();
}

}  // namespace vl
