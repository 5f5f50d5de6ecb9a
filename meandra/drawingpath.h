// Which way the pattern reaches the window on a screen of a given colour
// depth, and how a colour is cut to a high-colour screen's pixel.
#pragma once
#include <stdint.h>

namespace drawingpath {

enum Path : uint8_t {
  // Every pixel set on the window with its own platform call: the
  // reference, and the only path on palette screens, where the matching of
  // colours to the palette is the driver's.
  PerPixel,
  // An off-screen image of 32-bit pixels: true-colour screens.
  TrueColourImage,
  // An off-screen image of 16-bit 5-6-5 pixels, as the screen has them:
  // high-colour screens. The desktop picture is kept in that format too, so
  // that it reaches the window unchanged to the last bit.
  HighColourImage,
};

// Screens below this many bits a pixel have a palette.
constexpr int32_t MinDirectColourBits = 15;
// Screens up to this many bits a pixel are high colour (5-5-5 or 5-6-5).
constexpr int32_t MaxHighColourBits = 16;

// The path for a screen of bitsPerPixel (bits times planes); perPixelAsked
// chooses the reference wherever.
Path ChoosePath(int32_t bitsPerPixel, bool perPixelAsked);

// True when the desktop picture is kept as 5-6-5 pixels: on high-colour
// screens, whichever path draws.
bool KeepsHighColourCanvas(int32_t bitsPerPixel);

// The 5-6-5 pixel of a colour 0x00BBGGRR: the top 5, 6 and 5 bits of red,
// green and blue, which is how the platform cuts a colour that is set on a
// high-colour screen.
uint16_t HighColourPixel(uint32_t colour);

}  // namespace drawingpath
