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

COLORREF LightenColor(TColor color, int amount) { return DarkenColor(color, -amount); }

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

void DrawDropArrow(TCanvas& canvas, int x, int y, int halfWidth) {
  for (int row = 0; row <= halfWidth; ++row) {
    canvas.MoveTo(x + row, y + row);
    canvas.LineTo(x + 2 * halfWidth + 1 - row, y + row);
  }
}

void DrawCheckMark(TCanvas& canvas, const TCheckMarkMetrics& mark, int x, int y) {
  for (int i = 0; i < mark.Strokes; ++i) {
    canvas.MoveTo(x + mark.Left, y - mark.Foot - i);
    canvas.LineTo(x + mark.Elbow, y - mark.Knee - i);
    canvas.LineTo(x + mark.Tip, y - mark.Top - i);
  }
}

TFramePen::TFramePen(TCanvas& canvas, int lines) : FCanvas(canvas), FSaved(canvas.Pen) {
  canvas.Pen.Width = lines;
  if (lines > 1 && canvas.Pen.Style == psSolid) canvas.Pen.Style = psInsideFrame;
}

TFramePen::~TFramePen() {
  FCanvas.Pen.Width = FSaved.Width;
  FCanvas.Pen.Style = FSaved.Style;
}
