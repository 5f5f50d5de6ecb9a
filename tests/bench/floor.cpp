// The least a full-screen saver can do: a top-most window over the whole
// screen, painted black, with a 40 ms timer that does nothing. The benchmark
// measures the saver's cost beside this program's.
//   floor          the timer does nothing
//   floor square   the timer inverts one ball-sized square in the middle of
//                  the screen: the least a program that changes the screen
//                  at every tick can cost
#include <windows.h>

namespace {

constexpr UINT_PTR TimerId = 1;
constexpr UINT Interval = 40;
constexpr int SquareSide = 17;  // the saver's ball

bool ChangesSquare;
int SquareLeft, SquareTop;
// The class is CS_OWNDC, so the window's context is taken once, as the saver does.
HDC WindowDC;

void InvertSquare(HWND window) {
  if (WindowDC == nullptr) WindowDC = GetDC(window);
  PatBlt(WindowDC, SquareLeft, SquareTop, SquareSide, SquareSide, DSTINVERT);
}

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (ChangesSquare) InvertSquare(window);
      return 0;
    case WM_KEYDOWN:
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

bool EndsWith(const char* text, const char* tail) {
  int textLength = lstrlenA(text), tailLength = lstrlenA(tail);
  return textLength >= tailLength && lstrcmpA(text + textLength - tailLength, tail) == 0;
}

// Whether the last word of the command line, quoted or not, is "square".
bool AskedForSquare(const char* commandLine) {
  return EndsWith(commandLine, " square") || EndsWith(commandLine, " \"square\"");
}

}  // namespace

extern "C" void __stdcall FloorEntry() {
  ChangesSquare = AskedForSquare(GetCommandLineA());
  SquareLeft = (GetSystemMetrics(SM_CXSCREEN) - SquareSide) / 2;
  SquareTop = (GetSystemMetrics(SM_CYSCREEN) - SquareSide) / 2;
  WNDCLASSA windowClass = {};
  windowClass.style = CS_OWNDC;
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
