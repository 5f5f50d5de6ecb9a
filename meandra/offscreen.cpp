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
creditmask::Mask CreditMask;
int32_t CreditLeft;
int32_t CreditTop;
bool CreditCovered;

namespace {

HGDIOBJ PreviousImageObject;

// A DIB header with the three colour masks of a BI_BITFIELDS image after it.
struct MaskedBitmapInfo {
  BITMAPINFOHEADER header;
  DWORD masks[3];
};

constexpr DWORD HighColourMasks[3] = {0xF800, 0x07E0, 0x001F};
// Two backgrounds that differ from white and from each other in every
// channel, for telling set pixels from blended ones.
constexpr uint32_t FirstMaskBackground = 0x00000000;
constexpr uint32_t SecondMaskBackground = 0x00603A9C;

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

bool IsCreditLine(const char* text, int32_t length) {
  return text == tables::CreditLine && length == tables::CreditLength;
}

bool MeasureText(HDC dc, const char* text, int32_t length) {
  SIZE size;
  if (!GetTextExtentPoint32A(dc, text, length, &size)) return false;
  TextWidth = size.cx;
  TextHeight = size.cy;
  return true;
}

// With a mask the width is the one measured when it was made: the same
// text in the same font.
bool MeasureImageText(void*, const char* text, int32_t length, int32_t* width) {
  if (!(CreditMask.valid && IsCreditLine(text, length)) && !MeasureText(ImageDC, text, length)) return false;
  *width = TextWidth;
  return true;
}

// Drawing the mask again changes pixels only where something went over it
// since; only then does its box need copying to the window.
void DrawCreditFromMask(int32_t x, int32_t y, uint32_t colour) {
  creditmask::Draw(CreditMask, ImagePixels, ImageWidth, ImageHeight, x, y, ImagePixel(colour));
  if (CreditCovered || x != CreditLeft || y != CreditTop)
    dirtyrects::Add(Changed, creditmask::Box(CreditMask, x, y), ImageWidth, ImageHeight);
  CreditLeft = x;
  CreditTop = y;
  CreditCovered = false;
}

void DrawImageText(void*, int32_t x, int32_t y, const char* text, int32_t length, uint32_t colour) {
  if (CreditMask.valid && IsCreditLine(text, length)) return DrawCreditFromMask(x, y, colour);
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
  dirtyrects::Rect ball = {left, top, left + tables::BlobSize, top + tables::BlobSize};
  if (dirtyrects::Overlap(ball, creditmask::Box(CreditMask, CreditLeft, CreditTop))) CreditCovered = true;
  dirtyrects::Add(Changed, ball, ImageWidth, ImageHeight);
}

// A top-down section of width x height with bitCount bits a pixel, their
// colour masks given when masks is not null; null when it cannot be made.
HBITMAP CreateTopDownSection(HDC dc, int32_t width, int32_t height, WORD bitCount, const DWORD* masks,
                             void** bits) {
  MaskedBitmapInfo info = {};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = -height;  // top-down: row 0 first
  info.header.biPlanes = 1;
  info.header.biBitCount = bitCount;
  info.header.biCompression = masks != nullptr ? BI_BITFIELDS : BI_RGB;
  if (masks != nullptr)
    for (int i = 0; i < 3; ++i) info.masks[i] = masks[i];
  *bits = nullptr;
  HBITMAP section = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, bits, nullptr, 0);
  if (section != nullptr && *bits == nullptr) {
    DeleteObject(section);
    section = nullptr;
  }
  return section;
}

// A 32-bit top-down section of width x height; null when it cannot be made.
HBITMAP CreateTrueColourSection(HDC dc, int32_t width, int32_t height, uint32_t** pixels) {
  void* bits = nullptr;
  HBITMAP section = CreateTopDownSection(dc, width, height, 32, nullptr, &bits);
  *pixels = static_cast<uint32_t*>(bits);
  return section;
}

void Fill(uint32_t* pixels, int32_t count, uint32_t value) {
  for (int32_t i = 0; i < count; ++i) pixels[i] = value;
}

// The credit line drawn as DrawImageText draws it, at (x, y) of ImageDC,
// over count pixels of the scratch filled with background.
void DrawCreditOver(uint32_t* pixels, int32_t count, uint32_t background, int32_t x, int32_t y) {
  Fill(pixels, count, background);
  SetBkMode(ImageDC, TRANSPARENT);
  SetTextColor(ImageDC, pattern::CreditColour);
  TextOutA(ImageDC, x, y, tables::CreditLine, tables::CreditLength);
  GdiFlush();
}

void ForgetCreditMask() {
  CreditMask.valid = false;
  CreditMask.count = 0;
  CreditCovered = true;
}

// Under Wine, what was drawn on a window reaches the display when the thread
// next looks for input, as the one box around all of it, and balls far apart
// would make that most of the screen. A look at a key between groups of
// copies hands each group over as a box of its own; Wine answers it without
// a trip to wineserver, unlike GetInputState. On Windows it only reads the key.
void HandOverToDisplay() { GetAsyncKeyState(VK_SHIFT); }

// A hand-over of drawing to the display costs the machine about as much as
// copying this many more pixels in one (measured under Wine on Xvfb: some
// 50 µs for each, against 0.0003 µs a pixel).
constexpr int64_t HandOverArea = 160000;

}  // namespace

int32_t ScreenBits(HDC screenDC) { return GetDeviceCaps(screenDC, BITSPIXEL) * GetDeviceCaps(screenDC, PLANES); }

HBITMAP CreateHighColourBitmap(HDC screenDC, int32_t width, int32_t height, void** bits) {
  return CreateTopDownSection(screenDC, width, height, 16, HighColourMasks, bits);
}

bool CreateImage(drawingpath::Path path, HDC screenDC, HDC canvasDC, int32_t width, int32_t height) {
  if (width <= 0 || height <= 0 || path == drawingpath::PerPixel) return false;
  void* bits = nullptr;
  if (path == drawingpath::HighColourImage) {
    ImageBitmap = CreateHighColourBitmap(screenDC, width, height, &bits);
  } else {
    uint32_t* pixels = nullptr;
    ImageBitmap = CreateTrueColourSection(screenDC, width, height, &pixels);
    bits = pixels;
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
  MakeCreditMask();
  PreviousImageObject = SelectObject(ImageDC, ImageBitmap);
  BitBlt(ImageDC, 0, 0, width, height, canvasDC, 0, 0, SRCCOPY);
  GdiFlush();
  return true;
}

// The scratch has a text height of room on every side, far more than any
// font's overhang; set pixels on its edge would mean the text was cut off.
// The mask's pixels are 32-bit ones: a high-colour image keeps TextOutA.
void MakeCreditMask() {
  ForgetCreditMask();
  if (ImagePixels == nullptr) return;
  if (!MeasureText(ImageDC, tables::CreditLine, tables::CreditLength) || TextHeight <= 0) return;
  int32_t margin = TextHeight;
  int32_t width = TextWidth + 2 * margin, height = TextHeight + 2 * margin;
  uint32_t* pixels = nullptr;
  HBITMAP scratch = CreateTrueColourSection(ImageDC, width, 2 * height, &pixels);
  if (scratch == nullptr) return;
  HGDIOBJ previous = SelectObject(ImageDC, scratch);
  uint32_t* second = pixels + width * height;
  DrawCreditOver(pixels, width * height, FirstMaskBackground, margin, margin);
  DrawCreditOver(second, width * height, SecondMaskBackground, margin, height + margin);
  creditmask::Make(CreditMask, pixels, FirstMaskBackground, second, SecondMaskBackground,
                   ImagePixel(pattern::CreditColour), width, height, margin, margin);
  SelectObject(ImageDC, previous);
  DeleteObject(scratch);
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
  ForgetCreditMask();
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
  CreditCovered = true;
}

pattern::PixelTarget ImageTarget() {
  return pattern::PixelTarget{nullptr, SetImagePixel, MeasureImageText, DrawImageText, NoteBall};
}

void CopyChanged(HDC windowDC) {
  int groupEnds[dirtyrects::Capacity];
  int groups = dirtyrects::GroupForDisplay(Changed, HandOverArea, groupEnds);
  for (int g = 0, i = 0; g < groups; ++g) {
    for (; i < groupEnds[g]; ++i) {
      const dirtyrects::Rect& r = Changed.rects[i];
      BitBlt(windowDC, r.left, r.top, r.right - r.left, r.bottom - r.top, ImageDC, r.left, r.top, SRCCOPY);
    }
    // The last group goes when the message loop next waits.
    if (g + 1 < groups) HandOverToDisplay();
  }
  dirtyrects::Clear(Changed);
}

}  // namespace offscreen
