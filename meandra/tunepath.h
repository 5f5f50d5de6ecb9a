// The tune file's path: the temporary directory followed by "tmp.mid".
#pragma once
#include <stdint.h>

namespace meandra {

// The temporary directory is asked for with a buffer of 256 characters,
// of which the platform is told 255.
constexpr uint32_t TempDirBufferSize = 256;
constexpr uint32_t TempDirStatedLength = 255;
constexpr char TuneFileName[] = "tmp.mid";

struct TunePath {
  char text[TempDirStatedLength + sizeof(TuneFileName)];
};

// Forms the path from the temporary-directory buffer and the count the
// platform returned for it. A count of 0 (the call failed) or one that
// does not fit the stated length (the platform then reports the size it
// would need, and the buffer does not hold the directory) gives "tmp.mid"
// alone, in the current directory; no character past the count, or past
// the buffer, is read.
void FormTunePath(const char (&tempDir)[TempDirBufferSize], uint32_t count, TunePath& path);

}  // namespace meandra
