#include "meandra/random.h"

namespace randomness {

uint32_t RandomState;

namespace {

constexpr uint32_t Multiplier = 134775813;
constexpr uint32_t Increment = 1;
constexpr double TwoToMinus32 = 1.0 / 4294967296.0;

void Advance() { RandomState = RandomState * Multiplier + Increment; }

}  // namespace

uint32_t SeedFromTimeOfDay(uint32_t hour, uint32_t minute, uint32_t second, uint32_t millisecond) {
  return ((hour * 60 + minute) * 60 + second) * 1000 + millisecond;
}

uint32_t RandomBelow(uint32_t range) {
  Advance();
  return static_cast<uint32_t>((static_cast<uint64_t>(range) * RandomState) >> 32);
}

double RandomFraction() {
  Advance();
  return static_cast<double>(RandomState) * TwoToMinus32;
}

}  // namespace randomness
