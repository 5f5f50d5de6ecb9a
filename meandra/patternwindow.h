// The saver window's own window procedure: the desktop picture and the
// pattern drawn over it.
#pragma once
#include <windows.h>
#include <stdint.h>

namespace meandra {

// Set when the saver window's destruction begins; never cleared. A media
// notification that arrives after it no longer restarts the tune.
extern uint8_t Closing;

LRESULT CALLBACK PatternWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace meandra
