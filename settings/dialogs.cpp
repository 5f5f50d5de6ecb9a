#include "settings/settings.h"

namespace settings {

INT_PTR CALLBACK SettingsDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

INT_PTR CALLBACK AboutDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

}  // namespace settings
