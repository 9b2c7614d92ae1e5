// The low-colour branches of the style, for real: this program runs on the
// test Xvfb's second screen (8 bits per pixel). It creates no window (one
// there cannot join the desktop on the first screen), only memory DCs,
// which take the screen's depth.
#include <gtest/gtest.h>

#include "tests/unit/xpstyle_support.h"
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
  Style->UpdateDrawColors(Surface.Canvas());
  EXPECT_FALSE(Style->HighColorDevice);
  for (TColor c : {Style->EffColor, Style->EffSelectColor, Style->CheckFillColor, Style->CheckFillHotColor})
    EXPECT_EQ(c, clWhite);
  EXPECT_EQ(Style->EffIconBackColor, clBtnFace);
  for (TColor c : {Style->EffDisabledColor, Style->EffSeparatorColor, Style->PopupFrameColor, Style->PopupShadowColor})
    EXPECT_EQ(c, clBtnShadow);
  Style->SetUseSystemColors(false);
  Style->UpdateDrawColors(Surface.Canvas());
  EXPECT_EQ(Style->EffSelectColor, clHighlight);
  EXPECT_EQ(Style->CheckFillHotColor, clSilver);
}

TEST_F(LowColor, LightenColorTakesAColourTheDeviceHas) {
  HDC dc = Surface.Canvas().Handle();
  COLORREF light = LightenColor(Surface.Canvas(), RGB(0, 0, 128), 90);
  EXPECT_NE(light, RGB(230, 230, 242)) << "no such colour in an 8-bit palette";
  EXPECT_EQ(light, GetNearestColor(dc, RGB(230, 230, 242)));
  EXPECT_EQ(GetNearestColor(dc, light), light);
}

TEST_F(LowColor, GlyphAtRestIsDrawnUnchanged) {
  Style->UpdateDrawColors(Surface.Canvas());
  TBitmap glyph = Filled(2, 2, RGB(0, 255, 0));
  glyph.Canvas().SetPixel(0, 0, RGB(255, 0, 0));
  Style->DrawItemGlyph(doControl, Surface.Canvas(), glyph, {1, 0, 3, 2}, false, false, true, false, false, false);
  EXPECT_EQ(Picture(Surface, {{RGB(255, 0, 0), 'r'}, {RGB(255, 255, 255), '.'}}),
            (std::vector<std::string>{"....", ".r..", "....", "...."}));
}
