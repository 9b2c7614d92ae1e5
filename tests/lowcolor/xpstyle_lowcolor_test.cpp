// The low-colour branches of the style, run for real: this program runs on
// the test Xvfb's second screen, which has 8 bits per pixel. It creates no
// window (a window there cannot join the desktop on the first screen), only
// memory DCs, which take the screen's depth.
#include <gtest/gtest.h>

#include "tests/unit/xpstyle_support.h"
#include "xpstyle/Primitives.h"

using namespace xp_support;

namespace {

constexpr COLORREF Red = RGB(255, 0, 0), Green = RGB(0, 255, 0), White = RGB(255, 255, 255);

struct LowColor : ::testing::Test {
  Owned<TForm> Form{new TForm(nullptr)};
  TXPStyle* Style = new TXPStyle(Form.get());
};

}  // namespace

TEST_F(LowColor, TheDeviceReportsEightBits) {
  TBitmap surface = Filled(1, 1, White);
  ASSERT_EQ(surface.Canvas().BitsPerPixel(), 8) << "run this suite on the 8-bit screen";
}

TEST_F(LowColor, EffectiveColoursTakeTheLowColourColumn) {
  TBitmap surface = Filled(1, 1, White);
  ASSERT_EQ(surface.Canvas().BitsPerPixel(), 8);
  Style->UpdateDrawColors(surface.Canvas());
  EXPECT_FALSE(Style->HighColorDevice);
  EXPECT_EQ(Style->EffColor, clWhite);
  EXPECT_EQ(Style->EffIconBackColor, clBtnFace);
  EXPECT_EQ(Style->EffSelectColor, clWhite);
  EXPECT_EQ(Style->EffDisabledColor, clBtnShadow);
  EXPECT_EQ(Style->EffSeparatorColor, clBtnShadow);
  EXPECT_EQ(Style->CheckFillHotColor, clWhite);
  EXPECT_EQ(Style->PopupFrameColor, clBtnShadow);
  EXPECT_EQ(Style->PopupShadowColor, clBtnShadow);

  Style->SetUseSystemColors(false);
  Style->UpdateDrawColors(surface.Canvas());
  EXPECT_EQ(Style->EffSelectColor, clHighlight);
  EXPECT_EQ(Style->CheckFillColor, clWhite);
  EXPECT_EQ(Style->CheckFillHotColor, clSilver);
}

TEST_F(LowColor, LightenColorTakesAColourTheDeviceHas) {
  TBitmap surface = Filled(1, 1, White);
  ASSERT_EQ(surface.Canvas().BitsPerPixel(), 8);
  HDC dc = surface.Canvas().Handle();
  COLORREF light = LightenColor(surface.Canvas(), RGB(0, 0, 128), 90);
  EXPECT_NE(light, RGB(230, 230, 242)) << "no such colour in an 8-bit palette";
  EXPECT_EQ(light, GetNearestColor(dc, RGB(230, 230, 242)));
  EXPECT_EQ(GetNearestColor(dc, light), light);
}

TEST_F(LowColor, GlyphAtRestIsDrawnUnchanged) {
  TBitmap surface = Filled(4, 4, White);
  ASSERT_EQ(surface.Canvas().BitsPerPixel(), 8);
  Style->UpdateDrawColors(surface.Canvas());
  TBitmap glyph = Filled(2, 2, Green);
  glyph.Canvas().SetPixel(0, 0, Red);
  Style->DrawItemGlyph(doControl, surface.Canvas(), glyph, {1, 0, 3, 2}, false, false, true, false, false, false);
  EXPECT_EQ(Picture(surface, {{Red, 'r'}, {White, '.'}}), (std::vector<std::string>{"....", ".r..", "....", "...."}));
}
