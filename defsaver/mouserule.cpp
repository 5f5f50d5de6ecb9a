#include "defsaver/mouserule.h"

namespace defsaver {

namespace {
int64_t Distance(int64_t a, int64_t b) { return a > b ? a - b : b - a; }
}  // namespace

bool IsBeyondTolerance(CursorPoint start, uint32_t moveParam, CursorPoint clientOrigin) {
  int64_t x = static_cast<int16_t>(moveParam & 0xFFFFu) + int64_t{clientOrigin.x};
  int64_t y = static_cast<int16_t>(moveParam >> 16) + int64_t{clientOrigin.y};
  return Distance(x, start.x) > MoveTolerance || Distance(y, start.y) > MoveTolerance;
}

}  // namespace defsaver
