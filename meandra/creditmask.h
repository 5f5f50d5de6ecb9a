// The credit line's pixels, found once and drawn from then on without the
// platform's text machinery. The same text in the same font, colour and
// place sets the same pixels every time, as long as each pixel is either set
// to the text colour or left alone (a bitmap font); a smoothed font blends
// with what lies beneath, and then no mask is made.
#pragma once
#include <stdint.h>

#include "meandra/dirtyrects.h"

namespace creditmask {

// A stretch of set pixels along a row, relative to the text's origin; a
// longer stretch takes more than one run.
struct Run {
  int16_t dx;
  int8_t dy;
  uint8_t length;
};

// More than a line of 21 characters in a bitmap font needs. The mask is part
// of the program's data, so it is kept small.
constexpr int Capacity = 384;
constexpr int32_t MaxRunLength = 255;

struct Mask {
  Run runs[Capacity];
  int count;
  bool valid;
  // The box around the set pixels, relative to the text's origin; left and
  // top inclusive, right and bottom exclusive.
  int32_t left, top, right, bottom;
};

// From the same text drawn with its origin at (originX, originY) into two
// images of width x height that held only firstBackground and
// secondBackground before. Valid when every pixel is the text colour in both
// or its background in both, the set pixels keep off the images' edges (so
// nothing of the text was cut off) and they fit in Capacity runs within
// rows -128..127 of the origin. Pixels are compared in their low 24 bits.
void Make(Mask& mask, const uint32_t* first, uint32_t firstBackground, const uint32_t* second,
          uint32_t secondBackground, uint32_t textValue, int32_t width, int32_t height, int32_t originX,
          int32_t originY);

// Sets the mask's pixels in an image of rows of width pixels to value, with
// the text's origin at (x, y); what falls outside the image is left out.
void Draw(const Mask& mask, uint32_t* pixels, int32_t width, int32_t height, int32_t x, int32_t y, uint32_t value);

// The box around the set pixels with the text's origin at (x, y).
dirtyrects::Rect Box(const Mask& mask, int32_t x, int32_t y);

}  // namespace creditmask
