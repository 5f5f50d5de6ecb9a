// An in-memory pixel target for the pattern step in tests: an image of
// COLORREF-style pixels (0x00BBGGRR) that clips like a device, the list of
// every pixel and text call in order, and a stand-in for the credit text (a
// filled block of TextWidth x TextHeight) whose measuring can be made to fail.
#pragma once
#include <stdint.h>

#include <vector>

#include "meandra/pattern.h"

namespace imagetarget {

struct PixelCall {
  int32_t x, y;
  uint32_t colour;
};

struct TextCall {
  int32_t x, y;
  uint32_t colour;
  int32_t length;
};

// A ball announced to the target: its corner and how many pixels had been
// set before it.
struct BallMark {
  int32_t left, top;
  size_t pixelsBefore;
};

struct Image {
  int32_t width = 0, height = 0;
  std::vector<uint32_t> pixels;
  std::vector<PixelCall> pixelCalls;
  std::vector<TextCall> textCalls;
  std::vector<BallMark> balls;
  int32_t textWidth = 5 * tables::CreditLength;
  int32_t textHeight = 10;
  bool measureFails = false;

  Image(int32_t w, int32_t h, uint32_t fill = 0) : width(w), height(h), pixels(size_t(w) * h, fill) {}

  uint32_t at(int32_t x, int32_t y) const { return pixels[size_t(y) * width + x]; }
  void put(int32_t x, int32_t y, uint32_t colour) {
    if (x >= 0 && y >= 0 && x < width && y < height) pixels[size_t(y) * width + x] = colour;
  }

  static Image& Of(void* context) { return *static_cast<Image*>(context); }
  static void SetPixel(void* context, int32_t x, int32_t y, uint32_t colour) {
    Of(context).pixelCalls.push_back({x, y, colour});
    Of(context).put(x, y, colour);
  }
  static bool Measure(void* context, const char*, int32_t, int32_t* width) {
    if (Of(context).measureFails) return false;
    *width = Of(context).textWidth;
    return true;
  }
  static void Draw(void* context, int32_t x, int32_t y, const char*, int32_t length, uint32_t colour) {
    Image& image = Of(context);
    image.textCalls.push_back({x, y, colour, length});
    for (int32_t row = 0; row < image.textHeight; ++row)
      for (int32_t column = 0; column < image.textWidth; ++column) image.put(x + column, y + row, colour);
  }

  static void Ball(void* context, int32_t left, int32_t top) {
    Of(context).balls.push_back({left, top, Of(context).pixelCalls.size()});
  }

  pattern::PixelTarget target() { return pattern::PixelTarget{this, SetPixel, Measure, Draw, Ball}; }
};

inline uint32_t Red(uint32_t colour) { return colour & 0xFF; }
inline uint32_t Green(uint32_t colour) { return (colour >> 8) & 0xFF; }
inline uint32_t Blue(uint32_t colour) { return (colour >> 16) & 0xFF; }

// The picture the end-to-end tests cover the desktop with.
inline uint32_t CoverColour(int32_t x, int32_t y) {
  uint32_t r = (x * 3) & 0xFF, g = (y * 5) & 0xFF, b = ((x + y) & 0x40) ? 0xC0 : 0x30;
  return r | (g << 8) | (b << 16);
}

}  // namespace imagetarget
