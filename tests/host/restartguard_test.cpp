// When the tune may be started again after a play has ended.
#include "midi/restartguard.h"

#include <gtest/gtest.h>

namespace {

using midi::MayRestart;
using midi::NotePlayStarted;
using midi::RestartGuard;

TEST(RestartGuard, TuneThatPlaysThroughLoopsForEver) {
  RestartGuard guard{};
  uint32_t now = 5000;
  for (int play = 0; play < 100; ++play) {
    NotePlayStarted(guard, now);
    now += 60000;
    ASSERT_TRUE(MayRestart(guard, now)) << "play " << play;
  }
}

TEST(RestartGuard, StopsAfterThreePlaysInARowThatEndedAtOnce) {
  RestartGuard guard{};
  uint32_t now = 1000;
  bool allowed[5];
  for (bool& answer : allowed) {
    NotePlayStarted(guard, now);
    now += 20;
    answer = MayRestart(guard, now);
  }
  EXPECT_TRUE(allowed[0]);
  EXPECT_TRUE(allowed[1]);
  EXPECT_FALSE(allowed[2]);
  EXPECT_FALSE(allowed[3]);
  EXPECT_FALSE(allowed[4]);
}

TEST(RestartGuard, PlayOfASecondOrMoreClearsTheCount) {
  RestartGuard guard{};
  NotePlayStarted(guard, 0);
  EXPECT_TRUE(MayRestart(guard, 999));   // quick end 1
  NotePlayStarted(guard, 999);
  EXPECT_TRUE(MayRestart(guard, 1100));  // quick end 2
  NotePlayStarted(guard, 1100);
  EXPECT_TRUE(MayRestart(guard, 2100));  // lasted exactly a second
  NotePlayStarted(guard, 2100);
  EXPECT_TRUE(MayRestart(guard, 2150));  // quick end 1 again
  NotePlayStarted(guard, 2150);
  EXPECT_TRUE(MayRestart(guard, 2200));  // quick end 2
  // A later play that runs long is let through once more, and the loop resumes.
  NotePlayStarted(guard, 2200);
  EXPECT_FALSE(MayRestart(guard, 2210));
  EXPECT_TRUE(MayRestart(guard, 62200));
}

TEST(RestartGuard, TickCountWrapAroundIsNoQuickEnd) {
  RestartGuard guard{};
  uint32_t start = 0xFFFFFF00u;
  for (int play = 0; play < 4; ++play) {
    NotePlayStarted(guard, start);
    ASSERT_TRUE(MayRestart(guard, start + 60000u));  // wraps past zero
    start += 60000u;
  }
  NotePlayStarted(guard, 0xFFFFFFF0u);
  EXPECT_TRUE(MayRestart(guard, 0x10u));
  NotePlayStarted(guard, 0x10u);
  EXPECT_TRUE(MayRestart(guard, 0x20u));
  NotePlayStarted(guard, 0x20u);
  EXPECT_FALSE(MayRestart(guard, 0x30u));  // the quick end across the wrap counted
}

}  // namespace
