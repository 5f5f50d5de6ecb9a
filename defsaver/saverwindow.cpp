#include "defsaver/defsaver.h"

namespace defsaver {

HINSTANCE ModuleInstance;
uint8_t SaverMode;
uint8_t IsPreview;
HWND ParentWindow;
HWND SaverWindow;
uint8_t FirstMoveSeen;
POINT StartCursorPos;
FullScreenPlacement SaverPlacement;

namespace {

constexpr UINT SaverClassStyle = CS_OWNDC | CS_SAVEBITS;

void RecordCursorPosition() {
  FirstMoveSeen = 0;
  GetCursorPos(&StartCursorPos);
}

void HandleMouseMove(LPARAM lParam) {
  if (!FirstMoveSeen) {
    FirstMoveSeen = 1;
    return;
  }
  CursorPoint start = {StartCursorPos.x, StartCursorPos.y};
  CursorPoint clientOrigin = {SaverPlacement.left, SaverPlacement.top};
  if (IsBeyondTolerance(start, static_cast<uint32_t>(lParam), clientOrigin)) VerifyPasswordAndClose();
}

// The virtual screen is read only where there are several monitors, so that
// a one-monitor run makes the same calls as ever but this one.
MonitorMetrics ReadMonitorMetrics() {
  MonitorMetrics metrics = {};
  metrics.monitorCount = GetSystemMetrics(SM_CMONITORS);
  if (metrics.monitorCount > 1) {
    metrics.virtualLeft = GetSystemMetrics(SM_XVIRTUALSCREEN);
    metrics.virtualTop = GetSystemMetrics(SM_YVIRTUALSCREEN);
    metrics.virtualWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    metrics.virtualHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  }
  return metrics;
}

HWND CreateFullScreenWindow(const char* className) {
  SaverPlacement = ChooseFullScreenPlacement(ReadMonitorMetrics());
  if (!SaverPlacement.coversVirtualScreen)
    return CreateWindowExA(WS_EX_TOPMOST, className, nullptr, WS_POPUP | WS_VISIBLE | WS_MAXIMIZE, 0, 0, 0, 0,
                           nullptr, nullptr, ModuleInstance, nullptr);
  return CreateWindowExA(WS_EX_TOPMOST, className, nullptr, WS_POPUP | WS_VISIBLE, SaverPlacement.left,
                         SaverPlacement.top, SaverPlacement.width, SaverPlacement.height, nullptr, nullptr,
                         ModuleInstance, nullptr);
}

}  // namespace

void ParseCommandLine() {
  ModeChoice choice = ChooseMode(GetCommandLineA());
  SaverMode = choice.mode;
  IsPreview = choice.isPreview;
  ParentWindow = reinterpret_cast<HWND>(static_cast<INT_PTR>(choice.parentWindow));
  if (choice.ownerIsForeground) ParentWindow = GetForegroundWindow();
}

HWND CreateSaverWindow(HWND parent, const char* className, WNDPROC windowProc, HBRUSH background) {
  WNDCLASSA windowClass = {};
  windowClass.style = SaverClassStyle;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = ModuleInstance;
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = className;
  RegisterClassA(&windowClass);

  HWND window;
  if (parent != nullptr) {
    SaverPlacement = FullScreenPlacement{};
    RECT parentRect = {};
    GetWindowRect(parent, &parentRect);
    window = CreateWindowExA(0, className, nullptr, WS_CHILD | WS_VISIBLE | WS_DISABLED, 0, 0,
                             parentRect.right - parentRect.left, parentRect.bottom - parentRect.top,
                             parent, nullptr, ModuleInstance, nullptr);
  } else {
    window = CreateFullScreenWindow(className);
  }
  if (window == nullptr) ExitProcess(0);
  return window;
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      RecordCursorPosition();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_SETCURSOR:
      SetCursor(nullptr);
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      VerifyPasswordAndClose();
      return 0;
    case WM_MOUSEMOVE:
      HandleMouseMove(lParam);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace defsaver
