// Pixels of real windows under Wine for the Win32 tests: a full-screen
// window that shows a known desktop picture, and reading back what a window,
// a device context or the canvas shows.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "meandra/pattern.h"
#include "meandra/patternwindow.h"
#include "tests/support/imagetarget.h"

namespace windowpixels {

// --- the known desktop picture -----------------------------------------------

inline LRESULT CALLBACK CoverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return DefWindowProcA(window, message, wParam, lParam);
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  std::vector<uint32_t> pixels(size_t(client.right) * client.bottom);
  for (int y = 0; y < client.bottom; ++y)
    for (int x = 0; x < client.right; ++x) {
      uint32_t c = imagetarget::CoverColour(x, y);
      pixels[size_t(y) * client.right + x] = imagetarget::Red(c) << 16 | imagetarget::Green(c) << 8 | imagetarget::Blue(c);
    }
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), client.right, -client.bottom, 1, 32, BI_RGB};
  SetDIBitsToDevice(dc, 0, 0, client.right, client.bottom, 0, 0, 0, client.bottom, pixels.data(), &info,
                    DIB_RGB_COLORS);
  EndPaint(window, &paint);
  return 0;
}

// A top-level window class of the test's own; registering it again is harmless.
inline void RegisterTestClass(const char* name, WNDPROC procedure, int stockBrush = NULL_BRUSH) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(stockBrush));
  windowClass.lpszClassName = name;
  RegisterClassA(&windowClass);
}

inline HWND ShowCover() {
  RegisterTestClass("cover", CoverProc);
  HWND cover = CreateWindowExA(0, "cover", "cover", WS_POPUP | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                               GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  UpdateWindow(cover);
  GdiFlush();
  return cover;
}

// --- reading pixels back ---------------------------------------------------

inline std::vector<uint32_t> FromDib(const std::vector<uint32_t>& dib) {
  std::vector<uint32_t> pixels(dib.size());
  for (size_t i = 0; i < dib.size(); ++i)
    pixels[i] = (dib[i] >> 16 & 0xFF) | (dib[i] & 0xFF00) | (dib[i] & 0xFF) << 16;
  return pixels;
}

inline BITMAPINFO TopDown(int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
  return info;
}

// What a device context shows, as 0x00BBGGRR pixels.
inline std::vector<uint32_t> Grab(HDC source, int x, int y, int width, int height) {
  BITMAPINFO info = TopDown(width, height);
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = CreateCompatibleDC(source);
  HGDIOBJ previous = SelectObject(memory, section);
  BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
  GdiFlush();
  std::vector<uint32_t> dib(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + size_t(width) * height);
  SelectObject(memory, previous);
  DeleteDC(memory);
  DeleteObject(section);
  return FromDib(dib);
}

inline std::vector<uint32_t> GrabWindow(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  HDC dc = GetDC(window);
  std::vector<uint32_t> pixels = Grab(dc, 0, 0, client.right, client.bottom);
  ReleaseDC(window, dc);
  return pixels;
}

inline std::vector<uint32_t> GrabCanvas() {
  BITMAPINFO info = TopDown(pattern::CanvasWidth, pattern::CanvasHeight);
  std::vector<uint32_t> dib(size_t(pattern::CanvasWidth) * pattern::CanvasHeight);
  HDC screen = GetDC(nullptr);
  int rows = GetDIBits(screen, meandra::CanvasBitmap, 0, pattern::CanvasHeight, dib.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(rows, pattern::CanvasHeight);
  return FromDib(dib);
}

inline int CountDifferences(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  int count = 0;
  size_t first = 0, last = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    if (a[i] != b[i]) {
      if (!count++) first = i;
      last = i;
    }
  if (count) std::printf("%d differ, pixels %u .. %u, first %06x against %06x\n", count, unsigned(first),
                         unsigned(last), unsigned(a[first]), unsigned(b[first]));
  return count + int(a.size() > b.size() ? a.size() - b.size() : b.size() - a.size());
}

// A top-most grey window at place, standing in for the Display control
// panel's preview area; it is captured with the screen.
inline HWND ShowPreviewHost(const RECT& place) {
  RegisterTestClass("previewhost", DefWindowProcA, GRAY_BRUSH);
  HWND host = CreateWindowExA(WS_EX_TOPMOST, "previewhost", "", WS_POPUP | WS_VISIBLE, place.left, place.top,
                              place.right - place.left, place.bottom - place.top, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  UpdateWindow(host);
  return host;
}

// Handles the messages waiting, leaving out quit messages.
inline void DispatchPending() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    if (message.message != WM_QUIT) DispatchMessageA(&message);
}

// The screen's bits a pixel.
inline int ScreenDepth() {
  HDC screen = GetDC(nullptr);
  int bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
  ReleaseDC(nullptr, screen);
  return bits;
}

// How a colour drawn on a screen of `depth` bits reads back as 0x00BBGGRR:
// unchanged on true-colour screens; on high-colour ones cut to 5-6-5 and
// widened again by repeating each channel's top bits, as the platform widens
// them. Palette screens are not predicted.
inline uint32_t ShownColour(uint32_t colour, int depth) {
  if (depth > 16 || depth < 15) return colour;
  auto widen = [](uint32_t level, int bits) { return level << (8 - bits) | level >> (2 * bits - 8); };
  uint32_t r = colour & 0xFF, g = colour >> 8 & 0xFF, b = colour >> 16 & 0xFF;
  return widen(r >> 3, 5) | widen(g >> 2, 6) << 8 | widen(b >> 3, 5) << 16;
}

// The desktop picture as the screen should show it, with the given window
// rectangle (if any) filled with grey; empty on palette screens, where the
// colours it shows are the palette's.
inline std::vector<uint32_t> CoverPicture(const RECT* grey = nullptr) {
  int depth = ScreenDepth();
  if (depth < 15) return {};
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  std::vector<uint32_t> picture(size_t(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      bool inGrey = grey && x >= grey->left && x < grey->right && y >= grey->top && y < grey->bottom;
      picture[size_t(y) * width + x] = ShownColour(inGrey ? 0x808080 : imagetarget::CoverColour(x, y), depth);
    }
  return picture;
}

// Wine puts what a window drew on the screen a little later, and shows what
// a destroyed window covered again a little later: a capture of the screen
// must wait until the screen shows what the test expects there, or, where
// that is not known (empty), until two captures in a row agree. The limit is
// generous: a loaded machine was seen to take longer than 5 s, and a wait
// that is met returns at once.
inline bool WaitForScreen(const std::vector<uint32_t>& expected, DWORD timeoutMs = 30000) {
  DWORD end = GetTickCount() + timeoutMs;
  std::vector<uint32_t> last;
  for (;;) {
    DispatchPending();
    HDC screen = GetDC(nullptr);
    std::vector<uint32_t> shown = Grab(screen, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    ReleaseDC(nullptr, screen);
    if (expected.empty() ? shown == last : shown == expected) return true;
    if (GetTickCount() > end) return CountDifferences(shown, expected.empty() ? last : expected) == 0;
    last = shown;
    Sleep(20);
  }
}

// --- the saver window --------------------------------------------------------

inline void DrainQuit() {
  MSG message;
  while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

}  // namespace windowpixels
