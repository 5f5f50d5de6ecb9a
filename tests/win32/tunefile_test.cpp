// The tune file's steps against the real temporary directory, files and
// media control interface of the platform (Wine without a MIDI device:
// the sequencer opens the file and accepts the play, and stays silent).
#include "meandra/tunefile.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "meandra/patternwindow.h"
#include "midi/midi.h"
#include "resources/tune.h"
#include "settings/settings.h"

namespace {

const char SettingsKey[] = "Software\\Orvendel\\ScreenSavers\\Meandra";

std::string Env(const char* name) {
  char value[1024];
  DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
  return n && n < sizeof value ? std::string(value, n) : std::string();
}

std::string TempPath() {
  char buffer[MAX_PATH + 1];
  DWORD n = GetTempPathA(sizeof buffer, buffer);
  return std::string(buffer, n);
}

std::string Built() {
  meandra::TunePath path;
  meandra::BuildTunePath(path);
  return path.text;
}

std::vector<unsigned char> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Points the process's temporary directory elsewhere (TMP comes first) and
// puts everything back afterwards.
class TuneFile : public ::testing::Test {
 protected:
  void SetUp() override {
    savedTmp = Env("TMP");
    savedTemp = Env("TEMP");
    base = TempPath() + "meandra-tunefile-test";
    CreateDirectoryA(base.c_str(), nullptr);
    SetTmp(base);
    settings::SoundOn = 0;
    meandra::Closing = 0;
    midi::TuneOpen = 0;
    midi::TuneRestarts = midi::RestartGuard{};
  }
  void TearDown() override {
    midi::StopTune();
    if (window) DestroyWindow(window);
    SetEnvironmentVariableA("TMP", savedTmp.empty() ? nullptr : savedTmp.c_str());
    SetEnvironmentVariableA("TEMP", savedTemp.empty() ? nullptr : savedTemp.c_str());
    DeleteFileA((base + "\\tmp.mid").c_str());
    DeleteFileA((base + "\\a-file").c_str());
    RemoveDirectoryA(base.c_str());
  }
  static void SetTmp(const std::string& dir) { SetEnvironmentVariableA("TMP", dir.c_str()); }
  HWND Window() {
    window = CreateWindowA("STATIC", "tune test", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    return window;
  }

  std::string savedTmp, savedTemp, base;
  HWND window = nullptr;
};

TEST_F(TuneFile, PathIsTheTemporaryDirectoryThenTheName) {
  EXPECT_EQ(Built(), base + "\\tmp.mid");
}

TEST_F(TuneFile, FailedOrOverlongTemporaryDirectoryGivesTheBareName) {
  struct Case {
    const char* what;
    size_t length;  // of the TMP value
  } cases[] = {
      // Longer than the platform takes at all: GetTempPathA returns 0.
      {"failing", 300},
      // Fits the platform but not the 255 characters asked for: it returns
      // the size it needs and leaves the buffer without the directory.
      {"overlong", 256},
      {"one past the stated length", 254},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string dir = "C:\\" + std::string(c.length - 3, 'd');
    SetTmp(dir);
    char buffer[256];
    DWORD n = GetTempPathA(255, buffer);
    if (c.length == 300) {
      ASSERT_EQ(n, 0u) << "the platform took the long directory";
    } else {
      ASSERT_GE(n, 255u) << "the platform returned " << n;
    }
    EXPECT_EQ(Built(), "tmp.mid");
  }
}

TEST_F(TuneFile, WritesExactlyTheTuneWhateverTheSoundAndEraseDeletesIt) {
  for (uint8_t sound : {0, 1}) {
    SCOPED_TRACE(sound);
    settings::SoundOn = sound;
    meandra::WriteTuneFile(Window());
    std::string path = base + "\\tmp.mid";
    std::vector<unsigned char> written = ReadFile(path);
    EXPECT_EQ(written, std::vector<unsigned char>(resources::TuneData, resources::TuneData + resources::TuneSize));
    EXPECT_EQ(settings::SoundOn, sound);
    // Wine's sequencer accepts the open and the play even without a device.
    EXPECT_EQ(midi::TuneOpen, sound);
    midi::StopTune();
    meandra::EraseTuneFile();
    EXPECT_FALSE(Exists(path));
    DestroyWindow(window);
    window = nullptr;
  }
}

TEST_F(TuneFile, ReplacesAFileLeftBehind) {
  std::string path = base + "\\tmp.mid";
  { std::ofstream(path, std::ios::binary) << std::string(5000, 'x'); }
  meandra::WriteTuneFile(Window());
  EXPECT_EQ(ReadFile(path).size(), resources::TuneSize);
}

TEST_F(TuneFile, UnwritableTemporaryDirectoryTurnsTheSoundOffForTheRunOnly) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  DWORD stored = 1;
  RegSetValueExA(key, "sound", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored), sizeof stored);
  { std::ofstream(base + "\\a-file") << "not a directory"; }
  for (std::string dir : {base + "\\no-such-directory", base + "\\a-file"}) {
    SCOPED_TRACE(dir);
    SetTmp(dir);
    settings::SoundOn = 1;
    meandra::WriteTuneFile(Window());
    EXPECT_EQ(settings::SoundOn, 0);
    EXPECT_EQ(midi::TuneOpen, 0);
    EXPECT_FALSE(Exists(dir + "\\tmp.mid"));
    meandra::EraseTuneFile();  // fails silently
    DWORD value = 0, size = sizeof value;
    EXPECT_EQ(RegQueryValueExA(key, "sound", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(value, 1u);
    DestroyWindow(window);
    window = nullptr;
  }
  RegDeleteValueA(key, "sound");
  RegCloseKey(key);
}

TEST_F(TuneFile, RestartPlaysAgainUnlessClosingOrSilent) {
  settings::SoundOn = 1;
  meandra::WriteTuneFile(Window());
  ASSERT_EQ(midi::TuneOpen, 1);
  struct Case {
    const char* what;
    uint8_t closing, sound, plays;
  } cases[] = {{"playing", 0, 1, 1}, {"closing", 1, 1, 0}, {"sound off", 0, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    midi::StopTune();
    midi::TuneRestarts = midi::RestartGuard{};
    meandra::Closing = c.closing;
    settings::SoundOn = c.sound;
    EXPECT_EQ(meandra::RestartTune(window), 0);
    EXPECT_EQ(midi::TuneOpen, c.plays);
  }
}

TEST_F(TuneFile, PlaysThatEndAtOnceAreNotRestartedForEver) {
  settings::SoundOn = 1;
  meandra::WriteTuneFile(Window());
  // Every notification below comes right after the play it ends began.
  int restarted = 0;
  for (int i = 0; i < 10; ++i) {
    midi::StopTune();
    meandra::RestartTune(window);
    restarted += midi::TuneOpen;
  }
  EXPECT_EQ(restarted, midi::QuickEndLimit - 1);
}

TEST_F(TuneFile, FailedOpenKeepsTheErrorTextAndStaysClosed) {
  midi::TuneErrorText[0] = 0;
  midi::StartTune(Window(), (base + "\\missing.mid").c_str());
  EXPECT_EQ(midi::TuneOpen, 0);
  EXPECT_STRNE(midi::TuneErrorText, "");
}

}  // namespace
