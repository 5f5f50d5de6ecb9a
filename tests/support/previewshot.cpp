// Runs the saver's window procedure as a 152 x 112 preview inside a host
// window of this same process (Wine shows nothing of a child window that
// another process draws) and writes what the preview shows after a while.
//   previewshot OUT.ppm MILLISECONDS MONO
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "defsaver/defsaver.h"
#include "meandra/patternwindow.h"
#include "settings/settings.h"

namespace {

constexpr int PreviewWidth = 152;
constexpr int PreviewHeight = 112;
constexpr UINT_PTR StopTimer = 99;

bool WritePreview(HWND window, const char* path) {
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), PreviewWidth, -PreviewHeight, 1, 32, BI_RGB};
  void* bits = nullptr;
  HDC dc = GetDC(window);
  HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ previous = SelectObject(memory, section);
  BitBlt(memory, 0, 0, PreviewWidth, PreviewHeight, dc, 0, 0, SRCCOPY);
  GdiFlush();
  FILE* file = std::fopen(path, "wb");
  if (file) {
    std::fprintf(file, "P6\n%d %d\n255\n", PreviewWidth, PreviewHeight);
    const uint32_t* pixel = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < PreviewWidth * PreviewHeight; ++i, ++pixel) {
      unsigned char rgb[3] = {uint8_t(*pixel >> 16), uint8_t(*pixel >> 8), uint8_t(*pixel)};
      std::fwrite(rgb, 1, 3, file);
    }
    std::fclose(file);
  }
  SelectObject(memory, previous);
  DeleteDC(memory);
  DeleteObject(section);
  ReleaseDC(window, dc);
  return file != nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  defsaver::ModuleInstance = GetModuleHandleA(nullptr);
  defsaver::IsPreview = 1;
  settings::MonoColours = uint8_t(std::atoi(argv[3]));
  WNDCLASSA hostClass = {};
  hostClass.lpfnWndProc = DefWindowProcA;
  hostClass.hInstance = defsaver::ModuleInstance;
  hostClass.lpszClassName = "previewhost";
  RegisterClassA(&hostClass);
  HWND host = CreateWindowExA(WS_EX_TOPMOST, "previewhost", "", WS_POPUP | WS_VISIBLE, 40, 40, PreviewWidth,
                              PreviewHeight, nullptr, nullptr, defsaver::ModuleInstance, nullptr);
  HWND preview = defsaver::CreateSaverWindow(host, "screensaver", meandra::PatternWindowProc, nullptr);
  SetTimer(host, StopTimer, std::atoi(argv[2]), nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER && message.hwnd == host) break;
    DispatchMessageA(&message);
  }
  return WritePreview(preview, argv[1]) ? 0 : 1;
}
