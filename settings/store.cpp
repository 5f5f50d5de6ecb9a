#include "settings/settings.h"

namespace settings {

uint8_t MonoColours;
uint8_t SoundOn;

void LoadSettings() { MonoColours = 1; }

void SaveSettings() {}

}  // namespace settings
