#include "midi/restartguard.h"

namespace midi {

RestartGuard TuneRestarts;

void NotePlayStarted(RestartGuard& guard, uint32_t now) { guard.playStartedAt = now; }

bool MayRestart(RestartGuard& guard, uint32_t now) {
  // Unsigned difference: right across the tick count's wrap-around.
  if (now - guard.playStartedAt >= QuickEndMs) {
    guard.quickEnds = 0;
  } else if (guard.quickEnds < QuickEndLimit) {
    ++guard.quickEnds;
  }
  return guard.quickEnds < QuickEndLimit;
}

}  // namespace midi
