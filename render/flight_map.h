// --map: a top view of the city and the saved flights as an SVG picture.
// North (+z) is up, so +x runs to the left. Each flight is one path in the
// colour its ghost has in the game, with its start and end marked.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "flight/flight_reader.h"

namespace vl {

// A flight seen from above: world (x, z) points, split where the recording
// holds positions that are not numbers, and thinned to the points that
// change the line by more than kTrackTolerance.
struct FlightTrack {
  int32_t number = 0;
  bool damaged = false;
  std::vector<std::vector<std::pair<double, double>>> runs;
};
constexpr double kTrackTolerance = 0.05;  // world units: under a third of a pixel on the map

FlightTrack TrackOf(const FlightSummary& summary, const Recording& flight);

// The whole picture.
std::string FlightMapSvg(const std::vector<FlightTrack>& tracks);

// Reads the data folder's flights and writes the map to `path`. Returns
// the exit status: 0, or 1 when the file could not be written.
int WriteFlightMap(const std::string& path);

}  // namespace vl
