#include "meandra/tunepath.h"

namespace meandra {

void FormTunePath(const char (&tempDir)[TempDirBufferSize], uint32_t count, TunePath& path) {
  // A directory that fits leaves room for its terminating zero.
  uint32_t length = count < TempDirStatedLength ? count : 0;
  uint32_t at = 0;
  for (; at < length; ++at) path.text[at] = tempDir[at];
  for (uint32_t i = 0; i < sizeof(TuneFileName); ++i) path.text[at + i] = TuneFileName[i];
}

}  // namespace meandra
