// The colour and pixel routines of the flat look and the shared text and
// glyph drawing, pixel-exact on memory bitmaps (high-colour device; the
// low-colour branches are in tests/lowcolor).
#include <gtest/gtest.h>

#include "tests/support/xpstyle_support.h"
#include "xpstyle/Primitives.h"

using namespace xp_support;

namespace {

constexpr COLORREF Red = RGB(255, 0, 0), Green = RGB(0, 255, 0), Blue = RGB(0, 0, 255), White = RGB(255, 255, 255),
                   Black = 0;

struct XPDrawing : ::testing::Test {
  Owned<TForm> Form{new TForm(nullptr)};
  TXPStyle* Style = new TXPStyle(Form.get());
  TBitmap Surface = Filled(1, 1, White);
};

}  // namespace

TEST(Primitives, ColourArithmetic) {
  TBitmap surface = Filled(1, 1, White);
  const std::pair<COLORREF, COLORREF> cases[] = {
      {DarkenColor(RGB(212, 208, 200), 10), RGB(202, 200, 190)},  // green lowered 2 less
      {LightenColor(RGB(212, 208, 200), 40), RGB(252, 250, 240)},  // green raised 2 more
      {LightenColor(RGB(250, 200, 100), 10), RGB(255, 212, 110)},
      {DarkenColor(Black, 10), Black},
      {DarkenColor(White, 10), RGB(245, 247, 245)},
      {LightenColor(surface.Canvas(), Black, 50), RGB(128, 128, 128)},       // 127.5 -> 128
      {LightenColor(surface.Canvas(), RGB(10, 10, 10), 10), RGB(34, 34, 34)}, // 24.5 -> 24
      {LightenColor(surface.Canvas(), RGB(212, 208, 200), 86), RGB(249, 248, 247)},
      {LightenColor(surface.Canvas(), RGB(0, 0, 128), 90), RGB(230, 230, 242)},
      {LightenColor(surface.Canvas(), RGB(1, 2, 3), 150), White},
      {LightenColor(surface.Canvas(), RGB(100, 100, 100), -20), RGB(69, 69, 69)},
      {GrayColor(White, 10), RGB(240, 240, 240)},
      {GrayColor(RGB(10, 20, 31), 5), RGB(25, 25, 25)},
  };
  for (auto& [result, expected] : cases) EXPECT_EQ(result, expected) << "case " << (&result - &cases[0].first) / 2;
  TSysColor face(COLOR_BTNFACE, RGB(212, 208, 200));
  EXPECT_EQ(DarkenColor(clBtnFace, 10), RGB(202, 200, 190)) << "system colours are resolved first";
}

TEST(Primitives, BitmapRoutinesAndStrokes) {
  TBitmap glyph = Filled(3, 2, White);
  glyph.Canvas().SetPixel(0, 0, Red);
  glyph.Canvas().SetPixel(1, 0, Red);
  glyph.Canvas().SetPixel(2, 1, Blue);
  TBitmap dimmed(glyph);
  GrayBitmap(glyph, 10);
  EXPECT_EQ(Picture(glyph, {{RGB(95, 95, 95), 'g'}, {RGB(240, 240, 240), 'w'}}),
            (std::vector<std::string>{"ggw", "wwg"}));
  DimBitmap(dimmed, 30);  // 76.5 -> 76
  EXPECT_EQ(Picture(dimmed, {{RGB(255, 76, 76), 'r'}, {RGB(76, 76, 255), 'b'}, {White, '.'}}),
            (std::vector<std::string>{"rr.", "..b"}));

  TBitmap shape = Filled(3, 3, Green);  // the bottom-left green is the background
  shape.Canvas().SetPixel(1, 0, Red);
  shape.Canvas().SetPixel(2, 2, Blue);
  TBitmap target = Filled(10, 8, White);
  DrawGlyphShadow(shape, target.Canvas(), 0, 0, Black);
  TBitmap plain = Filled(3, 3, Green);
  DrawGlyphShadow(plain, target.Canvas(), 5, 5, Black);  // one colour: no shadow
  EXPECT_EQ(CountPixels(target, Black), 2);
  EXPECT_EQ(target.Canvas().Pixel(1, 0), Black);
  EXPECT_EQ(target.Canvas().Pixel(2, 2), Black);

  target = Filled(10, 8, White);
  target.Canvas().Pen.Color = Black;
  DrawCheckMark(target.Canvas(), TCheckMarkMetrics{}, 0, 10);
  EXPECT_EQ(Picture(target, {{Black, '#'}, {White, '.'}}),
            (std::vector<std::string>{"..........", "........#.", ".......##.", "..#...###.", "..##.###..",
                                      "..#####...", "...###....", "....#....."}));
  TBitmap arrow = Filled(6, 3, White);
  arrow.Canvas().Pen.Color = Black;
  DrawDropArrow(arrow.Canvas(), 0, 0);
  EXPECT_EQ(Picture(arrow, {{Black, '#'}, {White, '.'}}), (std::vector<std::string>{"#####.", ".###..", "..#..."}));
}

TEST_F(XPDrawing, EffectiveColoursOnAHighColourDevice) {
  TSysColor face(COLOR_BTNFACE, RGB(212, 208, 200));
  TSysColor highlight(COLOR_HIGHLIGHT, RGB(0, 0, 128));
  TSysColor shadow(COLOR_BTNSHADOW, RGB(128, 128, 128));
  TXPColors colors = Style->UpdateDrawColors(Surface.Canvas());
  EXPECT_TRUE(colors.HighColorDevice);
  EXPECT_EQ(colors.EffColor, RGB(249, 248, 247));           // clBtnFace lightened 86 %
  EXPECT_EQ(colors.EffIconBackColor, RGB(219, 216, 209));   // 16 %
  EXPECT_EQ(colors.EffSelectColor, RGB(173, 173, 214));     // clHighlight 68 %
  EXPECT_EQ(colors.CheckFillColor, RGB(204, 204, 230));     // 80 %
  EXPECT_EQ(colors.CheckFillHotColor, RGB(128, 128, 192));  // 50 %
  EXPECT_EQ(colors.EffSeparatorColor, RGB(160, 160, 160));  // clBtnShadow 25 %
  EXPECT_EQ(colors.EffDisabledColor, RGB(141, 141, 141));   // 10 %
  EXPECT_EQ(colors.PopupFrameColor, RGB(122, 120, 110));    // clBtnFace darkened 90
  EXPECT_EQ(colors.EffSelectBorderColor, clHighlight);
  // Readable text: the font's colour on light backgrounds, else the background lightened 90 %.
  EXPECT_EQ(ContrastFontColor(Surface.Canvas(), colors, RGB(160, 210, 0)), ColorToRGB(clMenuText));
  EXPECT_EQ(ContrastFontColor(Surface.Canvas(), colors, RGB(0, 0, 128)), RGB(230, 230, 242));

  Style->SetUseSystemColors(false);
  Style->SetColor(Red);
  colors = Style->UpdateDrawColors(Surface.Canvas());
  EXPECT_EQ(colors.EffColor, Red);
  EXPECT_EQ(colors.EffSelectColor, RGB(173, 173, 214));
  EXPECT_EQ(colors.EffDisabledColor, clInactiveCaption);
}

TEST_F(XPDrawing, ItemGlyphDimsAtRestLiftsWithShadowWhenSelectedGreysWhenDisabled) {
  const TXPColors colors = Style->UpdateDrawColors(Surface.Canvas());
  const COLORREF shadow = DarkenColor(colors.EffSelectColor, 50), grey = RGB(159, 159, 159);
  struct TCase {
    bool Selected, Enabled;
    std::vector<std::string> Expected;  // a control's glyph goes to (left, top + 1) = (2, 2)
  } cases[] = {
      {false, true, {"........", "........", "..d.....", "........"}},
      {true, true, {"........", ".r......", "........", "...s...."}},
      {false, false, {"........", "........", "..g.....", "........"}},  // red: 95 greyed, 159 lightened
  };
  for (auto& c : cases) {
    TBitmap target = Filled(8, 4, White);
    TBitmap glyph = Filled(2, 2, White);
    glyph.Canvas().SetPixel(0, 0, Red);
    DrawItemGlyph(colors, TGlyphMetrics{}, doControl, target.Canvas(), glyph, {2, 1, 4, 3},
                  {.Selected = c.Selected, .Enabled = c.Enabled});
    EXPECT_EQ(Picture(target, {{Red, 'r'}, {RGB(255, 76, 76), 'd'}, {shadow, 's'}, {grey, 'g'}, {White, '.'}}),
              c.Expected)
        << "selected " << c.Selected << ", enabled " << c.Enabled;
  }
}
