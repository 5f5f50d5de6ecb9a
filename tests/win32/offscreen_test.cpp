// The off-screen drawing path against the per-pixel one, on real windows
// under Wine: for the same seed the window must end up with the same pixels
// through both, also when it is repainted in part or covered for a while in
// the middle of the run, and the canvas must stay as captured. The window's
// first paint shows the desktop unchanged to the last bit. The credit line
// drawn from its mask must be what TextOutA draws. Run on screens of 24, 16
// and 8 bits (on the last, both are the per-pixel path).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "defsaver/defsaver.h"
#include "meandra/drawingpath.h"
#include "meandra/fpucontrol.h"
#include "meandra/offscreen.h"
#include "meandra/pattern.h"
#include "meandra/patternwindow.h"
#include "meandra/random.h"
#include "meandra/tables.h"
#include "settings/settings.h"
#include "tests/support/saverstate.h"
#include "tests/support/windowpixels.h"

namespace {

using namespace windowpixels;

constexpr int Ticks = 300;
constexpr int OverlapShownAt = 100;
constexpr int OverlapGoneAt = 150;
constexpr int RepaintAt = 200;
constexpr int HostLeft = 300;
constexpr int HostTop = 200;
constexpr int CrossingTicks = 24;

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
 public:
  void SetUp() override {
    saverstate::ResetForFullScreen(0);
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
    CloseSaver();
    return run;
  }

  void CloseSaver() {
    DestroyWindow(saver);
    saver = nullptr;
    if (host) DestroyWindow(host);
    host = nullptr;
    DrainQuit();
    EXPECT_EQ(offscreen::ImageBitmap, nullptr) << "destruction freed the image";
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

// Every canvas size the tests use, in both colour modes.
const Case CreditCases[] = {
    {"full-screen single", false, 0, 0, 5, 1},  {"full-screen two-tone", false, 0, 0, 5, 0},
    {"preview single", true, 152, 112, 6, 1},   {"preview two-tone", true, 152, 112, 6, 0},
    {"narrow canvas single", true, 12, 200, 7, 1}, {"narrow canvas two-tone", true, 12, 200, 7, 0},
    {"low canvas single", true, 300, 12, 8, 1}, {"low canvas two-tone", true, 300, 12, 8, 0},
};

// What the window shows after each tick, with the pen started so that its
// ball runs over the credit line and on: along it from left of its middle,
// or down across it and back on a canvas too narrow to run along. The
// headings lie on no grid, so the pen keeps them.
std::vector<std::vector<uint32_t>> CrossCreditLine(OffscreenTest& test, const Case& c, uint8_t perPixel,
                                                   bool* usedMask) {
  meandra::DrawPerPixel = perPixel;
  HWND saver = test.CreateSaver(c);
  *usedMask = offscreen::ImageBitmap != nullptr && offscreen::CreditMask.valid;
  bool narrow = pattern::CanvasWidth < 3 * tables::BlobSize;
  pattern::PenX = pattern::CanvasWidth / 2 - 40;
  pattern::PenY = narrow ? pattern::MaxY - 30 : pattern::MaxY - 4;
  pattern::Heading = narrow ? 1 : 89;
  pattern::TurnRate = 0;
  std::vector<std::vector<uint32_t>> shown;
  for (int tick = 0; tick < CrossingTicks; ++tick) {
    SendMessageA(saver, WM_TIMER, meandra::DrawTimerId, 0);
    shown.push_back(GrabWindow(saver));
  }
  test.CloseSaver();
  return shown;
}

TEST_F(OffscreenTest, CreditLineFromItsMaskEqualsTextOutAfterEachTick) {
  for (const Case& c : CreditCases) {
    SCOPED_TRACE(c.name);
    bool referenceMask = false, fastMask = false;
    std::vector<std::vector<uint32_t>> reference = CrossCreditLine(*this, c, 1, &referenceMask);
    std::vector<std::vector<uint32_t>> fast = CrossCreditLine(*this, c, 0, &fastMask);
    EXPECT_FALSE(referenceMask);
    EXPECT_EQ(fastMask, ScreenDepth() > drawingpath::MaxHighColourBits)
        << "a true-colour image draws the default font, which sets pixels or leaves them, from its mask; "
           "a high-colour one keeps TextOutA";
    for (int tick = 0; tick < CrossingTicks; ++tick)
      ASSERT_EQ(CountDifferences(fast[tick], reference[tick]), 0) << "after tick " << tick;
    int rewritten = 0;  // pixels of the line that a ball had covered the tick before
    for (int tick = 1; tick < CrossingTicks; ++tick)
      for (size_t i = 0; i < reference[tick].size(); ++i)
        rewritten += reference[tick][i] == pattern::CreditColour && reference[tick - 1][i] != pattern::CreditColour;
    EXPECT_GT(rewritten, 0) << "a ball went over the line and the line was written again";
  }
}

// A pixel pattern of its own at every place, so that a pixel left alone
// shows as one.
void FillImageWithNoise() {
  for (int32_t i = 0; i < offscreen::ImageWidth * offscreen::ImageHeight; ++i)
    offscreen::ImagePixels[i] = uint32_t(i) * 2654435761u >> 8;
}

std::vector<uint32_t> ImageCopy() {
  return std::vector<uint32_t>(offscreen::ImagePixels,
                               offscreen::ImagePixels + size_t(offscreen::ImageWidth) * offscreen::ImageHeight);
}

// A smoothed font blends the text with what lies beneath: no mask is made
// for it and the line is drawn with TextOutA, as without the image.
TEST_F(OffscreenTest, NoMaskForASmoothedFont) {
  const Case c = {"full-screen", false, 0, 0, 3, 1};
  if (ScreenDepth() <= drawingpath::MaxHighColourBits) GTEST_SKIP() << "a mask only with a true-colour image";
  CreateSaver(c);
  ASSERT_NE(offscreen::ImageBitmap, nullptr);
  ASSERT_TRUE(offscreen::CreditMask.valid);
  HFONT smooth = CreateFontA(-24, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_TT_ONLY_PRECIS,
                             CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, "Tahoma");
  ASSERT_NE(smooth, nullptr);
  HGDIOBJ previous = SelectObject(offscreen::ImageDC, smooth);
  offscreen::MakeCreditMask();
  EXPECT_FALSE(offscreen::CreditMask.valid);

  pattern::PixelTarget target = offscreen::ImageTarget();
  int32_t width = 0;
  ASSERT_TRUE(target.measureText(target.context, tables::CreditLine, tables::CreditLength, &width));
  int32_t x = pattern::CreditLeft(width), y = pattern::CanvasHeight - pattern::CreditRise;
  FillImageWithNoise();
  std::vector<uint32_t> noise = ImageCopy();
  target.drawText(target.context, x, y, tables::CreditLine, tables::CreditLength, pattern::CreditColour);
  std::vector<uint32_t> drawn = ImageCopy();
  std::copy(noise.begin(), noise.end(), offscreen::ImagePixels);
  SetBkMode(offscreen::ImageDC, TRANSPARENT);
  SetTextColor(offscreen::ImageDC, pattern::CreditColour);
  TextOutA(offscreen::ImageDC, x, y, tables::CreditLine, tables::CreditLength);
  GdiFlush();
  EXPECT_EQ(CountDifferences(drawn, ImageCopy()), 0);
  int blended = 0;
  for (size_t i = 0; i < drawn.size(); ++i)
    blended += drawn[i] != noise[i] && (drawn[i] & 0xFFFFFF) != (pattern::CreditColour & 0xFFFFFF);
  EXPECT_GT(blended, 0) << "the font is smoothed";
  SelectObject(offscreen::ImageDC, previous);
  DeleteObject(smooth);
}

}  // namespace
