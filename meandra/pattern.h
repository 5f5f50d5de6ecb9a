// The pattern: its parameters chosen per saver window, the palette, and the
// drawing step that stamps the shaded ball eightfold and moves the pen.
// Everything here is plain arithmetic over the globals below; the step
// writes pixels and text only through a PixelTarget.
#pragma once
#include <stdint.h>

#include "meandra/tables.h"

namespace pattern {

// Where the step draws. The colour is 0x00BBGGRR (red in the lowest byte).
// Pixels and text outside the target are the target's to clip.
struct PixelTarget {
  void* context;
  void (*setPixel)(void* context, int32_t x, int32_t y, uint32_t colour);
  // Width of the text in pixels; false when it cannot be measured.
  bool (*measureText)(void* context, const char* text, int32_t length, int32_t* width);
  // Draws the text with its top-left corner at (x, y), background transparent.
  void (*drawText)(void* context, int32_t x, int32_t y, const char* text, int32_t length, uint32_t colour);
  // Told of each ball's top-left corner before its pixels are set, for a
  // target that keeps track of what changed; may be null.
  void (*ballStamped)(void* context, int32_t left, int32_t top);
};

// The drawing area and the largest top-left corner at which the ball still
// lies wholly inside it (CanvasWidth - BlobSize, CanvasHeight - BlobSize).
extern int32_t CanvasWidth;
extern int32_t CanvasHeight;
extern int32_t MaxX;
extern int32_t MaxY;

// Chosen once per window by ChoosePatternParameters, then evolved by
// PatternStep (all but AngleUnit).
extern uint8_t AngleUnit;
extern double PenX;
extern double PenY;
extern int32_t Heading;
extern int32_t TurnRate;
extern int32_t RedWeight;
extern int32_t GreenWeight;
extern int32_t BlueWeight;
extern int32_t RedDrift;
extern int32_t GreenDrift;
extern int32_t BlueDrift;

// The palette, entry s - FirstShadeLevel for shade level s.
extern uint8_t RedTable[tables::ShadeLevelCount];
extern uint8_t GreenTable[tables::ShadeLevelCount];
extern uint8_t BlueTable[tables::ShadeLevelCount];

// Top-left pixel of the ball being stamped; scratch of each step.
extern int32_t StampX;
extern int32_t StampY;
// Left edge of the credit line: the last width measured gives it. A step
// whose measuring fails draws it where the last successful one did, and at
// the left edge (0) when none has succeeded since the parameters were chosen.
extern int32_t CreditX;

constexpr int32_t MinWeight = 64;
constexpr int32_t MaxWeight = 288;
constexpr int32_t ComplementBase = 351;
constexpr int32_t CreditRise = 16;  // the credit line's top, above the bottom edge
constexpr uint32_t CreditColour = 0x00FFFFFF;

// MaxX and MaxY from the canvas size.
void SetDrawingLimits();

// Grid unit, pen start, heading, turn rate, weights and drifts from the
// random generator, for the canvas size set; then the first palette.
void ChoosePatternParameters();

// Every entry: the ramp's intensity times the weight div 64, at most 255.
void BuildPalette(int32_t redWeight, int32_t greenWeight, int32_t blueWeight);

// Moves the weight one step, bouncing at 64..288 and turning back at random.
void DriftWeight(int32_t* weight, int32_t* drift);

// Reflects v back and forth into 0..limit; 0 when limit is below 1, where
// there is no room to reflect in.
int32_t FoldIntoRange(int32_t v, int32_t limit);

// Draws the ball with its top-left corner at (StampX, StampY) in the palette.
void StampBlob(const PixelTarget& target);

// One step: drift, palette, credit line, eight balls, pen move and turn.
// monoColours 0 gives the diagonal images the complement colour.
void PatternStep(const PixelTarget& target, uint8_t monoColours);

// The credit line's left edge for a measured width.
int32_t CreditLeft(int32_t measuredWidth);

}  // namespace pattern
