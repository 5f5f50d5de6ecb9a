// The saver window's own procedure on real windows under Wine: the desktop
// capture, the tick against the pattern model, repainting, and the messages
// it keeps from the framework.
#include <windows.h>

#include <mmsystem.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "defsaver/defsaver.h"
#include "meandra/fpucontrol.h"
#include "meandra/pattern.h"
#include "meandra/patternwindow.h"
#include "meandra/random.h"
#include "meandra/tables.h"
#include "settings/settings.h"
#include "tests/support/imagetarget.h"
#include "tests/support/saverstate.h"
#include "tests/support/windowpixels.h"

namespace {

using imagetarget::CoverColour;
using imagetarget::Image;
using namespace windowpixels;

constexpr uint32_t Unknown = 0xFF000000;  // a model pixel under the credit text

class PatternWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saverstate::ResetForFullScreen(1);
    cover = ShowCover();
  }
  void TearDown() override {
    if (saver) DestroyWindow(saver);
    if (host) DestroyWindow(host);
    DestroyWindow(cover);
    DrainQuit();
  }
  HWND CreateFullScreen() {
    saver = defsaver::CreateSaverWindow(nullptr, "screensaver", meandra::PatternWindowProc,
                                        static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    UpdateWindow(saver);
    return saver;
  }
  HWND cover = nullptr, saver = nullptr, host = nullptr;
};

// The model of one tick: two steps over what the window shows now, with the
// credit text's own size; its pixels are left out (Unknown) where the
// balls do not cover them, since the font's shapes are the platform's.
std::vector<uint32_t> ModelTick(HWND window, const std::vector<uint32_t>& before) {
  Image model(pattern::CanvasWidth, pattern::CanvasHeight);
  model.pixels = before;
  HDC dc = GetDC(window);
  SIZE size = {};
  GetTextExtentPoint32A(dc, tables::CreditLine, tables::CreditLength, &size);
  ReleaseDC(window, dc);
  model.textWidth = size.cx;
  model.textHeight = size.cy;
  for (int32_t step = 0; step < meandra::StepsPerTick; ++step) {
    model.pixelCalls.clear();
    pattern::PixelTarget target = model.target();
    target.drawText = [](void* context, int32_t x, int32_t y, const char*, int32_t, uint32_t) {
      Image& image = Image::Of(context);
      for (int32_t row = 0; row < image.textHeight; ++row)
        for (int32_t column = 0; column < image.textWidth; ++column) image.put(x + column, y + row, Unknown);
    };
    pattern::PatternStep(target, settings::MonoColours);
  }
  return model.pixels;
}

// Runs the model from a copy of the pattern's state and puts the state back.
std::vector<uint32_t> PredictTick(HWND window, const std::vector<uint32_t>& before) {
  fpucontrol::UseDoublePrecision();
  uint32_t state = randomness::RandomState;
  double penX = pattern::PenX, penY = pattern::PenY;
  int32_t heading = pattern::Heading, turnRate = pattern::TurnRate;
  int32_t weights[3] = {pattern::RedWeight, pattern::GreenWeight, pattern::BlueWeight};
  int32_t drifts[3] = {pattern::RedDrift, pattern::GreenDrift, pattern::BlueDrift};
  int32_t creditX = pattern::CreditX;
  std::vector<uint32_t> predicted = ModelTick(window, before);
  randomness::RandomState = state;
  pattern::PenX = penX;
  pattern::PenY = penY;
  pattern::Heading = heading;
  pattern::TurnRate = turnRate;
  pattern::RedWeight = weights[0], pattern::GreenWeight = weights[1], pattern::BlueWeight = weights[2];
  pattern::RedDrift = drifts[0], pattern::GreenDrift = drifts[1], pattern::BlueDrift = drifts[2];
  pattern::CreditX = creditX;
  return predicted;
}

void ExpectMatchesModel(const std::vector<uint32_t>& shown, const std::vector<uint32_t>& predicted,
                        const std::vector<uint32_t>& before) {
  int wrong = 0, changed = 0;
  for (size_t i = 0; i < shown.size(); ++i) {
    if (predicted[i] == Unknown) continue;
    wrong += shown[i] != predicted[i];
    changed += predicted[i] != before[i];
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_GT(changed, 1000);
}

TEST_F(PatternWindowTest, FullScreenCapturesTheDesktopAndTicksAsTheModelPredicts) {
  for (uint8_t mono : {1, 0}) {
    SCOPED_TRACE(mono ? "single" : "two-tone");
    settings::MonoColours = mono;
    RedrawWindow(cover, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);  // after the last saver window
    ASSERT_TRUE(WaitForScreen(CoverPicture())) << "the screen shows the desktop picture again";
    CreateFullScreen();
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_EQ(pattern::CanvasWidth, width);
    ASSERT_EQ(pattern::CanvasHeight, height);
    EXPECT_EQ(pattern::MaxX, width - 17);
    EXPECT_EQ(pattern::MaxY, height - 17);
    ASSERT_NE(meandra::CanvasBitmap, nullptr);

    Image cover(width, height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) cover.put(x, y, CoverColour(x, y));
    EXPECT_EQ(CountDifferences(GrabCanvas(), cover.pixels), 0) << "the canvas holds the desktop";
    std::vector<uint32_t> before = GrabWindow(saver);
    EXPECT_EQ(CountDifferences(before, cover.pixels), 0) << "the first paint shows the canvas";

    // Two ticks, the second from a timer of another identifier.
    for (WPARAM timer : {meandra::DrawTimerId, WPARAM(7)}) {
      std::vector<uint32_t> predicted = PredictTick(saver, before);
      EXPECT_EQ(SendMessageA(saver, WM_TIMER, timer, 0), 0);
      std::vector<uint32_t> after = GrabWindow(saver);
      ExpectMatchesModel(after, predicted, before);
      before = after;
    }
    EXPECT_EQ(CountDifferences(GrabCanvas(), cover.pixels), 0) << "ticks leave the canvas as captured";

    // A repaint of part of the window puts the desktop back there only.
    RECT part = {100, 80, 300, 260};
    InvalidateRect(saver, &part, FALSE);
    UpdateWindow(saver);
    std::vector<uint32_t> repainted = GrabWindow(saver);
    int wrongInside = 0, wrongOutside = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        size_t i = size_t(y) * width + x;
        bool inside = x >= part.left && x < part.right && y >= part.top && y < part.bottom;
        if (inside) wrongInside += repainted[i] != cover.pixels[i];
        else wrongOutside += repainted[i] != before[i];
      }
    EXPECT_EQ(wrongInside, 0);
    EXPECT_EQ(wrongOutside, 0);
    DestroyWindow(saver);
    saver = nullptr;
    DrainQuit();
  }
}

TEST_F(PatternWindowTest, DrawTimerIsIdentifierFiveOnTheWindow) {
  CreateFullScreen();
  MSG message = {};
  DWORD end = GetTickCount() + 5000;
  while (!PeekMessageA(&message, saver, WM_TIMER, WM_TIMER, PM_REMOVE) && GetTickCount() < end) Sleep(5);
  EXPECT_EQ(message.message, UINT(WM_TIMER));
  EXPECT_EQ(message.wParam, meandra::DrawTimerId);
}

// The framework hands every message it does not handle to DefWindowProcA,
// which this program imports: swapping the import for a counter shows which
// messages for the saver window reached the framework.
#ifdef _WIN64
#define DEF_WINDOW_PROC_IMPORT "__imp_DefWindowProcA"
#else
#define DEF_WINDOW_PROC_IMPORT "__imp__DefWindowProcA@16"
#endif
extern "C" WNDPROC DefWindowProcImport __asm__(DEF_WINDOW_PROC_IMPORT);
WNDPROC RealDefWindowProc;
HWND CountedWindow;
std::vector<UINT> DefaultHandled;

LRESULT CALLBACK CountingDefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window == CountedWindow) DefaultHandled.push_back(message);
  return RealDefWindowProc(window, message, wParam, lParam);
}

void SetDefWindowProcImport(WNDPROC procedure) {
  DWORD protection;
  VirtualProtect(&DefWindowProcImport, sizeof DefWindowProcImport, PAGE_READWRITE, &protection);
  DefWindowProcImport = procedure;
  VirtualProtect(&DefWindowProcImport, sizeof DefWindowProcImport, protection, &protection);
}

int TimesDefaultHandled(UINT message) {
  int times = 0;
  for (UINT handled : DefaultHandled) times += handled == message;
  return times;
}

TEST_F(PatternWindowTest, KeptMessagesReturnZeroAndNeverReachTheFramework) {
  CreateFullScreen();
  CountedWindow = saver;
  DefaultHandled.clear();
  RealDefWindowProc = DefWindowProcImport;
  SetDefWindowProcImport(CountingDefWindowProc);
  EXPECT_EQ(SendMessageA(saver, WM_TIMER, 5, 0), 0);
  EXPECT_EQ(SendMessageA(saver, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, 0), 0);
  InvalidateRect(saver, nullptr, FALSE);
  EXPECT_EQ(SendMessageA(saver, WM_PAINT, 0, 0), 0);
  SendMessageA(saver, WM_USER, 0, 0);
  SetDefWindowProcImport(RealDefWindowProc);
  EXPECT_FALSE(GetUpdateRect(saver, nullptr, FALSE)) << "painting validated the window";
  EXPECT_EQ(TimesDefaultHandled(WM_USER), 1) << "a message the renderer does not keep reached the framework";
  EXPECT_EQ(TimesDefaultHandled(WM_TIMER), 0);
  EXPECT_EQ(TimesDefaultHandled(MM_MCINOTIFY), 0);
  EXPECT_EQ(TimesDefaultHandled(WM_PAINT), 0);
}

TEST_F(PatternWindowTest, RepeatedDestructionFreesTheCanvasOnceAndLaterMessagesAreHarmless) {
  CreateFullScreen();
  HBITMAP canvas = meandra::CanvasBitmap;
  ASSERT_NE(canvas, nullptr);
  SendMessageA(saver, WM_DESTROY, 0, 0);
  EXPECT_EQ(meandra::Closing, 1);
  EXPECT_EQ(meandra::CanvasBitmap, nullptr);
  EXPECT_EQ(GetObjectType(canvas), 0u) << "deleted";
  std::vector<uint32_t> shown = GrabWindow(saver);
  SendMessageA(saver, WM_DESTROY, 0, 0);
  InvalidateRect(saver, nullptr, FALSE);
  UpdateWindow(saver);
  EXPECT_FALSE(GetUpdateRect(saver, nullptr, FALSE)) << "a paint without canvas still validates";
  EXPECT_EQ(CountDifferences(GrabWindow(saver), shown), 0) << "and leaves the window as it was";
  EXPECT_EQ(SendMessageA(saver, WM_TIMER, 5, 0), 0);
  MSG quit;
  EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "destruction still reached the framework";
}

TEST_F(PatternWindowTest, PreviewShrinksTheWholeScreenIntoTheWindow) {
  RECT place = {300, 200, 300 + 152, 200 + 112};
  host = ShowPreviewHost(place);
  ASSERT_TRUE(WaitForScreen(CoverPicture(&place))) << "the screen shows the desktop and the preview's host";
  int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  // The same shrinking of the screen as it is now, for comparison.
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP expected = CreateCompatibleBitmap(screen, 152, 112);
  HGDIOBJ previous = SelectObject(memory, expected);
  StretchBlt(memory, 0, 0, 152, 112, screen, 0, 0, screenWidth, screenHeight, SRCCOPY);
  std::vector<uint32_t> shrunk = Grab(memory, 0, 0, 152, 112);
  SelectObject(memory, previous);
  DeleteObject(expected);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  defsaver::IsPreview = 1;
  saver = defsaver::CreateSaverWindow(host, "screensaver", meandra::PatternWindowProc, nullptr);
  UpdateWindow(saver);
  EXPECT_EQ(pattern::CanvasWidth, 152);
  EXPECT_EQ(pattern::CanvasHeight, 112);
  EXPECT_EQ(pattern::MaxX, 135);
  EXPECT_EQ(pattern::MaxY, 95);
  EXPECT_EQ(CountDifferences(GrabCanvas(), shrunk), 0);
  std::vector<uint32_t> before = GrabWindow(saver);
  EXPECT_EQ(CountDifferences(before, shrunk), 0);
  std::vector<uint32_t> predicted = PredictTick(saver, before);
  EXPECT_EQ(SendMessageA(saver, WM_TIMER, 5, 0), 0);
  ExpectMatchesModel(GrabWindow(saver), predicted, before);
}

}  // namespace
