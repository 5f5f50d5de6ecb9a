#include "meandra/random.h"

#include <gtest/gtest.h>

namespace {

using randomness::RandomBelow;
using randomness::RandomFraction;
using randomness::RandomState;
using randomness::SeedFromTimeOfDay;

constexpr double TwoToMinus32 = 1.0 / 4294967296.0;

TEST(RandomSeed, MillisecondsSinceMidnight) {
  EXPECT_EQ(SeedFromTimeOfDay(0, 0, 0, 0), 0u);
  EXPECT_EQ(SeedFromTimeOfDay(23, 59, 59, 999), 86399999u);
  EXPECT_EQ(SeedFromTimeOfDay(12, 34, 56, 789), 45296789u);
}

TEST(RandomSequence, WorkedSequenceFromStateZero) {
  RandomState = 0;
  uint32_t states[4];
  for (uint32_t& state : states) {
    RandomBelow(2);
    state = RandomState;
  }
  EXPECT_EQ(states[0], 1u);
  EXPECT_EQ(states[1], 134775814u);
  EXPECT_EQ(states[2], 3698175007u);
  EXPECT_EQ(states[3], 870078620u);

  RandomState = 0;
  uint32_t below[5];
  for (uint32_t& value : below) value = RandomBelow(100);
  EXPECT_EQ(below[0], 0u);
  EXPECT_EQ(below[1], 3u);
  EXPECT_EQ(below[2], 86u);
  EXPECT_EQ(below[3], 20u);
  EXPECT_EQ(below[4], 27u);

  RandomState = 0;
  EXPECT_EQ(RandomFraction(), TwoToMinus32);
  EXPECT_EQ(RandomFraction(), 134775814.0 * TwoToMinus32);
  EXPECT_EQ(RandomFraction(), 3698175007.0 * TwoToMinus32);
}

TEST(RandomSequence, DegenerateBoundsStillAdvance) {
  for (uint32_t range : {0u, 1u}) {
    RandomState = 0;
    EXPECT_EQ(RandomBelow(range), 0u);
    EXPECT_EQ(RandomState, 1u);
    EXPECT_EQ(RandomBelow(range), 0u);
    EXPECT_EQ(RandomState, 134775814u);
  }
  // State 1 is the smallest fraction of 2^32: every bound scales to 0.
  RandomState = 0;
  EXPECT_EQ(RandomBelow(0xFFFFFFFFu), 0u);
}

TEST(RandomSequence, UpperEndsStayBelowBound) {
  // The state before 0xFFFFFFFF, so that the draw reads the largest state.
  RandomState = (0xFFFFFFFFu - 1u) * 3645876429u;  // the multiplier's inverse
  EXPECT_EQ(RandomBelow(100), 99u);
  EXPECT_EQ(RandomState, 0xFFFFFFFFu);
  RandomState = (0xFFFFFFFFu - 1u) * 3645876429u;
  double fraction = RandomFraction();
  EXPECT_LT(fraction, 1.0);
  EXPECT_EQ(fraction, 4294967295.0 * TwoToMinus32);
}

}  // namespace
