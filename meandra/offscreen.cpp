#include "meandra/offscreen.h"

namespace offscreen {

HBITMAP ImageBitmap;
uint32_t* ImagePixels;
uint16_t* HighColourPixels;
int32_t ImageWidth;
int32_t ImageHeight;
HDC ImageDC;
HRGN RepaintRegion;
dirtyrects::RectList Changed;
int32_t TextWidth;
int32_t TextHeight;

namespace {

HGDIOBJ PreviousImageObject;

// A DIB header with the three colour masks of a BI_BITFIELDS image after it.
struct MaskedBitmapInfo {
  BITMAPINFOHEADER header;
  DWORD masks[3];
};

constexpr DWORD HighColourMasks[3] = {0xF800, 0x07E0, 0x001F};

uint32_t ImagePixel(uint32_t colour) {
  return (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
}

void SetImagePixel(void*, int32_t x, int32_t y, uint32_t colour) {
  if (static_cast<uint32_t>(x) >= static_cast<uint32_t>(ImageWidth) ||
      static_cast<uint32_t>(y) >= static_cast<uint32_t>(ImageHeight))
    return;
  if (ImagePixels != nullptr) ImagePixels[y * ImageWidth + x] = ImagePixel(colour);
  else HighColourPixels[y * ImageWidth + x] = drawingpath::HighColourPixel(colour);
}

bool MeasureImageText(void*, const char* text, int32_t length, int32_t* width) {
  SIZE size;
  if (!GetTextExtentPoint32A(ImageDC, text, length, &size)) return false;
  TextWidth = size.cx;
  TextHeight = size.cy;
  *width = size.cx;
  return true;
}

void DrawImageText(void*, int32_t x, int32_t y, const char* text, int32_t length, uint32_t colour) {
  SetBkMode(ImageDC, TRANSPARENT);
  SetTextColor(ImageDC, colour);
  TextOutA(ImageDC, x, y, text, length);
  // The text must be in the image before the balls' pixels go over it.
  GdiFlush();
  if (TextHeight > 0) {
    // Glyphs may overhang their cells a little; a text height either side
    // is far more than any font's overhang.
    dirtyrects::Add(Changed, {x - TextHeight, y, x + TextWidth + TextHeight, y + TextHeight}, ImageWidth,
                    ImageHeight);
  } else {
    dirtyrects::Add(Changed, {0, y, ImageWidth, ImageHeight}, ImageWidth, ImageHeight);
  }
}

void NoteBall(void*, int32_t left, int32_t top) {
  dirtyrects::Add(Changed, {left, top, left + tables::BlobSize, top + tables::BlobSize}, ImageWidth, ImageHeight);
}

}  // namespace

int32_t ScreenBits(HDC screenDC) { return GetDeviceCaps(screenDC, BITSPIXEL) * GetDeviceCaps(screenDC, PLANES); }

HBITMAP CreateHighColourBitmap(HDC screenDC, int32_t width, int32_t height, void** bits) {
  MaskedBitmapInfo info = {};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = -height;  // top-down: row 0 first
  info.header.biPlanes = 1;
  info.header.biBitCount = 16;
  info.header.biCompression = BI_BITFIELDS;
  for (int i = 0; i < 3; ++i) info.masks[i] = HighColourMasks[i];
  *bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screenDC, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, bits, nullptr, 0);
  if (bitmap != nullptr && *bits == nullptr) {
    DeleteObject(bitmap);
    bitmap = nullptr;
  }
  return bitmap;
}

bool CreateImage(drawingpath::Path path, HDC screenDC, HDC canvasDC, int32_t width, int32_t height) {
  if (width <= 0 || height <= 0 || path == drawingpath::PerPixel) return false;
  void* bits = nullptr;
  if (path == drawingpath::HighColourImage) {
    ImageBitmap = CreateHighColourBitmap(screenDC, width, height, &bits);
  } else {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down: row 0 first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ImageBitmap = CreateDIBSection(screenDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  }
  ImageDC = CreateCompatibleDC(screenDC);
  RepaintRegion = CreateRectRgn(0, 0, 0, 0);
  if (ImageBitmap == nullptr || bits == nullptr || ImageDC == nullptr || RepaintRegion == nullptr) {
    FreeImage();
    return false;
  }
  if (path == drawingpath::HighColourImage) HighColourPixels = static_cast<uint16_t*>(bits);
  else ImagePixels = static_cast<uint32_t*>(bits);
  ImageWidth = width;
  ImageHeight = height;
  TextWidth = TextHeight = 0;
  dirtyrects::Clear(Changed);
  PreviousImageObject = SelectObject(ImageDC, ImageBitmap);
  BitBlt(ImageDC, 0, 0, width, height, canvasDC, 0, 0, SRCCOPY);
  GdiFlush();
  return true;
}

void FreeImage() {
  if (ImageDC != nullptr) {
    if (PreviousImageObject != nullptr) SelectObject(ImageDC, PreviousImageObject);
    DeleteDC(ImageDC);
  }
  if (ImageBitmap != nullptr) DeleteObject(ImageBitmap);
  if (RepaintRegion != nullptr) DeleteObject(RepaintRegion);
  ImageDC = nullptr;
  ImageBitmap = nullptr;
  RepaintRegion = nullptr;
  PreviousImageObject = nullptr;
  ImagePixels = nullptr;
  HighColourPixels = nullptr;
  ImageWidth = ImageHeight = 0;
  dirtyrects::Clear(Changed);
}

void NoteRepaint(HWND window) {
  if (ImageBitmap == nullptr) return;
  if (GetUpdateRgn(window, RepaintRegion, FALSE) == ERROR) SetRectRgn(RepaintRegion, 0, 0, ImageWidth, ImageHeight);
}

void PutBackCanvas(HDC canvasDC) {
  if (ImageBitmap == nullptr) return;
  SelectClipRgn(ImageDC, RepaintRegion);
  BitBlt(ImageDC, 0, 0, ImageWidth, ImageHeight, canvasDC, 0, 0, SRCCOPY);
  SelectClipRgn(ImageDC, nullptr);
  GdiFlush();
}

pattern::PixelTarget ImageTarget() {
  return pattern::PixelTarget{nullptr, SetImagePixel, MeasureImageText, DrawImageText, NoteBall};
}

void CopyChanged(HDC windowDC) {
  for (int i = 0; i < Changed.count; ++i) {
    const dirtyrects::Rect& r = Changed.rects[i];
    BitBlt(windowDC, r.left, r.top, r.right - r.left, r.bottom - r.top, ImageDC, r.left, r.top, SRCCOPY);
  }
  dirtyrects::Clear(Changed);
}

}  // namespace offscreen
