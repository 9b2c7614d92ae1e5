// The colour and pixel routines of the flat look. Colours come in as TColor
// (system colour references are resolved first) and go out as RGB.
#pragma once
#include <windows.h>

#include "ui/Graphics.h"
#include "xpstyle/Metrics.h"

// Subtracts amount from each channel, from green 2 less; clamped to 0..255.
COLORREF DarkenColor(TColor color, int amount);
// The same step the other way: adds amount to each channel, to green 2
// more; clamped to 0..255.
COLORREF LightenColor(TColor color, int amount);
// Moves each channel percent (at most 100) of the way to white, rounded
// half to even, then takes the nearest colour the canvas's device has.
COLORREF LightenColor(TCanvas& canvas, TColor color, int percent);
// Grey of the channel average plus level, at most 240.
COLORREF GrayColor(TColor color, int level);

// Every pixel in place, rows top to bottom; a run of one colour is
// computed once.
void GrayBitmap(TBitmap& bitmap, int level);
void DimBitmap(TBitmap& bitmap, int percent);
// Sets canvas pixel (x + j, y + i) to color for every bitmap pixel that
// differs from the bitmap's bottom-left pixel.
void DrawGlyphShadow(TBitmap& bitmap, TCanvas& canvas, int x, int y, TColor color);

// Strokes in the canvas's current pen.
// A downward triangle from (x, y): its top row 2 x halfWidth + 1 pixels
// wide, each row below two narrower.
void DrawDropArrow(TCanvas& canvas, int x, int y, int halfWidth = TToolButtonMetrics{}.ArrowHalfWidth);
// A tick of mark.Strokes parallel strokes standing on row y.
void DrawCheckMark(TCanvas& canvas, const TCheckMarkMetrics& mark, int x, int y);

// For one scope the canvas's pen draws outlines lines wide, inside the
// bounds of each rectangle, rounded rectangle or ellipse; one pixel wide it
// is the plain pen. The pen's width and style come back at the end.
class TFramePen {
public:
  TFramePen(TCanvas& canvas, int lines);
  ~TFramePen();
  TFramePen(const TFramePen&) = delete;
  TFramePen& operator=(const TFramePen&) = delete;

private:
  TCanvas& FCanvas;
  TPen FSaved;
};
