// Watching a saved flight again (--replay N): the camera takes the recorded
// pose of each frame, one frame per 16 ms tick, while the ghosts that flew
// beside that flight fly again. Nothing is recorded and nothing is saved;
// the program ends with the flight's last frame.
#pragma once

#include <cstdint>
#include <string>

#include "flight/camera.h"

namespace vl {

// Loads flight `number` for the replay, before the window opens, and makes
// the window title say so. Unless the ghosts were chosen already, they
// become the flights the start-up had loaded when this one was flown: the
// files numbered below `number` - 1. They fly as they did then, 120 frames
// ahead of the recording's own frame. Returns false, with `error` saying
// why, when the flight has no frames to show.
bool StartReplay(int32_t number, std::string& error);

bool ReplayActive();
// Every frame of the flight has been shown.
bool ReplayFinished();
// Puts the camera in the pose of the flight's next frame.
void TakeReplayPose(Camera& c);
// The window title while a flight is replayed.
const char* ReplayTitle();

// No replay, for tests.
void ResetReplayForTest();

}  // namespace vl
