// Where the full-screen saver window goes: over the primary screen as a
// maximized popup, or over every monitor at once.
#pragma once
#include <stdint.h>

namespace defsaver {

// What the platform reports of its monitors. Platforms that know nothing of
// several monitors (Windows 95, NT 4.0) report 0 for all of these.
struct MonitorMetrics {
  int32_t monitorCount;   // SM_CMONITORS
  int32_t virtualLeft;    // SM_XVIRTUALSCREEN
  int32_t virtualTop;     // SM_YVIRTUALSCREEN
  int32_t virtualWidth;   // SM_CXVIRTUALSCREEN
  int32_t virtualHeight;  // SM_CYVIRTUALSCREEN
};

// The full-screen window's form. `coversVirtualScreen` false: a maximized
// popup created at 0, 0 with size 0 x 0, which the platform grows over the
// primary screen. True: a plain popup at exactly the virtual screen's
// rectangle, whose origin can be negative.
struct FullScreenPlacement {
  bool coversVirtualScreen;
  int32_t left;
  int32_t top;
  int32_t width;
  int32_t height;
};

// The virtual screen where there is more than one monitor and it has an
// area; the maximized form otherwise.
FullScreenPlacement ChooseFullScreenPlacement(const MonitorMetrics& metrics);

}  // namespace defsaver
