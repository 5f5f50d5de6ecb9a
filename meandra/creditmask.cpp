#include "meandra/creditmask.h"

namespace creditmask {

namespace {

constexpr uint32_t ColourBits = 0x00FFFFFF;
constexpr int32_t MinRow = -128;
constexpr int32_t MaxRow = 127;

bool Same(uint32_t a, uint32_t b) { return ((a ^ b) & ColourBits) == 0; }

int32_t Min(int32_t a, int32_t b) { return a < b ? a : b; }
int32_t Max(int32_t a, int32_t b) { return a > b ? a : b; }

void Refuse(Mask& mask) {
  mask.count = 0;
  mask.valid = false;
  mask.left = mask.top = mask.right = mask.bottom = 0;
}

bool OnEdge(int32_t x, int32_t y, int32_t width, int32_t height) {
  return x == 0 || y == 0 || x == width - 1 || y == height - 1;
}

}  // namespace

void Make(Mask& mask, const uint32_t* first, uint32_t firstBackground, const uint32_t* second,
          uint32_t secondBackground, uint32_t textValue, int32_t width, int32_t height, int32_t originX,
          int32_t originY) {
  Refuse(mask);
  // A background of the text's own colour would hide what the text set.
  if (Same(firstBackground, textValue) || Same(secondBackground, textValue)) return;
  int32_t left = width, top = height, right = 0, bottom = 0;
  for (int32_t y = 0; y < height; ++y) {
    int32_t runStart = -1;
    for (int32_t x = 0; x <= width; ++x) {  // x == width ends the row's last run
      bool set = false;
      if (x < width) {
        uint32_t a = first[y * width + x], b = second[y * width + x];
        set = Same(a, textValue) && Same(b, textValue);
        if (!set && !(Same(a, firstBackground) && Same(b, secondBackground))) return Refuse(mask);
        if (set && OnEdge(x, y, width, height)) return Refuse(mask);
      }
      if (set && runStart < 0) runStart = x;
      // A set pixel ends a run only when the run is full; it then starts the next.
      if (set ? x - runStart < MaxRunLength : runStart < 0) continue;
      if (mask.count == Capacity || y - originY < MinRow || y - originY > MaxRow) return Refuse(mask);
      mask.runs[mask.count++] = Run{static_cast<int16_t>(runStart - originX), static_cast<int8_t>(y - originY),
                                    static_cast<uint8_t>(x - runStart)};
      left = Min(left, runStart);
      right = Max(right, x);
      top = Min(top, y);
      bottom = Max(bottom, y + 1);
      runStart = set ? x : -1;
    }
  }
  mask.valid = true;
  if (mask.count == 0) return;
  mask.left = left - originX;
  mask.top = top - originY;
  mask.right = right - originX;
  mask.bottom = bottom - originY;
}

void Draw(const Mask& mask, uint32_t* pixels, int32_t width, int32_t height, int32_t x, int32_t y, uint32_t value) {
  for (int i = 0; i < mask.count; ++i) {
    const Run& run = mask.runs[i];
    int32_t row = y + run.dy;
    if (row < 0 || row >= height) continue;
    int32_t from = Max(x + run.dx, 0);
    int32_t to = Min(x + run.dx + run.length, width);
    uint32_t* line = pixels + row * width;
    for (int32_t column = from; column < to; ++column) line[column] = value;
  }
}

dirtyrects::Rect Box(const Mask& mask, int32_t x, int32_t y) {
  return dirtyrects::Rect{x + mask.left, y + mask.top, x + mask.right, y + mask.bottom};
}

}  // namespace creditmask
