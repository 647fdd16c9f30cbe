// A saved flight seen from above, for the map: its path over the ground,
// thinned to the points that shape it.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "flight/flight_reader.h"

namespace vl {

// A flight seen from above: world (x, z) points, split where the recording
// holds positions that are not numbers, and thinned to the points that
// change the line by more than kTrackTolerance. A line that still needs
// more than kMostTrackPoints is a scribble finer than the map can show
// (999 of them would make an SVG picture of a hundred megabytes): it is
// thinned with twice the tolerance, and again, until it fits.
struct FlightTrack {
  int32_t number = 0;
  bool damaged = false;
  std::vector<std::vector<std::pair<double, double>>> runs;
};
constexpr double kTrackTolerance = 0.05;  // world units: about half a pixel on the map at most
constexpr size_t kMostTrackPoints = 1500;

FlightTrack TrackOf(const FlightSummary& summary, const Recording& flight);

}  // namespace vl
