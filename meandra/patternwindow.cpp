#include "meandra/patternwindow.h"

#include <mmsystem.h>

#include "defsaver/defsaver.h"
#include "meandra/tunefile.h"

namespace meandra {

uint8_t Closing;

namespace {

LRESULT HandleCreate(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WriteTuneFile(window);
  return defsaver::SaverWindowProc(window, message, wParam, lParam);
}

LRESULT HandleDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Closing = 1;
  StopTuneForClose();
  EraseTuneFile();
  return defsaver::SaverWindowProc(window, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK PatternWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return HandleCreate(window, message, wParam, lParam);
    case WM_DESTROY:
      return HandleDestroy(window, message, wParam, lParam);
    case MM_MCINOTIFY:
      return RestartTune(window);
    default:
      return defsaver::SaverWindowProc(window, message, wParam, lParam);
  }
}

}  // namespace meandra
