// The drawing surface of the window library: canvas operations pixel by
// pixel on memory bitmaps, ownership of what the canvas selects, bitmaps
// with their own canvas, image lists.
#include <gtest/gtest.h>

#include "ui/Graphics.h"
#include "ui/ImgList.h"

namespace {

constexpr COLORREF Red = RGB(255, 0, 0), Green = RGB(0, 255, 0), Blue = RGB(0, 0, 255),
                   White = RGB(255, 255, 255);

TBitmap Filled(int width, int height, COLORREF color) {
  TBitmap bitmap;
  bitmap.SetSize(width, height);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush.Color = color;
  canvas.FillRect({0, 0, width, height});
  return bitmap;
}

// The bitmap's pixels as rows of characters, one per colour in the key.
std::vector<std::string> Picture(TBitmap& bitmap, const std::vector<std::pair<COLORREF, char>>& key) {
  std::vector<std::string> rows;
  for (int y = 0; y < bitmap.Height(); ++y) {
    std::string row;
    for (int x = 0; x < bitmap.Width(); ++x) {
      COLORREF pixel = bitmap.Canvas().Pixel(x, y);
      char c = '?';
      for (auto& [color, mark] : key)
        if (color == pixel) c = mark;
      row += c;
    }
    rows.push_back(row);
  }
  return rows;
}

}  // namespace

TEST(Canvas, ShapesFollowTheGdiRulesForEdgesAndEndPoints) {
  TBitmap bitmap = Filled(6, 5, White);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Pen.Color = Red;
  canvas.Brush.Color = Green;
  canvas.Rectangle(0, 0, 4, 4);  // outline in the pen, fill in the brush, right/bottom excluded
  canvas.Pen.Color = Blue;
  canvas.MoveTo(0, 4);
  canvas.LineTo(5, 4);  // the end point is not drawn
  canvas.Brush.Color = Blue;
  canvas.FrameRect({4, 0, 6, 3});
  EXPECT_EQ(Picture(bitmap, {{Red, 'r'}, {Green, 'g'}, {Blue, 'b'}, {White, '.'}}),
            (std::vector<std::string>{"rrrrbb", "rggrbb", "rggrbb", "rrrr..", "bbbbb."}));
}

TEST(Canvas, ClearBrushOutlinesOnlyAndSystemColoursResolve) {
  TBitmap bitmap = Filled(4, 4, White);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush.Style = bsClear;
  canvas.Pen.Color = clBtnShadow;
  canvas.Rectangle(0, 0, 4, 4);
  canvas.FillRect({0, 0, 4, 4});  // a clear brush fills nothing
  EXPECT_EQ(canvas.Pixel(0, 0), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(canvas.Pixel(1, 1), White);
  canvas.SetPixel(2, 2, clHighlight);
  EXPECT_EQ(canvas.Pixel(2, 2), GetSysColor(COLOR_HIGHLIGHT));
}

TEST(Canvas, OwnsWhatItSelectsAndPutsTheDcsObjectsBack) {
  TBitmap bitmap = Filled(4, 4, White);
  HDC dc = bitmap.Canvas().Handle();
  HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN), brush = GetCurrentObject(dc, OBJ_BRUSH),
          font = GetCurrentObject(dc, OBJ_FONT);
  std::vector<HGDIOBJ> made;
  {
    TCanvas canvas(dc);
    for (COLORREF color : {Red, Green}) {
      canvas.Pen.Color = canvas.Brush.Color = color;
      canvas.Font.SetHeight(color == Red ? -11 : -13);
      canvas.Rectangle(0, 0, 2, 2);
      EXPECT_GT(canvas.TextWidth("W"), 0);
      for (int kind : {OBJ_PEN, OBJ_BRUSH, OBJ_FONT}) made.push_back(GetCurrentObject(dc, kind));
    }
  }
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
  for (HGDIOBJ object : made) EXPECT_EQ(GetObjectType(object), 0u) << "still alive: " << object;
}

TEST(Canvas, TextRectClipsAndFillsWithTheBrushUnlessClear) {
  TBitmap bitmap = Filled(40, 20, White);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Font.SetColor(clBlack);
  canvas.Brush.Color = Green;
  canvas.TextRect({0, 0, 10, 20}, 0, 0, "WWWW");
  EXPECT_EQ(canvas.Pixel(9, 19), Green);   // opaque inside the rectangle
  EXPECT_EQ(canvas.Pixel(10, 5), White);   // nothing outside it
  canvas.Brush.Style = bsClear;
  canvas.TextRect({20, 0, 40, 20}, 20, 0, ".");
  EXPECT_EQ(canvas.Pixel(39, 19), White);
  EXPECT_GT(canvas.TextHeight("W"), canvas.TextHeight("") / 2);
}

TEST(Bitmap, TransparentDrawingLeavesOutTheBottomLeftColourAndCopiesAreIndependent) {
  TBitmap glyph = Filled(3, 3, Green);
  glyph.Canvas().SetPixel(1, 1, Red);
  glyph.Canvas().SetPixel(2, 0, Blue);
  TBitmap copy(glyph);
  copy.Canvas().SetPixel(1, 1, White);
  EXPECT_EQ(glyph.Canvas().Pixel(1, 1), Red);

  TBitmap target = Filled(4, 4, White);
  glyph.DrawTransparent(target.Canvas().Handle(), 1, 1);
  EXPECT_EQ(Picture(target, {{Red, 'r'}, {Blue, 'b'}, {White, '.'}}),
            (std::vector<std::string>{"....", "...b", "..r.", "...."}));

  TBitmap cell;
  cell.CopyFrom(glyph, 1, 0, 2, 2);
  EXPECT_EQ(Picture(cell, {{Red, 'r'}, {Blue, 'b'}, {Green, 'g'}}), (std::vector<std::string>{"gb", "rg"}));
}

TEST(ImageList, DrawsItsImagesWithTheMaskTransparent) {
  TCustomImageList list(nullptr, 2, 2);
  TBitmap strip = Filled(4, 2, Green);
  strip.Canvas().SetPixel(0, 0, Red);
  strip.Canvas().SetPixel(3, 1, Blue);
  EXPECT_EQ(list.AddMasked(strip, Green), 0);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(strip.Canvas().Pixel(1, 1), Green) << "the caller's bitmap is left alone";

  TBitmap target = Filled(4, 2, White);
  EXPECT_TRUE(list.Draw(target.Canvas().Handle(), 0, 0, 0));
  EXPECT_TRUE(list.Draw(target.Canvas().Handle(), 2, 0, 1));
  EXPECT_FALSE(list.Draw(target.Canvas().Handle(), 0, 0, 7));
  EXPECT_EQ(Picture(target, {{Red, 'r'}, {Blue, 'b'}, {White, '.'}}), (std::vector<std::string>{"r...", "...b"}));
}
