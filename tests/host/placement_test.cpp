#include "defsaver/placement.h"

#include <gtest/gtest.h>

namespace {

using defsaver::ChooseFullScreenPlacement;
using defsaver::FullScreenPlacement;
using defsaver::MonitorMetrics;

TEST(FullScreenPlacement, MaximizedOverOneMonitorAndOverTheVirtualScreenOfSeveral) {
  const FullScreenPlacement maximized = {false, 0, 0, 0, 0};
  struct Case {
    const char* layout;
    MonitorMetrics metrics;
    FullScreenPlacement expected;
  } cases[] = {
      {"one monitor", {1, 0, 0, 1024, 768}, maximized},
      {"metrics unknown (Windows 95, NT 4.0)", {0, 0, 0, 0, 0}, maximized},
      {"two side by side", {2, 0, 0, 2048, 768}, {true, 0, 0, 2048, 768}},
      {"second left of the primary", {2, -800, 0, 1824, 768}, {true, -800, 0, 1824, 768}},
      {"second above the primary", {2, 0, -600, 1024, 1368}, {true, 0, -600, 1024, 1368}},
      {"mixed sizes, left of and below", {2, -1920, 0, 3200, 1080}, {true, -1920, 0, 3200, 1080}},
      {"three in a row", {3, -1024, 0, 3072, 768}, {true, -1024, 0, 3072, 768}},
      {"several but no virtual screen", {2, 0, 0, 0, 0}, maximized},
      {"several, no height", {2, -800, 0, 1824, 0}, maximized},
      {"negative count", {-1, -800, 0, 1824, 768}, maximized},
  };
  for (const Case& c : cases) {
    FullScreenPlacement placement = ChooseFullScreenPlacement(c.metrics);
    EXPECT_EQ(placement.coversVirtualScreen, c.expected.coversVirtualScreen) << c.layout;
    EXPECT_EQ(placement.left, c.expected.left) << c.layout;
    EXPECT_EQ(placement.top, c.expected.top) << c.layout;
    EXPECT_EQ(placement.width, c.expected.width) << c.layout;
    EXPECT_EQ(placement.height, c.expected.height) << c.layout;
  }
}

}  // namespace
