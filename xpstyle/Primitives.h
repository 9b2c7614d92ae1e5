// The colour and pixel routines of the flat look. Colours come in as TColor
// (system colour references are resolved first) and go out as RGB.
#pragma once
#include <windows.h>

#include "ui/Graphics.h"

// Subtracts amount from each channel, from green 2 less; clamped to 0..255.
// A negative amount lightens.
COLORREF DarkenColor(TColor color, int amount);
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
void DrawDropArrow(TCanvas& canvas, int x, int y);
// A tick three pixels thick standing on row y.
void DrawCheckMark(TCanvas& canvas, int x, int y);
