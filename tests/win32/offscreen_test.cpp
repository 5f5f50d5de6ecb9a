// The off-screen drawing path against the per-pixel one, on real windows
// under Wine: for the same seed the window must end up with the same pixels
// through both, also when it is repainted in part or covered for a while in
// the middle of the run, and the canvas must stay as captured. The window's
// first paint shows the desktop unchanged to the last bit. Run on screens of
// 24, 16 and 8 bits (on the last, both are the per-pixel path).
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "defsaver/defsaver.h"
#include "meandra/fpucontrol.h"
#include "meandra/offscreen.h"
#include "meandra/pattern.h"
#include "meandra/patternwindow.h"
#include "meandra/random.h"
#include "settings/settings.h"
#include "tests/support/windowpixels.h"

namespace {

using namespace windowpixels;

constexpr int Ticks = 300;
constexpr int OverlapShownAt = 100;
constexpr int OverlapGoneAt = 150;
constexpr int RepaintAt = 200;
constexpr int HostLeft = 300;
constexpr int HostTop = 200;

struct Case {
  const char* name;
  bool preview;
  int width, height;  // of the preview's client area; the screen's when full-screen
  uint32_t seed;
  uint8_t mono;
};

// Full-screen on the test desktop, where the diagonal images leave it at the
// top and bottom; the preview's usual size; canvases too narrow and too low
// for a whole ball, whose stamps leave them on the left and right, and on
// the top and bottom.
const Case Cases[] = {
    {"full-screen single", false, 0, 0, 1234567, 1},
    {"full-screen two-tone", false, 0, 0, 1234567, 0},
    {"full-screen two-tone, another seed", false, 0, 0, 86399999, 0},
    {"preview single", true, 152, 112, 42, 1},
    {"preview two-tone", true, 152, 112, 42, 0},
    {"narrow canvas", true, 12, 200, 777, 0},
    {"low canvas", true, 300, 12, 777, 1},
};

struct RunResult {
  std::vector<uint32_t> desktop, firstPaint, canvasAtStart, canvasAtEnd, shown;
  bool usedImage = false;
};

HWND ShowOverlap(const RECT& place) {
  RegisterTestClass("overlap", DefWindowProcA, WHITE_BRUSH);
  HWND overlap = CreateWindowExA(WS_EX_TOPMOST, "overlap", "", WS_POPUP, place.left, place.top,
                                 place.right - place.left, place.bottom - place.top, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
  ShowWindow(overlap, SW_SHOWNOACTIVATE);
  UpdateWindow(overlap);
  return overlap;
}

class OffscreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    defsaver::ModuleInstance = GetModuleHandleA(nullptr);
    meandra::Closing = 0;
    settings::SoundOn = 0;
    desktop = ShowCover();
  }
  void TearDown() override {
    if (saver && IsWindow(saver)) DestroyWindow(saver);
    if (host) DestroyWindow(host);
    DestroyWindow(desktop);
    meandra::DrawPerPixel = 0;
    DrainQuit();
  }

  // Creates the saver window as the saver does, stops its timer so that only
  // the test's ticks run, and chooses the pattern from the case's seed.
  HWND CreateSaver(const Case& c) {
    RedrawWindow(desktop, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);  // after the last saver window
    EXPECT_TRUE(WaitForScreen(CoverPicture())) << "the screen shows the desktop picture again";
    defsaver::IsPreview = c.preview;
    settings::MonoColours = c.mono;
    if (c.preview) {
      RECT place = {HostLeft, HostTop, HostLeft + c.width, HostTop + c.height};
      host = ShowPreviewHost(place);
      EXPECT_TRUE(WaitForScreen(CoverPicture(&place))) << "the screen shows the preview's host";
      saver = defsaver::CreateSaverWindow(host, "screensaver", meandra::PatternWindowProc, nullptr);
      EXPECT_EQ(pattern::CanvasWidth, c.width);
      EXPECT_EQ(pattern::CanvasHeight, c.height);
    } else {
      HDC screen = GetDC(nullptr);
      desktopShown = Grab(screen, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
      ReleaseDC(nullptr, screen);
      saver = defsaver::CreateSaverWindow(nullptr, "screensaver", meandra::PatternWindowProc,
                                          static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    KillTimer(saver, meandra::DrawTimerId);
    fpucontrol::UseDoublePrecision();
    randomness::RandomState = c.seed;
    pattern::ChoosePatternParameters();
    UpdateWindow(saver);
    DispatchPending();
    return saver;
  }

  // Covers a part of the window (in screen coordinates) for a while, and
  // repaints another part of it, between ticks.
  RunResult RunTicks(const Case& c, uint8_t perPixel) {
    meandra::DrawPerPixel = perPixel;
    CreateSaver(c);
    RunResult run;
    run.desktop = desktopShown;
    run.firstPaint = GrabWindow(saver);
    run.usedImage = offscreen::ImageBitmap != nullptr;
    run.canvasAtStart = GrabCanvas();
    RECT client;
    GetClientRect(saver, &client);
    POINT origin = {0, 0};
    ClientToScreen(saver, &origin);
    RECT overlapPlace = {origin.x + client.right / 4, origin.y + client.bottom / 3, origin.x + client.right * 3 / 4,
                         origin.y + client.bottom};
    RECT repaintPart = {client.right / 8, 0, client.right / 2, client.bottom * 2 / 3};
    HWND overlap = nullptr;
    for (int tick = 0; tick < Ticks; ++tick) {
      if (tick == OverlapShownAt) overlap = ShowOverlap(overlapPlace);
      if (tick == OverlapGoneAt) DestroyWindow(overlap);
      if (tick == RepaintAt) InvalidateRect(saver, &repaintPart, FALSE);
      DispatchPending();
      SendMessageA(saver, WM_TIMER, meandra::DrawTimerId, 0);
    }
    DispatchPending();
    EXPECT_TRUE(IsWindow(saver)) << "nothing closed the saver during the run";
    run.shown = GrabWindow(saver);
    run.canvasAtEnd = GrabCanvas();
    DestroyWindow(saver);
    saver = nullptr;
    if (host) DestroyWindow(host);
    host = nullptr;
    DrainQuit();
    EXPECT_EQ(offscreen::ImageBitmap, nullptr) << "destruction freed the image";
    return run;
  }

  HWND desktop = nullptr, host = nullptr, saver = nullptr;
  std::vector<uint32_t> desktopShown;  // the screen before a full-screen saver starts
};

TEST_F(OffscreenTest, WindowShowsTheSamePixelsThroughBothPaths) {
  for (const Case& c : Cases) {
    SCOPED_TRACE(c.name);
    RunResult reference = RunTicks(c, 1);
    RunResult fast = RunTicks(c, 0);
    EXPECT_FALSE(reference.usedImage);
    EXPECT_EQ(fast.usedImage, ScreenDepth() >= 15) << "palette screens keep the per-pixel path";
    if (!c.preview) {
      EXPECT_EQ(CountDifferences(reference.firstPaint, reference.desktop), 0) << "the desktop shown as it was";
      EXPECT_EQ(CountDifferences(fast.firstPaint, fast.desktop), 0) << "the desktop shown as it was";
    }
    ASSERT_EQ(CountDifferences(fast.canvasAtStart, reference.canvasAtStart), 0) << "both runs captured the same";
    EXPECT_EQ(CountDifferences(reference.canvasAtEnd, reference.canvasAtStart), 0) << "canvas stays as captured";
    EXPECT_EQ(CountDifferences(fast.canvasAtEnd, fast.canvasAtStart), 0) << "canvas stays as captured";
    EXPECT_EQ(CountDifferences(fast.shown, reference.shown), 0);
    int patterned = 0;
    for (size_t i = 0; i < reference.shown.size(); ++i) patterned += reference.shown[i] != reference.canvasAtStart[i];
    EXPECT_GT(patterned, int(reference.shown.size() / 20)) << "the pattern covers a good part of the window";
  }
}

// The image follows the window through every tick, not only at the end.
TEST_F(OffscreenTest, ImageEqualsTheWindowAfterEachTick) {
  const Case c = {"full-screen", false, 0, 0, 99, 0};
  if (ScreenDepth() < 15) GTEST_SKIP() << "no image on a palette screen";
  CreateSaver(c);
  ASSERT_NE(offscreen::ImageBitmap, nullptr);
  RECT part = {0, 0, 400, 300};
  for (int tick = 0; tick < 60; ++tick) {
    if (tick == 30) InvalidateRect(saver, &part, FALSE);
    DispatchPending();
    SendMessageA(saver, WM_TIMER, meandra::DrawTimerId, 0);
    if (tick % 10 != 9) continue;
    std::vector<uint32_t> image = Grab(offscreen::ImageDC, 0, 0, offscreen::ImageWidth, offscreen::ImageHeight);
    ASSERT_EQ(CountDifferences(GrabWindow(saver), image), 0) << "after tick " << tick;
  }
}

}  // namespace
