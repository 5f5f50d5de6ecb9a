#include "midi/midi.h"

namespace midi {

uint8_t TuneOpen;
MCI_OPEN_PARMSA TuneOpenParams;
MCI_PLAY_PARMS TunePlayParams;
MCI_GENERIC_PARMS TuneStopParams;
char TuneErrorText[TuneErrorTextSize];

namespace {

// The device named by the open record's id: stop, then close; both wait
// for the device, and their results do not matter.
void StopAndClose() {
  mciSendCommandA(TuneOpenParams.wDeviceID, MCI_STOP, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&TuneStopParams));
  mciSendCommandA(TuneOpenParams.wDeviceID, MCI_CLOSE, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&TuneStopParams));
}

void KeepErrorText(MCIERROR error) { mciGetErrorStringA(error, TuneErrorText, TuneErrorTextSize); }

}  // namespace

void StartTune(HWND window, const char* path) {
  if (TuneOpen) StopTune();

  // No device type: the file's ".mid" ending selects the sequencer.
  TuneOpenParams.dwCallback = 0;
  TuneOpenParams.wDeviceID = 0;
  TuneOpenParams.lpstrDeviceType = nullptr;
  TuneOpenParams.lpstrElementName = path;
  TuneOpenParams.lpstrAlias = nullptr;
  MCIERROR error = mciSendCommandA(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_WAIT,
                                   reinterpret_cast<DWORD_PTR>(&TuneOpenParams));
  if (error != 0) {
    KeepErrorText(error);
    return;
  }

  TunePlayParams.dwCallback = reinterpret_cast<DWORD_PTR>(window);
  TunePlayParams.dwFrom = 0;
  TunePlayParams.dwTo = 0;
  error = mciSendCommandA(TuneOpenParams.wDeviceID, MCI_PLAY, MCI_NOTIFY,
                          reinterpret_cast<DWORD_PTR>(&TunePlayParams));
  if (error == 0) {
    TuneOpen = 1;
    return;
  }
  StopAndClose();
  KeepErrorText(error);
}

void StopTune() {
  if (!TuneOpen) return;
  StopAndClose();
  TuneOpen = 0;
}

}  // namespace midi
