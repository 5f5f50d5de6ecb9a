// Placeholder until the tune is embedded: no file, no music.
#include "meandra/tunefile.h"

namespace meandra {

void WriteTuneFile(HWND) {}
LRESULT RestartTune(HWND) { return 0; }
void StopTuneForClose() {}
void EraseTuneFile() {}

}  // namespace meandra
