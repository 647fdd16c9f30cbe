// --map: a top view of the city and the saved flights as an SVG picture.
// North (+z) is up, so +x runs to the left. Each flight is one path in the
// colour its ghost has in the game, with its start and end marked.
#pragma once

#include <string>
#include <vector>

#include "render/flight_track.h"

namespace vl {

// The whole picture.
std::string FlightMapSvg(const std::vector<FlightTrack>& tracks);

// Reads the data folder's flights and writes the map to `path`. Returns
// the exit status: 0, or 1 when the file could not be written.
int WriteFlightMap(const std::string& path);

}  // namespace vl
