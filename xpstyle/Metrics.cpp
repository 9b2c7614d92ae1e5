#include "xpstyle/Metrics.h"

#include "ui/DisplayScale.h"

namespace {

TMenuItemMetrics ForDpi(const TMenuItemMetrics& m, UINT dpi, int line) {
  auto s = [dpi](int v) { return ScaleToDpi(v, dpi); };
  return {.IconWidth = s(m.IconWidth),
          .CheckSize = s(m.CheckSize),
          .GlyphCheckLeft = s(m.GlyphCheckLeft),
          .GlyphCheckTop = s(m.GlyphCheckTop),
          .GlyphCheckRight = s(m.GlyphCheckRight),
          .BarTextIndent = s(m.BarTextIndent),
          .GlyphTextGap = s(m.GlyphTextGap),
          .GlyphTextGapRightToLeft = s(m.GlyphTextGapRightToLeft),
          .BarGlyphTextShift = s(m.BarGlyphTextShift),
          .CaptionIndent = s(m.CaptionIndent),
          .ShortcutMargin = s(m.ShortcutMargin),
          .SeparatorHeight = s(m.SeparatorHeight),
          .SeparatorIndent = s(m.SeparatorIndent),
          .TextExtraWidth = s(m.TextExtraWidth),
          .GlyphExtraHeight = s(m.GlyphExtraHeight),
          .BarExtraWidth = s(m.BarExtraWidth),
          .HighlightInset = s(m.HighlightInset),
          .GradientSteepExtra = s(m.GradientSteepExtra),
          .Line = line};
}

TGlyphMetrics ForDpi(const TGlyphMetrics& m, UINT dpi) {
  auto s = [dpi](int v) { return ScaleToDpi(v, dpi); };
  return {.IconWidth = s(m.IconWidth),
          .Top = s(m.Top),
          .MenuTop = s(m.MenuTop),
          .MenuMargin = s(m.MenuMargin),
          .MenuCentreShift = s(m.MenuCentreShift),
          .BarLeft = s(m.BarLeft),
          .BarRight = s(m.BarRight),
          .Lift = s(m.Lift),
          .ShadowOffset = s(m.ShadowOffset)};
}

TToolButtonMetrics ForDpi(const TToolButtonMetrics& m, UINT dpi, int line) {
  auto s = [dpi](int v) { return ScaleToDpi(v, dpi); };
  return {.DropDownWidth = s(m.DropDownWidth),
          .DropDownSplit = s(m.DropDownSplit),
          .DropArrowRight = s(m.DropArrowRight),
          .ArrowHalfWidth = s(m.ArrowHalfWidth),
          .ListGlyphMargin = s(m.ListGlyphMargin),
          .GlyphTop = s(m.GlyphTop),
          .GlyphBoxExtra = s(m.GlyphBoxExtra),
          .CaptionBottom = s(m.CaptionBottom),
          .ListCaptionGapRightToLeft = s(m.ListCaptionGapRightToLeft),
          .SeparatorLineTop = s(m.SeparatorLineTop),
          .SeparatorLineBottom = s(m.SeparatorLineBottom),
          .Line = line};
}

TBandMetrics ForDpi(const TBandMetrics& m, UINT dpi) {
  auto s = [dpi](int v) { return ScaleToDpi(v, dpi); };
  return {.GripInset = s(m.GripInset), .GripLeft = s(m.GripLeft), .GripRight = s(m.GripRight),
          .GripStep = s(m.GripStep)};
}

TIndicatorMetrics ForDpi(const TIndicatorMetrics& m, UINT dpi, int thumbSize, int line) {
  auto s = [dpi](int v) { return ScaleToDpi(v, dpi); };
  return {.Size = thumbSize,
          .CheckInset = s(m.CheckInset),
          .RadioInset = s(m.RadioInset),
          .FrameInset = s(m.FrameInset),
          .DotInset = s(m.DotInset),
          .Line = line};
}

TCheckMarkMetrics ForDpi(const TCheckMarkMetrics& m, UINT dpi) {
  auto s = [dpi](int v) { return ScaleToDpi(v, dpi); };
  return {.Left = s(m.Left),
          .Elbow = s(m.Elbow),
          .Tip = s(m.Tip),
          .Foot = s(m.Foot),
          .Knee = s(m.Knee),
          .Top = s(m.Top),
          .Strokes = s(m.Strokes)};
}

TComboMetrics ForDpi(const TComboMetrics& m, UINT dpi, int line) {
  auto s = [dpi](int v) { return ScaleToDpi(v, dpi); };
  return {.ButtonExtra = s(m.ButtonExtra),
          .Strip = s(m.Strip),
          .ArrowRight = s(m.ArrowRight),
          .ArrowLeft = s(m.ArrowLeft),
          .ArrowTop = s(m.ArrowTop),
          .ArrowHalfWidth = s(m.ArrowHalfWidth),
          .Line = line};
}

}  // namespace

TMenuFrameMetrics MenuFrameMetricsFor(int border) {
  TMenuFrameMetrics m;
  if (border > m.Line + 1) m.Edge = m.Shadow = border - m.Line;
  return m;
}

int TXPMetrics::Scale(int designPixels) const { return ScaleToDpi(designPixels, Dpi); }

TXPMetrics XPMetricsForDpi(UINT dpi, int iconWidth, int thumbSize) {
  const int line = LineWidthForDpi(dpi);
  TXPMetrics m;
  m.Dpi = dpi;
  TMenuItemMetrics menuItem;
  menuItem.IconWidth = iconWidth;
  m.MenuItem = ForDpi(menuItem, dpi, line);
  TGlyphMetrics glyph;
  glyph.IconWidth = iconWidth;
  m.Glyph = ForDpi(glyph, dpi);
  // The frame covers the popup window's own border, which the system draws
  // (Wine 8 at three pixels whatever the DPI): the drawing takes its widths
  // from the window itself (MenuFrameMetricsFor).
  m.ToolButton = ForDpi(m.ToolButton, dpi, line);
  m.Band = ForDpi(m.Band, dpi);
  m.Button = {.Corner = ScaleToDpi(m.Button.Corner, dpi), .SpeedGlyphRaise = ScaleToDpi(m.Button.SpeedGlyphRaise, dpi),
              .Line = line};
  m.Indicator = ForDpi(m.Indicator, dpi, thumbSize, line);
  m.CheckMark = ForDpi(m.CheckMark, dpi);
  m.Combo = ForDpi(m.Combo, dpi, line);
  m.GroupBox = {.CaptionIndent = ScaleToDpi(m.GroupBox.CaptionIndent, dpi), .Line = line};
  m.Frame = {.Line = line};
  return m;
}
