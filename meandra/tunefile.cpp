#include "meandra/tunefile.h"

#include "meandra/patternwindow.h"
#include "midi/midi.h"
#include "resources/tune.h"
#include "settings/settings.h"

namespace meandra {

namespace {

void PlayTune(HWND window, const TunePath& path) {
  midi::StartTune(window, path.text);
  midi::NotePlayStarted(midi::TuneRestarts, GetTickCount());
}

}  // namespace

void BuildTunePath(TunePath& path) {
  char tempDir[TempDirBufferSize];
  DWORD count = GetTempPathA(TempDirStatedLength, tempDir);
  FormTunePath(tempDir, count, path);
}

void WriteTuneFile(HWND window) {
  TunePath path;
  BuildTunePath(path);
  HANDLE file = CreateFileA(path.text, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    // Silent for the rest of this run; the stored setting is left alone.
    settings::SoundOn = 0;
  } else {
    DWORD written;
    WriteFile(file, resources::TuneData, resources::TuneSize, &written, nullptr);
    CloseHandle(file);
  }
  if (settings::SoundOn) PlayTune(window, path);
}

LRESULT RestartTune(HWND window) {
  if (Closing || !settings::SoundOn) return 0;
  if (!midi::MayRestart(midi::TuneRestarts, GetTickCount())) return 0;
  TunePath path;
  BuildTunePath(path);
  PlayTune(window, path);
  return 0;
}

void StopTuneForClose() {
  if (settings::SoundOn && midi::TuneOpen) midi::StopTune();
}

void EraseTuneFile() {
  TunePath path;
  BuildTunePath(path);
  DeleteFileA(path.text);
}

}  // namespace meandra
