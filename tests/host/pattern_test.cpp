#include "meandra/pattern.h"

#include <gtest/gtest.h>

#include <vector>

#include "meandra/random.h"
#include "meandra/tables.h"
#include "tests/support/imagetarget.h"

namespace {

using imagetarget::Image;
using namespace pattern;
using randomness::RandomState;

constexpr int BrightestOffset = 4 * tables::BlobSize + 6;  // row 4, column 6: level 255
constexpr int DrawnPixels = 241;

void UseCanvas(int32_t width, int32_t height) {
  CanvasWidth = width;
  CanvasHeight = height;
  SetDrawingLimits();
}

// A drawn pixel's place in the sprite, counted over the drawn pixels only.
int DrawnIndexOf(int spriteOffset) {
  int index = 0;
  for (int i = 0; i < spriteOffset; ++i) index += tables::BlobSprite[i] > tables::TransparentLimit;
  return index;
}

struct Stamp {
  int32_t x, y;
  uint32_t brightest;
};

// The balls of a recorded step, by the first drawn pixel of each (row 0, column 5).
std::vector<Stamp> StampsOf(const Image& image) {
  std::vector<Stamp> stamps;
  int brightest = DrawnIndexOf(BrightestOffset);
  for (size_t first = 0; first + DrawnPixels <= image.pixelCalls.size(); first += DrawnPixels)
    stamps.push_back({image.pixelCalls[first].x - 5, image.pixelCalls[first].y,
                      image.pixelCalls[first + brightest].colour});
  return stamps;
}

TEST(Tables, ShapesOfTheConstantData) {
  int drawn = 0;
  for (uint8_t shade : tables::BlobSprite) {
    if (shade > tables::TransparentLimit) {
      ++drawn;
      EXPECT_GE(shade, 97);
    } else {
      EXPECT_EQ(shade, 15);
    }
  }
  EXPECT_EQ(drawn, DrawnPixels);
  EXPECT_EQ(tables::BlobSprite[BrightestOffset], 255);
  EXPECT_EQ(tables::ShadeRamp[186 - 32], 52);
  EXPECT_EQ(tables::ShadeRamp[187 - 32], 50);
  EXPECT_EQ(tables::ShadeRamp[97 - 32], 19);
  EXPECT_EQ(tables::ShadeRamp[96 - 32], 0);
  EXPECT_EQ(tables::ShadeRamp[255 - 32], 63);
  for (uint8_t c : tables::CreditLine) EXPECT_TRUE(c >= 0x20 && c < 0x7F);
}

TEST(PatternParameters, FixedSeedsAndCanvasSizes) {
  struct Case {
    uint32_t seed;
    int32_t width, height;
    int unit;
    double penX, penY;
    int32_t heading, turnRate, red, green, blue, redDrift, greenDrift, blueDrift;
  } cases[] = {
      {0, 640, 480, 30, 85.02079032361507, 163.32581606693566, 60, -2, 171, 81, 41, -1, -1, -1},
      // Its first triple is refused.
      {12345, 800, 600, 45, 157.87088382057846, 86.96025568060577, 180, 1, 8, 236, 249, -1, -1, 1},
      {86399999, 1024, 768, 72, 382.75915414094925, 160.9040637910366, 72, -4, 21, 217, 241, 1, 1, -1},
      {43200000, 152, 112, 45, 35.26782684866339, 35.568721496500075, 90, -1, 179, 129, 40, -1, 1, -1},
      {777, 1020, 17, 45, 301.8756207881961, 3.1101471746806055, 270, -5, 107, 105, 173, 1, -1, -1},
      // Draws 85, 85, 86 first (sum 256: refused), then 126, 233, 252.
      {3530857208u, 640, 480, -1, -1, -1, -1, -1, 126, 233, 252, 0, 0, 0},
      // Draws 85, 86, 86 (sum 257: taken).
      {1365136938u, 640, 480, -1, -1, -1, -1, -1, 85, 86, 86, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.seed);
    UseCanvas(c.width, c.height);
    RandomState = c.seed;
    ChoosePatternParameters();
    EXPECT_EQ(RedWeight, c.red);
    EXPECT_EQ(GreenWeight, c.green);
    EXPECT_EQ(BlueWeight, c.blue);
    if (c.unit < 0) continue;
    EXPECT_EQ(AngleUnit, c.unit);
    EXPECT_EQ(PenX, c.penX);
    EXPECT_EQ(PenY, c.penY);
    EXPECT_EQ(Heading, c.heading);
    EXPECT_EQ(TurnRate, c.turnRate);
    EXPECT_EQ(RedDrift, c.redDrift);
    EXPECT_EQ(GreenDrift, c.greenDrift);
    EXPECT_EQ(BlueDrift, c.blueDrift);
    EXPECT_EQ(RedTable[255 - 32], 63 * c.red / 64);
  }
}

TEST(PatternParameters, EverySeedGivesAHeadingOnTheGridAndAPenInTheUpperLeft) {
  UseCanvas(1020, 700);
  for (uint32_t seed = 0; seed < 86400000u; seed += 86399) {
    RandomState = seed;
    ChoosePatternParameters();
    ASSERT_EQ(360 % AngleUnit, 0);
    ASSERT_EQ(Heading % AngleUnit, 0) << seed;
    ASSERT_TRUE(Heading >= 0 && Heading < 360);
    ASSERT_TRUE(TurnRate >= -5 && TurnRate <= 5);
    ASSERT_TRUE(PenX >= 127.5 && PenX < 382.5) << seed;
    ASSERT_TRUE(PenY >= 87.5 && PenY < 262.5) << seed;
    ASSERT_GT(RedWeight + GreenWeight + BlueWeight, 256);
    ASSERT_TRUE(RedDrift == 1 || RedDrift == -1);
    for (int level = 32; level <= 96; ++level) ASSERT_EQ(RedTable[level - 32] | GreenTable[level - 32], 0);
  }
}

TEST(Palette, WeightsBeyondTheRampLimitAt255) {
  BuildPalette(288, 64, 255);
  for (int level = 32; level <= 255; ++level) {
    int intensity = tables::ShadeRamp[level - 32];
    EXPECT_EQ(RedTable[level - 32], intensity >= 57 ? 255 : intensity * 288 / 64) << level;
    EXPECT_EQ(GreenTable[level - 32], intensity) << level;
  }
  EXPECT_EQ(RedTable[199 - 32], 252);  // intensity 56
  EXPECT_EQ(RedTable[200 - 32], 255);  // intensity 57
  EXPECT_EQ(BlueTable[255 - 32], 251);
}

TEST(DriftWeight, BouncesAtTheBoundsAndTurnsBackAtRandom) {
  struct Case {
    int32_t weight, drift;
    uint32_t state;
    int32_t expectedWeight, expectedDrift;
    bool drawsRandom;
  } cases[] = {
      {288, 1, 0, 288, -1, false},   // 289: held, turned, no draw
      {64, -1, 0, 64, 1, false},     // 63
      {0, 1, 0, 64, -1, false},      // 1: below, so its drift turns too
      {0, -1, 0, 64, 1, false},
      {287, 1, 0, 288, -1, true},    // in range; next state 1 draws 0: turns back
      {287, 1, 1, 288, 1, true},     // next state 134775814 draws 2: keeps on
      {100, -1, 0, 99, 1, true},
      {100, -1, 1, 99, -1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.weight);
    RandomState = c.state;
    int32_t weight = c.weight, drift = c.drift;
    DriftWeight(&weight, &drift);
    EXPECT_EQ(weight, c.expectedWeight);
    EXPECT_EQ(drift, c.expectedDrift);
    EXPECT_EQ(RandomState != c.state, c.drawsRandom);
  }
  int32_t weight = 288, drift = 1;
  DriftWeight(&weight, &drift);
  DriftWeight(&weight, &drift);
  EXPECT_EQ(weight, 287);
}

// The reflection loop as first written, which ends for limits of 1 or more.
int32_t ReflectByLoop(int32_t v, int32_t limit) {
  do {
    if (v < 0) v = -v;
    if (v > limit) v = 2 * limit - v;
  } while (v < 0 || v > limit);
  return v;
}

TEST(FoldIntoRange, ReflectsBackAndForthBetweenZeroAndTheLimit) {
  struct Case {
    int32_t v, limit, expected;
  } cases[] = {
      {-5, 100, 5},  {130, 100, 70},   {250, 100, 50},  {0, 100, 0},     {100, 100, 100},
      {-250, 100, 50}, {201, 100, 1},  {400, 100, 0},   {5, 1, 1},       {-2147483647 - 1, 1007, 244},
      {2147483647, 1007, 245},
  };
  for (const Case& c : cases) EXPECT_EQ(FoldIntoRange(c.v, c.limit), c.expected) << c.v << " " << c.limit;
  for (int32_t limit = 1; limit <= 7; ++limit)
    for (int32_t v = -60; v <= 60; ++v) ASSERT_EQ(FoldIntoRange(v, limit), ReflectByLoop(v, limit)) << v;
}

TEST(FoldIntoRange, NoRoomGivesZero) {
  for (int32_t limit : {0, -1, -16})
    for (int32_t v : {-40, -1, 0, 1, 3, 40}) EXPECT_EQ(FoldIntoRange(v, limit), 0);
}

// Pen (100, 50) on 640 x 480, heading 90, no grid landing on this step.
void PrepareStampExample(uint8_t unit = 45) {
  UseCanvas(640, 480);
  AngleUnit = unit;
  PenX = 100;
  PenY = 50;
  Heading = 90;
  TurnRate = 1;
  RedWeight = 99;
  GreenWeight = 200;
  BlueWeight = 288;
  RedDrift = GreenDrift = BlueDrift = 1;
  RandomState = 1;  // the drift draws that follow do not turn back
}

TEST(PatternStep, StampsThe640x480ExampleToThePixel) {
  for (uint8_t mono : {1, 0}) {
    SCOPED_TRACE(mono);
    PrepareStampExample();
    Image image(640, 480);
    PatternStep(image.target(), mono);
    std::vector<Stamp> stamps = StampsOf(image);
    ASSERT_EQ(image.pixelCalls.size(), 8u * DrawnPixels);
    struct {
      int32_t x, y;
    } expected[] = {{100, 50}, {523, 50}, {523, 413}, {100, 413}, {550, 75}, {73, 75}, {73, 388}, {550, 388}};
    ASSERT_EQ(image.balls.size(), 8u);
    for (int i = 0; i < 8; ++i) {
      EXPECT_EQ(stamps[i].x, expected[i].x) << i;
      EXPECT_EQ(stamps[i].y, expected[i].y) << i;
      // The target hears of each ball just before its pixels.
      EXPECT_EQ(image.balls[i].left, expected[i].x) << i;
      EXPECT_EQ(image.balls[i].top, expected[i].y) << i;
      EXPECT_EQ(image.balls[i].pixelsBefore, size_t(i) * DrawnPixels) << i;
    }
    // Each ball pixel for pixel, row after row.
    size_t call = 0;
    for (const Stamp& stamp : stamps)
      for (int r = 0; r < tables::BlobSize; ++r)
        for (int c = 0; c < tables::BlobSize; ++c) {
          if (tables::BlobSprite[r * tables::BlobSize + c] <= tables::TransparentLimit) continue;
          ASSERT_EQ(image.pixelCalls[call].x, stamp.x + c);
          ASSERT_EQ(image.pixelCalls[call].y, stamp.y + r);
          ++call;
        }
    // Weights after drift: 100, 201, 288; complements 251, 150, 63.
    uint32_t normal = 98 | (201 * 63 / 64) << 8 | 255u << 16;
    uint32_t complement = 247 | (150 * 63 / 64) << 8 | 62u << 16;
    for (int i = 0; i < 8; ++i) EXPECT_EQ(stamps[i].brightest, i < 4 || mono ? normal : complement) << i;
    // The pen moved 6 to the right, the heading turned by 1.
    EXPECT_EQ(PenX, 106.0);
    EXPECT_EQ(PenY, 50.0);
    EXPECT_EQ(Heading, 91);
  }
}

TEST(PatternStep, CreditLineBeforeTheBallsAtTheBottomCentre) {
  struct Case {
    int32_t canvasWidth, textWidth, expectedX;
  } cases[] = {{640, 150, 245}, {640, 151, 244}, {152, 160, -4}, {152, 161, -4}};
  for (const Case& c : cases) {
    PrepareStampExample();
    UseCanvas(c.canvasWidth, 480);
    Image image(c.canvasWidth, 480);
    image.textWidth = c.textWidth;
    PatternStep(image.target(), 1);
    ASSERT_EQ(image.textCalls.size(), 1u);
    EXPECT_EQ(image.textCalls[0].x, c.expectedX) << c.textWidth;
    EXPECT_EQ(image.textCalls[0].y, 480 - 16);
    EXPECT_EQ(image.textCalls[0].colour, 0xFFFFFFu);
    EXPECT_EQ(image.textCalls[0].length, 21);
  }
  EXPECT_EQ(CreditLeft(150), (CanvasWidth - 150) / 2);
}

TEST(PatternStep, CreditLineWhereMeasuringFails) {
  PrepareStampExample();
  RandomState = 7;
  ChoosePatternParameters();
  UseCanvas(640, 480);
  Image image(640, 480);
  image.measureFails = true;
  PatternStep(image.target(), 1);  // nothing measured yet: the left edge
  image.measureFails = false;
  image.textWidth = 100;
  PatternStep(image.target(), 1);
  image.measureFails = true;
  PatternStep(image.target(), 1);  // where the last measured one was
  ASSERT_EQ(image.textCalls.size(), 3u);
  EXPECT_EQ(image.textCalls[0].x, 0);
  EXPECT_EQ(image.textCalls[1].x, 270);
  EXPECT_EQ(image.textCalls[2].x, 270);
}

TEST(PatternStep, PenMovesOnTheEllipseAndTurnsRoundTheCircle) {
  struct Case {
    int32_t heading, turnRate;
    uint8_t unit;
    double dx, dy;
    int32_t nextHeading;
  } cases[] = {
      {0, 3, 45, 0, 4.5, 3},
      {90, -3, 45, 6, 0, 87},
      {180, 2, 45, 0, -4.5, 182},
      {270, 5, 72, -6, 0, 275},
      {358, 5, 72, 0, 0, 3},   // wraps past 360
      {2, -5, 72, 0, 0, 357},  // wraps below 0
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.heading);
    PrepareStampExample(c.unit);
    Heading = c.heading;
    TurnRate = c.turnRate;
    Image image(640, 480);
    PatternStep(image.target(), 1);
    if (c.dx != 0 || c.dy != 0) {
      EXPECT_NEAR(PenX - 100, c.dx, 1e-12);
      EXPECT_NEAR(PenY - 50, c.dy, 1e-12);
    }
    EXPECT_EQ(Heading, c.nextHeading);
  }
}

// Heading 67 turning by 5 with unit 72. The drifts of red and green draw
// once each (blue is at its bound); landing on the grid then draws a coin,
// and on 0 the turn rate and then the heading.
TEST(PatternStep, GridLandingTakesACoinThenTurnRateThenHeading) {
  struct Case {
    int32_t heading;
    uint32_t state;
    int32_t expectedHeading, expectedTurnRate;
    uint32_t stateAfter;
  } cases[] = {
      {67, 1, 216, -2, 2884733762u},  // coin 0: turn rate 3 - 5, heading 3 x 72 (the other order gives 2, 72)
      {67, 2, 72, 5, 2336949529u},    // coin 1: the course is kept, the coin drawn all the same
      {60, 1, 65, 5, 3698175007u},    // off the grid: the two drift draws only
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.state * 1000 + c.heading);
    PrepareStampExample(72);
    Heading = c.heading;
    TurnRate = 5;
    RandomState = c.state;
    Image image(640, 480);
    PatternStep(image.target(), 1);
    EXPECT_EQ(Heading, c.expectedHeading);
    EXPECT_EQ(TurnRate, c.expectedTurnRate);
    EXPECT_EQ(RandomState, c.stateAfter);
  }
}

TEST(PatternStep, TinyCanvasesEndAndStampAtTheEdge) {
  struct Case {
    int32_t width, height;
  } cases[] = {{17, 17}, {10, 12}, {1, 1}, {17, 200}, {200, 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width * 1000 + c.height);
    UseCanvas(c.width, c.height);
    RandomState = 99;
    ChoosePatternParameters();
    Image image(c.width, c.height);
    for (int step = 0; step < 200; ++step) {
      image.pixelCalls.clear();
      PatternStep(image.target(), 0);
      std::vector<Stamp> stamps = StampsOf(image);
      ASSERT_EQ(stamps.size(), 8u);
      if (MaxX < 1) {
        EXPECT_EQ(stamps[0].x, 0);
        EXPECT_EQ(stamps[1].x, MaxX);
      }
      if (MaxY < 1) {
        EXPECT_EQ(stamps[0].y, 0);
        EXPECT_EQ(stamps[2].y, MaxY);
      }
    }
  }
}

TEST(PatternStep, NextStepStartsFromTheNormalPaletteAgain) {
  PrepareStampExample();
  Image image(640, 480);
  PatternStep(image.target(), 0);
  image.pixelCalls.clear();
  PatternStep(image.target(), 0);
  std::vector<Stamp> stamps = StampsOf(image);
  // Weights now 101 (drift kept) or 99 (turned back); the first ball is not the complement.
  EXPECT_EQ(imagetarget::Red(stamps[0].brightest), uint32_t(63 * RedWeight / 64));
  EXPECT_EQ(imagetarget::Red(stamps[4].brightest), uint32_t(63 * (351 - RedWeight) / 64));
}

}  // namespace
