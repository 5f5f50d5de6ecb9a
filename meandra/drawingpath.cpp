#include "meandra/drawingpath.h"

namespace drawingpath {

Path ChoosePath(int32_t bitsPerPixel, bool perPixelAsked) {
  if (perPixelAsked || bitsPerPixel < MinDirectColourBits) return PerPixel;
  return bitsPerPixel <= MaxHighColourBits ? HighColourImage : TrueColourImage;
}

bool KeepsHighColourCanvas(int32_t bitsPerPixel) {
  return bitsPerPixel >= MinDirectColourBits && bitsPerPixel <= MaxHighColourBits;
}

uint16_t HighColourPixel(uint32_t colour) {
  uint32_t red = colour & 0xFF, green = colour >> 8 & 0xFF, blue = colour >> 16 & 0xFF;
  return static_cast<uint16_t>((red >> 3) << 11 | (green >> 2) << 5 | blue >> 3);
}

}  // namespace drawingpath
