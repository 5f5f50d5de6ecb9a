// The choice of drawing path by the screen's colour depth, and the cut of a
// colour to a high-colour pixel.
#include "meandra/drawingpath.h"

#include <gtest/gtest.h>

namespace {

using namespace drawingpath;

TEST(DrawingPath, FollowsTheScreensColourDepth) {
  struct Case {
    int32_t bits;
    bool perPixelAsked;
    Path path;
    bool highColourCanvas;
  } cases[] = {
      {1, false, PerPixel, false},         {4, false, PerPixel, false},
      {8, false, PerPixel, false},         {14, false, PerPixel, false},
      {15, false, HighColourImage, true},  {16, false, HighColourImage, true},
      {24, false, TrueColourImage, false}, {32, false, TrueColourImage, false},
      {8, true, PerPixel, false},          {16, true, PerPixel, true},
      {32, true, PerPixel, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bits << " bits, per pixel asked " << c.perPixelAsked);
    EXPECT_EQ(ChoosePath(c.bits, c.perPixelAsked), c.path);
    // The reference keeps the desktop picture in the same format as the
    // image path, so that both show the same desktop.
    EXPECT_EQ(KeepsHighColourCanvas(c.bits), c.highColourCanvas);
  }
}

TEST(DrawingPath, HighColourPixelKeepsTheTopBitsOfEachChannel) {
  struct Case {
    uint32_t colour;  // 0x00BBGGRR
    uint16_t pixel;
  } cases[] = {
      {0x000000, 0x0000}, {0xFFFFFF, 0xFFFF}, {0x0000FF, 0xF800}, {0x00FF00, 0x07E0},
      {0xFF0000, 0x001F}, {0x070307, 0x0000},  // below one step of each channel
      {0x080408, 0x0821},                      // one step of each
      {0x3F7FBF, 0xBBE7},                      // red 191, green 127, blue 63
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.colour);
    EXPECT_EQ(HighColourPixel(c.colour), c.pixel);
  }
}

}  // namespace
