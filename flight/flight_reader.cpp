#include "flight/flight_reader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <system_error>

namespace vl {

namespace {

// How many files the next start loads, by the number in mem.txt.
int32_t FilesLoaded(const SavedFlights& s) { return FlightsLoadedAtStart(s.counterState, s.counter); }

void AddProblem(FlightSummary& f, const std::string& text) {
  f.problem += (f.problem.empty() ? "" : "; ") + text;
}

// The frames' heights and the way flown between them. Frames whose
// position is not a number are left out and counted as a problem.
void Measure(FlightSummary& f, const Recording& r) {
  int32_t broken = 0;
  const Vec3* last = nullptr;
  for (int32_t i = 0; i < r.frameCount; ++i) {
    const Vec3& p = r.frames[i].position;
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
      ++broken;
      last = nullptr;
      continue;
    }
    if (last) {
      const double dx = double(p.x) - last->x, dy = double(p.y) - last->y, dz = double(p.z) - last->z;
      f.distance += std::sqrt(dx * dx + dy * dy + dz * dz);
    }
    f.lowest = f.hasAltitude ? std::min(f.lowest, p.y) : p.y;
    f.highest = f.hasAltitude ? std::max(f.highest, p.y) : p.y;
    f.hasAltitude = true;
    last = &p;
  }
  if (broken > 0)
    AddProblem(f, std::to_string(broken) + (broken == 1 ? " frame" : " frames") +
                      " with a position that is not a number");
}

// What is wrong with a file, as the loader read it.
void Diagnose(FlightSummary& f, const std::string& path, const RecordingFileInfo& info) {
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(path, ec);
  if (!info.opened) {
    const bool other = std::filesystem::exists(status) && !std::filesystem::is_regular_file(status);
    AddProblem(f, other ? "not a plain file" : "cannot be read");
    return;
  }
  if (!info.hasCount) {
    const uintmax_t size = std::filesystem::file_size(path, ec);
    AddProblem(f, "no frame count (" + std::to_string(ec ? 0 : size) + " bytes)");
    return;
  }
  const long long count = info.statedCount;
  const long long whole = info.recordBytes / static_cast<long long>(kRecordBytes);
  if (count < 0) {
    AddProblem(f, "frame count " + std::to_string(count) + " is negative");
    return;
  }
  if (whole < count)
    AddProblem(f, "cut short: holds " + std::to_string(whole) + " of " + std::to_string(count) + " frames");
  if (std::min(whole, count) > kLiveFrames)
    AddProblem(f, "oversized: " + std::to_string(std::min(whole, count)) + " frames, only the first " +
                      std::to_string(kLiveFrames) + " fly");
  const long long extra = info.recordBytes - count * static_cast<long long>(kRecordBytes);
  if (extra > 0) AddProblem(f, std::to_string(extra) + " bytes after the last frame");
}

// Whether the next start flies the flight as a ghost, and if not, why.
void JudgeGhost(FlightSummary& f, const SavedFlights& s) {
  const int32_t loaded = FilesLoaded(s);
  if (s.counterState == CounterState::kNoFile) {
    f.note = "not loaded: no mem.txt";
  } else if (s.counterState == CounterState::kNoNumber) {
    f.note = "not loaded: mem.txt holds no number";
  } else if (f.number >= loaded && f.number < s.counter) {
    f.note = "not loaded: the game loads " + std::to_string(kMaxLoadedFlights) + " flights at most";
  } else if (f.number == s.counter) {
    f.note = "the newest: flies after the next save";
  } else if (f.number >= loaded) {
    f.note = "not loaded: numbered above mem.txt's " + std::to_string(s.counter);
  } else if (f.present && f.frames <= kReplayStart && f.problem.empty()) {
    f.note = std::to_string(kReplayStart) + " frames or fewer: never shown";
  } else {
    f.ghostNextStart = f.frames > kReplayStart;
  }
}

}  // namespace

int32_t SavedFlights::Damaged() const {
  return static_cast<int32_t>(std::count_if(flights.begin(), flights.end(), [](const FlightSummary& f) {
    return f.present && !f.problem.empty();
  }));
}

int32_t SavedFlights::Missing() const {
  return static_cast<int32_t>(
      std::count_if(flights.begin(), flights.end(), [](const FlightSummary& f) { return !f.present; }));
}

int32_t SavedFlights::Ghosts() const {
  return static_cast<int32_t>(
      std::count_if(flights.begin(), flights.end(), [](const FlightSummary& f) { return f.ghostNextStart; }));
}

SavedFlights ReadSavedFlights(const std::function<void(const FlightSummary&, const Recording&)>& each) {
  SavedFlights s;
  s.counterState = ReadCounter(s.counter);

  std::map<int32_t, FlightSummary> byNumber;
  std::error_code ec;
  for (std::filesystem::directory_iterator it("recordings", ec), end; !ec && it != end; it.increment(ec)) {
    if (const int32_t n = RecordingNumberFound(it->path().filename().string()); n >= 0) byNumber[n].present = true;
  }
  // The numbers the next start looks for, file or not.
  for (int32_t n = 0; n < FilesLoaded(s); ++n) byNumber[n];

  Recording r;
  for (auto& [number, f] : byNumber) {
    f.number = number;
    if (f.present) {
      const std::string path = RecordingPath(number);
      const RecordingFileInfo info = ReadRecordingFile(path, r);
      f.frames = r.frameCount;
      Diagnose(f, path, info);
      Measure(f, r);
    } else {
      f.problem = "missing";
    }
    JudgeGhost(f, s);
    if (each) each(f, r);
    r = Recording{};
    s.flights.push_back(std::move(f));
  }
  return s;
}

}  // namespace vl
