// The drawing surface of the window library: ownership of what the canvas
// selects, image lists. (Shapes, system colours and transparent bitmaps are
// checked pixel by pixel through the style's drawing tests.)
#include <gtest/gtest.h>

#include "tests/support/xpstyle_support.h"
#include "ui/ImgList.h"

using namespace xp_support;

namespace {
constexpr COLORREF Red = RGB(255, 0, 0), Green = RGB(0, 255, 0), Blue = RGB(0, 0, 255), White = RGB(255, 255, 255);
const std::vector<std::pair<COLORREF, char>> Key{{Red, 'r'}, {Green, 'g'}, {Blue, 'b'}, {White, '.'}};
}  // namespace

TEST(Canvas, OwnsWhatItSelectsAndPutsTheDcsObjectsBack) {
  TBitmap bitmap = Filled(4, 4, White);
  HDC dc = bitmap.Canvas().Handle();
  const int kinds[] = {OBJ_PEN, OBJ_BRUSH, OBJ_FONT};
  std::vector<HGDIOBJ> before, made;
  for (int kind : kinds) before.push_back(GetCurrentObject(dc, kind));
  {
    TCanvas canvas(dc);
    for (COLORREF color : {Red, Green}) {
      canvas.Pen.Color = canvas.Brush.Color = color;
      canvas.Font.SetHeight(color == Red ? -11 : -13);
      canvas.Rectangle(0, 0, 2, 2);
      canvas.TextOut(0, 0, "W");
      for (int kind : kinds) made.push_back(GetCurrentObject(dc, kind));
    }
  }
  for (int i = 0; i < 3; ++i) EXPECT_EQ(GetCurrentObject(dc, kinds[i]), before[i]);
  for (HGDIOBJ object : made) EXPECT_EQ(GetObjectType(object), 0u) << "still alive: " << object;
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
  EXPECT_EQ(Picture(target, Key), (std::vector<std::string>{"r...", "...b"}));
}
