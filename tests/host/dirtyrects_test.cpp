#include "meandra/dirtyrects.h"

#include <gtest/gtest.h>

#include <vector>

#include "meandra/random.h"
#include "meandra/tables.h"

namespace {

using dirtyrects::Rect;
using dirtyrects::RectList;

constexpr int32_t Width = 200;
constexpr int32_t Height = 150;

RectList Empty() {
  RectList list;
  dirtyrects::Clear(list);
  return list;
}

// A ball whose top-left corner lies at random in the image or up to beyond
// pixels outside it on every side.
Rect RandomBall(int32_t beyond) {
  int32_t x = int32_t(randomness::RandomBelow(Width + 2 * beyond)) - beyond;
  int32_t y = int32_t(randomness::RandomBelow(Height + 2 * beyond)) - beyond;
  return {x, y, x + tables::BlobSize, y + tables::BlobSize};
}

bool Covers(const RectList& list, int32_t x, int32_t y) {
  for (int i = 0; i < list.count; ++i) {
    const Rect& r = list.rects[i];
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
  }
  return false;
}

// Every pixel of every added rectangle that lies inside the image is covered,
// and no listed rectangle reaches outside the image.
void ExpectCoversAll(const RectList& list, const std::vector<Rect>& added) {
  for (const Rect& r : added)
    for (int32_t y = r.top; y < r.bottom; ++y)
      for (int32_t x = r.left; x < r.right; ++x) {
        if (x < 0 || y < 0 || x >= Width || y >= Height) continue;
        ASSERT_TRUE(Covers(list, x, y)) << x << "," << y;
      }
  for (int i = 0; i < list.count; ++i) {
    EXPECT_GE(list.rects[i].left, 0);
    EXPECT_GE(list.rects[i].top, 0);
    EXPECT_LE(list.rects[i].right, Width);
    EXPECT_LE(list.rects[i].bottom, Height);
  }
}

TEST(DirtyRects, ClipsToTheImage) {
  struct {
    Rect added;
    int count;
    Rect kept;
  } cases[] = {
      {{10, 20, 27, 37}, 1, {10, 20, 27, 37}},
      {{-5, -8, 12, 9}, 1, {0, 0, 12, 9}},          // over the top-left corner
      {{190, 140, 207, 157}, 1, {190, 140, 200, 150}},  // over the bottom-right corner
      {{-17, 40, 0, 57}, 0, {}},                    // wholly left
      {{200, 40, 217, 57}, 0, {}},                  // wholly right
      {{40, -17, 57, 0}, 0, {}},                    // wholly above
      {{40, 150, 57, 167}, 0, {}},                  // wholly below
      {{-300, -300, 500, 500}, 1, {0, 0, Width, Height}},
  };
  for (const auto& c : cases) {
    RectList list = Empty();
    dirtyrects::Add(list, c.added, Width, Height);
    ASSERT_EQ(list.count, c.count) << c.added.left << "," << c.added.top;
    if (c.count) {
      EXPECT_EQ(list.rects[0].left, c.kept.left);
      EXPECT_EQ(list.rects[0].top, c.kept.top);
      EXPECT_EQ(list.rects[0].right, c.kept.right);
      EXPECT_EQ(list.rects[0].bottom, c.kept.bottom);
    }
  }
}

TEST(DirtyRects, OverlapNeedsASharedPixel) {
  struct {
    Rect a, b;
    bool overlap;
  } cases[] = {
      {{10, 10, 27, 27}, {26, 26, 40, 40}, true},   // one pixel in common
      {{10, 10, 27, 27}, {27, 10, 40, 27}, false},  // side by side
      {{10, 10, 27, 27}, {10, 27, 27, 40}, false},  // one above the other
      {{10, 10, 27, 27}, {0, 0, 100, 100}, true},   // inside
      {{10, 10, 27, 27}, {15, 15, 15, 15}, false},  // an empty one inside
      {{10, 10, 27, 27}, {15, 15, 15, 20}, false},  // no width
  };
  for (const auto& c : cases) {
    EXPECT_EQ(dirtyrects::Overlap(c.a, c.b), c.overlap) << c.b.left << "," << c.b.top;
    EXPECT_EQ(dirtyrects::Overlap(c.b, c.a), c.overlap) << c.b.left << "," << c.b.top;
  }
}

TEST(DirtyRects, OverlappingBallsMergeAndDistantOnesStayApart) {
  RectList list = Empty();
  dirtyrects::Add(list, {100, 50, 117, 67}, Width, Height);
  dirtyrects::Add(list, {106, 54, 123, 71}, Width, Height);  // the next step's ball, 6 across and 4 down
  ASSERT_EQ(list.count, 1);
  EXPECT_EQ(dirtyrects::Area(list.rects[0]), 23 * 21);

  list = Empty();
  dirtyrects::Add(list, {10, 10, 27, 27}, Width, Height);
  dirtyrects::Add(list, {40, 10, 57, 27}, Width, Height);
  EXPECT_EQ(list.count, 2) << "one copy of both would take 799 pixels instead of 578";
  // A rectangle between them makes one union cheap, and that union the next.
  dirtyrects::Add(list, {20, 10, 47, 27}, Width, Height);
  ASSERT_EQ(list.count, 1);
  EXPECT_EQ(dirtyrects::Area(list.rects[0]), 47 * 17);
  ExpectCoversAll(list, {{10, 10, 27, 27}, {40, 10, 57, 27}, {20, 10, 47, 27}});
}

TEST(DirtyRects, AFullListStillCoversEverythingAdded) {
  RectList list = Empty();
  std::vector<Rect> added;
  for (int32_t i = 0; i < 3 * dirtyrects::Capacity; ++i) {  // a grid of pixels far apart
    Rect r = {(i % 12) * 16, (i / 12) * 16, (i % 12) * 16 + 1, (i / 12) * 16 + 1};
    added.push_back(r);
    dirtyrects::Add(list, r, Width, Height);
    ASSERT_LE(list.count, dirtyrects::Capacity);
  }
  ExpectCoversAll(list, added);
}

TEST(DirtyRects, RandomBallsAreAllCovered) {
  randomness::RandomState = 7;
  for (int run = 0; run < 50; ++run) {
    RectList list = Empty();
    std::vector<Rect> added;
    for (int i = 0; i < 18; ++i) {
      added.push_back(RandomBall(20));
      dirtyrects::Add(list, added.back(), Width, Height);
    }
    ExpectCoversAll(list, added);
    int64_t listed = 0;
    for (int i = 0; i < list.count; ++i) listed += dirtyrects::Area(list.rects[i]);
    EXPECT_LE(listed, int64_t(18) * tables::BlobSize * tables::BlobSize) << "merging never copies more than the balls apart";
  }
}

// The groups of a list: the rectangles of each, in order.
std::vector<std::vector<Rect>> Groups(RectList& list, int64_t joinArea) {
  int ends[dirtyrects::Capacity];
  int count = dirtyrects::GroupForDisplay(list, joinArea, ends);
  std::vector<std::vector<Rect>> groups(count);
  for (int g = 0, i = 0; g < count; ++g) {
    EXPECT_GT(ends[g], i) << "group " << g << " is empty";
    for (; i < ends[g]; ++i) groups[g].push_back(list.rects[i]);
  }
  EXPECT_EQ(count ? ends[count - 1] : 0, list.count) << "every rectangle is in a group";
  return groups;
}

Rect Box(const std::vector<Rect>& rects) {
  Rect box = rects[0];
  for (const Rect& r : rects) box = dirtyrects::Union(box, r);
  return box;
}

bool SameRects(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(DirtyRects, NearRectanglesGoToTheDisplayTogetherAndFarOnesApart) {
  constexpr int64_t JoinArea = 1000;
  RectList list = Empty();
  EXPECT_TRUE(Groups(list, JoinArea).empty());

  // Two balls 3 apart join (their box adds 51 pixels); one 110 below stays
  // apart, and a fourth beside that one joins it.
  Rect near = {10, 10, 27, 27}, nearer = {30, 10, 47, 27}, far = {10, 120, 27, 137}, beside = {30, 120, 47, 137};
  for (const Rect& r : {near, far, nearer, beside}) list.rects[list.count++] = r;
  auto groups = Groups(list, JoinArea);
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_TRUE(SameRects(Box(groups[0]), {10, 10, 47, 27}));
  EXPECT_TRUE(SameRects(Box(groups[1]), {10, 120, 47, 137}));

  // With no pixels to spare nothing joins; with the whole image all does.
  list = Empty();
  for (const Rect& r : {near, far, nearer, beside}) list.rects[list.count++] = r;
  EXPECT_EQ(Groups(list, 0).size(), 4u);
  EXPECT_EQ(Groups(list, int64_t(Width) * Height).size(), 1u);
}

TEST(DirtyRects, RandomListsGroupUntilNoJoinIsCheap) {
  randomness::RandomState = 11;
  for (int run = 0; run < 50; ++run) {
    RectList list = Empty();
    for (int i = 0; i < 18; ++i) dirtyrects::Add(list, RandomBall(0), Width, Height);
    std::vector<Rect> before(list.rects, list.rects + list.count);
    int64_t joinArea = 200 + 100 * run;
    auto groups = Groups(list, joinArea);
    // The same rectangles, each once.
    ASSERT_EQ(list.count, int(before.size()));
    for (const Rect& r : before) {
      int found = 0;
      for (int i = 0; i < list.count; ++i) found += SameRects(list.rects[i], r);
      EXPECT_EQ(found, 1);
    }
    for (size_t a = 0; a < groups.size(); ++a)
      for (size_t b = a + 1; b < groups.size(); ++b) {
        EXPECT_GE(dirtyrects::AddedByJoining(Box(groups[a]), Box(groups[b])), joinArea)
            << "run " << run << ": groups " << a << " and " << b << " would have been joined";
      }
  }
}

}  // namespace
