// Flight recordings: every flight kept frame by frame, long ones saved to
// numbered files, earlier ones loaded at start-up for the ghosts.
//
// A recording file "recordings/rec%04i.bin" is a 32-bit frame count n
// followed by n frame records of 76 bytes, every field little-endian, and
// nothing else. "mem.txt" holds the number of the newest saved file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

#include "flight/vec3.h"

namespace vl {

// The camera's pose in one frame: its position and its camera-to-world
// rotation as a column-major OpenGL matrix (columns right, up, -forward).
// The same 19 floats, in this order, make up a record in a file.
struct FrameRecord {
  Vec3 position;
  float rotation[16];
};
static_assert(sizeof(FrameRecord) == 76, "a frame record is 19 packed floats");
static_assert(std::is_standard_layout_v<FrameRecord> && offsetof(FrameRecord, rotation) == 12,
              "a frame record in memory is laid out as in the file");

// One flight held in memory.
struct Recording {
  int32_t frameCount = 0;                 // frames in `frames` (live flight: starts at -60)
  std::unique_ptr<FrameRecord[]> frames;  // owned by the entry
  int32_t cursor = 0;                     // next frame the ghost shows
};

constexpr int kMaxRecordings = 1000;       // the live flight and 999 loaded ones
constexpr int32_t kLiveFrames = 10800;     // frames stored per flight
constexpr int32_t kSkippedFrames = 60;     // frames of each run before recording starts
constexpr int32_t kMinSavedFrames = 600;   // a flight needs more than this to be saved
constexpr int32_t kReplayStart = 60;       // first frame a ghost shows
constexpr size_t kRecordBytes = 76;
constexpr size_t kCountBytes = 4;

// Entry 0 is the live flight; entries 1 .. recordingCount - 1 hold the
// loaded files, entry i + 1 holding file number i.
extern Recording recordings[kMaxRecordings];
extern int32_t recordingCount;

// Appends this frame's camera pose to the live flight.
void RecordFrame(Vec3 position, const float rotation[16]);
// Saves the live flight when the player leaves with Escape: only a flight
// of more than 600 recorded frames, under the number after the one in
// mem.txt, or the next free number after it when that file exists already
// (an existing recording is never replaced). The file is complete on disk
// before mem.txt names the number used. Two copies of the game saving into
// one folder take turns.
void EndOfFlightSave();

// What became of a save.
struct SavedFlight {
  int32_t number = 0;    // the file number tried last, the one used when named
  bool written = false;  // the whole flight is on disk under `temp`
  bool named = false;    // ... and now has the name of file `number`
  std::string temp;      // where the flight is while it has no name
};
// Writes the live flight to disk once, then gives it the name of recording
// file `first`, or of the next free number after it. An existing file is
// never replaced. A flight written but not named stays under `temp`.
SavedFlight SaveRecording(int32_t first);

// Start-up: makes the recordings folder when it is missing and tries
// whether the data folder and the recordings folder take new files. Returns
// what the player must know when flights cannot be saved (the message that
// goes with kFlightsNotKept), else nothing.
// Also clears away what saves cut off by a crash left behind.
std::string CheckFlightsCanBeKept();
constexpr const char* kFlightsNotKept = "Flights cannot be saved";

// Start-up: prepares the live flight and empties the table of loaded ones.
void PrepareRecordings();
// Start-up: prepares the live flight and loads files 0 .. n-1, where mem.txt
// holds n (at most 999 of them).
void LoadRecordings();
// Loads one file into the next entry. A file that is missing, unreadable or
// not a plain file gives an empty entry; a short one keeps the whole records
// it has, a long one its first 10800.
void LoadRecording(const char* path);

// What reading one recording file found out about it.
struct RecordingFileInfo {
  bool opened = false;        // a plain file that could be opened for reading
  bool hasCount = false;      // it holds the 4 bytes of the frame count
  int32_t statedCount = 0;    // the frame count it gives
  long long recordBytes = 0;  // the bytes after the count
};
// Reads a recording file into `into`, which it empties first: the frames
// the count gives, but never more than the file holds nor more than 10800.
// The loader and the flight list share it.
RecordingFileInfo ReadRecordingFile(const char* path, Recording& into);

// The number held by mem.txt. Returns false when there is no such file (or
// it is not a plain file); `number` is set only when the file starts with a
// number. The file holds one decimal number, and the game never writes a
// leading zero, so "010" is ten. A value too large for the range reads as
// the range's end.
bool ReadCounter(long long& number, bool& hasNumber);

// The bytes of one record in a file, and back.
void EncodeFrameRecord(const FrameRecord& record, unsigned char out[kRecordBytes]);
FrameRecord DecodeFrameRecord(const unsigned char in[kRecordBytes]);

// Formats the path of recording file `number` ("recordings/rec%04i.bin").
void RecordingPath(int32_t number, char* out, size_t size);

// Back to the state before start-up (all entries empty), for tests.
void ResetRecordingsForTest();

}  // namespace vl
