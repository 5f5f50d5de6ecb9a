// The tune's steps in the saver window's life: its temporary file, written
// at creation and erased at destruction, and the restart after each play.
#pragma once
#include <windows.h>

#include "meandra/tunepath.h"

namespace meandra {

// The temporary directory as the platform gives it, then "tmp.mid"; built
// anew by every step that needs it.
void BuildTunePath(TunePath& path);

// At WM_CREATE: writes the embedded tune to the temporary file (turning the
// sound off for the run if that fails), then starts it when the sound is on.
void WriteTuneFile(HWND window);

// At MM_MCINOTIFY, whatever its parameters: plays the tune again unless the
// window is closing or the sound is off. Returns 0.
LRESULT RestartTune(HWND window);

// At WM_DESTROY, right after Closing is set: stops the tune if it plays.
void StopTuneForClose();

// At WM_DESTROY: deletes the temporary file, whatever the sound setting.
void EraseTuneFile();

}  // namespace meandra
