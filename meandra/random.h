// The renderer's one random-number generator: a 32-bit linear congruential
// generator, seeded from the time of day once per saver window.
#pragma once
#include <stdint.h>

namespace randomness {

// 0 at program start; set by seeding, advanced by every draw.
extern uint32_t RandomState;

// Milliseconds since midnight of the given time of day (date not used).
uint32_t SeedFromTimeOfDay(uint32_t hour, uint32_t minute, uint32_t second, uint32_t millisecond);

// A whole number in 0 .. range - 1 (0 when range is 0 or 1): the high half
// of range times the advanced state.
uint32_t RandomBelow(uint32_t range);

// A fraction in [0, 1): the advanced state times 2^-32, exact in a double.
double RandomFraction();

}  // namespace randomness
