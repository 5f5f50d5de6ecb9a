#include "meandra/fpmath.h"

namespace fpmath {

namespace {

constexpr double RadiansPerDegree = 0.017453292519943295;
// Adding and taking away 2^52 leaves a double below 2^52 rounded to a whole
// number by the current rounding mode, round-to-nearest-even.
constexpr double TwoToThe52 = 4503599627370496.0;
constexpr double Int32Top = 2147483647.0;
constexpr int32_t Int32Max = 2147483647;
constexpr int32_t Int32Min = -Int32Max - 1;

// Taylor series on 0..pi/4, where the terms left out are below 1e-17.
double SinSmall(double x) {
  double x2 = x * x;
  double p = 2.8114572543455206e-15;
  p = p * x2 + -7.647163731819816e-13;
  p = p * x2 + 1.6059043836821613e-10;
  p = p * x2 + -2.505210838544172e-08;
  p = p * x2 + 2.7557319223985893e-06;
  p = p * x2 + -0.0001984126984126984;
  p = p * x2 + 0.008333333333333333;
  p = p * x2 + -0.16666666666666666;
  return x + x * x2 * p;
}

double CosSmall(double x) {
  double x2 = x * x;
  double p = 4.779477332387385e-14;
  p = p * x2 + -1.1470745597729725e-11;
  p = p * x2 + 2.08767569878681e-09;
  p = p * x2 + -2.755731922398589e-07;
  p = p * x2 + 2.48015873015873e-05;
  p = p * x2 + -0.001388888888888889;
  p = p * x2 + 0.041666666666666664;
  p = p * x2 + -0.5;
  return 1.0 + x2 * p;
}

// sin of 0..90 degrees, from the nearer end of the quarter.
double SinQuarter(int32_t degrees) {
  if (degrees <= 45) return SinSmall(degrees * RadiansPerDegree);
  return CosSmall((90 - degrees) * RadiansPerDegree);
}

int32_t NormalDegrees(int32_t degrees) {
  int32_t d = degrees % 360;
  return d < 0 ? d + 360 : d;
}

}  // namespace

double SinDegrees(int32_t degrees) {
  int32_t d = NormalDegrees(degrees);
  if (d <= 90) return SinQuarter(d);
  if (d <= 180) return SinQuarter(180 - d);
  if (d <= 270) return -SinQuarter(d - 180);
  return -SinQuarter(360 - d);
}

double CosDegrees(int32_t degrees) { return SinDegrees(NormalDegrees(degrees) + 90); }

int32_t RoundHalfEven(double value) {
  bool negative = value < 0;
  double magnitude = negative ? -value : value;
  double rounded = magnitude < TwoToThe52 ? (magnitude + TwoToThe52) - TwoToThe52 : magnitude;
  // Written so that a NaN also ends here.
  if (!(rounded <= Int32Top)) return negative ? Int32Min : Int32Max;
  int32_t whole = static_cast<int32_t>(rounded);
  return negative ? -whole : whole;
}

}  // namespace fpmath
