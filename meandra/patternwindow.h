// The saver window's own window procedure: the desktop picture (the canvas)
// and the pattern drawn over it.
#pragma once
#include <windows.h>
#include <stdint.h>

namespace meandra {

// Set when the saver window's destruction begins; never cleared. A media
// notification that arrives after it no longer restarts the tune.
extern uint8_t Closing;

// The primary screen's size, read at creation.
extern int32_t ScreenWidth;
extern int32_t ScreenHeight;
// The desktop as it was at creation, CanvasWidth x CanvasHeight; 0 before
// creation and again once destruction has deleted it.
extern HBITMAP CanvasBitmap;
// Scratch contexts, valid only while one message is handled.
extern HDC WindowDC;
extern HDC MemoryDC;
// Read at creation and at a change of display mode: nonzero draws every
// pixel straight onto the window, one platform call each, instead of through
// the off-screen image. The reference that the faster path is checked and
// timed against.
extern uint8_t DrawPerPixel;

constexpr UINT_PTR DrawTimerId = 5;
constexpr UINT SaverInterval = 40;    // ms between ticks, full-screen
constexpr UINT PreviewInterval = 70;  // ms between ticks, in the preview
constexpr int StepsPerTick = 2;

LRESULT CALLBACK PatternWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace meandra
