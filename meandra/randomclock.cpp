#include "meandra/randomclock.h"

#include <windows.h>

#include "meandra/random.h"

namespace randomness {

void SeedFromClock() {
  SYSTEMTIME now;
  GetSystemTime(&now);
  RandomState = SeedFromTimeOfDay(now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
}

}  // namespace randomness
