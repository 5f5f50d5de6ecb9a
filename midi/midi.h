// The tune's playback through the media control interface: one sequencer
// device, opened on the tune file and played with an end-of-play
// notification to the saver window.
#pragma once
#include <windows.h>
#include <mmsystem.h>
#include <stdint.h>

#include "midi/restartguard.h"

namespace midi {

// Length of TuneErrorText, also given to mciGetErrorStringA.
constexpr UINT TuneErrorTextSize = 256;

// 1 from a successful open and play until StopTune.
extern uint8_t TuneOpen;
// The open command's record; its device id names the device for every
// later command.
extern MCI_OPEN_PARMSA TuneOpenParams;
extern MCI_PLAY_PARMS TunePlayParams;
// For the stop and close commands; its callback stays 0.
extern MCI_GENERIC_PARMS TuneStopParams;
// Text of the last failure of StartTune.
extern char TuneErrorText[TuneErrorTextSize];

// Opens the MIDI file at `path` (the device chosen by its extension) and
// plays it from the start, MM_MCINOTIFY going to `window` when the play
// ends. A tune already open is stopped first. Failures leave it silent.
void StartTune(HWND window, const char* path);

// Stops and closes the device when a tune is open; else does nothing.
void StopTune();

}  // namespace midi
