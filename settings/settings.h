// The two user settings, their registry store and the settings dialogs.
#pragma once
#include <windows.h>
#include <stdint.h>

namespace settings {

// 1: colour mode "Single"; 0: "Two-Tone".
extern uint8_t MonoColours;
// 1: the tune plays.
extern uint8_t SoundOn;

void LoadSettings();
void SaveSettings();

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace settings
