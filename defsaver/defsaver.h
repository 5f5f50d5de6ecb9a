// The screen-saver framework: run mode, the saver window with its input
// rules, and the password check that stands before every close.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "defsaver/cmdline.h"
#include "defsaver/mouserule.h"
#include "defsaver/placement.h"

namespace defsaver {

// The program's own module, set at process start.
extern HINSTANCE ModuleInstance;

// Filled by ParseCommandLine.
extern uint8_t SaverMode;
extern uint8_t IsPreview;
extern HWND ParentWindow;
// The saver window, set once CreateSaverWindow has returned.
extern HWND SaverWindow;

// Mouse rule state: the first move since creation (or since a refused
// password prompt) is swallowed; later ones are measured from StartCursorPos.
extern uint8_t FirstMoveSeen;
extern POINT StartCursorPos;

// The full-screen window's form and rectangle, chosen by CreateSaverWindow
// before the window is created (so already during its WM_CREATE); all zero
// in the preview and before. Its origin is the client area's on the screen.
extern FullScreenPlacement SaverPlacement;

extern OSVERSIONINFOA VersionInfo;
extern uint8_t IsWindowsNT;

// Unit start-up: records the platform for the password check.
void StartUp();

void ParseCommandLine();

// Registers the saver window class and creates the full-screen window
// (parent 0) or the preview child filling `parent`. Ends the process when
// the window cannot be created.
HWND CreateSaverWindow(HWND parent, const char* className, WNDPROC windowProc, HBRUSH background);

// The framework's message handling behind the renderer's window procedure.
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Decides a close event: approves it at once on NT, else asks the platform's
// password component when a screen-saver password is set. On approval
// WM_DESTROY has been posted to SaverWindow. Returns 1 when approved.
uint8_t VerifyPasswordAndClose();

// Opens the platform's dialog for changing the screen-saver password.
void ChangePassword(HWND owner);

// Full path of a file in the platform's system directory; false when it does
// not fit in `out`.
bool SystemFilePath(const char* fileName, char* out, UINT outSize);

}  // namespace defsaver
