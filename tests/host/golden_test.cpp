#include <gtest/gtest.h>

#include "tests/support/goldenpattern.h"

namespace {

TEST(GoldenPattern, FixedSeedDrawsTheStoredImage) {
  imagetarget::Image image = goldenpattern::Run();
  std::string path = std::string(MEANDRA_SOURCE_DIR) + goldenpattern::FileName;
  if (goldenpattern::Regenerating()) {
    ASSERT_TRUE(goldenpattern::Write(path, image, pattern::PenX, pattern::PenY));
    GTEST_SKIP() << "wrote " << path;
  }
  goldenpattern::Stored stored = goldenpattern::Read(path);
  ASSERT_TRUE(stored.ok) << "cannot read " << path;
  EXPECT_EQ(pattern::PenX, stored.penX);
  EXPECT_EQ(pattern::PenY, stored.penY);
  int differing = 0;
  for (size_t i = 0; i < image.pixels.size(); ++i) differing += image.pixels[i] != stored.pixels[i];
  EXPECT_EQ(differing, 0) << "pixels differ from " << path;
}

}  // namespace
