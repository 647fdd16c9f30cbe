#include "flight/flight_save.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

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

// Says on stderr and in the log what became of a flight that did not simply
// get its number. At the end of a flight the main loop has switched logging
// off; it is switched back on for this, as the shutdown does right after.
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

// Gives `temp` the name of recording file `number`, or of the next free
// number after it; `number` is the one tried last.
os::Claim ClaimFrom(const std::string& temp, int32_t& number, bool alone) {
  os::Claim claim = os::ClaimName(temp, RecordingPath(number), alone);
  while (claim == os::Claim::kTaken && number < INT32_MAX) {
    ++number;
    claim = os::ClaimName(temp, RecordingPath(number), alone);
  }
  return claim;
}

// Clears away the temporary files that saves cut off by a crash or a kill
// left behind, and names a whole flight among them as a saved flight under
// the next free number, as its save would have. Only while the save lock is
// held: a copy of the game that is saving holds it, even from another
// machine sharing the folder.
void TidyLeftovers() {
  for (const char* prefix : {"mem.txt.", "log.txt."}) {
    for (const std::string& temp : os::LeftoverTemps(".", prefix)) os::RemoveFile(temp);
  }
  std::vector<std::string> temps = os::LeftoverTemps(kFolder, "rec");
  std::sort(temps.begin(), temps.end());  // one order, whatever order the folder lists them in
  for (const std::string& temp : temps) {
    const int32_t frames = WholeFlightFrames(temp);
    if (frames == 0) {
      os::RemoveFile(temp);
      continue;
    }
    int32_t number = NextFlightNumber();
    if (ClaimFrom(temp, number, true) != os::Claim::kDone) continue;  // kept for the next try
    const std::string path = RecordingPath(number);
    ReportSave("the flight of " + std::to_string(frames) + " frames that a cut-off save left as " + temp +
               " is saved as " + path);
    if (!RaiseCounter(number)) ReportSave("saved " + path + " but could not update " + kCounterFile);
  }
}

}  // namespace

void (*duringClaimForTest)() = nullptr;
void (*beforeCounterForTest)() = nullptr;

SavedFlight SaveRecording(int32_t first, bool alone) {
  SavedFlight saved;
  saved.number = first;
  if (!WriteLiveFlight(RecordingPath(first), saved.temp)) return saved;
  saved.written = true;
  // mem.txt may be behind the files on disk (a restored backup, another
  // copy of the game saving into the same folder, a save cut off before
  // mem.txt moved on): an existing file is never replaced, the flight takes
  // the next number that is free.
  const os::Claim claim = ClaimFrom(saved.temp, saved.number, alone);
  saved.named = claim == os::Claim::kDone;
  saved.needsLock = claim == os::Claim::kNeedsLock;
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
  // A copy held up in its save (stopped, or on a stalled disk) keeps the
  // lock past the wait: the flight is then named only where that is safe
  // without the lock, and mem.txt is left to the copy that holds it.
  const os::SaveLock lock(kFolder, kLockWaitMs);
  if (lock.Held()) TidyLeftovers();
  const bool alone = !lock.Busy();

  const int32_t first = NextFlightNumber();
  os::beforeLookedRenameForTest = duringClaimForTest;
  const SavedFlight saved = SaveRecording(first, alone);
  os::beforeLookedRenameForTest = nullptr;
  const std::string frames = std::to_string(live.frameCount);
  const std::string path = RecordingPath(saved.number);
  if (!saved.written) {
    ReportSave("could not save the flight of " + frames + " frames as " + path);
    return;
  }
  if (saved.needsLock) {
    // On disk all the same, and named by the next start of the game.
    ReportSave("could not save the flight of " + frames + " frames as " + path +
               " while another copy of the game was saving: it is kept as " + saved.temp +
               " and saved at the next start");
    return;
  }
  if (!saved.named) {
    // The flight is on disk all the same: the player can give it its name.
    ReportSave("could not save the flight of " + frames + " frames as " + path + ": it is kept as " + saved.temp);
    return;
  }
  if (saved.number != first) ReportSave(RecordingPath(first) + " is taken: the flight is saved as " + path);
  if (!alone) {
    ReportSave("saved " + path + " while another copy of the game was saving: mem.txt is left to that copy");
    return;
  }
  if (beforeCounterForTest) beforeCounterForTest();
  // Only a complete file is ever counted.
  if (!RaiseCounter(saved.number)) ReportSave("saved " + path + " but could not update " + kCounterFile);
}

int32_t AddFlightFile(const std::string& temp, std::string& why) {
  if (WholeFlightFrames(temp) == 0) {
    os::RemoveFile(temp);
    why = "it is no flight: a flight file holds its frame count and then that many frames, more than " +
          std::to_string(kMinSavedFrames);
    return -1;
  }
  const os::SaveLock lock(kFolder, kLockWaitMs);
  int32_t number = NextFlightNumber();
  if (ClaimFrom(temp, number, !lock.Busy()) != os::Claim::kDone) {
    os::RemoveFile(temp);
    why = "it could not be given a name in " + std::string(kFolder);
    return -1;
  }
  if (!RaiseCounter(number)) ReportSave("added " + RecordingPath(number) + " but could not update " + kCounterFile);
  return number;
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
  if (lock.Held()) TidyLeftovers();
  return {};
}

}  // namespace vl
