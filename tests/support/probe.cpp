// A small Win32 program the end-to-end tests run beside the saver, in the
// same Wine desktop, to look at windows and to provide windows of their own.
//   probe windows                  top-level windows, one line each
//   probe children HWND            child windows of HWND
//   probe host W H [TITLE]         a top-level window of that outer size; prints
//                                  its handle and lives until it is closed
//   probe keep                     a hidden window that keeps the Wine desktop
//                                  alive between tests; lives until killed
//   probe cover                    a window over the whole desktop showing the
//                                  test picture (see CoverColour); lives until closed
//   probe cover all                the same over the virtual screen (every monitor)
//   probe post HWND MSG WPARAM LPARAM
//   probe close HWND               posts WM_CLOSE
//   probe cursor                   cursor position
//   probe foreground               the foreground window
//   probe checked HWND ID          IsDlgButtonChecked of a dialog's control
//   probe cursorinfo               the cursor shape shown, and whether it shows
//   probe activate HWND            brings HWND to the foreground
//   probe instance                 1 while a saver's single-instance mutex exists, else 0
// Handles are written and read in decimal.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "meandra/instance.h"

namespace {

HWND ParseWindow(const char* text) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(std::strtoll(text, nullptr, 0))); }

long Handle(HWND window) { return static_cast<long>(reinterpret_cast<INT_PTR>(window)); }

void PrintWindow(HWND window) {
  char className[128] = {};
  GetClassNameA(window, className, sizeof className);
  char title[128] = {};
  WCHAR wideTitle[128] = {};
  // Reads the text without sending a message, so a busy window cannot block it.
  InternalGetWindowText(window, wideTitle, 128);
  WideCharToMultiByte(CP_ACP, 0, wideTitle, -1, title, sizeof title, nullptr, nullptr);
  RECT rect = {};
  GetWindowRect(window, &rect);
  RECT client = {};
  GetClientRect(window, &client);
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  std::printf("hwnd=%ld class=%s pid=%lu rect=%ld,%ld,%ld,%ld client=%ld,%ld style=0x%08lx exstyle=0x%08lx "
              "origin=%ld,%ld visible=%d enabled=%d parent=%ld owner=%ld title=%s\n",
              Handle(window), className, process, rect.left, rect.top, rect.right, rect.bottom, client.right,
              client.bottom, static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)),
              static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)), origin.x, origin.y, IsWindowVisible(window) ? 1 : 0,
              IsWindowEnabled(window) ? 1 : 0, Handle(GetAncestor(window, GA_PARENT)),
              Handle(GetWindow(window, GW_OWNER)), title);
}

BOOL CALLBACK PrintEach(HWND window, LPARAM) {
  PrintWindow(window);
  return TRUE;
}

// The test picture: every pixel's colour follows from its position, so a test
// can tell it apart from the pattern anywhere on the screen.
COLORREF CoverColour(int x, int y) { return RGB((x * 3) & 0xFF, (y * 5) & 0xFF, ((x + y) & 0x40) ? 0xC0 : 0x30); }

void PaintCover(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  int width = client.right, height = client.bottom;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  DWORD* pixels = static_cast<DWORD*>(std::malloc(sizeof(DWORD) * width * height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      COLORREF c = CoverColour(x, y);
      pixels[y * width + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
  SetDIBitsToDevice(dc, 0, 0, width, height, 0, 0, 0, height, pixels, &info, DIB_RGB_COLORS);
  std::free(pixels);
  EndPaint(window, &paint);
}

LRESULT CALLBACK ProbeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      if (GetWindowLongPtrA(window, GWLP_USERDATA) == 1) {
        PaintCover(window);
        return 0;
      }
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int RunWindow(HWND window) {
  std::printf("%ld\n", Handle(window));
  std::fflush(stdout);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}

HWND MakeWindow(DWORD style, int x, int y, int width, int height, const char* title) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = ProbeWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  windowClass.lpszClassName = "probe";
  RegisterClassA(&windowClass);
  return CreateWindowExA(0, "probe", title, style, x, y, width, height, nullptr, nullptr, windowClass.hInstance,
                         nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const char* command = argv[1];
  if (!std::strcmp(command, "windows")) {
    EnumWindows(PrintEach, 0);
  } else if (!std::strcmp(command, "children") && argc > 2) {
    EnumChildWindows(ParseWindow(argv[2]), PrintEach, 0);
  } else if (!std::strcmp(command, "host") && argc > 3) {
    HWND window = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, std::atoi(argv[2]), std::atoi(argv[3]),
                             argc > 4 ? argv[4] : "probe host");
    SetForegroundWindow(window);
    return RunWindow(window);
  } else if (!std::strcmp(command, "keep")) {
    return RunWindow(MakeWindow(WS_POPUP, 0, 0, 1, 1, "probe keep"));
  } else if (!std::strcmp(command, "cover")) {
    bool all = argc > 2 && !std::strcmp(argv[2], "all");
    HWND window = all ? MakeWindow(WS_POPUP | WS_VISIBLE, GetSystemMetrics(SM_XVIRTUALSCREEN),
                                   GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN),
                                   GetSystemMetrics(SM_CYVIRTUALSCREEN), "probe cover")
                      : MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                   GetSystemMetrics(SM_CYSCREEN), "probe cover");
    SetWindowLongPtrA(window, GWLP_USERDATA, 1);
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    return RunWindow(window);
  } else if (!std::strcmp(command, "post") && argc > 5) {
    return PostMessageA(ParseWindow(argv[2]), std::strtoul(argv[3], nullptr, 0), std::strtoul(argv[4], nullptr, 0),
                        std::strtol(argv[5], nullptr, 0))
               ? 0
               : 1;
  } else if (!std::strcmp(command, "close") && argc > 2) {
    return PostMessageA(ParseWindow(argv[2]), WM_CLOSE, 0, 0) ? 0 : 1;
  } else if (!std::strcmp(command, "cursor")) {
    POINT point = {};
    GetCursorPos(&point);
    std::printf("%ld %ld\n", point.x, point.y);
  } else if (!std::strcmp(command, "foreground")) {
    std::printf("%ld\n", Handle(GetForegroundWindow()));
  } else if (!std::strcmp(command, "cursorinfo")) {
    CURSORINFO info = {};
    info.cbSize = sizeof info;
    GetCursorInfo(&info);
    std::printf("handle=%ld showing=%d\n", static_cast<long>(reinterpret_cast<INT_PTR>(info.hCursor)),
                (info.flags & CURSOR_SHOWING) ? 1 : 0);
  } else if (!std::strcmp(command, "activate") && argc > 2) {
    return SetForegroundWindow(ParseWindow(argv[2])) ? 0 : 1;
  } else if (!std::strcmp(command, "instance")) {
    // Whether a saver's single-instance mutex still exists.
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, meandra::InstanceMutexName);
    std::printf("%d\n", mutex != nullptr ? 1 : 0);
    if (mutex != nullptr) CloseHandle(mutex);
  } else if (!std::strcmp(command, "checked") && argc > 3) {
    std::printf("%u\n", IsDlgButtonChecked(ParseWindow(argv[2]), std::atoi(argv[3])));
  } else {
    return 2;
  }
  return 0;
}
