// Which saved flights fly as ghosts. Normally the start-up's loading rule
// decides (the files below the number in mem.txt); the player can name them
// instead (--ghosts), and a replay brings the ghosts of its own flight.
// Either way file i flies from entry i + 1 of the table, in that entry's
// colour.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vl {

struct GhostChoice {
  bool chosen = false;           // false: the loading rule
  std::vector<int32_t> flights;  // file numbers, ascending, each with an entry
  int32_t firstFrame = 0;        // the recorded frame each ghost shows first
};
extern GhostChoice ghostChoice;

// A flight number as the player writes it: decimal digits, 0 to 2^31 - 1.
bool ParseFlightNumber(std::string_view text, int32_t& number);
// A list of flights: "none", or numbers and ranges joined by commas
// ("3,7-9"), each number below kMaxLoadedFlights (0 to 998). Sorted, without repeats. On failure
// `error` says what is wrong.
bool ParseFlightList(std::string_view text, std::vector<int32_t>& flights, std::string& error);

// These flights fly as ghosts, each from its first replayed frame.
void ChooseGhosts(std::vector<int32_t> flights);

// Start-up: fills the table by the loading rule or the player's choice.
// Chosen numbers without a file are named in one line on stderr and in the
// log, and their entries stay empty.
void LoadGhosts();

// Back to the loading rule, for tests.
void ResetGhostChoiceForTest();

}  // namespace vl
