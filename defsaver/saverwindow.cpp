#include "defsaver/defsaver.h"

namespace defsaver {

HINSTANCE ModuleInstance;
uint8_t SaverMode;
uint8_t IsPreview;
HWND ParentWindow;
HWND SaverWindow;
uint8_t FirstMoveSeen;
POINT StartCursorPos;

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
  if (IsBeyondTolerance(start, static_cast<uint32_t>(lParam))) VerifyPasswordAndClose();
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
    RECT parentRect = {};
    GetWindowRect(parent, &parentRect);
    window = CreateWindowExA(0, className, nullptr, WS_CHILD | WS_VISIBLE | WS_DISABLED, 0, 0,
                             parentRect.right - parentRect.left, parentRect.bottom - parentRect.top,
                             parent, nullptr, ModuleInstance, nullptr);
  } else {
    window = CreateWindowExA(WS_EX_TOPMOST, className, nullptr, WS_POPUP | WS_VISIBLE | WS_MAXIMIZE,
                             0, 0, 0, 0, nullptr, nullptr, ModuleInstance, nullptr);
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
