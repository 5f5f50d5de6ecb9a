// The pattern of the golden test, shared by the host and the Win32 tests so
// that both check the saver's arithmetic against one stored image: a fixed
// seed on a small canvas in two-tone mode over the cover picture, stored as
// a binary PPM whose header comment also holds the pen's final position bit
// for bit. Set MEANDRA_REGENERATE_GOLDEN=1 to write it anew, on purpose only.
#pragma once
#include <stdint.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "meandra/pattern.h"
#include "meandra/random.h"
#include "tests/support/imagetarget.h"

namespace goldenpattern {

constexpr int32_t Width = 160;
constexpr int32_t Height = 120;
constexpr uint32_t Seed = 49152321;  // 13:39:12.321 UTC
constexpr int Steps = 150;
constexpr uint8_t MonoColours = 0;
constexpr const char* FileName = "/tests/host/data/pattern-160x120-twotone.ppm";

inline imagetarget::Image Run() {
  imagetarget::Image image(Width, Height);
  for (int32_t y = 0; y < Height; ++y)
    for (int32_t x = 0; x < Width; ++x) image.put(x, y, imagetarget::CoverColour(x, y));
  pattern::CanvasWidth = Width;
  pattern::CanvasHeight = Height;
  randomness::RandomState = Seed;
  pattern::ChoosePatternParameters();
  pattern::SetDrawingLimits();
  for (int step = 0; step < Steps; ++step) pattern::PatternStep(image.target(), MonoColours);
  image.pixelCalls.clear();
  return image;
}

struct Stored {
  std::vector<uint32_t> pixels;
  double penX = 0, penY = 0;
  bool ok = false;
};

inline std::string PenLine(double penX, double penY) {
  char line[128];
  std::snprintf(line, sizeof line, "# pen %a %a\n", penX, penY);
  return line;
}

inline bool Write(const std::string& path, const imagetarget::Image& image, double penX, double penY) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  std::fprintf(file, "P6\n%s%d %d\n255\n", PenLine(penX, penY).c_str(), image.width, image.height);
  for (uint32_t pixel : image.pixels) {
    unsigned char rgb[3] = {uint8_t(imagetarget::Red(pixel)), uint8_t(imagetarget::Green(pixel)),
                            uint8_t(imagetarget::Blue(pixel))};
    std::fwrite(rgb, 1, 3, file);
  }
  return std::fclose(file) == 0;
}

inline Stored Read(const std::string& path) {
  Stored stored;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return stored;
  char penX[64], penY[64];
  int width = 0, height = 0;
  if (std::fscanf(file, "P6\n# pen %63s %63s\n%d %d\n255", penX, penY, &width, &height) == 4 &&
      std::fgetc(file) == '\n' && width == Width && height == Height) {
    stored.penX = std::strtod(penX, nullptr);
    stored.penY = std::strtod(penY, nullptr);
    stored.pixels.resize(size_t(width) * height);
    unsigned char rgb[3];
    stored.ok = true;
    for (uint32_t& pixel : stored.pixels) {
      if (std::fread(rgb, 1, 3, file) != 3) stored.ok = false;
      pixel = rgb[0] | rgb[1] << 8 | uint32_t(rgb[2]) << 16;
    }
  }
  std::fclose(file);
  return stored;
}

inline bool Regenerating() {
  const char* flag = std::getenv("MEANDRA_REGENERATE_GOLDEN");
  return flag && *flag && std::string(flag) != "0";
}

}  // namespace goldenpattern
