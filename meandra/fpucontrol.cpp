#include "meandra/fpucontrol.h"

#include <stdint.h>

namespace fpucontrol {

namespace {

// Precision control 10 (53 bits), rounding control 00 (nearest), the six
// exception masks set.
constexpr uint16_t DoublePrecisionControl = 0x027F;

uint16_t ControlWord = DoublePrecisionControl;

}  // namespace

void UseDoublePrecision() {
#if defined(__i386__)
  __asm__ __volatile__("fldcw %0" : : "m"(ControlWord));
#endif
}

}  // namespace fpucontrol
