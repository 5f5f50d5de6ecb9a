// The pattern's pixel target on a device context: one platform call a pixel.
#pragma once
#include <windows.h>

#include "meandra/pattern.h"

namespace gditarget {

pattern::PixelTarget DeviceTarget(HDC dc);

}  // namespace gditarget
