#include "settings/decode.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

using settings::DecodeFlag;
using Bytes = std::vector<uint8_t>;

// What LoadSettings does with the two values once the key is open: "mono"
// starts from its default, "sound" from what the flag held before.
struct Flags {
  uint8_t mono;
  uint8_t sound;
};

uint8_t Decode(const std::optional<Bytes>& value, uint8_t current) {
  if (!value) return DecodeFlag(nullptr, 0, current);
  // An empty vector may have no storage; a query always has its buffer.
  static const uint8_t noBytes[1] = {};
  return DecodeFlag(value->empty() ? noBytes : value->data(), static_cast<uint32_t>(value->size()), current);
}

Flags Load(const std::optional<Bytes>& mono, const std::optional<Bytes>& sound) {
  return {Decode(mono, settings::DefaultMonoColours), Decode(sound, settings::DefaultSoundOn)};
}

const Bytes Dword0 = {0, 0, 0, 0};
const Bytes Dword1 = {1, 0, 0, 0};

TEST(SettingsDecode, StoredValuesAndTheFlagsTheyGive) {
  struct Case {
    const char* what;
    std::optional<Bytes> mono;
    std::optional<Bytes> sound;
    uint8_t expectedMono;
    uint8_t expectedSound;
  } cases[] = {
      {"no values: Single, no sound", std::nullopt, std::nullopt, 1, 0},
      {"only sound = 1", std::nullopt, Dword1, 1, 1},
      {"mono = 0", Dword0, Dword0, 0, 0},
      {"mono = 1, sound = 1", Dword1, Dword1, 1, 1},
      {"mono = 2: only exactly 1 is true", Bytes{2, 0, 0, 0}, Dword0, 0, 0},
      {"mono = 0x101", Bytes{1, 1, 0, 0}, std::nullopt, 0, 0},
      {"mono = 0x01000000", Bytes{0, 0, 0, 1}, std::nullopt, 0, 0},
      {"mono as the string \"1\"", Bytes{'1', 0}, std::nullopt, 0, 0},
      {"mono as binary 01 00 00 00", Dword1, std::nullopt, 1, 0},
      {"5 bytes keep the defaults", Bytes{0, 0, 0, 0, 0}, Bytes{1, 0, 0, 0, 0}, 1, 0},
      {"one byte 01 reads as 1", Bytes{1}, Bytes{1}, 1, 1},
      {"two bytes 01 00 read as 1", Bytes{1, 0}, Bytes{1, 0}, 1, 1},
      {"one byte 00 reads as 0", Bytes{0}, Bytes{0}, 0, 0},
      {"one byte 02 reads as 0", Bytes{2}, Bytes{2}, 0, 0},
      {"no data at all reads as 0", Bytes{}, Bytes{}, 0, 0},
  };
  for (const Case& c : cases) {
    Flags flags = Load(c.mono, c.sound);
    EXPECT_EQ(flags.mono, c.expectedMono) << c.what;
    EXPECT_EQ(flags.sound, c.expectedSound) << c.what;
  }
}

TEST(SettingsDecode, MissingOrOverlongDataKeepsWhatTheFlagHeld) {
  const uint8_t five[] = {1, 0, 0, 0, 0};
  for (uint8_t current : {0, 1}) {
    EXPECT_EQ(DecodeFlag(nullptr, 0, current), current);
    EXPECT_EQ(DecodeFlag(five, 5, current), current);
  }
}

// Only the bytes the query returned count, so a short value decodes alike
// whatever the buffer held before.
TEST(SettingsDecode, ShortValueIgnoresBytesPastItsSize) {
  const uint8_t leftOver[] = {1, 0xAA, 0xBB, 0xCC};
  EXPECT_EQ(DecodeFlag(leftOver, 1, 0), 1);
  EXPECT_EQ(DecodeFlag(leftOver, 2, 0), 0);
}

}  // namespace
