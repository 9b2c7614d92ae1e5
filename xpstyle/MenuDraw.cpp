// Menu items in the flat look: measuring, the painting of one item (bar
// item, icon column, highlight, check indicator, glyph, caption or line),
// and the flat frame of a popup menu window.
#include <algorithm>
#include <cmath>

#include "ui/ImgList.h"
#include "xpstyle/Primitives.h"
#include "xpstyle/XPStyle.h"

namespace {

bool NTPlatform() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = 148;
  return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// A top-level item of a main menu (any form's).
bool IsBarItem(const TMenuItem* item) {
  TMenu* menu = item->GetParentMenu();
  return Is<TMainMenu>(menu) && item->Parent() == menu->Items();
}

// The item's glyph, a fresh copy for one drawing: its own bitmap, or the
// image from the parent item's SubMenuImages (on the canvas's brush colour)
// or from the menu's Images (on the colour of the canvas pixel at 2, 2).
// True when the item has a glyph, also one that draws nothing.
bool LoadMenuItemGlyph(TMenuItem* item, TCanvas& canvas, TBitmap& glyph) {
  TMenu* menu = item->GetParentMenu();
  TMenuItem* parent = item->Parent();
  TCustomImageList* subImages = parent ? parent->SubMenuImages() : nullptr;
  TCustomImageList* menuImages = menu ? menu->Images() : nullptr;
  const bool hasImage = (menuImages || subImages) && item->ImageIndex != -1;
  const bool hasBitmap = item->Bitmap().Width() > 0;
  if (hasBitmap) glyph = item->Bitmap();
  if (hasImage) {
    TCustomImageList* list = subImages ? subImages : menuImages;
    COLORREF fill = subImages ? ColorToRGB(canvas.Brush.Color) : canvas.Pixel(2, 2);
    glyph.SetSize(list->Width(), list->Height());
    if (!glyph.Empty()) {
      TCanvas& glyphCanvas = glyph.Canvas();
      glyphCanvas.Brush.Color = fill;
      glyphCanvas.Brush.Style = bsSolid;
      glyphCanvas.FillRect({0, 0, glyph.Width(), glyph.Height()});
      // An index outside the list draws nothing; the fill stays.
      list->Draw(glyphCanvas.Handle(), 0, 0, item->ImageIndex, ILD_TRANSPARENT, NoColor, NoColor);
    }
  }
  return hasImage || hasBitmap;
}

// The highlight's frame open at the bottom, with a two-pixel shadow on the
// right whose top two pixels show the bar colour.
void DrawSimpleHighlightFrame(TCanvas& canvas, const TXPMetrics& metrics, TColor barColor, const RECT& rect) {
  const int left = rect.left, top = rect.top, right = rect.right, bottom = rect.bottom;
  const int shadow = metrics.Scale(2);  // the shadow's width and its top in the bar colour
  canvas.Brush.Color = DarkenColor(barColor, 70);
  canvas.MoveTo(left, bottom - 1);
  canvas.LineTo(left, top);
  canvas.LineTo(right - shadow - 1, top);
  canvas.LineTo(right - shadow - 1, bottom);
  canvas.Pen.Color = canvas.Brush.Color;
  canvas.FillRect({right - shadow, top + shadow, right, bottom});
  canvas.Brush.Color = barColor;
  canvas.FillRect({right - shadow, top, right, top + shadow});
}

// Raised: the frame, then a shaded shadow strip of seven pixels (at 96 DPI)
// whose rounded top corner shows the menu bar colour. The shape's points
// are its 96-DPI ones, scaled.
void DrawRaisedHighlightFrame(TCanvas& canvas, const TXPMetrics& metrics, TColor bar, const RECT& rect) {
  const int left = rect.left, top = rect.top, right = rect.right, bottom = rect.bottom;
  auto s = [&metrics](int designPixels) { return metrics.Scale(designPixels); };
  auto fill = [&canvas](TColor color, const RECT& area) {
    canvas.Brush.Color = color;
    canvas.Pen.Color = color;
    canvas.FillRect(area);
  };
  canvas.MoveTo(left, bottom - 1);
  canvas.LineTo(left, top);
  canvas.LineTo(right - s(8), top);
  canvas.LineTo(right - s(8), bottom);
  fill(DarkenColor(bar, 10), {right - s(7), top, right, bottom});
  fill(DarkenColor(bar, 30), {right - s(7), top + s(3), right - s(2), bottom});
  fill(DarkenColor(bar, 60), {right - s(7), top + s(5), right - s(3), bottom});
  fill(DarkenColor(bar, 100), {right - s(7), top + s(6), right - s(5), bottom});
  canvas.Pen.Color = bar;
  canvas.MoveTo(right - s(5), top + s(1));
  canvas.LineTo(right - s(1), top + s(1));
  canvas.LineTo(right - s(1), top + s(6));
  canvas.MoveTo(right - s(3), top + s(2));
  canvas.LineTo(right - s(2), top + s(2));
  canvas.LineTo(right - s(2), top + s(3));
  canvas.LineTo(right - s(3), top + s(3));
  canvas.Pen.Color = DarkenColor(bar, 10);
  canvas.MoveTo(right - s(6), top + s(3));
  canvas.LineTo(right - s(3), top + s(3));
  canvas.LineTo(right - s(3), top + s(6));
  canvas.LineTo(right - s(4), top + s(6));
  canvas.LineTo(right - s(4), top + s(3));
  canvas.Pen.Color = DarkenColor(bar, 30);
  canvas.MoveTo(right - s(5), top + s(5));
  canvas.LineTo(right - s(4), top + s(5));
  canvas.LineTo(right - s(4), top + s(9));
  canvas.Pen.Color = DarkenColor(bar, 40);
  canvas.MoveTo(right - s(6), top + s(5));
  canvas.LineTo(right - s(6), top + s(7));
}

}  // namespace

// The host form's bar is told by identity, where names could collide (two
// unnamed components have the same empty name).
bool TXPStyle::IsFormBarItem(const TMenuItem* item) const {
  TMainMenu* bar = FHostForm ? FHostForm->Menu() : nullptr;
  return bar && item->GetParentComponent() == bar;
}

SIZE TXPStyle::GetItemGlyphSize(TMenuItem* item, UINT dpi) const {
  TMenu* menu = item->GetParentMenu();
  TMenuItem* parent = item->Parent();
  TCustomImageList* subImages = parent ? parent->SubMenuImages() : nullptr;
  TCustomImageList* menuImages = menu ? menu->Images() : nullptr;
  const bool formBar = IsFormBarItem(item);
  bool image = formBar && FHostForm->Menu()->Images() && item->ImageIndex != -1;
  if (menuImages || subImages) image = item->ImageIndex != -1;
  SIZE size{0, 0};
  if (image) {
    TCustomImageList* list = subImages ? subImages : menuImages;
    size = {list->Width(), list->Height()};
  } else if (item->Bitmap().Width() > 0) {
    size = {item->Bitmap().Width(), item->Bitmap().Height()};
  }
  if (!formBar) size.cx = std::max<LONG>(size.cx, ScaleToDpi(FIconWidth, dpi));
  return size;
}

void TXPStyle::MeasureItemHandler(TObject* sender, TCanvas* canvas, int& width, int& height) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (!FActive || !item || !canvas) return;
  try {
    const UINT dpi = canvas->Dpi();
    const TMenuItemMetrics metrics = MetricsForDpi(dpi).MenuItem;
    std::string text = item->IsLine() ? "" : item->Caption();
    std::string keys = ShortCutToText(item->ShortCut);
    if (!Blank(keys)) text += keys + "WWW";
    // The font as it stands: with system colours, the menu font arrives
    // with the first drawing.
    canvas->Font = FontForDpi(dpi);
    int itemWidth = canvas->TextWidth(text) + metrics.TextExtraWidth;
    if (text.find('&') != std::string::npos) itemWidth -= canvas->TextWidth("&");
    SIZE glyph = GetItemGlyphSize(item, dpi);
    if (glyph.cx > 0) itemWidth += glyph.cx;
    if (IsFormBarItem(item) && NTPlatform()) itemWidth += metrics.BarExtraWidth;
    width = std::max(width, itemWidth);
    if (item->IsLine()) {
      height = metrics.SeparatorHeight;
    } else {
      int textHeight = canvas->TextHeight(text);
      int itemHeight = std::max(textHeight + static_cast<int>(std::nearbyint(textHeight * 0.75)),
                                static_cast<int>(glyph.cy) + metrics.GlyphExtraHeight);
      height = std::max(height, itemHeight);
    }
  } catch (...) {
    // Measuring reports nothing; the proposed size stays.
  }
}

void TXPStyle::DrawItemHandler(TObject* sender, TCanvas* canvas, const RECT& rect, TOwnerDrawState state) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (!FActive || !item || !canvas) return;
  try {
    // Any state bit counts as selected, so checked and default items are
    // highlighted too and a hot bar item shows as selected.
    DrawMenuItem(item, *canvas, (state & 0xFF) != 0, rect);
  } catch (...) {
    // A paint reports nothing: an error here would otherwise open the
    // error report on every redraw of the open menu.
  }
}

// One item's drawing worked out before anything is drawn: its state, where
// each part goes, and the colours and metrics it is drawn with.
struct TXPStyle::TMenuItemLayout {
  bool Selected = false;
  bool BarItem = false;
  bool RightToLeft = false;  // the icon column on the right
  bool Enabled = true;
  bool HasGlyph = false;  // an image or a bitmap, also one that draws nothing
  int GlyphWidth = 0;
  RECT ItemRect{};   // the item rectangle, one pixel taller
  RECT IconRect{};   // the icon column
  RECT CheckRect{};  // the check indicator
  RECT TextRect{};   // the caption and shortcut, or the separator line
  TXPColors Colors;
  TXPMetrics Metrics;
};

void TXPStyle::DrawMenuItem(TMenuItem* item, TCanvas& canvas, bool selected, RECT rect) {
  const TXPColors colors = UpdateDrawColors(canvas);
  const UINT dpi = canvas.Dpi();
  const TFont font = FontForDpi(dpi);
  canvas.Font = font;
  TBitmap glyph;  // a fresh copy: DrawItemGlyph changes it
  const bool hasGlyph = LoadMenuItemGlyph(item, canvas, glyph);
  TMenuItemLayout layout = MenuItemLayout(item, selected, rect, hasGlyph, glyph.Width(), MetricsForDpi(dpi));
  layout.Colors = colors;

  DrawMenuItemBackground(canvas, layout);
  canvas.Font.SetColor(layout.Enabled ? font.Color() : FDisabledColor);
  if (layout.Selected && FDrawSelect) DrawMenuItemHighlight(canvas, layout);
  DrawCheckIndicator(item, canvas, layout);
  const TGlyphState glyphState{.Selected = layout.Selected,
                               .Enabled = layout.Enabled,
                               .Checked = item->Checked,
                               .BarItem = layout.BarItem,
                               .RightToLeft = layout.RightToLeft};
  DrawItemGlyph(colors, layout.Metrics.Glyph, doMenuItem, canvas, glyph, layout.IconRect, glyphState);
  if (item->IsLine())
    DrawMenuSeparator(canvas, layout);
  else
    DrawMenuItemCaption(item, canvas, layout);
  if (!Designing() && FFlatMenu && !layout.BarItem) FrameMenuWindowOf(canvas, layout);
  HookSiblingItems(item);
}

TXPStyle::TMenuItemLayout TXPStyle::MenuItemLayout(TMenuItem* item, bool selected, const RECT& rect, bool hasGlyph,
                                                   int glyphWidth, const TXPMetrics& metrics) const {
  TMenu* menu = item->GetParentMenu();
  TMenuItemLayout layout;
  layout.Metrics = metrics;
  layout.Selected = selected;
  layout.BarItem = IsBarItem(item);
  layout.RightToLeft = menu && menu->IsRightToLeft();
  layout.Enabled = item->Enabled();
  layout.HasGlyph = hasGlyph;
  layout.GlyphWidth = glyphWidth;
  layout.ItemRect = {rect.left, rect.top, rect.right, rect.bottom + 1};
  const RECT& bounds = layout.ItemRect;
  const int iconWidth = metrics.MenuItem.IconWidth;
  layout.IconRect = layout.RightToLeft ? RECT{bounds.right - iconWidth, bounds.top, bounds.right, bounds.bottom}
                                       : RECT{bounds.left, bounds.top, bounds.left + iconWidth, bounds.bottom};
  layout.CheckRect = MenuCheckRect(layout);
  layout.TextRect = MenuTextRect(layout);
  return layout;
}

// With a glyph the box lies behind it and grows with a glyph wider than the
// column; without one it is a square in the column's middle.
RECT TXPStyle::MenuCheckRect(const TMenuItemLayout& layout) {
  const TMenuItemMetrics& m = layout.Metrics.MenuItem;
  const RECT& icon = layout.IconRect;
  RECT check;
  if (layout.HasGlyph) {
    check = {icon.left + m.GlyphCheckLeft, icon.top + m.GlyphCheckTop, icon.right - m.GlyphCheckRight,
             icon.bottom - m.GlyphCheckTop};
  } else {
    const int left = icon.left + (icon.right - icon.left - m.CheckSize) / 2;
    const int top = icon.top + (icon.bottom - icon.top - m.CheckSize) / 2;
    check = {left, top, left + m.CheckSize, top + m.CheckSize};
  }
  if (layout.GlyphWidth > m.IconWidth) {
    if (layout.RightToLeft)
      check.left = check.right - layout.GlyphWidth;
    else
      check.right = check.left + layout.GlyphWidth;
  }
  if (layout.BarItem) --check.top;
  return check;
}

// Beside the icon column, or beside a glyph wider than it; a bar item's
// caption takes the whole item without a glyph, else starts closer to it.
RECT TXPStyle::MenuTextRect(const TMenuItemLayout& layout) {
  const TMenuItemMetrics& m = layout.Metrics.MenuItem;
  const RECT& item = layout.ItemRect;
  const int glyphWidth = layout.GlyphWidth;
  const int indent = layout.BarItem ? m.BarTextIndent : m.IconWidth;
  RECT text{0, item.top, 0, item.bottom};
  if (!layout.RightToLeft) {
    text.left = item.left + indent;
    if (glyphWidth + item.left > text.left) text.left = glyphWidth + item.left + m.GlyphTextGap;
    text.right = item.right;
  } else {
    text.left = item.left;
    text.right = item.right - indent;
    if (item.right - glyphWidth < text.right) text.right = item.right - glyphWidth - m.GlyphTextGapRightToLeft;
  }
  if (layout.BarItem) {
    if (!layout.HasGlyph)
      text = item;
    else if (!layout.RightToLeft)
      text.left -= m.BarGlyphTextShift;
    else
      text.right += m.BarGlyphTextShift;
  }
  return text;
}

void TXPStyle::DrawMenuItemBackground(TCanvas& canvas, const TMenuItemLayout& layout) {
  const TXPColors& colors = layout.Colors;
  const RECT& item = layout.ItemRect;
  canvas.Brush.Style = bsSolid;
  if (layout.BarItem) {
    canvas.Brush.Color = colors.EffMenuBarColor;
    canvas.Pen.Color = colors.EffMenuBarColor;
    canvas.FillRect(item);
  } else if (colors.HighColorDevice && FGradient) {
    // The gradient reaches two pixels past the item's right edge.
    FillIconGradient(canvas, colors, layout.Metrics, {item.left, item.top, item.right + 2, item.bottom},
                     layout.RightToLeft);
  } else {
    canvas.Brush.Color = colors.EffColor;
    canvas.FillRect(item);
    canvas.Brush.Color = colors.EffIconBackColor;
    canvas.FillRect(layout.IconRect);
  }
}

// A disabled item that is not a bar item gets no highlight.
void TXPStyle::DrawMenuItemHighlight(TCanvas& canvas, const TMenuItemLayout& layout) {
  const TXPColors& colors = layout.Colors;
  const TMenuItemMetrics& m = layout.Metrics.MenuItem;
  const RECT& item = layout.ItemRect;
  canvas.Brush.Style = bsSolid;
  if (layout.BarItem) {
    DrawHighlight(doMenuItem, canvas, colors, layout.Metrics, layout.RightToLeft, FMenuBarColor, item);
  } else if (layout.Enabled) {
    // A flat menu keeps the last column free for its frame.
    const RECT band{item.left, item.top + m.HighlightInset, item.right - (FFlatMenu ? 1 : 0),
                    item.bottom - m.HighlightInset};
    canvas.Brush.Color = colors.EffSelectColor;
    canvas.FillRect(band);
    canvas.Pen.Color = colors.EffSelectBorderColor;
    canvas.Brush.Style = bsClear;
    {
      TFramePen pen(canvas, m.Line);
      canvas.RoundRect(band.left, band.top, band.right, band.bottom, 0, 0);
    }
    canvas.Brush.Style = bsSolid;
  }
}

void TXPStyle::DrawMenuSeparator(TCanvas& canvas, const TMenuItemLayout& layout) {
  const TMenuItemMetrics& m = layout.Metrics.MenuItem;
  const RECT& text = layout.TextRect;
  canvas.Pen.Color = layout.Colors.EffSeparatorColor;
  const int y = text.top + static_cast<int>(std::nearbyint((text.bottom - text.top) / 2.0));
  const int from = layout.RightToLeft ? text.left : text.left + m.SeparatorIndent;
  const int to = layout.RightToLeft ? text.right - m.SeparatorIndent : text.right;
  for (int i = 0; i < m.Line; ++i) {
    canvas.MoveTo(from, y + i);
    canvas.LineTo(to, y + i);
  }
}

void TXPStyle::DrawMenuItemCaption(TMenuItem* item, TCanvas& canvas, const TMenuItemLayout& layout) {
  RECT textRect = layout.TextRect;
  UINT format = 0;
  if (layout.RightToLeft) {
    textRect.right -= layout.Metrics.MenuItem.CaptionIndent;
    format = DT_RIGHT | DT_RTLREADING;
  } else {
    textRect.left += layout.Metrics.MenuItem.CaptionIndent;
  }
  // One leading blank; the "&" stays, so the access key is underlined.
  const std::string caption = " " + item->Caption();
  const TItemTextState state{.RightToLeft = layout.RightToLeft,
                             .BarItem = layout.BarItem,
                             .Default = item->Default,
                             .Enabled = layout.Enabled,
                             .Selected = layout.Selected};
  DrawItemText(layout.Colors, layout.Metrics, doMenuItem, caption, format, FontForDpi(layout.Metrics.Dpi), state,
               textRect, canvas, ShortCutToText(item->ShortCut));
}

// The frame goes on the popup window the item is drawn in; the host form's
// own window (a menu bar) keeps its border.
void TXPStyle::FrameMenuWindowOf(TCanvas& canvas, const TMenuItemLayout& layout) {
  HWND window = WindowFromDC(canvas.Handle());
  HWND host = FHostForm && FHostForm->HandleAllocated() ? FHostForm->Handle() : nullptr;
  if (window != host) DrawFlatMenuFrame(window, layout.RightToLeft, layout.Colors, layout.Metrics);
}

void TXPStyle::DrawCheckIndicator(TMenuItem* item, TCanvas& canvas, const TMenuItemLayout& layout) {
  if (!item->Checked) return;
  const TXPColors& colors = layout.Colors;
  const bool enabled = layout.Enabled;
  if (enabled) {
    canvas.Pen.Color = colors.EffSelectBorderColor;
    canvas.Brush.Color = layout.Selected ? colors.CheckFillHotColor : colors.CheckFillColor;
  } else {
    canvas.Pen.Color = colors.EffDisabledColor;  // the brush keeps its colour
  }
  canvas.Brush.Style = bsSolid;
  const RECT& box = layout.CheckRect;
  TFramePen framePen(canvas, layout.Metrics.MenuItem.Line);
  if (item->RadioItem) {
    const int corner = layout.Metrics.Scale(6);
    if (layout.HasGlyph)
      canvas.RoundRect(box.left, box.top, box.right, box.bottom, corner, corner);
    else
      canvas.Ellipse(box);
    return;
  }
  if (layout.HasGlyph) {
    canvas.Rectangle(box);
    return;
  }
  if (enabled) canvas.Pen.Color = colors.EffCheckedColor;
  canvas.Rectangle(box);
  canvas.Pen.Color = enabled ? clBlack : colors.EffDisabledColor;
  // The tick; its long stroke ends two pixels (at 96 DPI) right of and one
  // above the box.
  const int left = box.left, top = box.top, right = box.right, bottom = box.bottom;
  auto s = [&layout](int designPixels) { return layout.Metrics.Scale(designPixels); };
  const POINT strokes[][2] = {{{left + s(1), top + s(5)}, {left + s(4), bottom - s(2)}},
                              {{left + s(2), top + s(5)}, {left + s(4), bottom - s(3)}},
                              {{left + s(2), top + s(4)}, {left + s(5), bottom - s(3)}},
                              {{left + s(4), bottom - s(3)}, {right + s(2), top - s(1)}},
                              {{left + s(4), bottom - s(2)}, {right - s(2), top + s(3)}}};
  for (auto& stroke : strokes) {
    canvas.MoveTo(stroke[0].x, stroke[0].y);
    canvas.LineTo(stroke[1].x, stroke[1].y);
  }
}

void TXPStyle::DrawHighlight(TDrawnObject object, TCanvas& canvas, const TXPColors& colors, const TXPMetrics& metrics,
                             bool rightToLeft, TColor color, const RECT& rect) {
  canvas.Brush.Style = bsSolid;
  canvas.Brush.Color = colors.EffSelectColor;
  canvas.FillRect(rect);
  canvas.Pen.Color = colors.EffSelectBorderColor;
  if (rightToLeft || !colors.HighColorDevice || object != doMenuItem)
    DrawSimpleHighlightFrame(canvas, metrics, color, rect);
  else
    DrawRaisedHighlightFrame(canvas, metrics, colors.EffMenuBarColor, rect);
}

void TXPStyle::FillIconGradient(TCanvas& canvas, const TXPColors& colors, const TXPMetrics& metrics, const RECT& rect,
                                bool rightToLeft) {
  canvas.Brush.Style = bsSolid;
  const int steepBand = metrics.MenuItem.IconWidth + metrics.MenuItem.GradientSteepExtra;
  int percent = 0;
  auto strip = [&](int x, bool steep) {
    percent = std::min(percent + (steep ? 3 : 1), 96);
    canvas.Brush.Color = LightenColor(canvas, colors.EffIconBackColor, percent);
    canvas.FillRect({x, rect.top, x + 1, rect.bottom});
  };
  if (!rightToLeft) {
    for (int x = rect.left; x <= rect.right; ++x) strip(x, rect.left < x && x < rect.left + steepBand);
  } else {
    for (int x = rect.right - 1; x >= rect.left - 1; --x)
      strip(x, rect.right - metrics.MenuItem.IconWidth + metrics.MenuItem.GradientSteepExtra < x && x < rect.right);
  }
}

void TXPStyle::DrawFlatMenuFrame(HWND window, bool rightToLeft) {
  if (!window) return;
  TWindowDC dc(window, true);
  if (!dc.Get()) return;
  TCanvas canvas(dc.Get());
  const TXPColors colors = UpdateDrawColors(canvas);
  DrawFlatMenuFrame(window, rightToLeft, colors, MetricsForDpi(WindowDpi(window)));
}

void TXPStyle::DrawFlatMenuFrame(HWND window, bool rightToLeft, const TXPColors& colors, const TXPMetrics& metrics) {
  RECT bounds;
  if (!window || !GetWindowRect(window, &bounds)) return;
  // The window's own DC, in window coordinates: a DC of the desktop does
  // not reach another top-level window's surface on every system (Wine
  // keeps one per window), the window DC does everywhere.
  TWindowDC dc(window, true);  // released last, on every path
  if (!dc.Get()) return;
  RECT client{};
  GetClientRect(window, &client);
  const TMenuFrameMetrics m = MenuFrameMetricsFor((bounds.right - bounds.left - client.right) / 2);
  OffsetRect(&bounds, -bounds.left, -bounds.top);
  TCanvas canvas(dc.Get());
  canvas.Brush.Style = bsClear;
  const int iconWidth = metrics.MenuItem.IconWidth;
  const int left = bounds.left, top = bounds.top, edge = m.Edge, inner = m.Edge / 2;
  int right = bounds.right - m.Shadow, bottom = bounds.bottom - m.Shadow;
  canvas.Pen.Color = colors.PopupFrameColor;
  canvas.Rectangle(left, top, right, bottom);
  if (rightToLeft) {
    canvas.Pen.Color = colors.EffColor;
    canvas.Rectangle(left + inner, top + inner, right - edge, top + edge + inner);
    canvas.MoveTo(left + edge, top + edge);
    canvas.LineTo(left + edge, bottom - edge);
    canvas.Pen.Color = colors.EffIconBackColor;
    canvas.MoveTo(right - edge, top + edge);
    canvas.LineTo(right - edge, bottom - edge);
    canvas.MoveTo(right - edge, top + edge);
    canvas.LineTo(right - inner - iconWidth, top + edge);
  } else {
    if (!FGradient) {
      canvas.Pen.Color = colors.EffColor;
      canvas.Rectangle(left + inner, top + inner, right - inner, top + edge + inner);
      canvas.Pen.Color = colors.EffIconBackColor;
      canvas.MoveTo(left + inner, top + edge);
      canvas.LineTo(left + edge + inner + iconWidth, top + edge);
    } else {
      FillIconGradient(canvas, colors, metrics, {left + inner, top + inner, right - edge - inner, top + edge + inner},
                       false);
      canvas.Brush.Style = bsClear;
    }
    canvas.Pen.Color = colors.EffIconBackColor;
    canvas.Rectangle(left + inner, top + edge, left + edge + inner, bottom - inner);
  }
  // The shadow, and the two corners outside it in the face colour.
  right += m.Shadow;
  bottom += m.Shadow;
  canvas.Pen.Color = colors.PopupShadowColor;
  canvas.Rectangle(left + m.Shadow, bottom - m.Shadow, right, bottom);
  canvas.Rectangle(right - m.Shadow, top + m.Shadow, right, bottom);
  canvas.Pen.Color = clBtnFace;
  canvas.Rectangle(left, bottom - m.Shadow, left + m.Shadow, bottom);
  canvas.Rectangle(right - m.Shadow, top, right, top + m.Shadow);
}
