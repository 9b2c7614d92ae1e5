// The scaling of stored layouts and fonts, and the flat look's metrics, at
// the display scales of 100 % to 200 %: pure arithmetic, no window; and the
// fall-backs where Windows lacks the per-monitor functions.
#include <gtest/gtest.h>

#include "tests/support/FakePlatform.h"
#include "tests/support/app_support.h"
#include "ui/DisplayScale.h"
#include "ui/ProgramIcon.h"
#include "xpstyle/Metrics.h"

namespace {

const UINT Dpis[] = {96, 120, 144, 168, 192};

}  // namespace

TEST(DisplayScale, LengthsAndFontHeightsAtEachDpi) {
  struct TCase {
    int Design;
    int At[5];  // at 96, 120, 144, 168 and 192 DPI
  } lengths[] = {
      {0, {0, 0, 0, 0, 0}},
      {1, {1, 1, 2, 2, 2}},          // 1.5 and 1.75 round up, 1.25 down
      {5, {5, 6, 8, 9, 10}},         // 7.5 rounds away from zero
      {24, {24, 30, 36, 42, 48}},
      {377, {377, 471, 566, 660, 754}},
      {-3, {-3, -4, -5, -5, -6}},    // -4.5 rounds away from zero too
  }, fonts[] = {
      {-11, {-11, -13, -16, -19, -22}},  // towards zero: 8 points at 144 DPI is 16 pixels
      {13, {13, 16, 19, 22, 26}},
  };
  for (const TCase& c : lengths)
    for (int i = 0; i < 5; ++i) EXPECT_EQ(ScaleToDpi(c.Design, Dpis[i]), c.At[i]) << c.Design << " at " << Dpis[i];
  for (const TCase& c : fonts)
    for (int i = 0; i < 5; ++i) EXPECT_EQ(ScaleFontHeight(c.Design, Dpis[i]), c.At[i]) << c.Design << " at " << Dpis[i];
  const int lines[] = {1, 1, 1, 1, 2};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(LineWidthForDpi(Dpis[i]), lines[i]) << Dpis[i];
}

// A value placed at run time is counted back to 96 DPI so that it scales to
// itself again: 144 -> 96 -> 144 gives the same value, for every length.
TEST(DisplayScale, CountingBackDoesNotDrift) {
  for (UINT dpi : Dpis)
    for (int v = -40; v <= 800; ++v) {
      ASSERT_EQ(UnscaleFromDpi(ScaleToDpi(v, dpi), dpi), v) << v << " at " << dpi;
      ASSERT_EQ(ScaleFontHeight(UnscaleFontHeight(ScaleFontHeight(v, dpi), dpi), dpi), ScaleFontHeight(v, dpi));
      const int back = UnscaleFromDpi(v, dpi);  // any value: the nearest that exists
      ASSERT_LE(std::abs(ScaleToDpi(back, dpi) - v), static_cast<int>(dpi / 96)) << v << " at " << dpi;
    }
}

// The form's client area scales, its frame is the system's at each DPI (the
// main window: 377 x 241 outside at 96 DPI, Wine's frames measured).
TEST(DisplayScale, AWindowsClientAreaScalesAndTheFrameIsTheSystems) {
  const TFrameSize at96{4, 23, 4, 4}, at144{5, 33, 5, 5};
  const SIZE outer = ScaleWindowSize({377, 241}, at96, at144, 144);
  EXPECT_EQ((std::vector<LONG>{outer.cx, outer.cy}), (std::vector<LONG>{564, 359})) << "client 554 x 321";
  const SIZE back = UnscaleWindowSize(outer, at96, at144, 144);
  EXPECT_EQ((std::vector<LONG>{back.cx, back.cy}), (std::vector<LONG>{377, 241}));
  const SIZE same = ScaleWindowSize({377, 241}, at96, at96, 96);
  EXPECT_EQ((std::vector<LONG>{same.cx, same.cy}), (std::vector<LONG>{377, 241}));
}

// At 96 DPI every metric is the design's value; at the others each length
// scales (the check box 12.5 -> 13, 17.5 -> 18), lines do only from 200 %,
// the indicator is the system's thumb.
TEST(XPMetrics, EveryLengthScalesFromTheDesignsValue) {
  const TXPMetrics d = XPMetricsForDpi(96, 24, 17);
  EXPECT_TRUE(d.MenuItem == TMenuItemMetrics{} && d.Glyph == TGlyphMetrics{} && d.ToolButton == TToolButtonMetrics{} &&
              d.Band == TBandMetrics{} && d.Button == TButtonMetrics{} && d.CheckMark == TCheckMarkMetrics{} &&
              d.Combo == TComboMetrics{} && d.GroupBox == TGroupBoxMetrics{} && d.Indicator.Size == 17);
  struct TCase {
    UINT Dpi;
    int IconWidth, CheckSize, SeparatorHeight, ComboArrowRight, Corner, TickStrokes, Line;
  } cases[] = {
      {96, 24, 10, 4, 10, 4, 3, 1},  {120, 30, 13, 5, 13, 5, 4, 1}, {144, 36, 15, 6, 15, 6, 5, 1},
      {168, 42, 18, 7, 18, 7, 5, 1}, {192, 48, 20, 8, 20, 8, 6, 2},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Dpi);
    const TXPMetrics m = XPMetricsForDpi(c.Dpi, 24, 26);
    EXPECT_EQ((std::vector<int>{m.MenuItem.IconWidth, m.Glyph.IconWidth, m.MenuItem.CheckSize,
                                m.MenuItem.SeparatorHeight, m.Combo.ArrowRight, m.Button.Corner, m.CheckMark.Strokes}),
              (std::vector<int>{c.IconWidth, c.IconWidth, c.CheckSize, c.SeparatorHeight, c.ComboArrowRight, c.Corner,
                                c.TickStrokes}));
    EXPECT_EQ((std::vector<int>{m.MenuItem.Line, m.Button.Line, m.Combo.Line, m.Frame.Line}),
              std::vector<int>(4, c.Line));
    EXPECT_EQ(m.Indicator.Size, 26);
    EXPECT_EQ(m.Scale(7), ScaleToDpi(7, c.Dpi));
  }
  EXPECT_EQ(XPMetricsForDpi(144, 30, 26).MenuItem.IconWidth, 45) << "the style's own IconWidth, scaled";
  // The flat frame covers the popup's own border: Wine's three pixels give
  // the design's widths, a wider one wider ones, a thinner one the design's.
  for (auto [border, edge] : {std::pair{3, 2}, std::pair{5, 4}, std::pair{1, 2}}) {
    const TMenuFrameMetrics frame = MenuFrameMetricsFor(border);
    EXPECT_EQ((std::vector<int>{frame.Edge, frame.Shadow}), (std::vector<int>{edge, edge})) << border;
  }
}

// Windows 7 and 8 lack the per-monitor functions: the system's one DPI and
// its metrics and menu font take their place.
TEST(DisplayScale, WithoutThePerMonitorFunctionsTheSystemsOneDpiServes) {
  TFakePlatform fake;
  TPlatformGuard guard(fake);
  for (const char* name : {"GetDpiForWindow", "GetSystemMetricsForDpi", "SystemParametersInfoForDpi",
                           "AdjustWindowRectExForDpi", "LoadIconMetric"})
    fake.Fail(name, 0, ERROR_PROC_NOT_FOUND);
  HWND desktop = GetDesktopWindow();
  EXPECT_EQ(WindowDpi(desktop), SystemDpi());
  EXPECT_EQ(SystemMetricForDpi(SM_CXSMICON, SystemDpi()), GetSystemMetrics(SM_CXSMICON));
  EXPECT_EQ(SystemMetricForDpi(SM_CXSMICON, 2 * SystemDpi()), 2 * GetSystemMetrics(SM_CXSMICON)) << "in proportion";
  RECT plain{0, 0, 0, 0};
  AdjustWindowRectEx(&plain, WS_OVERLAPPEDWINDOW, FALSE, 0);
  const TFrameSize frame = WindowFrameForDpi(WS_OVERLAPPEDWINDOW, 0, false, SystemDpi());
  EXPECT_EQ((std::vector<int>{frame.Left, frame.Top, frame.Right, frame.Bottom}),
            (std::vector<int>{-plain.left, -plain.top, plain.right, plain.bottom}));
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = 340;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0));
  LOGFONTA font{};
  ASSERT_TRUE(ReadSystemMenuFont(SystemDpi(), font));
  EXPECT_STREQ(font.lfFaceName, metrics.lfMenuFont.lfFaceName);
  EXPECT_EQ(font.lfHeight, metrics.lfMenuFont.lfHeight);
  ASSERT_TRUE(ReadSystemMenuFont(2 * SystemDpi(), font));
  EXPECT_EQ(font.lfHeight, 2 * metrics.lfMenuFont.lfHeight);
  // The icon: LoadImage at the small size, not LoadIconMetric.
  HICON icon = LoadProgramIcon(isSmall, SystemDpi());
  EXPECT_EQ(app_support::IconSize(icon).cx, GetSystemMetrics(SM_CXSMICON));
  DestroyIcon(icon);
}

// The icon resource holds an image made for each size Windows asks for from
// 100 % to 200 % (small and large), not one image to be stretched.
TEST(ProgramIcon, HoldsAnImageForEverySizeFrom100To200Percent) {
#pragma pack(push, 2)
  struct TGroupEntry {
    BYTE Width, Height, Colours, Reserved;
    WORD Planes, BitCount;
    DWORD Bytes;
    WORD Id;
  };
  struct TGroup {
    WORD Reserved, Type, Count;
    TGroupEntry Entries[1];
  };
#pragma pack(pop)
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, "MAINICON", MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  ASSERT_NE(found, nullptr);
  const auto* group = static_cast<const TGroup*>(LockResource(LoadResource(module, found)));
  std::vector<int> sizes;
  for (int i = 0; i < group->Count; ++i) sizes.push_back(group->Entries[i].Width);
  EXPECT_EQ(sizes, (std::vector<int>{16, 20, 24, 28, 32, 40, 48, 56, 64}));
  for (UINT dpi : {96u, 120u, 144u, 192u}) {
    HICON icon = LoadProgramIcon(isSmall, dpi);
    EXPECT_EQ(app_support::IconSize(icon).cx, SystemMetricForDpi(SM_CXSMICON, dpi)) << dpi;
    DestroyIcon(icon);
  }
}
