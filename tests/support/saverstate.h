// The saver's run-time settings as a full-screen start on Windows NT with the
// sound off leaves them, for the Win32 tests that make saver windows: each
// test starts from the same state whatever the one before it changed.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "defsaver/defsaver.h"
#include "meandra/patternwindow.h"
#include "settings/settings.h"

namespace saverstate {

inline void ResetForFullScreen(uint8_t monoColours) {
  defsaver::ModuleInstance = GetModuleHandleA(nullptr);
  defsaver::IsWindowsNT = 1;
  defsaver::IsPreview = 0;
  meandra::Closing = 0;
  meandra::DrawPerPixel = 0;
  settings::SoundOn = 0;
  settings::MonoColours = monoColours;
}

}  // namespace saverstate
