// The full-screen saver over two monitors, in the world of
// tests/support/monitors-env: the window over the virtual screen, the canvas
// holding both monitors, the pattern over the whole of it, and the mouse rule
// measured on the screen from a start on either monitor.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <unordered_set>
#include <vector>

#include "defsaver/defsaver.h"
#include "meandra/pattern.h"
#include "meandra/patternwindow.h"
#include "meandra/tables.h"
#include "settings/settings.h"
#include "tests/support/imagetarget.h"
#include "tests/support/saverstate.h"
#include "tests/support/windowpixels.h"

namespace {

using imagetarget::CoverColour;
using namespace windowpixels;

// The monitors' rectangles on the screen and the virtual screen, as the
// world's script made them ("left,top,right,bottom;..." and
// "left,top,width,height").
std::vector<RECT> WorldMonitors() {
  std::vector<RECT> monitors;
  const char* text = std::getenv("MEANDRA_MONITOR_RECTS");
  while (text && *text) {
    RECT r;
    if (std::sscanf(text, "%ld,%ld,%ld,%ld", &r.left, &r.top, &r.right, &r.bottom) != 4) break;
    monitors.push_back(r);
    while (*text && *text != ';') ++text;
    if (*text == ';') ++text;
  }
  return monitors;
}

RECT VirtualScreen() {
  RECT r = {};
  const char* text = std::getenv("MEANDRA_VIRTUAL_SCREEN");
  long width = 0, height = 0;
  if (text && std::sscanf(text, "%ld,%ld,%ld,%ld", &r.left, &r.top, &width, &height) == 4) {
    r.right = r.left + width;
    r.bottom = r.top + height;
  }
  return r;
}

bool OnAMonitor(const std::vector<RECT>& monitors, int x, int y) {
  for (const RECT& m : monitors)
    if (x >= m.left && x < m.right && y >= m.top && y < m.bottom) return true;
  return false;
}

// The cover picture over the whole virtual screen; its colours follow from
// the position on the virtual screen, so each monitor shows a picture of
// its own.
HWND ShowVirtualCover(const RECT& screen) {
  RegisterTestClass("cover", CoverProc);
  HWND cover = CreateWindowExA(0, "cover", "cover", WS_POPUP | WS_VISIBLE, screen.left, screen.top,
                               screen.right - screen.left, screen.bottom - screen.top, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  UpdateWindow(cover);
  GdiFlush();
  return cover;
}

// Pixels that lie on a monitor differ between a and b (both canvas-sized,
// the canvas starting at the virtual screen's corner).
int CountDifferencesOnMonitors(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, const RECT& screen,
                               const std::vector<RECT>& monitors) {
  int width = screen.right - screen.left, height = screen.bottom - screen.top, wrong = 0;
  if (a.size() != size_t(width) * height || b.size() != a.size()) return -1;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (OnAMonitor(monitors, x + screen.left, y + screen.top)) wrong += a[size_t(y) * width + x] != b[size_t(y) * width + x];
  return wrong;
}

std::vector<uint32_t> CoverOfCanvas(int width, int height) {
  std::vector<uint32_t> picture(size_t(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) picture[size_t(y) * width + x] = CoverColour(x, y);
  return picture;
}

bool WaitForVirtualScreen(const std::vector<uint32_t>& expected, const RECT& screen,
                          const std::vector<RECT>& monitors) {
  DWORD end = GetTickCount() + 10000;
  for (;;) {
    DispatchPending();
    HDC dc = GetDC(nullptr);
    std::vector<uint32_t> shown = Grab(dc, screen.left, screen.top, screen.right - screen.left,
                                       screen.bottom - screen.top);
    ReleaseDC(nullptr, dc);
    int wrong = CountDifferencesOnMonitors(shown, expected, screen, monitors);
    if (wrong == 0) return true;
    if (GetTickCount() > end) {
      std::printf("%d pixels on the monitors differ from the picture\n", wrong);
      return false;
    }
    Sleep(50);
  }
}

bool TakePostedDestroy(HWND window) {
  MSG message;
  return PeekMessageA(&message, window, WM_DESTROY, WM_DESTROY, PM_REMOVE) != 0;
}

class TwoMonitors : public ::testing::Test {
 protected:
  void SetUp() override {
    saverstate::ResetForFullScreen(1);
    screen = VirtualScreen();
    monitors = WorldMonitors();
    ASSERT_EQ(monitors.size(), 2u) << "MEANDRA_MONITOR_RECTS names the world's two monitors";
  }
  void TearDown() override {
    if (saver) DestroyWindow(saver);
    if (cover) DestroyWindow(cover);
    DrainQuit();
  }
  HWND CreateFullScreen() {
    saver = defsaver::CreateSaverWindow(nullptr, "screensaver", meandra::PatternWindowProc,
                                        static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    defsaver::SaverWindow = saver;
    UpdateWindow(saver);
    return saver;
  }
  int Width() const { return screen.right - screen.left; }
  int Height() const { return screen.bottom - screen.top; }

  RECT screen = {};
  std::vector<RECT> monitors;
  HWND cover = nullptr, saver = nullptr;
};

TEST_F(TwoMonitors, ThePlatformReportsTwoAndTheirVirtualScreen) {
  EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
  EXPECT_EQ(GetSystemMetrics(SM_XVIRTUALSCREEN), screen.left);
  EXPECT_EQ(GetSystemMetrics(SM_YVIRTUALSCREEN), screen.top);
  EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), Width());
  EXPECT_EQ(GetSystemMetrics(SM_CYVIRTUALSCREEN), Height());
}

TEST_F(TwoMonitors, SaverWindowCoversTheVirtualScreenAndItsCanvasHoldsBothMonitors) {
  cover = ShowVirtualCover(screen);
  std::vector<uint32_t> picture = CoverOfCanvas(Width(), Height());
  ASSERT_TRUE(WaitForVirtualScreen(picture, screen, monitors)) << "both monitors show the picture";

  CreateFullScreen();
  RECT rect;
  GetWindowRect(saver, &rect);
  EXPECT_EQ(rect.left, screen.left);
  EXPECT_EQ(rect.top, screen.top);
  EXPECT_EQ(rect.right, screen.right);
  EXPECT_EQ(rect.bottom, screen.bottom);
  LONG style = GetWindowLongA(saver, GWL_STYLE);
  EXPECT_EQ(style & (WS_POPUP | WS_VISIBLE | WS_MAXIMIZE), WS_POPUP | WS_VISIBLE);
  EXPECT_TRUE(GetWindowLongA(saver, GWL_EXSTYLE) & WS_EX_TOPMOST);

  ASSERT_EQ(pattern::CanvasWidth, Width());
  ASSERT_EQ(pattern::CanvasHeight, Height());
  EXPECT_EQ(pattern::MaxX, Width() - tables::BlobSize);
  EXPECT_EQ(pattern::MaxY, Height() - tables::BlobSize);
  ASSERT_NE(meandra::CanvasBitmap, nullptr);
  EXPECT_EQ(CountDifferencesOnMonitors(GrabCanvas(), picture, screen, monitors), 0)
      << "the canvas holds what both monitors showed";
  EXPECT_EQ(CountDifferencesOnMonitors(GrabWindow(saver), picture, screen, monitors), 0)
      << "the first paint shows the canvas";
}

TEST_F(TwoMonitors, PatternGrowsOverTheWholeCanvasWithTheCreditLineAtItsBottomCentre) {
  cover = ShowVirtualCover(screen);
  std::vector<uint32_t> picture = CoverOfCanvas(Width(), Height());
  ASSERT_TRUE(WaitForVirtualScreen(picture, screen, monitors));
  CreateFullScreen();
  int width = Width(), height = Height();
  for (int tick = 0; tick < 300; ++tick) SendMessageA(saver, WM_TIMER, meandra::DrawTimerId, 0);
  std::vector<uint32_t> grown = GrabWindow(saver);
  ASSERT_EQ(grown.size(), size_t(width) * height);

  // The footprint: wherever the window no longer shows the desktop picture.
  auto drawn = [&](int x, int y) { return grown[size_t(y) * width + x] != picture[size_t(y) * width + x]; };
  // A ball pixel hides where its colour is the desktop's there: a mirror
  // image is only looked for where the desktop's colour is no ball colour.
  std::unordered_set<uint32_t> ballColours;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (drawn(x, y)) ballColours.insert(grown[size_t(y) * width + x]);
  auto missing = [&](int x, int y) { return !drawn(x, y) && !ballColours.count(picture[size_t(y) * width + x]); };
  int footprint = 0, unsymmetric = 0;
  // Away from the credit line at the bottom and its mirror image at the top.
  for (int y = pattern::CreditRise; y < height - pattern::CreditRise; ++y)
    for (int x = 0; x < width; ++x) {
      if (!drawn(x, y)) continue;
      ++footprint;
      unsymmetric += missing(width - 1 - x, y) || missing(x, height - 1 - y);
    }
  EXPECT_GT(footprint, 5000);
  EXPECT_EQ(unsymmetric, 0) << "mirror-symmetric about the virtual canvas's centre lines";

  // After a repaint of the bottom band one more tick writes the credit line
  // there: white letters, centred on the whole canvas.
  RECT band = {0, height - pattern::CreditRise, width, height};
  InvalidateRect(saver, &band, FALSE);
  UpdateWindow(saver);
  SendMessageA(saver, WM_TIMER, meandra::DrawTimerId, 0);
  std::vector<uint32_t> shown = GrabWindow(saver);
  HDC dc = GetDC(saver);
  SIZE text = {};
  GetTextExtentPoint32A(dc, tables::CreditLine, tables::CreditLength, &text);
  ReleaseDC(saver, dc);
  ASSERT_GT(text.cx, 20);
  int left = (width - text.cx) / 2, quarter = text.cx / 4;
  int whiteAtLeft = 0, whiteAtRight = 0;
  for (int y = height - pattern::CreditRise; y < height; ++y)
    for (int x = left; x < left + text.cx; ++x) {
      if (shown[size_t(y) * width + x] != 0xFFFFFF) continue;
      whiteAtLeft += x < left + quarter;
      whiteAtRight += x >= left + text.cx - quarter;
    }
  EXPECT_GT(whiteAtLeft, 0) << "the credit line starts at " << left;
  EXPECT_GT(whiteAtRight, 0) << "the credit line ends at " << left + text.cx;
  EXPECT_EQ(pattern::CreditX, left);
}

// A start on each monitor: moves of 4 pixels on either axis keep the saver,
// 5 end it. Positions in the messages are the window's client coordinates,
// which start at the virtual screen's corner.
TEST_F(TwoMonitors, MouseRuleMeasuresOnTheScreenFromAStartOnEitherMonitor) {
  CreateFullScreen();
  TakePostedDestroy(saver);
  for (const RECT& monitor : monitors) {
    POINT start = {(monitor.left + monitor.right) / 2, (monitor.top + monitor.bottom) / 2};
    SCOPED_TRACE(testing::Message() << "start " << start.x << "," << start.y);
    struct Move {
      int dx, dy;
      bool ends;
    } moves[] = {{4, 0, false}, {0, -4, false}, {-4, 4, false}, {5, 0, true}, {0, 5, true}, {-5, 0, true}, {0, -5, true}};
    for (const Move& move : moves) {
      // As creation records it from a cursor there: Wine without a window
      // manager does not always move the pointer on SetCursorPos.
      defsaver::StartCursorPos = start;
      defsaver::FirstMoveSeen = 0;
      auto client = [&](int dx, int dy) {
        return MAKELPARAM(start.x + dx - screen.left, start.y + dy - screen.top);
      };
      defsaver::SaverWindowProc(saver, WM_MOUSEMOVE, 0, client(0, 0));  // swallowed
      defsaver::SaverWindowProc(saver, WM_MOUSEMOVE, 0, client(0, 0));
      EXPECT_FALSE(TakePostedDestroy(saver)) << "resting where it started";
      defsaver::SaverWindowProc(saver, WM_MOUSEMOVE, 0, client(move.dx, move.dy));
      EXPECT_EQ(TakePostedDestroy(saver), move.ends) << "a move of " << move.dx << "," << move.dy;
    }
  }
}

}  // namespace
