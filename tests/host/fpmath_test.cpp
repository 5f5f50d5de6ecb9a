#include "meandra/fpmath.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using fpmath::CosDegrees;
using fpmath::RoundHalfEven;
using fpmath::SinDegrees;

// Against the library in extended precision, on the angle reduced exactly.
TEST(DegreeTrigonometry, AgreesWithTheLibraryOverTheCircle) {
  for (int32_t degrees = -720; degrees <= 720; ++degrees) {
    long double radians = ((degrees % 360 + 360) % 360) * (3.14159265358979323846264338327950288L / 180);
    EXPECT_NEAR(SinDegrees(degrees), static_cast<double>(std::sin(radians)), 2.3e-16) << degrees;
    EXPECT_NEAR(CosDegrees(degrees), static_cast<double>(std::cos(radians)), 2.3e-16) << degrees;
  }
}

TEST(DegreeTrigonometry, ExactOnTheAxesAndSymmetric) {
  struct Case {
    int32_t degrees;
    double sine, cosine;
  } cases[] = {{0, 0, 1}, {90, 1, 0}, {180, 0, -1}, {270, -1, 0}, {360, 0, 1}, {-90, -1, 0}, {450, 1, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(SinDegrees(c.degrees), c.sine) << c.degrees;
    EXPECT_EQ(CosDegrees(c.degrees), c.cosine) << c.degrees;
  }
  for (int32_t degrees = 0; degrees < 360; ++degrees) {
    EXPECT_EQ(SinDegrees(degrees), -SinDegrees(360 - degrees)) << degrees;
    EXPECT_EQ(SinDegrees(degrees), SinDegrees(180 - degrees)) << degrees;
    EXPECT_EQ(CosDegrees(degrees), SinDegrees(90 - degrees)) << degrees;
  }
}

TEST(RoundHalfEven, NearestWithHalvesToEven) {
  struct Case {
    double value;
    int32_t expected;
  } cases[] = {
      {0.0, 0},         {0.5, 0},           {1.5, 2},          {2.5, 2},          {-0.5, 0},
      {-1.5, -2},       {-2.5, -2},         {127.5, 128},      {126.5, 126},      {2.4999999999999996, 2},
      {2.5000000000000004, 3},              {-7.6, -8},        {1e9 + 0.5, 1000000000},
      {2147483646.5, 2147483646},           {2147483647.4, 2147483647},           {1e300, 2147483647},
      {-2147483648.0, -2147483647 - 1},     {-3e9, -2147483647 - 1},
  };
  for (const Case& c : cases) EXPECT_EQ(RoundHalfEven(c.value), c.expected) << c.value;
  EXPECT_EQ(RoundHalfEven(NAN), 2147483647);
}

}  // namespace
