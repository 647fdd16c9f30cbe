// The game's clock: one frame every 16 ms. Every speed, rate and damping
// factor of the flight is per frame of this tick, and a saved flight holds
// one record per tick, so a flight of n frames lasts n × 16 ms.
#pragma once

#include <cstdint>

namespace vl {

constexpr uint32_t kTickMs = 16;

}  // namespace vl
