#include "meandra/gditarget.h"

namespace gditarget {

namespace {

HDC ContextDC(void* context) { return static_cast<HDC>(context); }

void SetDevicePixel(void* context, int32_t x, int32_t y, uint32_t colour) {
  SetPixelV(ContextDC(context), x, y, colour);
}

bool MeasureDeviceText(void* context, const char* text, int32_t length, int32_t* width) {
  SIZE size;
  if (!GetTextExtentPoint32A(ContextDC(context), text, length, &size)) return false;
  *width = size.cx;
  return true;
}

void DrawDeviceText(void* context, int32_t x, int32_t y, const char* text, int32_t length, uint32_t colour) {
  HDC dc = ContextDC(context);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  TextOutA(dc, x, y, text, length);
}

}  // namespace

pattern::PixelTarget DeviceTarget(HDC dc) {
  return pattern::PixelTarget{dc, SetDevicePixel, MeasureDeviceText, DrawDeviceText, nullptr};
}

}  // namespace gditarget
