// Menu items in the flat look: measuring, the painting of one item (bar
// item, icon column, highlight, check indicator, glyph, caption or line),
// and the flat frame of a popup menu window.
#include <algorithm>
#include <cmath>

#include "ui/ImgList.h"
#include "xpstyle/Primitives.h"
#include "xpstyle/XPStyle.h"

namespace {

// The clNone of image list drawing: no background or foreground colour.
constexpr COLORREF NoColor = 0x1FFFFFFF;

bool Blank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

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
void DrawSimpleHighlightFrame(TCanvas& canvas, TColor barColor, const RECT& rect) {
  const int left = rect.left, top = rect.top, right = rect.right, bottom = rect.bottom;
  canvas.Brush.Color = DarkenColor(barColor, 70);
  canvas.MoveTo(left, bottom - 1);
  canvas.LineTo(left, top);
  canvas.LineTo(right - 3, top);
  canvas.LineTo(right - 3, bottom);
  canvas.Pen.Color = canvas.Brush.Color;
  canvas.FillRect({right - 2, top + 2, right, bottom});
  canvas.Brush.Color = barColor;
  canvas.FillRect({right - 2, top, right, top + 2});
}

// Raised: the frame, then a shaded shadow strip of seven pixels whose
// rounded top corner shows the menu bar colour.
void DrawRaisedHighlightFrame(TCanvas& canvas, TColor bar, const RECT& rect) {
  const int left = rect.left, top = rect.top, right = rect.right, bottom = rect.bottom;
  auto fill = [&canvas](TColor color, const RECT& area) {
    canvas.Brush.Color = color;
    canvas.Pen.Color = color;
    canvas.FillRect(area);
  };
  canvas.MoveTo(left, bottom - 1);
  canvas.LineTo(left, top);
  canvas.LineTo(right - 8, top);
  canvas.LineTo(right - 8, bottom);
  fill(DarkenColor(bar, 10), {right - 7, top, right, bottom});
  fill(DarkenColor(bar, 30), {right - 7, top + 3, right - 2, bottom});
  fill(DarkenColor(bar, 60), {right - 7, top + 5, right - 3, bottom});
  fill(DarkenColor(bar, 100), {right - 7, top + 6, right - 5, bottom});
  canvas.Pen.Color = bar;
  canvas.MoveTo(right - 5, top + 1);
  canvas.LineTo(right - 1, top + 1);
  canvas.LineTo(right - 1, top + 6);
  canvas.MoveTo(right - 3, top + 2);
  canvas.LineTo(right - 2, top + 2);
  canvas.LineTo(right - 2, top + 3);
  canvas.LineTo(right - 3, top + 3);
  canvas.Pen.Color = DarkenColor(bar, 10);
  canvas.MoveTo(right - 6, top + 3);
  canvas.LineTo(right - 3, top + 3);
  canvas.LineTo(right - 3, top + 6);
  canvas.LineTo(right - 4, top + 6);
  canvas.LineTo(right - 4, top + 3);
  canvas.Pen.Color = DarkenColor(bar, 30);
  canvas.MoveTo(right - 5, top + 5);
  canvas.LineTo(right - 4, top + 5);
  canvas.LineTo(right - 4, top + 9);
  canvas.Pen.Color = DarkenColor(bar, 40);
  canvas.MoveTo(right - 6, top + 5);
  canvas.LineTo(right - 6, top + 7);
}

}  // namespace

// The host form's bar is told by identity, where names could collide (two
// unnamed components have the same empty name).
bool TXPStyle::IsFormBarItem(const TMenuItem* item) const {
  TMainMenu* bar = FHostForm ? FHostForm->Menu() : nullptr;
  return bar && item->GetParentComponent() == bar;
}

SIZE TXPStyle::GetItemGlyphSize(TMenuItem* item) const {
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
  if (!formBar) size.cx = std::max<LONG>(size.cx, FIconWidth);
  return size;
}

void TXPStyle::MeasureItemHandler(TObject* sender, TCanvas* canvas, int& width, int& height) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (!FActive || !item || !canvas) return;
  try {
    std::string text = item->IsLine() ? "" : item->Caption();
    std::string keys = ShortCutToText(item->ShortCut);
    if (!Blank(keys)) text += keys + "WWW";
    // The font as it stands: with system colours, the menu font arrives
    // with the first drawing.
    canvas->Font = FFont;
    int itemWidth = canvas->TextWidth(text) + 5;
    if (text.find('&') != std::string::npos) itemWidth -= canvas->TextWidth("&");
    SIZE glyph = GetItemGlyphSize(item);
    if (glyph.cx > 0) itemWidth += glyph.cx;
    if (IsFormBarItem(item) && NTPlatform()) itemWidth += 8;
    width = std::max(width, itemWidth);
    if (item->IsLine()) {
      height = 4;
    } else {
      int textHeight = canvas->TextHeight(text);
      int itemHeight = std::max(textHeight + static_cast<int>(std::nearbyint(textHeight * 0.75)),
                                static_cast<int>(glyph.cy) + 6);
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

// One item's drawing worked out before anything is drawn: its state and
// where each part goes.
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
};

void TXPStyle::DrawMenuItem(TMenuItem* item, TCanvas& canvas, bool selected, RECT rect) {
  UpdateDrawColors(canvas);
  canvas.Font = FFont;
  TBitmap glyph;  // a fresh copy: DrawItemGlyph changes it
  const bool hasGlyph = LoadMenuItemGlyph(item, canvas, glyph);
  const TMenuItemLayout layout = MenuItemLayout(item, selected, rect, hasGlyph, glyph.Width());

  DrawMenuItemBackground(canvas, layout);
  canvas.Font.SetColor(layout.Enabled ? FFont.Color() : FDisabledColor);
  if (layout.Selected && FDrawSelect) DrawMenuItemHighlight(canvas, layout);
  DrawCheckIndicator(item, layout.Selected, layout.CheckRect, canvas, layout.HasGlyph, layout.Enabled);
  DrawItemGlyph(doMenuItem, canvas, glyph, layout.IconRect, layout.Selected, false, layout.Enabled, item->Checked,
                layout.BarItem, layout.RightToLeft);
  if (item->IsLine())
    DrawMenuSeparator(canvas, layout);
  else
    DrawMenuItemCaption(item, canvas, layout);
  if (!Designing() && FFlatMenu && !layout.BarItem) FrameMenuWindowOf(canvas, layout.RightToLeft);
  HookSiblingItems(item);
}

TXPStyle::TMenuItemLayout TXPStyle::MenuItemLayout(TMenuItem* item, bool selected, const RECT& rect, bool hasGlyph,
                                                   int glyphWidth) const {
  TMenu* menu = item->GetParentMenu();
  TMenuItemLayout layout;
  layout.Selected = selected;
  layout.BarItem = IsBarItem(item);
  layout.RightToLeft = menu && menu->IsRightToLeft();
  layout.Enabled = item->Enabled();
  layout.HasGlyph = hasGlyph;
  layout.GlyphWidth = glyphWidth;
  layout.ItemRect = {rect.left, rect.top, rect.right, rect.bottom + 1};
  const RECT& bounds = layout.ItemRect;
  layout.IconRect = layout.RightToLeft ? RECT{bounds.right - FIconWidth, bounds.top, bounds.right, bounds.bottom}
                                       : RECT{bounds.left, bounds.top, bounds.left + FIconWidth, bounds.bottom};
  layout.CheckRect = MenuCheckRect(layout);
  layout.TextRect = MenuTextRect(layout);
  return layout;
}

// With a glyph the box lies behind it and grows with a glyph wider than the
// column; without one it is a 10 x 10 square in the column's middle.
RECT TXPStyle::MenuCheckRect(const TMenuItemLayout& layout) const {
  const RECT& icon = layout.IconRect;
  RECT check;
  if (layout.HasGlyph) {
    check = {icon.left + 1, icon.top + 2, icon.right - 3, icon.bottom - 2};
  } else {
    const int left = icon.left + (icon.right - icon.left - 10) / 2;
    const int top = icon.top + (icon.bottom - icon.top - 10) / 2;
    check = {left, top, left + 10, top + 10};
  }
  if (layout.GlyphWidth > FIconWidth) {
    if (layout.RightToLeft)
      check.left = check.right - layout.GlyphWidth;
    else
      check.right = check.left + layout.GlyphWidth;
  }
  if (layout.BarItem) --check.top;
  return check;
}

// Beside the icon column, or beside a glyph wider than it; a bar item's
// caption takes the whole item without a glyph, else starts 5 pixels
// closer to it.
RECT TXPStyle::MenuTextRect(const TMenuItemLayout& layout) const {
  const RECT& item = layout.ItemRect;
  const int glyphWidth = layout.GlyphWidth;
  const int indent = layout.BarItem ? 4 : FIconWidth;
  RECT text{0, item.top, 0, item.bottom};
  if (!layout.RightToLeft) {
    text.left = item.left + indent;
    if (glyphWidth + item.left > text.left) text.left = glyphWidth + item.left + 4;
    text.right = item.right;
  } else {
    text.left = item.left;
    text.right = item.right - indent;
    if (item.right - glyphWidth < text.right) text.right = item.right - glyphWidth - 8;
  }
  if (layout.BarItem) {
    if (!layout.HasGlyph)
      text = item;
    else if (!layout.RightToLeft)
      text.left -= 5;
    else
      text.right += 5;
  }
  return text;
}

void TXPStyle::DrawMenuItemBackground(TCanvas& canvas, const TMenuItemLayout& layout) {
  const RECT& item = layout.ItemRect;
  canvas.Brush.Style = bsSolid;
  if (layout.BarItem) {
    canvas.Brush.Color = EffMenuBarColor;
    canvas.Pen.Color = EffMenuBarColor;
    canvas.FillRect(item);
  } else if (HighColorDevice && FGradient) {
    FillIconGradient(canvas, {item.left, item.top, item.right + 2, item.bottom}, layout.RightToLeft);
  } else {
    canvas.Brush.Color = EffColor;
    canvas.FillRect(item);
    canvas.Brush.Color = EffIconBackColor;
    canvas.FillRect(layout.IconRect);
  }
}

// A disabled item that is not a bar item gets no highlight.
void TXPStyle::DrawMenuItemHighlight(TCanvas& canvas, const TMenuItemLayout& layout) {
  const RECT& item = layout.ItemRect;
  canvas.Brush.Style = bsSolid;
  if (layout.BarItem) {
    DrawHighlight(doMenuItem, canvas, layout.RightToLeft, FMenuBarColor, item);
  } else if (layout.Enabled) {
    // A flat menu keeps the last column free for its frame.
    const RECT band{item.left, item.top + 1, item.right - (FFlatMenu ? 1 : 0), item.bottom - 1};
    canvas.Brush.Color = EffSelectColor;
    canvas.FillRect(band);
    canvas.Pen.Color = EffSelectBorderColor;
    canvas.Brush.Style = bsClear;
    canvas.RoundRect(band.left, band.top, band.right, band.bottom, 0, 0);
    canvas.Brush.Style = bsSolid;
  }
}

void TXPStyle::DrawMenuSeparator(TCanvas& canvas, const TMenuItemLayout& layout) {
  const RECT& text = layout.TextRect;
  canvas.Pen.Color = EffSeparatorColor;
  const int y = text.top + static_cast<int>(std::nearbyint((text.bottom - text.top) / 2.0));
  const int from = layout.RightToLeft ? text.left : text.left + 7;
  const int to = layout.RightToLeft ? text.right - 7 : text.right;
  canvas.MoveTo(from, y);
  canvas.LineTo(to, y);
}

void TXPStyle::DrawMenuItemCaption(TMenuItem* item, TCanvas& canvas, const TMenuItemLayout& layout) {
  RECT textRect = layout.TextRect;
  UINT format = 0;
  if (layout.RightToLeft) {
    textRect.right -= 3;
    format = DT_RIGHT | DT_RTLREADING;
  } else {
    textRect.left += 3;
  }
  // One leading blank; the "&" stays, so the access key is underlined.
  const std::string caption = " " + item->Caption();
  const TItemTextState state{.RightToLeft = layout.RightToLeft,
                             .BarItem = layout.BarItem,
                             .Default = item->Default,
                             .Enabled = layout.Enabled,
                             .Selected = layout.Selected};
  DrawItemText(doMenuItem, caption, format, FFont, state, textRect, canvas, ShortCutToText(item->ShortCut));
}

// The frame goes on the popup window the item is drawn in; the host form's
// own window (a menu bar) keeps its border.
void TXPStyle::FrameMenuWindowOf(TCanvas& canvas, bool rightToLeft) {
  HWND window = WindowFromDC(canvas.Handle());
  HWND host = FHostForm && FHostForm->HandleAllocated() ? FHostForm->Handle() : nullptr;
  if (window != host) DrawFlatMenuFrame(window, rightToLeft);
}

void TXPStyle::DrawCheckIndicator(TMenuItem* item, bool selected, const RECT& checkRect, TCanvas& canvas,
                                  bool hasGlyph, bool enabled) {
  if (!item->Checked) return;
  if (enabled) {
    canvas.Pen.Color = EffSelectBorderColor;
    canvas.Brush.Color = selected ? CheckFillHotColor : CheckFillColor;
  } else {
    canvas.Pen.Color = EffDisabledColor;  // the brush keeps its colour
  }
  canvas.Brush.Style = bsSolid;
  const RECT& box = checkRect;
  if (item->RadioItem) {
    if (hasGlyph)
      canvas.RoundRect(box.left, box.top, box.right, box.bottom, 6, 6);
    else
      canvas.Ellipse(box);
    return;
  }
  if (hasGlyph) {
    canvas.Rectangle(box);
    return;
  }
  if (enabled) canvas.Pen.Color = EffCheckedColor;
  canvas.Rectangle(box);
  canvas.Pen.Color = enabled ? clBlack : EffDisabledColor;
  // The tick; its long stroke ends two pixels right of and one above the box.
  const int left = box.left, top = box.top, right = box.right, bottom = box.bottom;
  const POINT strokes[][2] = {{{left + 1, top + 5}, {left + 4, bottom - 2}},
                              {{left + 2, top + 5}, {left + 4, bottom - 3}},
                              {{left + 2, top + 4}, {left + 5, bottom - 3}},
                              {{left + 4, bottom - 3}, {right + 2, top - 1}},
                              {{left + 4, bottom - 2}, {right - 2, top + 3}}};
  for (auto& stroke : strokes) {
    canvas.MoveTo(stroke[0].x, stroke[0].y);
    canvas.LineTo(stroke[1].x, stroke[1].y);
  }
}

void TXPStyle::DrawHighlight(TDrawnObject object, TCanvas& canvas, bool rightToLeft, TColor color, const RECT& rect) {
  canvas.Brush.Style = bsSolid;
  canvas.Brush.Color = EffSelectColor;
  canvas.FillRect(rect);
  canvas.Pen.Color = EffSelectBorderColor;
  if (rightToLeft || !HighColorDevice || object != doMenuItem)
    DrawSimpleHighlightFrame(canvas, color, rect);
  else
    DrawRaisedHighlightFrame(canvas, EffMenuBarColor, rect);
}

void TXPStyle::FillIconGradient(TCanvas& canvas, const RECT& rect, bool rightToLeft) {
  canvas.Brush.Style = bsSolid;
  int percent = 0;
  auto strip = [&](int x, bool steep) {
    percent = std::min(percent + (steep ? 3 : 1), 96);
    canvas.Brush.Color = LightenColor(canvas, EffIconBackColor, percent);
    canvas.FillRect({x, rect.top, x + 1, rect.bottom});
  };
  if (!rightToLeft) {
    for (int x = rect.left; x <= rect.right; ++x) strip(x, rect.left < x && x < rect.left + FIconWidth + 5);
  } else {
    for (int x = rect.right - 1; x >= rect.left - 1; --x)
      strip(x, rect.right - FIconWidth + 5 < x && x < rect.right);
  }
}

void TXPStyle::DrawFlatMenuFrame(HWND window, bool rightToLeft) {
  RECT bounds;
  if (!window || !GetWindowRect(window, &bounds)) return;
  // The window's own DC, in window coordinates: a DC of the desktop does
  // not reach another top-level window's surface on every system (Wine
  // keeps one per window), the window DC does everywhere.
  TWindowDC dc(window, true);  // released last, on every path
  if (!dc.Get()) return;
  OffsetRect(&bounds, -bounds.left, -bounds.top);
  TCanvas canvas(dc.Get());
  canvas.Brush.Style = bsClear;
  const int left = bounds.left, top = bounds.top;
  int right = bounds.right - 2, bottom = bounds.bottom - 2;
  canvas.Pen.Color = PopupFrameColor;
  canvas.Rectangle(left, top, right, bottom);
  if (rightToLeft) {
    canvas.Pen.Color = EffColor;
    canvas.Rectangle(left + 1, top + 1, right - 2, top + 3);
    canvas.MoveTo(left + 2, top + 2);
    canvas.LineTo(left + 2, bottom - 2);
    canvas.Pen.Color = EffIconBackColor;
    canvas.MoveTo(right - 2, top + 2);
    canvas.LineTo(right - 2, bottom - 2);
    canvas.MoveTo(right - 2, top + 2);
    canvas.LineTo(right - 1 - FIconWidth, top + 2);
  } else {
    if (!FGradient) {
      canvas.Pen.Color = EffColor;
      canvas.Rectangle(left + 1, top + 1, right - 1, top + 3);
      canvas.Pen.Color = EffIconBackColor;
      canvas.MoveTo(left + 1, top + 2);
      canvas.LineTo(left + 3 + FIconWidth, top + 2);
    } else {
      FillIconGradient(canvas, {left + 1, top + 1, right - 3, top + 3}, false);
      canvas.Brush.Style = bsClear;
    }
    canvas.Pen.Color = EffIconBackColor;
    canvas.Rectangle(left + 1, top + 2, left + 3, bottom - 1);
  }
  // The shadow, and the two corners outside it in the face colour.
  right += 2;
  bottom += 2;
  canvas.Pen.Color = PopupShadowColor;
  canvas.Rectangle(left + 2, bottom - 2, right, bottom);
  canvas.Rectangle(right - 2, top + 2, right, bottom);
  canvas.Pen.Color = clBtnFace;
  canvas.Rectangle(left, bottom - 2, left + 2, bottom);
  canvas.Rectangle(right - 2, top, right, top + 2);
}
