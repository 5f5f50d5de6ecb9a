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
// The class is CS_OWNDC, so the window's context is taken once, as the saver does.
HDC WindowDC;

void InvertSquare(HWND window) {
  if (WindowDC == nullptr) WindowDC = GetDC(window);
  PatBlt(WindowDC, (GetSystemMetrics(SM_CXSCREEN) - SquareSide) / 2, (GetSystemMetrics(SM_CYSCREEN) - SquareSide) / 2,
         SquareSide, SquareSide, DSTINVERT);
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

// Whether the last word of the command line, quoted or not, is "square".
bool AskedForSquare(const char* commandLine) {
  const char* word = commandLine;
  const char* end = commandLine;
  for (const char* c = commandLine; *c != '\0'; ++c) {
    if (*c == ' ') word = c + 1;
    end = c + 1;
  }
  if (word == commandLine) return false;
  if (*word == '"') ++word;
  if (end > word && end[-1] == '"') --end;
  const char expected[] = "square";
  if (end - word != static_cast<int>(sizeof expected) - 1) return false;
  for (int i = 0; word + i < end; ++i)
    if (word[i] != expected[i]) return false;
  return true;
}

}  // namespace

extern "C" void __stdcall FloorEntry() {
  ChangesSquare = AskedForSquare(GetCommandLineA());
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
