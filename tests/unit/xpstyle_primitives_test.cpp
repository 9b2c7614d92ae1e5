// The colour and pixel routines of the flat look, and the shared text and
// glyph drawing, pixel-exact on memory bitmaps.
#include <gtest/gtest.h>

#include "tests/unit/xpstyle_support.h"
#include "xpstyle/Primitives.h"

using namespace xp_support;

namespace {

constexpr COLORREF Red = RGB(255, 0, 0), Green = RGB(0, 255, 0), Blue = RGB(0, 0, 255), White = RGB(255, 255, 255),
                   Black = RGB(0, 0, 0);

struct TStyleFixture : ::testing::Test {
  Owned<TForm> Form{new TForm(nullptr)};
  TXPStyle* Style = new TXPStyle(Form.get());
};
struct XPDrawing : TStyleFixture {};

}  // namespace

TEST(Primitives, DarkenColorSubtractsPerChannelGreenTwoLessClamped) {
  struct TCase {
    TColor In;
    int Amount;
    COLORREF Out;
  } cases[] = {
      {RGB(212, 208, 200), 10, RGB(202, 200, 190)}, {RGB(212, 208, 200), -40, RGB(252, 250, 240)},
      {Black, 10, Black},                           {White, 10, RGB(245, 247, 245)},
      {White, 1, RGB(254, 255, 254)},               {RGB(5, 5, 5), 100, Black},
  };
  for (auto& c : cases) EXPECT_EQ(DarkenColor(c.In, c.Amount), c.Out) << std::hex << c.In << " " << std::dec << c.Amount;
  TSysColor face(COLOR_BTNFACE, RGB(212, 208, 200));
  EXPECT_EQ(DarkenColor(clBtnFace, 10), RGB(202, 200, 190)) << "system colours are resolved first";
}

TEST(Primitives, LightenColorRoundsHalvesToEvenAndCapsAtOneHundred) {
  TBitmap surface = Filled(1, 1, White);
  TCanvas& canvas = surface.Canvas();
  struct TCase {
    TColor In;
    int Percent;
    COLORREF Out;
  } cases[] = {
      {Black, 50, RGB(128, 128, 128)},                  // 127.5 -> 128
      {RGB(10, 10, 10), 10, RGB(34, 34, 34)},           // 24.5 -> 24
      {RGB(212, 208, 200), 86, RGB(249, 248, 247)},     {RGB(0, 0, 128), 90, RGB(230, 230, 242)},
      {RGB(1, 2, 3), 150, White},                       {RGB(1, 2, 3), 0, RGB(1, 2, 3)},
      {RGB(100, 100, 100), -20, RGB(69, 69, 69)},       {Black, -300, Black},
  };
  for (auto& c : cases)
    EXPECT_EQ(LightenColor(canvas, c.In, c.Percent), c.Out) << std::hex << c.In << " " << std::dec << c.Percent;
}

TEST(Primitives, GrayColorAveragesAddsTheLevelAndStopsAt240) {
  EXPECT_EQ(GrayColor(White, 10), RGB(240, 240, 240));
  EXPECT_EQ(GrayColor(RGB(10, 20, 31), 5), RGB(25, 25, 25));  // 61 div 3 = 20
  EXPECT_EQ(GrayColor(Black, 0), Black);
}

TEST(Primitives, GrayAndDimBitmapMapEveryPixel) {
  TBitmap glyph = Filled(3, 2, White);
  glyph.Canvas().SetPixel(0, 0, Red);
  glyph.Canvas().SetPixel(1, 0, Red);
  glyph.Canvas().SetPixel(2, 1, Blue);
  TBitmap dimmed(glyph);
  GrayBitmap(glyph, 10);
  const COLORREF g85 = RGB(95, 95, 95), g240 = RGB(240, 240, 240);
  EXPECT_EQ(Picture(glyph, {{g85, 'g'}, {g240, 'w'}}), (std::vector<std::string>{"ggw", "wwg"}));

  DimBitmap(dimmed, 30);  // 255 * 0.3 = 76.5 -> 76
  const COLORREF lightRed = RGB(255, 76, 76), lightBlue = RGB(76, 76, 255);
  EXPECT_EQ(Picture(dimmed, {{lightRed, 'r'}, {lightBlue, 'b'}, {White, '.'}}),
            (std::vector<std::string>{"rr.", "..b"}));
}

TEST(Primitives, GlyphShadowIsTheSilhouetteInOneColour) {
  TBitmap glyph = Filled(3, 3, Green);  // bottom-left green is the background
  glyph.Canvas().SetPixel(1, 0, Red);
  glyph.Canvas().SetPixel(2, 2, Blue);
  TBitmap target = Filled(5, 5, White);
  DrawGlyphShadow(glyph, target.Canvas(), 1, 2, clGray);
  EXPECT_EQ(Picture(target, {{RGB(128, 128, 128), '#'}, {White, '.'}}),
            (std::vector<std::string>{".....", ".....", "..#..", ".....", "...#."}));

  TBitmap plain = Filled(3, 3, Green);
  DrawGlyphShadow(plain, target.Canvas(), 0, 0, Black);
  EXPECT_EQ(CountPixels(target, Black), 0) << "a glyph of one colour casts no shadow";
}

TEST(Primitives, CheckMarkAndDropArrowStrokes) {
  TBitmap target = Filled(10, 8, White);
  target.Canvas().Pen.Color = Black;
  DrawCheckMark(target.Canvas(), 0, 10);
  EXPECT_EQ(Picture(target, {{Black, '#'}, {White, '.'}}),
            (std::vector<std::string>{"..........", "........#.", ".......##.", "..#...###.", "..##.###..",
                                      "..#####...", "...###....", "....#....."}));
  TBitmap arrow = Filled(6, 3, White);
  arrow.Canvas().Pen.Color = Black;
  DrawDropArrow(arrow.Canvas(), 0, 0);
  EXPECT_EQ(Picture(arrow, {{Black, '#'}, {White, '.'}}), (std::vector<std::string>{"#####.", ".###..", "..#..."}));
}

TEST_F(XPDrawing, EffectiveColoursOnAHighColourDeviceFromTheSystemColours) {
  TSysColor face(COLOR_BTNFACE, RGB(212, 208, 200));
  TSysColor highlight(COLOR_HIGHLIGHT, RGB(0, 0, 128));
  TSysColor shadow(COLOR_BTNSHADOW, RGB(128, 128, 128));
  TBitmap surface = Filled(1, 1, White);
  Style->UpdateDrawColors(surface.Canvas());
  EXPECT_TRUE(Style->HighColorDevice);
  EXPECT_EQ(Style->EffColor, RGB(249, 248, 247));         // clBtnFace lightened 86 %
  EXPECT_EQ(Style->EffIconBackColor, RGB(219, 216, 209)); // 16 %
  EXPECT_EQ(Style->EffSelectColor, RGB(173, 173, 214));   // clHighlight 68 %
  EXPECT_EQ(Style->CheckFillColor, RGB(204, 204, 230));   // 80 %
  EXPECT_EQ(Style->CheckFillHotColor, RGB(128, 128, 192));// 50 %: 127.5 -> 128, 191.5 -> 192
  EXPECT_EQ(Style->EffSeparatorColor, RGB(160, 160, 160));// clBtnShadow 25 %
  EXPECT_EQ(Style->EffDisabledColor, RGB(141, 141, 141)); // 10 %: 12.7 -> 13
  EXPECT_EQ(Style->PopupFrameColor, RGB(122, 120, 110));  // clBtnFace darkened 90
  EXPECT_EQ(Style->EffSelectBorderColor, clHighlight);

  Style->SetUseSystemColors(false);
  Style->SetColor(Red);
  Style->SetSelectColor(RGB(0, 0, 128));
  Style->UpdateDrawColors(surface.Canvas());
  EXPECT_EQ(Style->EffColor, Red);
  EXPECT_EQ(Style->EffSelectColor, RGB(173, 173, 214));
  EXPECT_EQ(Style->EffDisabledColor, clInactiveCaption);
}

TEST_F(XPDrawing, ItemTextDisabledWinsOverSelectedAndDefaultAddsEmphasis) {
  TBitmap surface = Filled(60, 30, White);
  TCanvas& canvas = surface.Canvas();
  Style->UpdateDrawColors(canvas);
  TFont font;
  font.SetHeight(-20);
  font.SetColor(Blue);
  Style->SetSelectFontColor(Green);
  Style->SetUseSystemColors(false);
  Style->UpdateDrawColors(canvas);
  Style->SetDisabledColor(Red);
  Style->UpdateDrawColors(canvas);
  Style->DrawItemText(doControl, "WW", 0, font, false, false, false, false, true, {0, 0, 60, 30}, canvas, "");
  EXPECT_GT(CountPixels(surface, Red), 20);
  EXPECT_EQ(CountPixels(surface, Green), 0);
  EXPECT_EQ(CountPixels(surface, Blue), 0);

  TBitmap plain = Filled(60, 30, White), emphasised = Filled(60, 30, White);
  Style->DrawItemText(doControl, "WW", 0, font, false, false, false, true, false, {0, 0, 60, 30}, plain.Canvas(), "");
  Style->DrawItemText(doControl, "WW", 0, font, false, false, true, true, false, {0, 0, 60, 30},
                      emphasised.Canvas(), "");
  EXPECT_GT(CountPixels(plain, Blue), 20);
  EXPECT_GT(CountPixels(emphasised, Blue), 20);
  // The four passes darken the white under them: by 30 (first two) and so on.
  EXPECT_GT(CountPixels(emphasised, DarkenColor(White, 30)), 0);
  EXPECT_EQ(CountPixels(plain, DarkenColor(White, 30)), 0);
}

TEST_F(XPDrawing, ItemGlyphDimsAtRestLiftsWithShadowWhenSelectedGreysWhenDisabled) {
  TBitmap surface = Filled(8, 8, White);
  Style->UpdateDrawColors(surface.Canvas());
  auto glyph = [] {
    TBitmap g = Filled(2, 2, White);  // white background
    g.Canvas().SetPixel(0, 0, Red);
    return g;
  };
  const COLORREF shadow = DarkenColor(Style->EffSelectColor, 50);
  const COLORREF dimRed = RGB(255, 76, 76);
  const RECT r{2, 1, 4, 3};  // a control's glyph goes to (left, top + 1)

  struct TCase {
    const char* Name;
    bool Selected, Enabled;
    std::vector<std::string> Expected;
  } cases[] = {
      {"rest", false, true, {"........", "........", "..d.....", "........"}},
      {"selected", true, true, {"........", ".r......", "........", "...s...."}},
      {"disabled", false, false, {"........", "........", "..g.....", "........"}},
  };
  // Red greyed: 85 + 10 = 95, then 40 % lighter: 95 + 64 = 159; the white
  // background becomes 246 and stays transparent.
  const COLORREF grey = RGB(159, 159, 159);
  for (auto& c : cases) {
    TBitmap target = Filled(8, 4, White);
    TBitmap g = glyph();
    Style->DrawItemGlyph(doControl, target.Canvas(), g, r, c.Selected, false, c.Enabled, false, false, false);
    EXPECT_EQ(Picture(target, {{Red, 'r'}, {dimRed, 'd'}, {shadow, 's'}, {grey, 'g'}, {White, '.'}}), c.Expected)
        << c.Name;
  }
}
