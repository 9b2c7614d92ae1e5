#include "xpstyle/Primitives.h"

#include <algorithm>
#include <cmath>

namespace {

int Clamp(int channel) { return std::clamp(channel, 0, 255); }

// The previous pixel's colour and result, so runs of one colour (a glyph's
// background) cost one computation.
template <class TMap>
void MapPixels(TBitmap& bitmap, TMap map) {
  if (bitmap.Empty()) return;
  TCanvas& canvas = bitmap.Canvas();
  HDC dc = canvas.Handle();
  COLORREF previous = 0, mapped = 0;
  bool first = true;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      COLORREF pixel = GetPixel(dc, x, y);
      if (first || pixel != previous) {
        mapped = map(canvas, pixel);
        previous = pixel;
        first = false;
      }
      SetPixelV(dc, x, y, mapped);
    }
}

}  // namespace

COLORREF DarkenColor(TColor color, int amount) {
  COLORREF rgb = ColorToRGB(color);
  return RGB(Clamp(GetRValue(rgb) - amount), Clamp(GetGValue(rgb) - amount + 2), Clamp(GetBValue(rgb) - amount));
}

COLORREF LightenColor(TCanvas& canvas, TColor color, int percent) {
  percent = std::min(percent, 100);
  COLORREF rgb = ColorToRGB(color);
  // Halves round to even (the default rounding mode); n / 100.0 is exact at
  // every half, so no other value is rounded the wrong way.
  auto lighten = [percent](int c) {
    return Clamp(c + static_cast<int>(std::nearbyint((255 - c) * percent / 100.0)));
  };
  COLORREF light = RGB(lighten(GetRValue(rgb)), lighten(GetGValue(rgb)), lighten(GetBValue(rgb)));
  return GetNearestColor(canvas.Handle(), light);
}

COLORREF GrayColor(TColor color, int level) {
  COLORREF rgb = ColorToRGB(color);
  int v = std::min((GetRValue(rgb) + GetGValue(rgb) + GetBValue(rgb)) / 3 + level, 240);
  v = Clamp(v);
  return RGB(v, v, v);
}

void GrayBitmap(TBitmap& bitmap, int level) {
  MapPixels(bitmap, [level](TCanvas&, COLORREF pixel) { return GrayColor(pixel, level); });
}

void DimBitmap(TBitmap& bitmap, int percent) {
  percent = std::min(percent, 100);
  MapPixels(bitmap, [percent](TCanvas& canvas, COLORREF pixel) { return LightenColor(canvas, pixel, percent); });
}

void DrawGlyphShadow(TBitmap& bitmap, TCanvas& canvas, int x, int y, TColor color) {
  if (bitmap.Empty()) return;
  HDC source = bitmap.Canvas().Handle();
  COLORREF background = GetPixel(source, 0, bitmap.Height() - 1);
  COLORREF shadow = ColorToRGB(color);
  for (int i = 0; i < bitmap.Height(); ++i)
    for (int j = 0; j < bitmap.Width(); ++j)
      if (GetPixel(source, j, i) != background) SetPixelV(canvas.Handle(), x + j, y + i, shadow);
}

void DrawDropArrow(TCanvas& canvas, int x, int y) {
  canvas.MoveTo(x, y);
  canvas.LineTo(x + 5, y);
  canvas.MoveTo(x + 1, y + 1);
  canvas.LineTo(x + 4, y + 1);
  canvas.MoveTo(x + 2, y + 2);
  canvas.LineTo(x + 3, y + 2);
}

void DrawCheckMark(TCanvas& canvas, int x, int y) {
  for (int i = 0; i < 3; ++i) {
    canvas.MoveTo(x + 2, y - 5 - i);
    canvas.LineTo(x + 4, y - 3 - i);
    canvas.LineTo(x + 9, y - 8 - i);
  }
}
