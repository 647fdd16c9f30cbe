// Flight recordings in memory: the live flight, recorded frame by frame,
// and the table of earlier flights that fly again as ghosts.
//
// The file format is in recording_file.h, mem.txt in counter.h and the save
// in flight_save.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "flight/recording_file.h"

namespace vl {

constexpr int kMaxRecordings = 1000;  // the live flight and 999 loaded ones
// The most flights the table holds beside the live one: files 0 to 998.
constexpr int32_t kMaxLoadedFlights = kMaxRecordings - 1;
constexpr int32_t kSkippedFrames = 60;  // frames of each run before recording starts
constexpr int32_t kReplayStart = 60;    // first frame a ghost shows

// Entry 0 is the live flight; entries 1 .. recordingCount - 1 hold the
// loaded files, entry i + 1 holding file number i.
extern Recording recordings[kMaxRecordings];
extern int32_t recordingCount;

// Appends this frame's camera pose to the live flight.
void RecordFrame(Vec3 position, const float rotation[16]);

// Start-up: prepares the live flight and empties the table of loaded ones.
void PrepareRecordings();
// Start-up: prepares the live flight and loads files 0 .. n-1, where mem.txt
// holds n (at most 999 of them).
void LoadRecordings();
// Loads one file into entry `slot` and logs its frames. A file that is
// missing, unreadable or not a plain file gives an empty entry; a short one
// keeps the whole records it has, a long one its first 10800. With
// `mustExist`, such a file is not logged and false is returned instead.
bool LoadRecording(const std::string& path, int32_t slot, bool mustExist);

// The one loader of ghosts, for every way flights come to fly: file n into
// entry n + 1, so that each flight keeps its colour, showing `firstFrame`
// first. Numbers beyond the table are passed over. With `nameMissing`, a
// number without a file is left out and named in one line on stderr and in
// the log; otherwise its entry stays empty and logs its 0 frames, as the
// start-up's loading rule does.
void LoadFlights(const std::vector<int32_t>& numbers, int32_t firstFrame, bool nameMissing);

// Back to the state before start-up (all entries empty), for tests.
void ResetRecordingsForTest();

}  // namespace vl
