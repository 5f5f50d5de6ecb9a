#include "meandra/creditmask.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr uint32_t Text = 0x00FFFFFF;
constexpr uint32_t Black = 0x00000000;
constexpr uint32_t Other = 0x00603A9C;

// A rendering of "text" drawn as the rows below say: '#' a set pixel, '.'
// left alone, any other letter a pixel of its own colour.
struct Rendering {
  int32_t width, height;
  std::vector<uint32_t> pixels;
};

Rendering Render(const std::vector<std::string>& rows, uint32_t background) {
  Rendering r{int32_t(rows[0].size()), int32_t(rows.size()), {}};
  for (const std::string& row : rows)
    for (char c : row) r.pixels.push_back(c == '#' ? Text : c == '.' ? background : 0x00808080);
  return r;
}

creditmask::Mask Made(const std::vector<std::string>& rows, int32_t originX = 1, int32_t originY = 1) {
  Rendering first = Render(rows, Black), second = Render(rows, Other);
  creditmask::Mask mask;
  creditmask::Make(mask, first.pixels.data(), Black, second.pixels.data(), Other, Text, first.width, first.height,
                   originX, originY);
  return mask;
}

const std::vector<std::string> Glyphs = {
    "..........",
    ".##..#.#..",
    ".#.#.###..",
    ".##..#.#..",
    "..........",
};

TEST(CreditMask, DrawingTheMaskGivesWhatTheTextDrewOverAnyBackground) {
  creditmask::Mask mask = Made(Glyphs);
  ASSERT_TRUE(mask.valid);
  EXPECT_EQ(mask.count, 9) << "one run per stretch of set pixels in a row";
  EXPECT_EQ(creditmask::Box(mask, 1, 1).left, 1);
  EXPECT_EQ(creditmask::Box(mask, 1, 1).top, 1);
  EXPECT_EQ(creditmask::Box(mask, 1, 1).right, 8);
  EXPECT_EQ(creditmask::Box(mask, 1, 1).bottom, 4);
  for (uint32_t background : {Black, Other, 0x00123456u}) {
    Rendering expected = Render(Glyphs, background);
    std::vector<uint32_t> drawn(expected.pixels.size(), background);
    creditmask::Draw(mask, drawn.data(), expected.width, expected.height, 1, 1, Text);
    EXPECT_EQ(drawn, expected.pixels) << std::hex << background;
  }
}

TEST(CreditMask, IsRefusedWhereThePixelsDoNotTellSetFromLeftAlone) {
  struct {
    const char* what;
    std::vector<std::string> first, second;
  } cases[] = {
      {"a blended pixel", {"....", ".#b.", "...."}, {"....", ".#b.", "...."}},
      {"a pixel set over one background only", {"....", ".##.", "...."}, {"....", ".#..", "...."}},
      {"a set pixel on the edge: the text may be cut off", {"....", ".#.#", "...."}, {"....", ".#.#", "...."}},
  };
  for (const auto& c : cases) {
    Rendering first = Render(c.first, Black), second = Render(c.second, Other);
    creditmask::Mask mask;
    creditmask::Make(mask, first.pixels.data(), Black, second.pixels.data(), Other, Text, first.width,
                     first.height, 1, 1);
    EXPECT_FALSE(mask.valid) << c.what;
    EXPECT_EQ(mask.count, 0) << c.what;
  }

  Rendering rendering = Render(Glyphs, Black);
  creditmask::Mask mask;
  creditmask::Make(mask, rendering.pixels.data(), Black, rendering.pixels.data(), Text, Text, rendering.width,
                   rendering.height, 1, 1);
  EXPECT_FALSE(mask.valid) << "a background of the text's colour";

  std::vector<std::string> dotted(3, std::string(2 * creditmask::Capacity + 3, '.'));
  for (int i = 1; i < int(dotted[1].size()) - 1; i += 2) dotted[1][i] = '#';
  EXPECT_FALSE(Made(dotted).valid) << "more runs than the mask holds";
  dotted[1][dotted[1].size() - 2] = '.';
  EXPECT_TRUE(Made(dotted).valid) << "exactly as many runs as it holds";
}

TEST(CreditMask, AStretchLongerThanARunTakesMoreRuns) {
  std::vector<std::string> rows(3, std::string(2 * creditmask::MaxRunLength + 13, '.'));
  for (size_t i = 1; i + 1 < rows[1].size(); ++i) rows[1][i] = '#';
  creditmask::Mask mask = Made(rows);
  ASSERT_TRUE(mask.valid);
  EXPECT_EQ(mask.count, 3);
  Rendering expected = Render(rows, Other);
  std::vector<uint32_t> drawn(expected.pixels.size(), Other);
  creditmask::Draw(mask, drawn.data(), expected.width, expected.height, 1, 1, Text);
  EXPECT_EQ(drawn, expected.pixels);
  EXPECT_EQ(creditmask::Box(mask, 1, 1).right, expected.width - 1);
}

TEST(CreditMask, RowsFarFromTheOriginAreRefused) {
  std::vector<std::string> rows(140, std::string(4, '.'));
  rows[135][1] = '#';
  EXPECT_FALSE(Made(rows, 1, 1).valid) << "row 134 below the origin";
  EXPECT_TRUE(Made(rows, 1, 20).valid) << "row 115 below the origin";
}

TEST(CreditMask, TheHighBytesOfPixelsAreNotLookedAt) {
  Rendering first = Render(Glyphs, Black), second = Render(Glyphs, Other);
  for (uint32_t& p : first.pixels) p |= 0xFF000000;
  creditmask::Mask mask;
  creditmask::Make(mask, first.pixels.data(), Black, second.pixels.data(), Other, Text, first.width, first.height,
                   1, 1);
  EXPECT_TRUE(mask.valid);
  EXPECT_EQ(mask.count, 9);
}

// Wherever the text lands, also partly or wholly outside the image, the
// pixels set are those of the rendering that lie inside it.
TEST(CreditMask, DrawingIsClippedToTheImage) {
  creditmask::Mask mask = Made(Glyphs);
  constexpr int32_t Width = 6, Height = 3;
  for (int32_t y = -5; y <= 4; ++y)
    for (int32_t x = -9; x <= 7; ++x) {
      std::vector<uint32_t> drawn(Width * Height, Black), expected(Width * Height, Black);
      for (int32_t row = 0; row < int32_t(Glyphs.size()); ++row)
        for (int32_t column = 0; column < int32_t(Glyphs[row].size()); ++column) {
          int32_t px = x + column - 1, py = y + row - 1;
          if (Glyphs[row][column] == '#' && px >= 0 && py >= 0 && px < Width && py < Height)
            expected[py * Width + px] = Text;
        }
      creditmask::Draw(mask, drawn.data(), Width, Height, x, y, Text);
      ASSERT_EQ(drawn, expected) << "origin " << x << "," << y;
    }
}

}  // namespace
