// The renderer's own real arithmetic: sine and cosine of whole-degree
// headings and rounding to the nearest integer, halves to even. Plain double
// operations only, so that the saver (x87, set to double precision) and the
// host tests (SSE2) compute bit for bit the same results.
#pragma once
#include <stdint.h>

namespace fpmath {

// sin and cos of `degrees` (any whole number); exact 0 and +-1 at multiples of 90.
double SinDegrees(int32_t degrees);
double CosDegrees(int32_t degrees);

// Nearest integer, halves to the even neighbour; values beyond the 32-bit
// range give its nearest end.
int32_t RoundHalfEven(double value);

}  // namespace fpmath
