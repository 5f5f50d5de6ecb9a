#include "defsaver/mouserule.h"

namespace defsaver {

namespace {
int64_t Distance(int64_t a, int64_t b) { return a > b ? a - b : b - a; }
}  // namespace

bool IsBeyondTolerance(CursorPoint start, uint32_t moveParam) {
  int64_t x = moveParam & 0xFFFFu;
  int64_t y = moveParam >> 16;
  return Distance(x, start.x) > MoveTolerance || Distance(y, start.y) > MoveTolerance;
}

}  // namespace defsaver
