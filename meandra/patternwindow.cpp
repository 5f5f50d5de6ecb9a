#include "meandra/patternwindow.h"

#include <mmsystem.h>

#include "defsaver/defsaver.h"
#include "meandra/fpucontrol.h"
#include "meandra/gditarget.h"
#include "meandra/offscreen.h"
#include "meandra/pattern.h"
#include "meandra/randomclock.h"
#include "meandra/tunefile.h"
#include "settings/settings.h"

namespace meandra {

uint8_t Closing;
int32_t ScreenWidth;
int32_t ScreenHeight;
HBITMAP CanvasBitmap;
HDC WindowDC;
HDC MemoryDC;
uint8_t DrawPerPixel;

namespace {

using pattern::CanvasHeight;
using pattern::CanvasWidth;

// The saver window's own device context (its class is CS_OWNDC), taken at
// the first tick and kept until the window's destruction, so that a tick
// needs no trip to the server for it.
HWND KeptWindow;
HDC KeptDC;

// Copies the desktop into a new canvas: one to one full-screen (the primary
// screen, or every monitor where the window covers them all), shrunk into
// the window in the preview.
void CreateCanvas(HWND window) {
  ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
  ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
  POINT source = {0, 0};
  if (defsaver::IsPreview) {
    RECT client = {};
    GetClientRect(window, &client);
    CanvasWidth = client.right;
    CanvasHeight = client.bottom;
  } else if (defsaver::SaverPlacement.coversVirtualScreen) {
    CanvasWidth = defsaver::SaverPlacement.width;
    CanvasHeight = defsaver::SaverPlacement.height;
    source.x = defsaver::SaverPlacement.left;
    source.y = defsaver::SaverPlacement.top;
  } else {
    CanvasWidth = ScreenWidth;
    CanvasHeight = ScreenHeight;
  }
  WindowDC = GetDC(nullptr);
  MemoryDC = CreateCompatibleDC(WindowDC);
  // Compatible with the screen, not the memory context, for the screen's colours.
  CanvasBitmap = CreateCompatibleBitmap(WindowDC, CanvasWidth, CanvasHeight);
  if (CanvasBitmap != nullptr) {
    HGDIOBJ previous = SelectObject(MemoryDC, CanvasBitmap);
    if (defsaver::IsPreview) {
      StretchBlt(MemoryDC, 0, 0, CanvasWidth, CanvasHeight, WindowDC, 0, 0, ScreenWidth, ScreenHeight, SRCCOPY);
    } else {
      BitBlt(MemoryDC, 0, 0, CanvasWidth, CanvasHeight, WindowDC, source.x, source.y, SRCCOPY);
    }
    if (!DrawPerPixel && offscreen::SuitsScreen(WindowDC))
      offscreen::CreateImage(WindowDC, MemoryDC, CanvasWidth, CanvasHeight);
    SelectObject(MemoryDC, previous);
  }
  DeleteDC(MemoryDC);
  ReleaseDC(nullptr, WindowDC);
}

void StartDrawing(HWND window) {
  pattern::SetDrawingLimits();
  SetTimer(window, DrawTimerId, defsaver::IsPreview ? PreviewInterval : SaverInterval, nullptr);
}

// Deleted once only; the handle is cleared so that later messages find no canvas.
void FreeCanvas() {
  offscreen::FreeImage();
  if (CanvasBitmap == nullptr) return;
  DeleteObject(CanvasBitmap);
  CanvasBitmap = nullptr;
}

LRESULT HandleCreate(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  randomness::SeedFromClock();
  CreateCanvas(window);
  fpucontrol::UseDoublePrecision();
  pattern::ChoosePatternParameters();
  WriteTuneFile(window);
  StartDrawing(window);
  return defsaver::SaverWindowProc(window, message, wParam, lParam);
}

// The whole canvas is copied; the platform confines it to the region to be
// repainted, and the off-screen image gets the same. Without a canvas the
// region is only validated.
LRESULT PaintCanvas(HWND window) {
  offscreen::NoteRepaint(window);
  PAINTSTRUCT paint;
  HDC paintDC = BeginPaint(window, &paint);
  if (CanvasBitmap != nullptr) {
    MemoryDC = CreateCompatibleDC(paintDC);
    HGDIOBJ previous = SelectObject(MemoryDC, CanvasBitmap);
    BitBlt(paintDC, 0, 0, CanvasWidth, CanvasHeight, MemoryDC, 0, 0, SRCCOPY);
    offscreen::PutBackCanvas(MemoryDC);
    SelectObject(MemoryDC, previous);
    DeleteDC(MemoryDC);
  }
  EndPaint(window, &paint);
  return 0;
}

void RunSteps(const pattern::PixelTarget& target) {
  for (int step = 0; step < StepsPerTick; ++step) pattern::PatternStep(target, settings::MonoColours);
}

HDC TickDC(HWND window) {
  if (KeptDC == nullptr || KeptWindow != window) {
    KeptDC = GetDC(window);
    KeptWindow = window;
  }
  return KeptDC;
}

void ReleaseKeptDC(HWND window) {
  if (KeptDC != nullptr && KeptWindow == window) ReleaseDC(window, KeptDC);
  KeptDC = nullptr;
  KeptWindow = nullptr;
}

// Draws into the off-screen image and copies what changed, or else straight
// onto the window. The canvas is not touched, so a tick after destruction
// (which freed the image) is harmless.
LRESULT RunTick(HWND window) {
  fpucontrol::UseDoublePrecision();
  WindowDC = TickDC(window);
  if (offscreen::ImageBitmap != nullptr) {
    RunSteps(offscreen::ImageTarget());
    offscreen::CopyChanged(WindowDC);
  } else {
    RunSteps(gditarget::DeviceTarget(WindowDC));
  }
  return 0;
}

LRESULT HandleDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Closing = 1;
  StopTuneForClose();
  EraseTuneFile();
  FreeCanvas();
  ReleaseKeptDC(window);
  return defsaver::SaverWindowProc(window, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK PatternWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return HandleCreate(window, message, wParam, lParam);
    case WM_DESTROY:
      return HandleDestroy(window, message, wParam, lParam);
    case WM_PAINT:
      return PaintCanvas(window);
    case WM_TIMER:
      return RunTick(window);
    case MM_MCINOTIFY:
      return RestartTune(window);
    default:
      return defsaver::SaverWindowProc(window, message, wParam, lParam);
  }
}

}  // namespace meandra
