// The recording file: "recordings/rec%04i.bin" holds a 32-bit frame count n
// followed by n frame records of 76 bytes, every field little-endian, and
// nothing else.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
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

constexpr int32_t kLiveFrames = 10800;    // frames stored per flight
constexpr int32_t kMinSavedFrames = 600;  // a flight needs more than this to be saved
constexpr size_t kRecordBytes = 76;
constexpr size_t kCountBytes = 4;

// The path of recording file `number`: "recordings/rec%04i.bin".
std::string RecordingPath(int32_t number);
// The file number a name in recordings/ stands for, or -1 when the game
// would never write or read a file of that name.
int32_t RecordingNumberOfFileName(const std::string& name);
// The same for a name a folder listing gives: on a file system that ignores
// case ("REC0003.BIN" on exFAT or FAT), the name is the flight's when the
// game's own spelling finds a file there, as the loader finds it.
int32_t RecordingNumberFound(const std::string& listed);

// The bytes of one record in a file, and back.
void EncodeFrameRecord(const FrameRecord& record, unsigned char out[kRecordBytes]);
FrameRecord DecodeFrameRecord(const unsigned char in[kRecordBytes]);

// What reading one recording file found out about it.
struct RecordingFileInfo {
  bool opened = false;        // a plain file that could be opened for reading
  bool hasCount = false;      // it holds the 4 bytes of the frame count
  int32_t statedCount = 0;    // the frame count it gives
  long long recordBytes = 0;  // the bytes after the count
};
// Reads a recording file into `into`, which it empties first: the frames
// the count gives, but never more than the file holds nor more than 10800.
// Every reader of flights (the start-up, the list, the replay) shares it.
RecordingFileInfo ReadRecordingFile(const std::string& path, Recording& into);

// Writes the frame count and the first `count` frames of `frames` to `f`.
// False when a write failed.
bool WriteRecording(std::FILE* f, const FrameRecord* frames, int32_t count);

// The frames of a file holding a whole flight long enough to have been
// saved (its count matches its size), else 0. Such a file is never deleted.
int32_t WholeFlightFrames(const std::string& path);

}  // namespace vl
