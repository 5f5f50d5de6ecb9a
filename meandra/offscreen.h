// The saver window's content kept off-screen: an image in plain memory, of
// 32-bit pixels on true-colour screens and of 16-bit 5-6-5 pixels on
// high-colour ones, that the drawing step writes into, from which each tick
// copies to the window only the rectangles that changed. The image is kept
// equal to what the window shows: made from the canvas at creation, and put
// back from the canvas wherever the window is repainted.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "meandra/creditmask.h"
#include "meandra/dirtyrects.h"
#include "meandra/drawingpath.h"
#include "meandra/pattern.h"

namespace offscreen {

// 0 when there is no image; the window is then drawn on pixel by pixel.
extern HBITMAP ImageBitmap;
// Top-down rows of ImageWidth pixels: 0x00RRGGBB (blue in the lowest byte)
// in a true-colour image, else 0.
extern uint32_t* ImagePixels;
// 5-6-5 pixels (red in the top bits) in a high-colour image, else 0.
extern uint16_t* HighColourPixels;
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
// The pixels the credit line sets, made with a true-colour image; when it
// is not valid (a smoothed font, or a high-colour image), the line is drawn
// with TextOutA at every step.
extern creditmask::Mask CreditMask;
// Where the credit line was last drawn from the mask, and whether a ball or
// a repaint has been over it since, so that drawing it again changes pixels
// the window shows. True before it was first drawn.
extern int32_t CreditLeft;
extern int32_t CreditTop;
extern bool CreditCovered;

// The screen's bits a pixel, over all its planes.
int32_t ScreenBits(HDC screenDC);

// A bitmap of 5-6-5 pixels, width x height, compatible with screenDC;
// 0 when it cannot be made.
HBITMAP CreateHighColourBitmap(HDC screenDC, int32_t width, int32_t height, void** bits);

// Makes an image of width x height in the format of the path (one of the
// two image paths), copies canvasDC (which holds the canvas) into it and
// makes the credit line's mask. False, with nothing kept, when any part
// cannot be made.
bool CreateImage(drawingpath::Path path, HDC screenDC, HDC canvasDC, int32_t width, int32_t height);
void FreeImage();

// Before the window's BeginPaint: remembers the region to be repainted.
void NoteRepaint(HWND window);
// While canvasDC holds the canvas during the paint: copies it into the
// image within the remembered region.
void PutBackCanvas(HDC canvasDC);

pattern::PixelTarget ImageTarget();

// Finds which pixels TextOutA sets for the credit line on ImageDC, in its
// current font, drawing it on a scratch bitmap twice over different
// backgrounds; CreditMask is left not valid where that does not tell, and
// in a high-colour image.
void MakeCreditMask();

// Copies the changed rectangles to the window, in groups handed to the
// display one by one, and forgets them.
void CopyChanged(HDC windowDC);

}  // namespace offscreen
