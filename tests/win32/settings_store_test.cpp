// LoadSettings and SaveSettings against the registry of the tests' Wine prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "settings/settings.h"

namespace {

const char VendorKey[] = "Software\\Orvendel";
const char SaversKey[] = "Software\\Orvendel\\ScreenSavers";
const char SettingsKey[] = "Software\\Orvendel\\ScreenSavers\\Meandra";

void DeleteSettingsKeys() {
  RegDeleteKeyA(HKEY_CURRENT_USER, SettingsKey);
  RegDeleteKeyA(HKEY_CURRENT_USER, SaversKey);
  RegDeleteKeyA(HKEY_CURRENT_USER, VendorKey);
}

bool KeyExists(const char* path) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

void Store(const char* name, DWORD type, std::vector<BYTE> data) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, name, 0, type, data.data(), static_cast<DWORD>(data.size())), ERROR_SUCCESS);
  RegCloseKey(key);
}

struct Stored {
  DWORD type;
  std::vector<BYTE> data;
};

Stored Query(const char* name) {
  Stored stored{REG_NONE, std::vector<BYTE>(64)};
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return {REG_NONE, {}};
  DWORD size = static_cast<DWORD>(stored.data.size());
  if (RegQueryValueExA(key, name, nullptr, &stored.type, stored.data.data(), &size) != ERROR_SUCCESS) size = 0;
  stored.data.resize(size);
  RegCloseKey(key);
  return stored;
}

std::vector<BYTE> Dword(DWORD value) {
  return {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)};
}

class SettingsStore : public ::testing::Test {
 protected:
  void SetUp() override { DeleteSettingsKeys(); }
  void TearDown() override { DeleteSettingsKeys(); }

  // Loads with the flags set to `before` first, as another run might have left them.
  void LoadFrom(uint8_t before) {
    settings::MonoColours = before;
    settings::SoundOn = before;
    settings::LoadSettings();
  }
};

TEST_F(SettingsStore, SaveCreatesTheKeyWithItsParentsAndWritesBothDwords) {
  ASSERT_FALSE(KeyExists(VendorKey));
  struct Case {
    uint8_t mono, sound;
  } cases[] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
  for (const Case& c : cases) {
    DeleteSettingsKeys();
    settings::MonoColours = c.mono;
    settings::SoundOn = c.sound;
    settings::SaveSettings();
    ASSERT_TRUE(KeyExists(SettingsKey));
    Stored mono = Query("mono"), sound = Query("sound");
    EXPECT_EQ(mono.type, DWORD(REG_DWORD));
    EXPECT_EQ(mono.data, Dword(c.mono));
    EXPECT_EQ(sound.type, DWORD(REG_DWORD));
    EXPECT_EQ(sound.data, Dword(c.sound));
  }
}

TEST_F(SettingsStore, SaveOverwritesValuesOfOtherTypes) {
  Store("mono", REG_SZ, {'1', 0});
  Store("sound", REG_BINARY, {1, 0, 0, 0, 0});
  settings::MonoColours = 1;
  settings::SoundOn = 0;
  settings::SaveSettings();
  EXPECT_EQ(Query("mono").type, DWORD(REG_DWORD));
  EXPECT_EQ(Query("mono").data, Dword(1));
  EXPECT_EQ(Query("sound").type, DWORD(REG_DWORD));
  EXPECT_EQ(Query("sound").data, Dword(0));
}

TEST_F(SettingsStore, WhatIsSavedLoadsBack) {
  for (uint8_t mono : {0, 1})
    for (uint8_t sound : {0, 1}) {
      settings::MonoColours = mono;
      settings::SoundOn = sound;
      settings::SaveSettings();
      LoadFrom(1 - mono);
      EXPECT_EQ(settings::MonoColours, mono);
      EXPECT_EQ(settings::SoundOn, sound);
    }
}

TEST_F(SettingsStore, MissingKeyGivesSingleAndLeavesSoundAsItWas) {
  for (uint8_t before : {0, 1}) {
    LoadFrom(before);
    EXPECT_EQ(settings::MonoColours, 1);
    EXPECT_EQ(settings::SoundOn, before);
  }
  EXPECT_FALSE(KeyExists(SettingsKey)) << "loading must not create the key";
}

TEST_F(SettingsStore, StoredValuesOfAnyTypeAndSize) {
  struct Case {
    const char* what;
    DWORD monoType;
    std::vector<BYTE> mono;  // empty: no such value
    DWORD soundType;
    std::vector<BYTE> sound;
    uint8_t before;
    uint8_t expectedMono, expectedSound;
  } cases[] = {
      {"only sound = 1", 0, {}, REG_DWORD, Dword(1), 0, 1, 1},
      {"only mono = 0, sound as it was", REG_DWORD, Dword(0), 0, {}, 1, 0, 1},
      {"mono = 2", REG_DWORD, Dword(2), REG_DWORD, Dword(2), 1, 0, 0},
      {"the string \"1\"", REG_SZ, {'1', 0}, REG_SZ, {'1', 0}, 1, 0, 0},
      {"binary 01 00 00 00", REG_BINARY, {1, 0, 0, 0}, REG_BINARY, {1, 0, 0, 0}, 0, 1, 1},
      {"5 bytes keep the flags", REG_BINARY, {0, 0, 0, 0, 0}, REG_BINARY, {1, 0, 0, 0, 0}, 1, 1, 1},
      {"5 bytes keep sound off", REG_BINARY, {0, 0, 0, 0, 0}, REG_BINARY, {1, 0, 0, 0, 0}, 0, 1, 0},
      {"one byte 01", REG_BINARY, {1}, REG_BINARY, {1}, 0, 1, 1},
      // A sound value shorter than mono's must not read what mono left.
      {"0x101, then one byte 01", REG_DWORD, Dword(0x101), REG_BINARY, {1}, 0, 0, 1},
      {"0x100, then one byte 00", REG_DWORD, Dword(0x100), REG_BINARY, {0}, 1, 0, 0},
  };
  for (const Case& c : cases) {
    DeleteSettingsKeys();
    if (!c.mono.empty()) Store("mono", c.monoType, c.mono);
    if (!c.sound.empty()) Store("sound", c.soundType, c.sound);
    LoadFrom(c.before);
    EXPECT_EQ(settings::MonoColours, c.expectedMono) << c.what;
    EXPECT_EQ(settings::SoundOn, c.expectedSound) << c.what;
  }
}

}  // namespace
