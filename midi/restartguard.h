// Keeps the tune from being reopened without end on a device that accepts
// the open and the play but ends every play at once: each end of play is
// answered with a restart, so such a device would be reopened as fast as
// its notifications arrive.
#pragma once
#include <stdint.h>

namespace midi {

// A play that ends sooner than this after its start ended at once.
constexpr uint32_t QuickEndMs = 1000;
// After this many such plays in a row the tune is not restarted again.
constexpr uint8_t QuickEndLimit = 3;

struct RestartGuard {
  uint32_t playStartedAt;  // milliseconds, from the platform's tick count
  uint8_t quickEnds;       // plays in a row that ended at once
};

// The guard of the saver's one tune.
extern RestartGuard TuneRestarts;

// A play has just been started at `now`.
void NotePlayStarted(RestartGuard& guard, uint32_t now);

// A play has ended at `now`: whether the tune may be started again. A play
// that lasted QuickEndMs or more clears the count, so a tune that plays
// through is looped for ever.
bool MayRestart(RestartGuard& guard, uint32_t now);

}  // namespace midi
