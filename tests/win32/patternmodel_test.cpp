// The pattern arithmetic as the saver runs it (x87, set to double precision)
// against the image and pen position the host tests stored.
#include <gtest/gtest.h>

#include "meandra/fpucontrol.h"
#include "tests/support/goldenpattern.h"

namespace {

TEST(SaverArithmetic, DrawsTheHostGoldenImageBitForBit) {
  fpucontrol::UseDoublePrecision();
  imagetarget::Image image = goldenpattern::Run();
  goldenpattern::Stored stored = goldenpattern::Read(std::string("Z:") + MEANDRA_SOURCE_DIR + goldenpattern::FileName);
  ASSERT_TRUE(stored.ok);
  EXPECT_EQ(pattern::PenX, stored.penX);
  EXPECT_EQ(pattern::PenY, stored.penY);
  int differing = 0;
  for (size_t i = 0; i < image.pixels.size(); ++i) differing += image.pixels[i] != stored.pixels[i];
  EXPECT_EQ(differing, 0);
}

}  // namespace
