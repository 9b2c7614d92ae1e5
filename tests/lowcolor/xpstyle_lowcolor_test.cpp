// The low-colour branches of the style, for real: this program runs on the
// test Xvfb's second screen (8 bits per pixel). It creates no window (one
// there cannot join the desktop on the first screen), only memory DCs,
// which take the screen's depth.
#include <gtest/gtest.h>

#include "tests/support/xpstyle_support.h"
#include "ui/Menus.h"
#include "xpstyle/Primitives.h"

using namespace xp_support;

namespace {
struct LowColor : ::testing::Test {
  Owned<TForm> Form{new TForm(nullptr)};
  TXPStyle* Style = new TXPStyle(Form.get());
  TBitmap Surface = Filled(4, 4, RGB(255, 255, 255));
  void SetUp() override { ASSERT_EQ(Surface.Canvas().BitsPerPixel(), 8) << "run on the 8-bit screen"; }
};
}  // namespace

TEST_F(LowColor, EffectiveColoursTakeTheLowColourColumn) {
  TXPColors colors = Style->UpdateDrawColors(Surface.Canvas());
  EXPECT_FALSE(colors.HighColorDevice);
  for (TColor c : {colors.EffColor, colors.EffSelectColor, colors.CheckFillColor, colors.CheckFillHotColor})
    EXPECT_EQ(c, clWhite);
  EXPECT_EQ(colors.EffIconBackColor, clBtnFace);
  for (TColor c : {colors.EffDisabledColor, colors.EffSeparatorColor, colors.PopupFrameColor, colors.PopupShadowColor})
    EXPECT_EQ(c, clBtnShadow);
  Style->SetUseSystemColors(false);
  colors = Style->UpdateDrawColors(Surface.Canvas());
  EXPECT_EQ(colors.EffSelectColor, clHighlight);
  EXPECT_EQ(colors.CheckFillHotColor, clSilver);
}

TEST_F(LowColor, LightenColorTakesAColourTheDeviceHas) {
  HDC dc = Surface.Canvas().Handle();
  COLORREF light = LightenColor(Surface.Canvas(), RGB(0, 0, 128), 90);
  EXPECT_NE(light, RGB(230, 230, 242)) << "no such colour in an 8-bit palette";
  EXPECT_EQ(light, GetNearestColor(dc, RGB(230, 230, 242)));
  EXPECT_EQ(GetNearestColor(dc, light), light);
}

TEST_F(LowColor, GlyphAtRestIsDrawnUnchanged) {
  const TXPColors colors = Style->UpdateDrawColors(Surface.Canvas());
  TBitmap glyph = Filled(2, 2, RGB(0, 255, 0));
  glyph.Canvas().SetPixel(0, 0, RGB(255, 0, 0));
  DrawItemGlyph(colors, TGlyphMetrics{}, doControl, Surface.Canvas(), glyph, {1, 0, 3, 2}, {});
  EXPECT_EQ(Picture(Surface, {{RGB(255, 0, 0), 'r'}, {RGB(255, 255, 255), '.'}}),
            (std::vector<std::string>{"....", ".r..", "....", "...."}));
}

// A menu item on 8 bits: white background (not clBtnFace lightened); a bar item highlighted in the simple form (frame open at the bottom, its
// right edge three pixels in), not raised.
TEST_F(LowColor, MenuItemsAndTheSimpleBarHighlight) {
  auto* bar = new TMainMenu(Form.get());
  auto* file = new TMenuItem(Form.get());
  file->SetCaption("Datei");
  bar->Items()->Add(file);
  auto* popup = new TPopupMenu(Form.get());
  auto* item = new TMenuItem(Form.get());
  item->SetCaption("Eins");
  popup->Items()->Add(item);
  Style->SetActive(true);
  TBitmap surface = Filled(60, 21, RGB(255, 0, 255));
  Style->DrawItemHandler(item, &surface.Canvas(), {0, 0, 60, 20}, 0);
  int white = 0;
  for (int x = 24; x < 60; ++x) white += surface.Canvas().Pixel(x, 1) == RGB(255, 255, 255);
  EXPECT_EQ(white, 36) << "the background right of the column (row 1 holds no text)";

  surface = Filled(60, 21, RGB(255, 0, 255));
  Style->DrawItemHandler(file, &surface.Canvas(), {0, 0, 60, 20}, ODS_SELECTED);
  const COLORREF frame = GetNearestColor(surface.Canvas().Handle(), GetSysColor(COLOR_HIGHLIGHT));
  TCanvas& c = surface.Canvas();
  EXPECT_EQ((std::vector<COLORREF>{c.Pixel(0, 10), c.Pixel(57, 10), c.Pixel(52, 10), c.Pixel(30, 1)}),
            (std::vector<COLORREF>{frame, frame, RGB(255, 255, 255), RGB(255, 255, 255)}));
}
