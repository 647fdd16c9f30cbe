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

// The files of the data folder (the working folder) that the map never
// replaces, besides everything in recordings/.
constexpr const char* kDataFolderFiles[] = {"mem.txt", "log.txt", "icon.ico", "gamecontrollerdb.txt"};

// Why the map may not be written to `path`, or nothing: only a new file or
// a plain file that is none of the data folder's own.
std::string MapTargetProblem(const std::string& path);

// Reads the data folder's flights and writes the map to `path` (a plain
// file replaced keeps its permissions). Returns the exit status: 0, or 1
// with a message when the file may not or could not be written.
int WriteFlightMap(const std::string& path);

}  // namespace vl
