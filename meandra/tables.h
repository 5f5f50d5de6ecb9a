// The renderer's constant tables: the heading grids, the shade ramp, the
// shaded ball and the credit line.
#pragma once
#include <stdint.h>

namespace tables {

constexpr int AngleUnitCount = 5;
// Heading grid units in degrees; each divides 360.
extern const uint8_t AngleUnits[AngleUnitCount];

// Shade levels 32..255; the ramp's entry of level s stands at s - FirstShadeLevel.
constexpr int FirstShadeLevel = 32;
constexpr int LastShadeLevel = 255;
constexpr int ShadeLevelCount = LastShadeLevel - FirstShadeLevel + 1;
// Intensity 0..63 of each shade level.
extern const uint8_t ShadeRamp[ShadeLevelCount];

// The ball: BlobSize rows of BlobSize shade levels, row after row; a value of
// TransparentLimit or less is not drawn.
constexpr int BlobSize = 17;
constexpr uint8_t TransparentLimit = 16;
extern const uint8_t BlobSprite[BlobSize * BlobSize];

// Measured and drawn by its length; no terminator is relied on.
constexpr int CreditLength = 21;
extern const char CreditLine[CreditLength];

}  // namespace tables
