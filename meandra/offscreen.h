// The saver window's content kept off-screen: a 32-bit image in plain memory
// that the drawing step writes into, from which each tick copies to the
// window only the rectangles that changed. The image is kept equal to what
// the window shows: made from the canvas at creation, and put back from the
// canvas wherever the window is repainted.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "meandra/creditmask.h"
#include "meandra/dirtyrects.h"
#include "meandra/pattern.h"

namespace offscreen {

// 0 when there is no image; the window is then drawn on pixel by pixel.
extern HBITMAP ImageBitmap;
// Top-down rows of ImageWidth pixels, 0x00RRGGBB (blue in the lowest byte).
extern uint32_t* ImagePixels;
extern int32_t ImageWidth;
extern int32_t ImageHeight;
// Holds ImageBitmap for the image's whole life, for text and copies.
extern HDC ImageDC;
// The window's region being repainted, read before painting validates it.
extern HRGN RepaintRegion;
// What the step changed since the last copy to the window.
extern dirtyrects::RectList Changed;
// The credit line's size as last measured on ImageDC; 0 before.
extern int32_t TextWidth;
extern int32_t TextHeight;
// The pixels the credit line sets, made with the image; when it is not
// valid, the line is drawn with TextOutA at every step.
extern creditmask::Mask CreditMask;
// Where the credit line was last drawn from the mask, and whether a ball or
// a repaint has been over it since, so that drawing it again changes pixels
// the window shows. True before it was first drawn.
extern int32_t CreditLeft;
extern int32_t CreditTop;
extern bool CreditCovered;

// Palette displays keep the per-pixel path: there the matching of colours
// to the palette is the driver's, and may differ between a pixel set and
// a pixel copied.
bool SuitsScreen(HDC screenDC);

// Makes an image of width x height, copies canvasDC (which holds the
// canvas) into it and makes the credit line's mask. False, with nothing
// kept, when any part of the image cannot be made.
bool CreateImage(HDC screenDC, HDC canvasDC, int32_t width, int32_t height);
void FreeImage();

// Before the window's BeginPaint: remembers the region to be repainted.
void NoteRepaint(HWND window);
// While canvasDC holds the canvas during the paint: copies it into the
// image within the remembered region.
void PutBackCanvas(HDC canvasDC);

pattern::PixelTarget ImageTarget();

// Finds which pixels TextOutA sets for the credit line on ImageDC, in its
// current font, drawing it on a scratch bitmap twice over different
// backgrounds; CreditMask is left not valid where that does not tell.
void MakeCreditMask();

// Copies the changed rectangles to the window one by one and forgets them.
void CopyChanged(HDC windowDC);

}  // namespace offscreen
