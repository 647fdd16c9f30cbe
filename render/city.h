// The city: 5 x 5 blocks of ground slabs, wave rows and towers under an
// overhead grid of plates, built once into a display list.
#pragma once

#include <cstdint>

#include "flight/vec3.h"

namespace vl {

// The city's layout, shared by the display list and the map of flights.
//
// City block (a, b), for a and b from -kBlockReach to kBlockReach, is
// centred at (kBlockSpacing a, 0, kBlockSpacing b). Its boxes are given by
// corner and size in the block's own coordinates.
constexpr int kBlockReach = 2;
constexpr float kBlockSpacing = 30.0f;

struct CityBox {
  Vec3 corner;
  Vec3 size;
};

constexpr CityBox kGroundSlab = {{-15.0f, -1.0f, -15.0f}, {30.0f, 1.0f, 30.0f}};  // top at y = 0

// The tower group at a block's centre. It is drawn widened by kTowerScale,
// so the beams of neighbouring blocks overlap.
constexpr CityBox kTowerGroup[6] = {
    {{-2.0f, 0.0f, -2.0f}, {4.0f, 10.0f, 4.0f}},    // base
    {{-2.0f, 12.0f, -2.0f}, {4.0f, 3.0f, 4.0f}},    // top
    {{-2.0f, 10.0f, -2.0f}, {4.0f, 2.0f, 0.5f}},    // wall, -z side of the passage
    {{-2.0f, 10.0f, 1.5f}, {4.0f, 2.0f, 0.5f}},     // wall, +z side of the passage
    {{-2.0f, 16.0f, -2.0f}, {4.0f, 1.0f, 4.0f}},    // cap
    {{-15.0f, 12.0f, -0.5f}, {30.0f, 3.0f, 1.0f}},  // beam across the block
};
constexpr Vec3 kTowerScale = {1.01f, 1.0f, 1.01f};

// The overhead plates: one at every corner (x, z) from kPlateFirst in steps
// of kPlateStep while below kPlateEnd, each kPlateSize wide.
constexpr int kPlateFirst = -240;
constexpr int kPlateEnd = 240;
constexpr int kPlateStep = 8;
constexpr Vec3 kPlateSize = {6.0f, 0.2f, 6.0f};

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
