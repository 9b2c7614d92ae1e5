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
    std::string s = item->IsLine() ? "" : item->Caption();
    std::string keys = ShortCutToText(item->ShortCut);
    if (!Blank(keys)) s += keys + "WWW";
    // The font as it stands: with system colours, the menu font arrives
    // with the first drawing.
    canvas->Font = FFont;
    int w = canvas->TextWidth(s) + 5;
    if (s.find('&') != std::string::npos) w -= canvas->TextWidth("&");
    SIZE glyph = GetItemGlyphSize(item);
    if (glyph.cx > 0) w += glyph.cx;
    if (IsFormBarItem(item) && NTPlatform()) w += 8;
    width = std::max(width, w);
    if (item->IsLine()) {
      height = 4;
    } else {
      int th = canvas->TextHeight(s);
      int h = std::max(th + static_cast<int>(std::nearbyint(th * 0.75)), static_cast<int>(glyph.cy) + 6);
      height = std::max(height, h);
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

void TXPStyle::DrawMenuItem(TMenuItem* item, TCanvas& canvas, bool selected, RECT a) {
  UpdateDrawColors(canvas);
  TMenu* menu = item->GetParentMenu();
  TMenuItem* parent = item->Parent();
  const bool separator = item->IsLine();
  const bool barItem = IsBarItem(item);
  const bool rtl = menu && menu->IsRightToLeft();
  const bool enabled = item->Enabled();
  canvas.Font = FFont;
  RECT r{a.left, a.top, a.right, a.bottom + 1};
  const std::string text = " " + item->Caption();

  // The glyph, a fresh copy for this drawing.
  TCustomImageList* subImages = parent ? parent->SubMenuImages() : nullptr;
  TCustomImageList* menuImages = menu ? menu->Images() : nullptr;
  const bool hasImage = (menuImages || subImages) && item->ImageIndex != -1;
  const bool hasBitmap = item->Bitmap().Width() > 0;
  const bool hasGlyph = hasImage || hasBitmap;
  TBitmap glyph;
  if (hasBitmap) glyph = item->Bitmap();
  if (hasImage) {
    TCustomImageList* list = subImages ? subImages : menuImages;
    COLORREF fill = subImages ? ColorToRGB(canvas.Brush.Color) : canvas.Pixel(2, 2);
    glyph.SetSize(list->Width(), list->Height());
    if (!glyph.Empty()) {
      TCanvas& g = glyph.Canvas();
      g.Brush.Color = fill;
      g.Brush.Style = bsSolid;
      g.FillRect({0, 0, glyph.Width(), glyph.Height()});
      // An index outside the list draws nothing; the fill stays.
      list->Draw(g.Handle(), 0, 0, item->ImageIndex, ILD_TRANSPARENT, NoColor, NoColor);
    }
  }
  const int gw = glyph.Width();

  const RECT ic = rtl ? RECT{r.right - FIconWidth, r.top, r.right, r.bottom}
                      : RECT{r.left, r.top, r.left + FIconWidth, r.bottom};
  RECT cr;
  if (hasGlyph) {
    cr = {ic.left + 1, ic.top + 2, ic.right - 3, ic.bottom - 2};
  } else {
    int left = ic.left + (ic.right - ic.left - 10) / 2, top = ic.top + (ic.bottom - ic.top - 10) / 2;
    cr = {left, top, left + 10, top + 10};
  }
  if (gw > FIconWidth) (rtl ? cr.left = cr.right - gw : cr.right = cr.left + gw);
  if (barItem) --cr.top;

  RECT tr{0, r.top, 0, r.bottom};
  const int indent = barItem ? 4 : FIconWidth;
  if (!rtl) {
    tr.left = r.left + indent;
    if (gw + r.left > tr.left) tr.left = gw + r.left + 4;
    tr.right = r.right;
  } else {
    tr.left = r.left;
    tr.right = r.right - indent;
    if (r.right - gw < tr.right) tr.right = r.right - gw - 8;
  }
  if (barItem) {
    if (!hasGlyph)
      tr = r;
    else if (!rtl)
      tr.left -= 5;
    else
      tr.right += 5;
  }

  canvas.Brush.Style = bsSolid;
  if (barItem) {
    canvas.Brush.Color = EffMenuBarColor;
    canvas.Pen.Color = EffMenuBarColor;
    canvas.FillRect(r);
  } else if (HighColorDevice && FGradient) {
    FillIconGradient(canvas, {r.left, r.top, r.right + 2, r.bottom}, rtl);
  } else {
    canvas.Brush.Color = EffColor;
    canvas.FillRect(r);
    canvas.Brush.Color = EffIconBackColor;
    canvas.FillRect(ic);
  }
  canvas.Font.SetColor(enabled ? FFont.Color() : FDisabledColor);

  if (selected && FDrawSelect) {
    canvas.Brush.Style = bsSolid;
    if (barItem) {
      DrawHighlight(doMenuItem, canvas, rtl, FMenuBarColor, r);
    } else if (enabled) {
      RECT h{r.left, r.top + 1, r.right - (FFlatMenu ? 1 : 0), r.bottom - 1};
      canvas.Brush.Color = EffSelectColor;
      canvas.FillRect(h);
      canvas.Pen.Color = EffSelectBorderColor;
      canvas.Brush.Style = bsClear;
      canvas.RoundRect(h.left, h.top, h.right, h.bottom, 0, 0);
      canvas.Brush.Style = bsSolid;
    }
  }

  DrawCheckIndicator(item, selected, cr, canvas, hasGlyph, enabled);
  DrawItemGlyph(doMenuItem, canvas, glyph, ic, selected, false, enabled, item->Checked, barItem, rtl);

  if (separator) {
    canvas.Pen.Color = EffSeparatorColor;
    int y = tr.top + static_cast<int>(std::nearbyint((tr.bottom - tr.top) / 2.0));
    int x1 = rtl ? tr.left : tr.left + 7, x2 = rtl ? tr.right - 7 : tr.right;
    canvas.MoveTo(x1, y);
    canvas.LineTo(x2, y);
  } else {
    UINT format = 0;
    if (rtl) {
      tr.right -= 3;
      format = DT_RIGHT | DT_RTLREADING;
    } else {
      tr.left += 3;
    }
    const TItemTextState textState{
        .RightToLeft = rtl, .BarItem = barItem, .Default = item->Default, .Enabled = enabled, .Selected = selected};
    DrawItemText(doMenuItem, text, format, FFont, textState, tr, canvas, ShortCutToText(item->ShortCut));
  }

  if (!Designing() && FFlatMenu && !barItem) {
    HWND window = WindowFromDC(canvas.Handle());
    HWND host = FHostForm && FHostForm->HandleAllocated() ? FHostForm->Handle() : nullptr;
    if (window != host) DrawFlatMenuFrame(window, rtl);
  }
  HookSiblingItems(item);
}

void TXPStyle::DrawCheckIndicator(TMenuItem* item, bool selected, const RECT& r, TCanvas& canvas, bool hasGlyph,
                                  bool enabled) {
  if (!item->Checked) return;
  if (enabled) {
    canvas.Pen.Color = EffSelectBorderColor;
    canvas.Brush.Color = selected ? CheckFillHotColor : CheckFillColor;
  } else {
    canvas.Pen.Color = EffDisabledColor;  // the brush keeps its colour
  }
  canvas.Brush.Style = bsSolid;
  if (item->RadioItem) {
    if (hasGlyph)
      canvas.RoundRect(r.left, r.top, r.right, r.bottom, 6, 6);
    else
      canvas.Ellipse(r);
    return;
  }
  if (hasGlyph) {
    canvas.Rectangle(r);
    return;
  }
  if (enabled) canvas.Pen.Color = EffCheckedColor;
  canvas.Rectangle(r);
  canvas.Pen.Color = enabled ? clBlack : EffDisabledColor;
  const int L = r.left, T = r.top, Rt = r.right, B = r.bottom;
  const POINT strokes[][2] = {{{L + 1, T + 5}, {L + 4, B - 2}},  {{L + 2, T + 5}, {L + 4, B - 3}},
                              {{L + 2, T + 4}, {L + 5, B - 3}},  {{L + 4, B - 3}, {Rt + 2, T - 1}},
                              {{L + 4, B - 2}, {Rt - 2, T + 3}}};
  for (auto& s : strokes) {
    canvas.MoveTo(s[0].x, s[0].y);
    canvas.LineTo(s[1].x, s[1].y);
  }
}

void TXPStyle::DrawHighlight(TDrawnObject object, TCanvas& canvas, bool rightToLeft, TColor color, const RECT& r) {
  const int L = r.left, T = r.top, Rt = r.right, B = r.bottom;
  auto fill = [&canvas](TColor c, const RECT& area) {
    canvas.Brush.Color = c;
    canvas.Pen.Color = c;
    canvas.FillRect(area);
  };
  canvas.Brush.Style = bsSolid;
  canvas.Brush.Color = EffSelectColor;
  canvas.FillRect(r);
  canvas.Pen.Color = EffSelectBorderColor;

  if (rightToLeft || !HighColorDevice || object != doMenuItem) {
    // A frame open at the bottom with a two-pixel shadow on the right.
    canvas.Brush.Color = DarkenColor(color, 70);
    canvas.MoveTo(L, B - 1);
    canvas.LineTo(L, T);
    canvas.LineTo(Rt - 3, T);
    canvas.LineTo(Rt - 3, B);
    canvas.Pen.Color = canvas.Brush.Color;
    canvas.FillRect({Rt - 2, T + 2, Rt, B});
    canvas.Brush.Color = color;
    canvas.FillRect({Rt - 2, T, Rt, T + 2});
    return;
  }

  // Raised: the frame, then a shaded shadow strip of seven pixels whose
  // rounded top corner shows the bar colour.
  const TColor m = EffMenuBarColor;
  canvas.MoveTo(L, B - 1);
  canvas.LineTo(L, T);
  canvas.LineTo(Rt - 8, T);
  canvas.LineTo(Rt - 8, B);
  fill(DarkenColor(m, 10), {Rt - 7, T, Rt, B});
  fill(DarkenColor(m, 30), {Rt - 7, T + 3, Rt - 2, B});
  fill(DarkenColor(m, 60), {Rt - 7, T + 5, Rt - 3, B});
  fill(DarkenColor(m, 100), {Rt - 7, T + 6, Rt - 5, B});
  canvas.Pen.Color = m;
  canvas.MoveTo(Rt - 5, T + 1);
  canvas.LineTo(Rt - 1, T + 1);
  canvas.LineTo(Rt - 1, T + 6);
  canvas.MoveTo(Rt - 3, T + 2);
  canvas.LineTo(Rt - 2, T + 2);
  canvas.LineTo(Rt - 2, T + 3);
  canvas.LineTo(Rt - 3, T + 3);
  canvas.Pen.Color = DarkenColor(m, 10);
  canvas.MoveTo(Rt - 6, T + 3);
  canvas.LineTo(Rt - 3, T + 3);
  canvas.LineTo(Rt - 3, T + 6);
  canvas.LineTo(Rt - 4, T + 6);
  canvas.LineTo(Rt - 4, T + 3);
  canvas.Pen.Color = DarkenColor(m, 30);
  canvas.MoveTo(Rt - 5, T + 5);
  canvas.LineTo(Rt - 4, T + 5);
  canvas.LineTo(Rt - 4, T + 9);
  canvas.Pen.Color = DarkenColor(m, 40);
  canvas.MoveTo(Rt - 6, T + 5);
  canvas.LineTo(Rt - 6, T + 7);
}

void TXPStyle::FillIconGradient(TCanvas& canvas, const RECT& r, bool rightToLeft) {
  canvas.Brush.Style = bsSolid;
  int p = 0;
  auto strip = [&](int x, bool steep) {
    p = std::min(p + (steep ? 3 : 1), 96);
    canvas.Brush.Color = LightenColor(canvas, EffIconBackColor, p);
    canvas.FillRect({x, r.top, x + 1, r.bottom});
  };
  if (!rightToLeft) {
    for (int x = r.left; x <= r.right; ++x) strip(x, r.left < x && x < r.left + FIconWidth + 5);
  } else {
    for (int x = r.right - 1; x >= r.left - 1; --x) strip(x, r.right - FIconWidth + 5 < x && x < r.right);
  }
}

void TXPStyle::DrawFlatMenuFrame(HWND window, bool rightToLeft) {
  RECT wr;
  if (!window || !GetWindowRect(window, &wr)) return;
  // The window's own DC, in window coordinates: a DC of the desktop does
  // not reach another top-level window's surface on every system (Wine
  // keeps one per window), the window DC does everywhere.
  TWindowDC dc(window, true);  // released last, on every path
  if (!dc.Get()) return;
  OffsetRect(&wr, -wr.left, -wr.top);
  TCanvas c(dc.Get());
  c.Brush.Style = bsClear;
  const int L = wr.left, T = wr.top;
  int Rt = wr.right - 2, B = wr.bottom - 2;
  c.Pen.Color = PopupFrameColor;
  c.Rectangle(L, T, Rt, B);
  if (rightToLeft) {
    c.Pen.Color = EffColor;
    c.Rectangle(L + 1, T + 1, Rt - 2, T + 3);
    c.MoveTo(L + 2, T + 2);
    c.LineTo(L + 2, B - 2);
    c.Pen.Color = EffIconBackColor;
    c.MoveTo(Rt - 2, T + 2);
    c.LineTo(Rt - 2, B - 2);
    c.MoveTo(Rt - 2, T + 2);
    c.LineTo(Rt - 1 - FIconWidth, T + 2);
  } else {
    if (!FGradient) {
      c.Pen.Color = EffColor;
      c.Rectangle(L + 1, T + 1, Rt - 1, T + 3);
      c.Pen.Color = EffIconBackColor;
      c.MoveTo(L + 1, T + 2);
      c.LineTo(L + 3 + FIconWidth, T + 2);
    } else {
      FillIconGradient(c, {L + 1, T + 1, Rt - 3, T + 3}, false);
      c.Brush.Style = bsClear;
    }
    c.Pen.Color = EffIconBackColor;
    c.Rectangle(L + 1, T + 2, L + 3, B - 1);
  }
  Rt += 2;
  B += 2;
  c.Pen.Color = PopupShadowColor;
  c.Rectangle(L + 2, B - 2, Rt, B);
  c.Rectangle(Rt - 2, T + 2, Rt, B);
  c.Pen.Color = clBtnFace;
  c.Rectangle(L, B - 2, L + 2, B);
  c.Rectangle(Rt - 2, T, Rt, T + 2);
}
