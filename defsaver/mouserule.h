// When a mouse move is far enough from where the saver started to end it.
#pragma once
#include <stdint.h>

namespace defsaver {

// The largest distance, in pixels along either axis, that the cursor may be
// from the recorded point without ending the saver.
constexpr int32_t MoveTolerance = 4;

struct CursorPoint {
  int32_t x;
  int32_t y;
};

// `moveParam` is the lParam of WM_MOUSEMOVE: x in the low 16 bits and y in
// the high 16 bits, each read as an unsigned number.
bool IsBeyondTolerance(CursorPoint start, uint32_t moveParam);

}  // namespace defsaver
