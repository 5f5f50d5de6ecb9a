// The tune's steps in the saver window's life: its temporary file, written
// at creation and erased at destruction, and the restart after each play.
#pragma once
#include <windows.h>

namespace meandra {

// At WM_CREATE: writes the embedded tune to the temporary file (turning the
// sound off for the run if that fails), then starts it when the sound is on.
void WriteTuneFile(HWND window);

// At MM_MCINOTIFY: plays the tune again unless the window is closing or the
// sound is off.
LRESULT RestartTune(HWND window);

// At WM_DESTROY, right after Closing is set: stops the tune if it plays.
void StopTuneForClose();

// At WM_DESTROY: deletes the temporary file, whatever the sound setting.
void EraseTuneFile();

}  // namespace meandra
