#include "flight/counter.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "flight/recordings.h"
#include "os/files.h"

namespace vl {

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
  return held >= -1 && held < INT32_MAX ? static_cast<int32_t>(held) + 1 : 1;
}

bool WriteCounter(int32_t number) {
  std::string temp;
  std::FILE* f = os::CreateTemp(kCounterFile, temp);
  if (!f) return false;
  const bool written = std::fprintf(f, "%i\n", number) > 0;
  if (os::Finish(f) && written && os::MoveOver(temp, kCounterFile)) return true;
  os::RemoveFile(temp);
  return false;
}

}  // namespace vl
