// The player's saved flights as the data folder holds them: what each file
// gives the game, what is wrong with it, and whether it flies as a ghost at
// the next start. Reads as safely as the start-up's loader, through the same
// routine.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "flight/counter.h"
#include "flight/recordings.h"

namespace vl {

struct FlightSummary {
  int32_t number = 0;
  bool present = false;           // a file of that name is in recordings/
  int32_t frames = 0;             // the frames the game flies from it
  double distance = 0;            // world units flown from frame to frame
  bool hasAltitude = false;       // whether lowest and highest hold numbers
  float lowest = 0, highest = 0;  // the range of the recorded heights (y)
  std::string problem;            // what is wrong with the file; empty when nothing
  bool ghostNextStart = false;    // the next start flies it as a ghost
  std::string note;               // why it does not, where that is not a problem
};

struct SavedFlights {
  CounterState counterState = CounterState::kNoFile;
  long long counter = 0;  // the number mem.txt holds
  // Every file in recordings/ named as a recording, and every number the
  // next start will look for in vain, by number.
  std::vector<FlightSummary> flights;
  int32_t Damaged() const;
  int32_t Missing() const;
  int32_t Ghosts() const;
};

// Reads every flight. `each`, when given, sees each flight's frames as the
// game loads them, right after its summary is made.
SavedFlights ReadSavedFlights(
    const std::function<void(const FlightSummary&, const Recording&)>& each = nullptr);

}  // namespace vl
