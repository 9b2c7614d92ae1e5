// Tool bar buttons and control bar bands in the flat look, and the walk's
// steps that give tool bars and control bars these handlers.
#include <cmath>

#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/Menus.h"
#include "xpstyle/Primitives.h"
#include "xpstyle/XPStyle.h"

namespace {

void Outline(TCanvas& canvas, const RECT& r) {
  canvas.MoveTo(r.left, r.top);
  canvas.LineTo(r.right, r.top);
  canvas.LineTo(r.right, r.bottom);
  canvas.LineTo(r.left, r.bottom);
  canvas.LineTo(r.left, r.top);
}

bool HasImage(const TCustomImageList* list, int index) {
  return list && index != -1 && index <= list->Count() - 1;
}

}  // namespace

void TXPStyle::ApplyToBars(TComponent* component, bool activate, bool invalidate) {
  if (auto* bar = dynamic_cast<TToolBar*>(component); bar && InSet(FXPControls, xcToolbar)) {
    if (!bar->Flat()) bar->SetFlat(true);
    const auto mine = ToolBarCustomDrawButtonEvent(this, &TXPStyle::DrawToolButtonHandler);
    if (activate && bar->ButtonCount() > 0) {
      if (!bar->OnCustomDrawButton.Assigned() || FOverrideOwnerDraw) bar->OnCustomDrawButton = mine;
    } else if (!activate && bar->OnCustomDrawButton == mine) {
      bar->OnCustomDrawButton = {};
    }
    if (invalidate) bar->Invalidate();
  }
  if (auto* bar = dynamic_cast<TControlBar*>(component); bar && InSet(FXPControls, xcControlbar)) {
    const auto mine = BandPaintEvent(this, &TXPStyle::PaintBandHandler);
    if (activate) {
      if (!bar->OnBandPaint.Assigned() || FOverrideOwnerDraw) bar->OnBandPaint = mine;
    } else if (bar->OnBandPaint == mine) {
      bar->OnBandPaint = {};
    }
    if (invalidate) bar->Invalidate();
  }
}

void TXPStyle::DrawToolButtonHandler(TToolBar* toolBar, TToolButton* button, TCustomDrawState state,
                                     bool& defaultDraw) {
  defaultDraw = false;
  const int index = button->ImageIndex();
  const bool hasHot = HasImage(toolBar->HotImages(), index);
  const bool hasDisabled = HasImage(toolBar->DisabledImages(), index);
  const bool hasImages = HasImage(toolBar->Images(), index);
  const bool hot = state & CDIS_HOT, checked = state & CDIS_CHECKED, selected = state & CDIS_SELECTED;
  const bool dropDown = button->Style() == tbsDropDown;
  const bool rtl = button->BiDiMode() == bdRightToLeft;
  const bool transparent = toolBar->Transparent();

  TCanvas& canvas = toolBar->Canvas();
  UpdateDrawColors(canvas);
  const RECT r = button->BoundsRect();
  const COLORREF barColor =
      HighColorDevice ? LightenColor(canvas, toolBar->Color(), 16) : ColorToRGB(toolBar->Color());
  canvas.Brush.Style = bsSolid;
  canvas.Brush.Color = barColor;
  if (!transparent) canvas.FillRect(r);

  bool fill = false, frame = false;
  if (state & CDIS_HOT) {
    canvas.Brush.Color = checked || button->Down() || selected ? CheckFillHotColor : EffSelectColor;
    fill = frame = true;
  }
  if (checked && !hot) {
    canvas.Brush.Color = CheckFillColor;
    fill = frame = true;
  }
  if ((state & CDIS_INDETERMINATE) && !hot) {
    canvas.Brush.Color = EffSelectColor;
    fill = true;
  }
  if (button->MenuItem() && state == 0) {
    canvas.Brush.Color = toolBar->Color();
    if (!transparent) fill = true;
  }
  RECT r2 = r;
  r2.top += 1;
  if (fill) canvas.FillRect(r2);
  if (frame) {
    canvas.Pen.Color = EffSelectBorderColor;
    const RECT f{r.left, r.top + 1, r.right - 1, r.bottom - 1};
    if (dropDown) {
      Outline(canvas, {f.left, f.top, f.right - 13, f.bottom});
      Outline(canvas, {f.right - 13, f.top, f.right, f.bottom});
    } else {
      Outline(canvas, f);
    }
  }
  if ((button->MenuItem() || button->DropdownMenu()) && selected)
    DrawHighlight(doToolButton, canvas, false, toolBar->Color(), r2);

  r2 = r;
  if (dropDown) {
    canvas.Pen.Color = clBlack;
    DrawDropArrow(canvas, r.right - 10, r.top + (r.bottom - r.top - 3) / 2 + 1);
  }

  TCustomImageList* list = nullptr;
  if (hot && hasHot)
    list = toolBar->HotImages();
  else if ((state & CDIS_DISABLED) && hasDisabled)
    list = toolBar->DisabledImages();
  else if (hasImages)
    list = toolBar->Images();
  int gw = 0;
  if (list) {
    TBitmap glyph;
    glyph.SetSize(list->Width(), list->Height());
    glyph.Canvas().Brush.Color = canvas.Brush.Color;
    glyph.Canvas().FillRect({0, 0, glyph.Width(), glyph.Height()});
    list->Draw(glyph.Canvas().Handle(), 0, 0, index, ILD_TRANSPARENT, 0x1FFFFFFF, 0x1FFFFFFF);
    gw = glyph.Width();
    if (dropDown) r2.right -= 12;
    if (toolBar->List()) {
      if (rtl) {
        r2.right -= 3;
        r2.left = r2.right - gw;
      } else {
        r2.left += 3;
        r2.right = r2.left + gw;
      }
    } else {
      r2.left = static_cast<int>(std::nearbyint((r2.right - r2.left - gw) / 2.0 + r2.left));
    }
    r2.top += 2;
    r2.bottom = r2.top + glyph.Height() + 6;
    DrawItemGlyph(doToolButton, canvas, glyph, r2, hot, selected, button->Enabled(), checked, false, false);
  }

  if (toolBar->ShowCaptions()) {
    r2 = r;
    if (dropDown) r2.right -= 12;
    UINT format;
    if (!toolBar->List()) {
      format = DT_CENTER;
      r2.top = r2.bottom - canvas.TextHeight(button->Caption()) - 6;
    } else if (rtl) {
      format = DT_VCENTER | DT_RIGHT;
      r2.right -= gw + 7;
    } else {
      format = DT_VCENTER;
      if (gw > 0) r2.left += gw;
    }
    if (button->MenuItem()) format = DT_CENTER;
    if (rtl) format |= DT_RTLREADING;
    const TItemTextState textState{.RightToLeft = rtl,
                                   .BarItem = button->MenuItem() != nullptr,
                                   .Default = false,
                                   .Enabled = button->Enabled(),
                                   .Selected = selected};
    DrawItemText(doToolButton, button->Caption(), format, FFont, textState, r2, canvas, "");
  }

  const int position = button->Index();
  if (position > 0) {
    TToolButton* before = toolBar->Buttons(position - 1);
    if (before->Style() == tbsSeparator || before->Style() == tbsDivider) {
      const RECT s = before->BoundsRect();
      canvas.Brush.Style = bsSolid;
      canvas.Brush.Color = barColor;
      if (!transparent) canvas.FillRect(s);
      if (before->Tag() > 0) {
        const int x = s.left + (s.right - s.left) / 2;
        canvas.Pen.Color = DarkenColor(toolBar->Color(), 30);
        canvas.MoveTo(x, s.top + 2);
        canvas.LineTo(x, s.bottom - 1);
      }
    }
  }
  // Items added to the button's menu at run time get the flat look too.
  if (button->MenuItem() && InSet(FXPControls, xcMainMenu)) HookSiblingItems(button->MenuItem());
}

void TXPStyle::PaintBandHandler(TObject* sender, TControl*, TCanvas& canvas, RECT& rect, TBandPaintOptions& options) {
  auto* bar = dynamic_cast<TControlBar*>(sender);
  const TColor color = bar ? bar->Color() : clBtnFace;
  UpdateDrawColors(canvas);
  options = 0;
  canvas.Brush.Style = bsSolid;
  canvas.Brush.Color = HighColorDevice ? LightenColor(canvas, color, 6) : ColorToRGB(color);
  canvas.FillRect(rect);
  int a = 30;
  for (int y = rect.top + 5; y <= rect.bottom - 5; ++y) {
    canvas.Pen.Color = DarkenColor(color, a);
    if (y % 2 == 0) {
      canvas.MoveTo(rect.left + 3, y);
      canvas.LineTo(rect.left + 6, y);
      a += 7;
    }
  }
}
