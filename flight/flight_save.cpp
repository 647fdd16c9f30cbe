#include "flight/flight_save.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "flight/counter.h"
#include "flight/recording_file.h"
#include "flight/recordings.h"
#include "os/files.h"
#include "shell/log.h"

namespace vl {

namespace {

constexpr const char* kFolder = "recordings";
// How long a save waits for another copy of the game to finish its own.
constexpr int kLockWaitMs = 5000;

// Writes the live flight into a new temporary file beside `target`, all of
// it on disk before this returns true; `temp` is its name. On failure
// nothing is left behind.
bool WriteLiveFlight(const std::string& target, std::string& temp) {
  const Recording& live = recordings[0];
  const int32_t count = std::max<int32_t>(live.frameCount, 0);
  if (count > 0 && !live.frames) return false;

  std::FILE* f = os::CreateTemp(target, temp);
  if (!f) return false;
  const bool written = WriteRecording(f, live.frames.get(), count);
  if (os::Finish(f) && written) return true;
  os::RemoveFile(temp);
  return false;
}

// Removes the temporary files that saves cut off by a crash or a kill left
// behind. Only while the save lock is held: a copy of the game that is
// saving holds it, even from another machine sharing the folder. A flight
// that was written whole but never named stays for the player to rename.
void RemoveLeftovers() {
  for (const char* prefix : {"mem.txt.", "log.txt."}) {
    for (const std::string& temp : os::LeftoverTemps(".", prefix)) os::RemoveFile(temp);
  }
  for (const std::string& temp : os::LeftoverTemps(kFolder, "rec")) {
    if (!HoldsWholeFlight(temp)) os::RemoveFile(temp);
  }
}

// Says on stderr and in the log that something went wrong at the end of a
// flight. The main loop has switched logging off by now; it is switched back
// on for this, as the shutdown does right after.
void ReportSave(const std::string& text) {
  std::fprintf(stderr, "vantaloop: %s\n", text.c_str());
  LogResume();
  LogWrite("%s", text.c_str());
}

std::string AbsolutePath(const char* relative) {
  std::error_code ec;
  std::filesystem::path path = std::filesystem::absolute(relative, ec).lexically_normal();
  if (ec) return relative;
  if (!path.has_filename()) path = path.parent_path();  // "/data/." is "/data"
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// Whether a new file can be made beside `target` and put on disk.
bool TakesNewFiles(const std::string& target) {
  std::string temp;
  std::FILE* f = os::CreateTemp(target, temp);
  if (!f) return false;
  const bool ok = os::Finish(f);
  os::RemoveFile(temp);
  return ok;
}

}  // namespace

SavedFlight SaveRecording(int32_t first) {
  SavedFlight saved;
  saved.number = first;
  if (!WriteLiveFlight(RecordingPath(first), saved.temp)) return saved;
  saved.written = true;
  // mem.txt may be behind the files on disk (a restored backup, another
  // copy of the game saving into the same folder, a save cut off before
  // mem.txt moved on): an existing file is never replaced, the flight takes
  // the next number that is free.
  os::Claim claim = os::ClaimName(saved.temp, RecordingPath(saved.number));
  while (claim == os::Claim::kTaken && saved.number < INT32_MAX) {
    ++saved.number;
    claim = os::ClaimName(saved.temp, RecordingPath(saved.number));
  }
  saved.named = claim == os::Claim::kDone;
  return saved;
}

void EndOfFlightSave() {
  const Recording& live = recordings[0];
  if (live.frameCount <= kMinSavedFrames) return;

  // The recordings folder is made when it is missing; if something else
  // stands in its way, the save below fails and says so.
  os::MakeFolder(kFolder);
  // Choosing the number, naming the file and moving mem.txt on are one step
  // that two copies of the game never interleave, so mem.txt only moves up.
  const os::SaveLock lock(kFolder, kLockWaitMs);
  if (lock.Held()) RemoveLeftovers();

  const int32_t first = NextFlightNumber();
  const SavedFlight saved = SaveRecording(first);
  const std::string frames = std::to_string(live.frameCount);
  const std::string path = RecordingPath(saved.number);
  if (!saved.written) {
    ReportSave("could not save the flight of " + frames + " frames as " + path);
    return;
  }
  if (!saved.named) {
    // The flight is on disk all the same: the player can give it its name.
    ReportSave("could not save the flight of " + frames + " frames as " + path + ": it is kept as " + saved.temp);
    return;
  }
  if (saved.number != first) ReportSave(RecordingPath(first) + " is taken: the flight is saved as " + path);
  // Only a complete file is ever counted.
  if (!WriteCounter(saved.number)) ReportSave("saved " + path + " but could not update " + kCounterFile);
}

std::string CheckFlightsCanBeKept() {
  const char* folder = nullptr;
  if (!TakesNewFiles(kCounterFile)) {
    folder = ".";
  } else if (!os::MakeFolder(kFolder) || !TakesNewFiles(RecordingPath(0))) {
    folder = kFolder;
  }
  if (folder) {
    return "No new file can be made in " + AbsolutePath(folder) +
           ". You can fly, but no flight will be kept. Start the game with --data and a folder you may write to.";
  }
  const os::SaveLock lock(kFolder, 0);
  if (lock.Held()) RemoveLeftovers();
  return {};
}

}  // namespace vl
