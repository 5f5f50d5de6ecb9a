// The saver window's own window procedure: the desktop picture and the
// pattern drawn over it.
#pragma once
#include <windows.h>

namespace meandra {

LRESULT CALLBACK PatternWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace meandra
