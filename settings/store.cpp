#include "settings/decode.h"
#include "settings/settings.h"

namespace settings {

uint8_t MonoColours;
uint8_t SoundOn;

namespace {

const char SettingsKey[] = "Software\\Orvendel\\ScreenSavers\\Meandra";
const char MonoValue[] = "mono";
const char SoundValue[] = "sound";

// The buffer is cleared before every query, so that data shorter than four
// bytes always decodes alike instead of meeting what an earlier query left.
uint8_t ReadFlag(HKEY key, const char* name, uint8_t current) {
  BYTE buffer[FlagDataSize] = {};
  DWORD size = FlagDataSize;
  if (RegQueryValueExA(key, name, nullptr, nullptr, buffer, &size) != ERROR_SUCCESS) return current;
  return DecodeFlag(buffer, size, current);
}

void WriteFlag(HKEY key, const char* name, uint8_t flag) {
  DWORD data = flag;
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

}  // namespace

void LoadSettings() {
  MonoColours = DefaultMonoColours;
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  MonoColours = ReadFlag(key, MonoValue, MonoColours);
  SoundOn = ReadFlag(key, SoundValue, SoundOn);
  RegCloseKey(key);
}

void SaveSettings() {
  HKEY key;
  DWORD disposition;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, &key, &disposition) != ERROR_SUCCESS)
    return;
  WriteFlag(key, MonoValue, MonoColours);
  WriteFlag(key, SoundValue, SoundOn);
  RegCloseKey(key);
}

}  // namespace settings
