// How a stored settings value turns into a flag, without the platform.
#pragma once
#include <stdint.h>

namespace settings {

// A value is read into a buffer of this size; longer data fails the query.
constexpr uint32_t FlagDataSize = 4;

// What the flags hold when their value is missing: Single colours, no sound.
constexpr uint8_t DefaultMonoColours = 1;
constexpr uint8_t DefaultSoundOn = 0;

// The flag a value's data gives: 1 exactly when the data, read as a
// little-endian 32-bit number with missing bytes as zero, is 1. Missing data
// (null) or data longer than FlagDataSize keep `current`.
uint8_t DecodeFlag(const uint8_t* data, uint32_t size, uint8_t current);

}  // namespace settings
