// The pattern model for the end-to-end tests: the saver's own pattern code
// (the same units, the same x87 arithmetic) drawn into memory, to find the
// seed and step count behind a screenshot of the running saver.
//   patternmodel search W H MONO FIRSTSEED LASTSEED MAXSTEPS SHOT.ppm X Y VW VH
//       prints "candidate SEED STEPS" for every seed and step count whose
//       last ball matches the canvas at (X, Y) of the screenshot exactly, in
//       the part VW x VH of the canvas that shows
//   patternmodel render W H MONO SEED STEPS OUT.ppm MASK.pgm
//       the pattern after STEPS steps, and a mask: 0 untouched, 1 ball,
//       2 under the credit text (whose letters are the platform's)
// The credit text is measured as the saver measures it, in the default font.
// With MEANDRA_DESKTOP_DEPTH=16 the balls' colours are cut as a high-colour
// screen cuts them: the top 5, 6 and 5 bits of red, green and blue are kept.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "meandra/fpucontrol.h"
#include "meandra/pattern.h"
#include "meandra/random.h"
#include "meandra/tables.h"
#include "tests/support/imagetarget.h"

namespace {

using imagetarget::Image;

constexpr uint32_t UnderText = 0x02000000;
constexpr uint32_t Ball = 0x01000000;
constexpr uint32_t Untouched = 0;
constexpr int DrawnPixels = 241;
constexpr uint32_t HighColourKept = 0xF8FCF8;  // 0x00BBGGRR

// The balls' colours as the screen keeps them.
uint32_t KeptBits = 0xFFFFFF;

struct Picture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;  // 0x00BBGGRR
};

bool ReadPpm(const char* path, Picture* picture) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  int maxValue = 0;
  bool ok = std::fscanf(file, "P6 %d %d %d", &picture->width, &picture->height, &maxValue) == 3 &&
            std::fgetc(file) != EOF && maxValue == 255;
  if (ok) {
    picture->pixels.resize(size_t(picture->width) * picture->height);
    unsigned char rgb[3];
    for (uint32_t& pixel : picture->pixels) {
      if (std::fread(rgb, 1, 3, file) != 3) ok = false;
      pixel = rgb[0] | rgb[1] << 8 | uint32_t(rgb[2]) << 16;
    }
  }
  std::fclose(file);
  return ok;
}

SIZE CreditSize() {
  HDC screen = GetDC(nullptr);
  SIZE size = {};
  GetTextExtentPoint32A(screen, tables::CreditLine, tables::CreditLength, &size);
  ReleaseDC(nullptr, screen);
  return size;
}

// Colours in `pixels`, what covers each pixel in the top byte.
void DrawText(void* context, int32_t x, int32_t y, const char*, int32_t, uint32_t) {
  Image& image = Image::Of(context);
  for (int32_t row = 0; row < image.textHeight; ++row)
    for (int32_t column = 0; column < image.textWidth; ++column) image.put(x + column, y + row, UnderText);
}

void SetPixel(void* context, int32_t x, int32_t y, uint32_t colour) {
  Image::SetPixel(context, x, y, (colour & KeptBits) | Ball);
}

struct Model {
  Image image;
  pattern::PixelTarget target;
  uint8_t mono;

  Model(int width, int height, uint8_t monoColours, uint32_t seed) : image(width, height, Untouched), mono(monoColours) {
    SIZE text = CreditSize();
    image.textWidth = text.cx;
    image.textHeight = text.cy;
    target = image.target();
    target.setPixel = SetPixel;
    target.drawText = DrawText;
    pattern::CanvasWidth = width;
    pattern::CanvasHeight = height;
    randomness::RandomState = seed;
    pattern::ChoosePatternParameters();
    pattern::SetDrawingLimits();
  }
  void Step() {
    image.pixelCalls.clear();
    pattern::PatternStep(target, mono);
  }
};

// Whether the step's last ball, which nothing covers, shows in the shot.
bool LastBallMatches(const Model& model, const Picture& shot, int originX, int originY, int visibleWidth,
                     int visibleHeight) {
  const std::vector<imagetarget::PixelCall>& calls = model.image.pixelCalls;
  int seen = 0;
  for (size_t i = calls.size() - DrawnPixels; i < calls.size(); ++i) {
    const imagetarget::PixelCall& call = calls[i];
    if (call.x < 0 || call.y < 0 || call.x >= visibleWidth || call.y >= visibleHeight) continue;
    int sx = originX + call.x, sy = originY + call.y;
    if (shot.pixels[size_t(sy) * shot.width + sx] != (call.colour & 0xFFFFFF)) return false;
    ++seen;
  }
  return seen > 0;
}

int Search(int width, int height, uint8_t mono, uint32_t firstSeed, uint32_t lastSeed, int maxSteps,
           const char* shotPath, int originX, int originY, int visibleWidth, int visibleHeight) {
  Picture shot;
  if (visibleWidth > width) visibleWidth = width;
  if (visibleHeight > height) visibleHeight = height;
  if (!ReadPpm(shotPath, &shot) || originX + visibleWidth > shot.width || originY + visibleHeight > shot.height) {
    std::fprintf(stderr, "cannot read %s\n", shotPath);
    return 1;
  }
  for (uint32_t seed = firstSeed; seed <= lastSeed; ++seed) {
    Model model(width, height, mono, seed);
    for (int steps = 1; steps <= maxSteps; ++steps) {
      model.Step();
      if (LastBallMatches(model, shot, originX, originY, visibleWidth, visibleHeight)) std::printf("candidate %u %d\n", seed, steps);
    }
  }
  return 0;
}

int Render(int width, int height, uint8_t mono, uint32_t seed, int steps, const char* outPath, const char* maskPath) {
  Model model(width, height, mono, seed);
  for (int step = 0; step < steps; ++step) model.Step();
  FILE* out = std::fopen(outPath, "wb");
  FILE* mask = std::fopen(maskPath, "wb");
  if (!out || !mask) return 1;
  std::fprintf(out, "P6\n%d %d\n255\n", width, height);
  std::fprintf(mask, "P5\n%d %d\n255\n", width, height);
  for (uint32_t pixel : model.image.pixels) {
    unsigned char rgb[3] = {uint8_t(pixel), uint8_t(pixel >> 8), uint8_t(pixel >> 16)};
    std::fwrite(rgb, 1, 3, out);
    std::fputc(int(pixel >> 24), mask);
  }
  std::fclose(out);
  std::fclose(mask);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  fpucontrol::UseDoublePrecision();
  char depth[8] = "";
  GetEnvironmentVariableA("MEANDRA_DESKTOP_DEPTH", depth, sizeof depth);
  if (std::string(depth) == "16") KeptBits = HighColourKept;
  if (argc == 13 && std::string(argv[1]) == "search")
    return Search(std::atoi(argv[2]), std::atoi(argv[3]), uint8_t(std::atoi(argv[4])),
                  uint32_t(std::strtoul(argv[5], nullptr, 10)), uint32_t(std::strtoul(argv[6], nullptr, 10)),
                  std::atoi(argv[7]), argv[8], std::atoi(argv[9]), std::atoi(argv[10]), std::atoi(argv[11]),
                  std::atoi(argv[12]));
  if (argc == 9 && std::string(argv[1]) == "render")
    return Render(std::atoi(argv[2]), std::atoi(argv[3]), uint8_t(std::atoi(argv[4])),
                  uint32_t(std::strtoul(argv[5], nullptr, 10)), std::atoi(argv[6]), argv[7], argv[8]);
  std::fprintf(stderr, "usage: patternmodel search|render ...\n");
  return 2;
}
