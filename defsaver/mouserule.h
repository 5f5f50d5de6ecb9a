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

// `moveParam` is the lParam of WM_MOUSEMOVE: the cursor in the window's
// client coordinates, x in the low 16 bits and y in the high 16 bits, each a
// signed number (left of or above the client area it is negative).
// `clientOrigin` is where the client area starts on the screen, so that the
// cursor is measured in the screen coordinates `start` is in.
bool IsBeyondTolerance(CursorPoint start, uint32_t moveParam, CursorPoint clientOrigin);

}  // namespace defsaver
