#include "flight/counter.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "flight/recordings.h"
#include "os/files.h"

namespace vl {

namespace {

// A number the next save can follow: below -1, or at the top of the range,
// it leads to no file number and counts as no number at all.
bool Followable(long long held) { return held >= -1 && held < INT32_MAX; }

}  // namespace

CounterState ReadCounter(long long& number) {
  number = 0;
  std::FILE* f = os::OpenForReading(kCounterFile);
  if (!f) return CounterState::kNoFile;
  char text[64];
  const size_t size = std::fread(text, 1, sizeof text - 1, f);
  std::fclose(f);
  text[size] = '\0';
  char* end = text;
  const long long value = std::strtoll(text, &end, 10);
  if (end == text) return CounterState::kNoNumber;
  number = value;
  return CounterState::kNumber;
}

int32_t FlightsLoadedAtStart(CounterState state, long long number) {
  if (state != CounterState::kNumber) return 0;
  return static_cast<int32_t>(std::clamp<long long>(number, 0, kMaxLoadedFlights));
}

int32_t NextFlightNumber() {
  long long held = 0;
  switch (ReadCounter(held)) {
    case CounterState::kNoFile: return 0;
    case CounterState::kNoNumber: return 1;
    case CounterState::kNumber: break;
  }
  return Followable(held) ? static_cast<int32_t>(held) + 1 : 1;
}

bool RaiseCounter(int32_t number) {
  long long held = 0;
  if (ReadCounter(held) == CounterState::kNumber && Followable(held) && held >= number) return true;
  std::string temp;
  std::FILE* f = os::CreateTemp(kCounterFile, temp);
  if (!f) return false;
  const bool written = std::fprintf(f, "%i\n", number) > 0;
  if (os::Finish(f) && written && os::MoveOver(temp, kCounterFile)) return true;
  os::RemoveFile(temp);
  return false;
}

}  // namespace vl
