// Process entry: the single-instance guard, the run mode and its runner.
#include <windows.h>

#include "defsaver/defsaver.h"
#include "meandra/instance.h"
#include "meandra/patternwindow.h"
#include "settings/settings.h"

namespace meandra {

namespace {

const char SaverClassName[] = "screensaver";
const char SettingsTemplate[] = "SETTINGS";

void ShowSettingsDialog() {
  DialogBoxParamA(defsaver::ModuleInstance, SettingsTemplate, defsaver::ParentWindow,
                  settings::SettingsDialogProc, 0);
}

void RunMessageLoop() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void RunPreview() {
  defsaver::SaverWindow =
      defsaver::CreateSaverWindow(defsaver::ParentWindow, SaverClassName, PatternWindowProc, nullptr);
  RunMessageLoop();
}

void RunSaver() {
  HWND previousForeground = GetForegroundWindow();
  defsaver::SaverWindow = defsaver::CreateSaverWindow(
      nullptr, SaverClassName, PatternWindowProc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  UINT previousState = 0;
  SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, TRUE, &previousState, 0);
  RunMessageLoop();
  SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, &previousState, 0);
  ShowCursor(TRUE);
  SetForegroundWindow(previousForeground);
}

// A second instance, in any mode, ends at once.
bool AnotherInstanceRuns() {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, InstanceMutexName);
  if (mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return true;
  }
  return false;
}

void RunChosenMode() {
  switch (defsaver::SaverMode) {
    case defsaver::ModeConfigure:
      ShowSettingsDialog();
      break;
    case defsaver::ModeChangePassword:
      defsaver::ChangePassword(defsaver::ParentWindow);
      break;
    case defsaver::ModePreview:
      RunPreview();
      break;
    case defsaver::ModeSaver:
      RunSaver();
      break;
    default:
      break;
  }
}

}  // namespace

}  // namespace meandra

// The image's entry point: there is no C runtime to call a main function.
extern "C" void WINAPI SaverEntry() {
  defsaver::ModuleInstance = GetModuleHandleA(nullptr);
  // Of the units only the framework has work to do at start-up.
  defsaver::StartUp();
  if (!meandra::AnotherInstanceRuns()) {
    defsaver::ParseCommandLine();
    settings::LoadSettings();
    meandra::RunChosenMode();
  }
  ExitProcess(0);
}
