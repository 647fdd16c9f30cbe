// Watching a saved flight again (--replay N): the camera takes the recorded
// pose of the frame on screen while the ghosts that flew beside that flight
// fly again, each at the frame it showed then. The player can pause, step,
// change the speed, seek, and watch from behind or above any aircraft that
// is flying. Nothing is recorded and nothing is saved; at the end the
// flight's last frame stays on screen, paused, until Escape or the window
// is closed.
#pragma once

#include <cstdint>
#include <string>

#include "flight/camera.h"
#include "flight/replay_camera.h"
#include "flight/replay_clock.h"

namespace vl {

// Loads flight `number` for the replay, before the window opens, and makes
// the window title say so. Unless the ghosts were chosen already, they
// become the flights the start-up had loaded when this one was flown: the
// files numbered below `number` - 1. They fly as they did then, 120 frames
// ahead of the recording's own frame. Returns false, with `error` saying
// why, when the flight has no frames to show.
bool StartReplay(int32_t number, std::string& error);

bool ReplayActive();
// Plays every frame once at normal speed, without the replay keys, and
// ends with the last one (the timedemo and the video).
void PlayReplayThrough();
// Played through: the last frame has been shown.
bool ReplayFinished();

// The frame's replay keys (from the message state), then the camera in the
// pose of the view at the frame on screen and the ghosts at their frames.
void TakeReplayPose(Camera& c);
// After the ghosts: the replayed flight as an aircraft, when the camera is
// outside it, and in the top view the followed aircraft's track.
void DrawReplayedFlight();
// The camera is outside the replayed flight's cockpit (chase or top view).
bool ReplayFromOutside();
// The frame is done: one tick of the replay clock.
void AdvanceReplay();

// The window title while a flight is replayed: where the replay stands.
const char* ReplayTitle();
// For the video and the tests: the view and the followed aircraft (an
// entry of the recordings table, 0 for the replayed flight).
void SetReplayView(ReplayView view, int32_t followed);
// The view the replay starts in, by name (cockpit, chase or top; empty
// keeps the cockpit), following flight `flight` (-1: the replayed one),
// which must be the replayed flight or one of its ghosts. False, with
// `error` saying why, otherwise.
bool ChooseReplayView(const std::string& name, int32_t flight, std::string& error);
// Puts frame `frame` on screen next (the video draws the frames in order).
void SeekReplay(int32_t frame);
const ReplayClock& ReplayClockNow();

// No replay, for tests.
void ResetReplayForTest();

}  // namespace vl
