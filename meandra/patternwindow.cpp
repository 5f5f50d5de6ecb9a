#include "meandra/patternwindow.h"

#include "defsaver/defsaver.h"

namespace meandra {

LRESULT CALLBACK PatternWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return defsaver::SaverWindowProc(window, message, wParam, lParam);
}

}  // namespace meandra
