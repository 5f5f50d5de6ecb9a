#include "defsaver/defsaver.h"
#include "settings/dialogids.h"
#include "settings/settings.h"

namespace settings {

namespace {

void CheckOneOf(HWND dialog, uint8_t flag, int whenSet, int whenClear) {
  CheckDlgButton(dialog, flag ? whenSet : whenClear, BST_CHECKED);
}

uint8_t IsChecked(HWND dialog, int button) { return IsDlgButtonChecked(dialog, button) == BST_CHECKED ? 1 : 0; }

INT_PTR InitSettingsDialog(HWND dialog) {
  CheckOneOf(dialog, MonoColours, SingleButtonId, TwoToneButtonId);
  CheckOneOf(dialog, SoundOn, SoundOnButtonId, SoundOffButtonId);
  // TRUE lets the system focus the first tab stop, the OK button.
  return TRUE;
}

void AcceptSettings(HWND dialog) {
  MonoColours = IsChecked(dialog, SingleButtonId);
  SoundOn = IsChecked(dialog, SoundOnButtonId);
  SaveSettings();
  EndDialog(dialog, OkButtonId);
}

void ShowAboutBox(HWND dialog) {
  DialogBoxParamA(defsaver::ModuleInstance, AboutTemplateName, dialog, AboutDialogProc, 0);
}

INT_PTR OnSettingsCommand(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
    case OkButtonId:
      AcceptSettings(dialog);
      break;
    case CancelButtonId:
      EndDialog(dialog, CancelButtonId);
      break;
    case AboutButtonId:
      ShowAboutBox(dialog);
      break;
    default:
      DefWindowProcA(dialog, message, wParam, lParam);
      break;
  }
  return FALSE;
}

// Closing is not accepting: the dialog goes without saving.
INT_PTR OnClose(HWND dialog) {
  DestroyWindow(dialog);
  return FALSE;
}

// Ends the modal loop also of a dialog that was destroyed rather than ended.
INT_PTR OnSettingsDestroy() {
  PostQuitMessage(0);
  return FALSE;
}

INT_PTR OnAboutCommand(HWND dialog, WPARAM wParam) {
  WORD id = LOWORD(wParam);
  if (id == OkButtonId || id == CancelButtonId) EndDialog(dialog, id);
  return FALSE;
}

INT_PTR OnAboutSysCommand(HWND dialog, WPARAM wParam) {
  // The low four bits of a system command are the platform's own.
  if ((wParam & ~static_cast<WPARAM>(0xF)) == SC_CLOSE) EndDialog(dialog, CancelButtonId);
  return FALSE;
}

}  // namespace

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return InitSettingsDialog(dialog);
    case WM_COMMAND:
      return OnSettingsCommand(dialog, message, wParam, lParam);
    case WM_CLOSE:
      return OnClose(dialog);
    case WM_DESTROY:
      return OnSettingsDestroy();
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      return OnAboutCommand(dialog, wParam);
    case WM_SYSCOMMAND:
      return OnAboutSysCommand(dialog, wParam);
    case WM_CLOSE:
      return OnClose(dialog);
    default:
      return FALSE;
  }
}

}  // namespace settings
