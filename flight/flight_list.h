// --list: the saved flights as a table for the terminal, or as JSON for
// scripts.
#pragma once

#include <cstdio>
#include <string>

#include "flight/flight_reader.h"

namespace vl {

// One row per flight under a header, the columns lined up, and a summary
// line last.
std::string FlightTable(const SavedFlights& flights);
// The same as one JSON object.
std::string FlightJson(const SavedFlights& flights);

// Reads the data folder's flights and prints them to `out`. Returns the
// exit status: 0, or 1 when the output could not be written.
int PrintFlightList(bool json, std::FILE* out);

}  // namespace vl
