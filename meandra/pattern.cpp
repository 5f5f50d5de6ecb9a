#include "meandra/pattern.h"

#include "meandra/fpmath.h"
#include "meandra/random.h"

namespace pattern {

int32_t CanvasWidth;
int32_t CanvasHeight;
int32_t MaxX;
int32_t MaxY;

uint8_t AngleUnit;
double PenX;
double PenY;
int32_t Heading;
int32_t TurnRate;
int32_t RedWeight;
int32_t GreenWeight;
int32_t BlueWeight;
int32_t RedDrift;
int32_t GreenDrift;
int32_t BlueDrift;

uint8_t RedTable[tables::ShadeLevelCount];
uint8_t GreenTable[tables::ShadeLevelCount];
uint8_t BlueTable[tables::ShadeLevelCount];

int32_t StampX;
int32_t StampY;
int32_t CreditX;

namespace {

using randomness::RandomBelow;
using randomness::RandomFraction;

constexpr int32_t FullCircle = 360;
constexpr int32_t MaxTurn = 5;
constexpr uint32_t WeightRange = 256;
constexpr int32_t MinWeightSum = 257;
constexpr uint32_t TurnBackChance = 64;  // 1 in this many steps
constexpr int32_t IntensityScale = 64;
constexpr int32_t ChannelMax = 255;
constexpr double StepAcross = 6.0;
constexpr double StepDown = 4.5;

uint8_t Channel(int32_t intensity, int32_t weight) {
  int32_t value = intensity * weight / IntensityScale;
  return static_cast<uint8_t>(value < ChannelMax ? value : ChannelMax);
}

int32_t RandomDrift() { return static_cast<int32_t>(RandomBelow(2)) * 2 - 1; }

int32_t RandomTurnRate() { return static_cast<int32_t>(RandomBelow(2 * MaxTurn + 1)) - MaxTurn; }

int32_t RandomGridHeading() { return static_cast<int32_t>(RandomBelow(FullCircle / AngleUnit)) * AngleUnit; }

// The ball at (x, y) and its images in the vertical and horizontal centre
// lines, in the order of covering: (x, y), (MaxX - x, y), (MaxX - x, MaxY - y),
// (x, MaxY - y). Leaves StampX = x, StampY = MaxY - y.
void StampFourfold(const PixelTarget& target, int32_t x, int32_t y) {
  StampX = x;
  StampY = y;
  StampBlob(target);
  StampX = MaxX - StampX;
  StampBlob(target);
  StampY = MaxY - StampY;
  StampBlob(target);
  StampX = MaxX - StampX;
  StampBlob(target);
}

void DrawCredit(const PixelTarget& target) {
  int32_t width = 0;
  if (target.measureText(target.context, tables::CreditLine, tables::CreditLength, &width))
    CreditX = CreditLeft(width);
  target.drawText(target.context, CreditX, CanvasHeight - CreditRise, tables::CreditLine, tables::CreditLength,
                  CreditColour);
}

void MovePen() {
  PenX = PenX + StepAcross * fpmath::SinDegrees(Heading);
  PenY = PenY + StepDown * fpmath::CosDegrees(Heading);
}

void TurnPen() {
  Heading = Heading + TurnRate;
  if (Heading >= FullCircle) Heading -= FullCircle;
  if (Heading < 0) Heading += FullCircle;
  if (Heading % AngleUnit == 0 && RandomBelow(2) == 0) {
    TurnRate = RandomTurnRate();
    Heading = RandomGridHeading();
  }
}

}  // namespace

void SetDrawingLimits() {
  MaxX = CanvasWidth - tables::BlobSize;
  MaxY = CanvasHeight - tables::BlobSize;
}

void ChoosePatternParameters() {
  AngleUnit = tables::AngleUnits[RandomBelow(tables::AngleUnitCount)];
  double r = RandomFraction();
  PenX = r * CanvasWidth / 4.0 + CanvasWidth / 8.0;
  r = RandomFraction();
  PenY = r * CanvasHeight / 4.0 + CanvasHeight / 8.0;
  Heading = RandomGridHeading();
  TurnRate = RandomTurnRate();
  do {
    RedWeight = static_cast<int32_t>(RandomBelow(WeightRange));
    GreenWeight = static_cast<int32_t>(RandomBelow(WeightRange));
    BlueWeight = static_cast<int32_t>(RandomBelow(WeightRange));
  } while (RedWeight + GreenWeight + BlueWeight < MinWeightSum);
  RedDrift = RandomDrift();
  GreenDrift = RandomDrift();
  BlueDrift = RandomDrift();
  CreditX = 0;
  BuildPalette(RedWeight, GreenWeight, BlueWeight);
}

void BuildPalette(int32_t redWeight, int32_t greenWeight, int32_t blueWeight) {
  for (int i = 0; i < tables::ShadeLevelCount; ++i) {
    int32_t intensity = tables::ShadeRamp[i];
    RedTable[i] = Channel(intensity, redWeight);
    GreenTable[i] = Channel(intensity, greenWeight);
    BlueTable[i] = Channel(intensity, blueWeight);
  }
}

void DriftWeight(int32_t* weight, int32_t* drift) {
  int32_t w = *weight + *drift;
  if (w < MinWeight || w > MaxWeight) {
    *drift = -*drift;
  } else if (RandomBelow(TurnBackChance) == 0) {
    *drift = -*drift;
  }
  if (w < MinWeight) w = MinWeight;
  if (w > MaxWeight) w = MaxWeight;
  *weight = w;
}

int32_t FoldIntoRange(int32_t v, int32_t limit) {
  if (limit < 1) return 0;
  // The reflections repeat every 2 * limit; 64 bits keep -v and the period
  // from overflowing.
  int64_t period = 2 * static_cast<int64_t>(limit);
  int64_t magnitude = v < 0 ? -static_cast<int64_t>(v) : v;
  int64_t m = magnitude % period;
  return static_cast<int32_t>(m > limit ? period - m : m);
}

void StampBlob(const PixelTarget& target) {
  if (target.ballStamped != nullptr) target.ballStamped(target.context, StampX, StampY);
  const uint8_t* shade = tables::BlobSprite;
  for (int32_t row = 0; row < tables::BlobSize; ++row) {
    for (int32_t column = 0; column < tables::BlobSize; ++column, ++shade) {
      if (*shade <= tables::TransparentLimit) continue;
      int i = *shade - tables::FirstShadeLevel;
      uint32_t colour = RedTable[i] | (GreenTable[i] << 8) | (static_cast<uint32_t>(BlueTable[i]) << 16);
      target.setPixel(target.context, StampX + column, StampY + row, colour);
    }
  }
}

int32_t CreditLeft(int32_t measuredWidth) { return (CanvasWidth - measuredWidth) / 2; }

void PatternStep(const PixelTarget& target, uint8_t monoColours) {
  DriftWeight(&RedWeight, &RedDrift);
  DriftWeight(&GreenWeight, &GreenDrift);
  DriftWeight(&BlueWeight, &BlueDrift);
  BuildPalette(RedWeight, GreenWeight, BlueWeight);

  int32_t x0 = FoldIntoRange(fpmath::RoundHalfEven(PenX), MaxX);
  int32_t y0 = FoldIntoRange(fpmath::RoundHalfEven(PenY), MaxY);
  DrawCredit(target);
  StampFourfold(target, x0, y0);

  if (!monoColours)
    BuildPalette(ComplementBase - RedWeight, ComplementBase - GreenWeight, ComplementBase - BlueWeight);
  // The diagonal image, x and y swapped and scaled for a 4:3 frame; not folded.
  int32_t x1 = 4 * StampY / 3;
  int32_t y1 = 3 * StampX / 4;
  StampFourfold(target, x1, y1);

  MovePen();
  TurnPen();
}

}  // namespace pattern
