// The city: 5 x 5 blocks of ground slabs, wave rows and towers under an
// overhead grid of plates, built once into a display list.
#pragma once

#include <cstdint>

namespace vl {

// Set until the first frame has built the list.
extern bool cityListPending;
// The display list holding the city; lives as long as the GL context.
extern uint32_t cityList;

// The city's part of a frame: the first call builds the list (and draws
// nothing), every later call draws it. Leaves colorOffset at zero.
void CityStep();

// Height of the wave-row box in column i, row j of a block.
float WaveHeight(int i, int j);

}  // namespace vl
