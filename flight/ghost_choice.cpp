#include "flight/ghost_choice.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "flight/recordings.h"
#include "shell/log.h"

namespace vl {

GhostChoice ghostChoice;

bool ParseFlightNumber(std::string_view text, int32_t& number) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
  return ec == std::errc() && end == text.data() + text.size();
}

bool ParseFlightList(std::string_view text, std::vector<int32_t>& flights, std::string& error) {
  flights.clear();
  if (text == "none") return true;
  const auto number = [&](std::string_view part, int32_t& n) {
    if (!ParseFlightNumber(part, n)) {
      // Built from the part itself: mingw's GCC 12 at -O3 warns of a false
      // overlap when the string starts from a one-character literal.
      error = std::string(part).insert(0, 1, '\'').append("' is not a flight number");
      return false;
    }
    if (n >= kMaxLoadedFlights) {
      error = "flight " + std::string(part) + " cannot fly as a ghost (0 to " +
              std::to_string(kMaxLoadedFlights - 1) + ")";
      return false;
    }
    return true;
  };
  size_t at = 0;
  for (;;) {
    const size_t comma = text.find(',', at);
    const std::string_view item = text.substr(at, comma == std::string_view::npos ? comma : comma - at);
    const size_t dash = item.find('-');
    int32_t first = 0, last = 0;
    if (!number(item.substr(0, dash), first)) return false;
    last = first;
    if (dash != std::string_view::npos) {
      if (!number(item.substr(dash + 1), last)) return false;
      if (last < first) {
        error = "the range '" + std::string(item) + "' runs backwards";
        return false;
      }
    }
    for (int32_t n = first; n <= last; ++n) flights.push_back(n);
    if (comma == std::string_view::npos) break;
    at = comma + 1;
  }
  std::sort(flights.begin(), flights.end());
  flights.erase(std::unique(flights.begin(), flights.end()), flights.end());
  return true;
}

void ChooseGhosts(std::vector<int32_t> flights) {
  ghostChoice.chosen = true;
  ghostChoice.flights = std::move(flights);
  ghostChoice.firstFrame = kReplayStart;
}

void LoadGhosts() {
  if (!ghostChoice.chosen) {
    LoadRecordings();
    return;
  }
  PrepareRecordings();
  LogWrite("loading %i recordings", static_cast<int>(ghostChoice.flights.size()));
  // The entries of the flights not chosen stay empty and fly nothing.
  LoadFlights(ghostChoice.flights, ghostChoice.firstFrame, true);
}

void ResetGhostChoiceForTest() { ghostChoice = GhostChoice{}; }

}  // namespace vl
