// The least a full-screen saver can do: a top-most window over the whole
// screen, painted black, with a 40 ms timer that does nothing. The benchmark
// measures the saver's cost beside this program's.
#include <windows.h>

namespace {

constexpr UINT_PTR TimerId = 1;
constexpr UINT Interval = 40;

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      return 0;
    case WM_KEYDOWN:
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

extern "C" void __stdcall FloorEntry() {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = FloorProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = "floor";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(WS_EX_TOPMOST, "floor", "", WS_POPUP | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, windowClass.hInstance, nullptr);
  SetTimer(window, TimerId, Interval, nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  ExitProcess(0);
}
