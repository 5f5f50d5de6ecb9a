// Figures for scripts/bench, measured under Wine (or on Windows):
//   tickbench ticks COUNT          microseconds per tick through the per-pixel
//                                  and the off-screen path, at each canvas size,
//                                  and of the off-screen path's drawing alone
//   tickbench launch PROGRAM ARGS  starts PROGRAM and reports the time until
//                                  its first window has been painted
// Each line printed is "name value ..." for the script to read.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <string>
#include <vector>

#include "defsaver/defsaver.h"
#include "meandra/dirtyrects.h"
#include "meandra/fpucontrol.h"
#include "meandra/offscreen.h"
#include "meandra/pattern.h"
#include "meandra/patternwindow.h"
#include "meandra/random.h"
#include "settings/settings.h"

namespace {

struct Size {
  int width, height;
};
const Size Sizes[] = {{1024, 768}, {1920, 1080}, {3840, 2160}};
constexpr uint32_t Seed = 20261210;
constexpr DWORD LaunchTimeoutMs = 30000;

LARGE_INTEGER Frequency;

double Microseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  return double(to.QuadPart - from.QuadPart) * 1e6 / double(Frequency.QuadPart);
}

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    if (message.message != WM_QUIT) DispatchMessageA(&message);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// What the message loop's wait after a tick does under Wine: the window's
// drawing since the last time goes to the X display. Timed with the tick, so
// that both paths pay for what they hand over.
void HandToDisplay() { GetInputState(); }

// A tick's steps drawn into the off-screen image alone, without copying
// anything to the window: what the drawing costs apart from the platform.
double MedianDrawing(int ticks) {
  std::vector<double> times;
  for (int tick = 0; tick < ticks; ++tick) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int step = 0; step < meandra::StepsPerTick; ++step)
      pattern::PatternStep(offscreen::ImageTarget(), settings::MonoColours);
    dirtyrects::Clear(offscreen::Changed);
    QueryPerformanceCounter(&end);
    times.push_back(Microseconds(start, end));
  }
  return Median(times);
}

// The saver's own window procedure in a window of the given size, as in the
// preview: the canvas is the window's client area. Its timer is stopped and
// the ticks are sent one by one, the messages between them handled untimed.
// With the off-screen image, drawingAlone gets MedianDrawing's figure after.
double MedianTick(const Size& size, uint8_t perPixel, int ticks, double* drawingAlone) {
  HWND host = CreateWindowExA(0, "benchhost", "", WS_POPUP | WS_VISIBLE, 0, 0, size.width, size.height, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
  UpdateWindow(host);
  defsaver::IsPreview = 1;
  meandra::DrawPerPixel = perPixel;
  HWND saver = defsaver::CreateSaverWindow(host, "screensaver", meandra::PatternWindowProc, nullptr);
  KillTimer(saver, meandra::DrawTimerId);
  fpucontrol::UseDoublePrecision();
  randomness::RandomState = Seed;
  pattern::ChoosePatternParameters();
  UpdateWindow(saver);
  Pump();
  if (pattern::CanvasWidth != size.width || pattern::CanvasHeight != size.height ||
      (offscreen::ImageBitmap != nullptr) == (perPixel != 0)) {
    std::printf("error canvas %dx%d, image %d\n", int(pattern::CanvasWidth), int(pattern::CanvasHeight),
                offscreen::ImageBitmap != nullptr);
    std::exit(1);
  }
  std::vector<double> times;
  for (int tick = 0; tick < ticks; ++tick) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    SendMessageA(saver, WM_TIMER, meandra::DrawTimerId, 0);
    HandToDisplay();
    QueryPerformanceCounter(&end);
    times.push_back(Microseconds(start, end));
    Pump();
  }
  if (drawingAlone != nullptr) *drawingAlone = MedianDrawing(ticks);
  DestroyWindow(saver);
  DestroyWindow(host);
  MSG quit;
  while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  return Median(times);
}

int BenchTicks(int ticks) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  windowClass.lpszClassName = "benchhost";
  RegisterClassA(&windowClass);
  defsaver::ModuleInstance = GetModuleHandleA(nullptr);
  settings::SoundOn = 0;
  settings::MonoColours = 0;
  for (const Size& size : Sizes) {
    if (size.width > GetSystemMetrics(SM_CXSCREEN) || size.height > GetSystemMetrics(SM_CYSCREEN)) {
      std::printf("skipped %dx%d larger than the screen\n", size.width, size.height);
      continue;
    }
    double perPixel = MedianTick(size, 1, ticks, nullptr);
    double drawing = 0;
    double offscreen = MedianTick(size, 0, ticks, &drawing);
    std::printf("ticks %dx%d %d %.1f %.1f %.1f\n", size.width, size.height, ticks, perPixel, offscreen, drawing);
    std::fflush(stdout);
  }
  return 0;
}

struct Search {
  DWORD processId;
  HWND window;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM lParam) {
  Search* search = reinterpret_cast<Search*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  search->window = window;
  return FALSE;
}

// Painted: shown and with nothing left to repaint.
int BenchLaunch(int argc, char** argv) {
  std::string commandLine;
  for (int i = 2; i < argc; ++i) commandLine += std::string(i > 2 ? " " : "") + "\"" + argv[i] + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  LARGE_INTEGER start, now;
  QueryPerformanceCounter(&start);
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    std::printf("error cannot start %s\n", commandLine.c_str());
    return 1;
  }
  Search search = {process.dwProcessId, nullptr};
  for (;;) {
    QueryPerformanceCounter(&now);
    if (Microseconds(start, now) > LaunchTimeoutMs * 1000.0) {
      std::printf("error no painted window after %lu ms\n", LaunchTimeoutMs);
      return 1;
    }
    if (search.window == nullptr) EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
    if (search.window != nullptr && !GetUpdateRect(search.window, nullptr, FALSE)) break;
    Sleep(1);
  }
  std::printf("firstpaint %.1f\n", Microseconds(start, now) / 1000.0);
  std::printf("pid %lu\n", process.dwProcessId);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QueryPerformanceFrequency(&Frequency);
  if (argc >= 3 && std::strcmp(argv[1], "ticks") == 0) return BenchTicks(std::atoi(argv[2]));
  if (argc >= 3 && std::strcmp(argv[1], "launch") == 0) return BenchLaunch(argc, argv);
  std::fprintf(stderr, "usage: tickbench ticks COUNT | tickbench launch PROGRAM [ARGUMENTS]\n");
  return 2;
}
