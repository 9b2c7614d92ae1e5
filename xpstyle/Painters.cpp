#include "xpstyle/Painters.h"

#include <algorithm>
#include <string>

#include "ui/Buttons.h"
#include "ui/ComCtrls.h"
#include "ui/StdCtrls.h"
#include "xpstyle/ControlSubClass.h"
#include "xpstyle/Primitives.h"
#include "xpstyle/XPStyle.h"

namespace {

using TPainter = void (*)(TControlSubClass&, TCanvas&);

TPainter PainterFor(const TControl* c) {
  if (Is<TCustomCombo>(c)) return DrawComboLook;
  if (Is<TCustomRichEdit>(c)) return DrawRichEditLook;
  if (Is<TCustomEdit>(c)) return DrawEditLook;
  if (Is<TCustomCheckBox>(c)) return DrawCheckBoxLook;
  if (Is<TRadioButton>(c)) return DrawRadioButtonLook;
  if (Is<TBitBtn>(c)) return DrawBitBtnLook;
  if (Is<TButton>(c)) return DrawButtonLook;
  if (Is<TUpDown>(c)) return DrawUpDownLook;
  if (Is<TSpeedButton>(c)) return DrawSpeedButtonLook;
  if (Is<TCustomPanel>(c)) return DrawPanelLook;
  if (Is<TCustomGroupBox>(c)) return DrawGroupBoxLook;
  return nullptr;
}

// A device context of a window's client area, with the origin and clip
// moved onto a windowless control when there is one.
class TControlSurface {
public:
  TControlSurface(HWND window, const TControl* graphic) : FDC(window), FCanvas(FDC.Get()) {
    if (graphic && FDC.Get()) {
      SetViewportOrgEx(FDC.Get(), graphic->Left(), graphic->Top(), nullptr);
      IntersectClipRect(FDC.Get(), 0, 0, graphic->Width(), graphic->Height());
    }
  }
  bool Valid() const { return FDC.Get() != nullptr; }
  TCanvas& Canvas() { return FCanvas; }

private:
  TWindowDC FDC;   // released last
  TCanvas FCanvas; // puts the DC's objects back first
};

// Steps shared by push buttons and bit buttons: the erased face, the rounded
// fill and the 3-D edge.
void DrawButtonFace(TControlSubClass& hook, TCanvas& canvas, const RECT& r) {
  TXPStyle& style = *hook.FStyleOwner;
  TControl& control = *hook.FTargetControl;
  TColor fill, edge;
  if (hook.FHighlighted || hook.FSpaceDown) {
    fill = LightenColor(canvas, clBtnFace, 60);
    edge = LightenColor(canvas, style.EffSelectBorderColor, 60);
  } else {
    fill = style.EffIconBackColor;
    edge = clBtnShadow;
  }
  if (!hook.FHighlighted && hook.FHasFocus) edge = LightenColor(canvas, style.EffSelectBorderColor, 60);

  canvas.Brush.Color = ParentColor(control);
  canvas.Brush.Style = bsSolid;
  canvas.FillRect(r);
  canvas.Brush.Color = fill;
  canvas.Pen.Color = LightenColor(canvas, edge, 30);
  canvas.RoundRect(r.left, r.top, r.right, r.bottom, 4, 4);
  if (!control.Enabled()) return;
  canvas.Pen.Color = DarkenColor(edge, 50);
  if ((hook.FMouseDown && hook.FHighlighted) || hook.FSpaceDown) {
    canvas.MoveTo(r.left, r.bottom - 2);
    canvas.LineTo(r.left, r.top + 1);
    canvas.LineTo(r.left + 1, r.top);
    canvas.LineTo(r.right - 1, r.top);
  } else {
    canvas.MoveTo(r.right - 1, r.top + 1);
    canvas.LineTo(r.right - 1, r.bottom - 2);
    canvas.LineTo(r.right - 2, r.bottom - 1);
    canvas.LineTo(r.left, r.bottom - 1);
  }
}

}  // namespace

COLORREF ParentColor(const TControl& control) {
  return ColorToRGB(control.Parent() ? control.Parent()->Color() : clBtnFace);
}

bool RightToLeftReading(const TControl& control) {
  return GetSystemMetrics(SM_MIDEASTENABLED) != 0 && control.BiDiMode() != bdLeftToRight;
}

int ThumbSize() { return GetSystemMetrics(SM_CXHTHUMB); }

bool Blank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

void DrawControlCaption(TControlSubClass& hook, TCanvas& canvas, const RECT& textRect) {
  TControl& control = *hook.FTargetControl;
  const bool rtl = RightToLeftReading(control);
  const auto* button = dynamic_cast<const TButton*>(&control);
  const TItemTextState state{.RightToLeft = rtl,
                             .BarItem = false,
                             .Default = button && button->Default(),
                             .Enabled = control.Enabled(),
                             .Selected = false};
  hook.FStyleOwner->DrawItemText(doControl, control.Caption(), rtl ? DT_RTLREADING : 0, control.Font(), state,
                                 textRect, canvas, "");
}

// Right-to-left reading modes that keep the alignment (NoAlign,
// ReadingOnly) place the indicator as left-to-right does.
bool IndicatorAtRight(TBiDiMode bidi, TLeftRight alignment) {
  return bidi == bdRightToLeft ? alignment == taRightJustify : alignment == taLeftJustify;
}

void PrepareIndicator(TCanvas& canvas, RECT& b, int size, bool atRight, TColor background, TColor fill,
                      TColor frame) {
  if (atRight)
    b.left = b.right - size + 1;
  else
    b.right = b.left + size - 1;
  canvas.Brush.Style = bsSolid;
  canvas.Brush.Color = background;
  canvas.FillRect(b);
  InflateRect(&b, -2, -2);
  canvas.Brush.Color = fill;
  canvas.Pen.Color = frame;
}

void PlaceGlyphAndText(TButtonLayout layout, const RECT& r, SIZE glyph, SIZE text, int sp, int glyphLeftTopShift,
                       RECT& gr, RECT& tr) {
  const int W = r.right - r.left, H = r.bottom - r.top;
  const int gw = glyph.cx, gh = glyph.cy, textW = text.cx, textH = text.cy;
  gr = {r.left, r.top, r.left + gw, r.top + gh};
  tr = r;
  tr.left = (W - textW) / 2;
  switch (layout) {
    case blGlyphLeft:
      gr.left = (W - (sp + gw + textW)) / 2;
      gr.right = gr.left + gw;
      gr.top = (H - gh) / 2 + glyphLeftTopShift;
      gr.bottom = gr.top + gh;
      tr.left = gr.right + sp;
      tr.right = tr.left + textW;
      break;
    case blGlyphRight:
      gr.right = (sp + gw + textW + W) / 2;
      gr.left = gr.right - gw;
      gr.top = (H - gh) / 2;
      gr.bottom = gr.top + gh;
      tr.right = gr.left - sp;
      tr.left = tr.right - textW;
      break;
    case blGlyphTop:
      gr.left = (W - gw) / 2;
      gr.right = gr.left + gw;
      gr.top = (H - (gh + sp + textH)) / 2;
      gr.bottom = gr.top + gh;
      tr.left = (W - textW) / 2;
      tr.right = tr.left + textW;
      tr.top = gr.bottom + sp;
      tr.bottom = tr.top + textH;
      break;
    case blGlyphBottom:
      gr.left = (W - gw) / 2;
      gr.right = gr.left + gw;
      gr.bottom = (gh + sp + textH + H) / 2;
      gr.top = gr.bottom - gh;
      tr.left = (W - textW) / 2;
      tr.right = tr.left + textW;
      tr.bottom = gr.top - sp;
      tr.top = tr.bottom - textH;
      break;
  }
}

bool HasPainter(const TControl* control) { return PainterFor(control) != nullptr; }

void PaintControlLook(TControlSubClass& hook) {
  TControl* control = hook.FTargetControl;
  TPainter painter = control ? PainterFor(control) : nullptr;
  if (!painter) return;
  // The flat border of an edit needs a window without the 3-D edge; the
  // re-creation comes first so that the frame lands on the new window.
  auto* edit = dynamic_cast<TCustomEdit*>(control);
  if (edit && !Is<TCustomRichEdit>(edit) && edit->Ctl3D()) {
    hook.FRecreatePending = true;
    edit->SetCtl3D(false);
  }
  HWND window = nullptr;
  const TControl* graphic = nullptr;
  if (Is<TCustomRichEdit>(control)) {
    // Its frame lies on the parent, just outside the control.
    if (!control->Parent() || !control->Parent()->HandleAllocated()) return;
    window = control->Parent()->Handle();
  } else if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
    if (!windowed->HandleAllocated()) return;
    window = windowed->Handle();
  } else {
    if (!control->Parent() || !control->Parent()->HandleAllocated()) return;
    window = control->Parent()->Handle();
    graphic = control;
  }
  TControlSurface surface(window, graphic);
  if (!surface.Valid()) return;
  hook.FStyleOwner->UpdateDrawColors(surface.Canvas());
  painter(hook, surface.Canvas());
}

void DrawBevelFrame(TCanvas& canvas, RECT& f, TColor a, TColor z, int w) {
  RECT ring = f;
  for (int i = 0; i < w; ++i) {
    canvas.Pen.Color = a;
    canvas.MoveTo(ring.left, ring.top);
    canvas.LineTo(ring.left, ring.bottom - 1);
    canvas.MoveTo(ring.left, ring.top);
    canvas.LineTo(ring.right - 1, ring.top);
    canvas.Pen.Color = z;
    canvas.MoveTo(ring.right - 1, ring.top);
    canvas.LineTo(ring.right - 1, ring.bottom);
    canvas.MoveTo(ring.left, ring.bottom - 1);
    canvas.LineTo(ring.right, ring.bottom - 1);
    InflateRect(&ring, -1, -1);
  }
  InflateRect(&f, -w, -w);
}

void DrawButtonLook(TControlSubClass& hook, TCanvas& canvas) {
  TControl& control = *hook.FTargetControl;
  RECT r = control.ClientRect();
  DrawButtonFace(hook, canvas, r);
  canvas.Font = control.Font();
  RECT tr = r;
  tr.left = (r.right - r.left - canvas.TextWidth(control.Caption())) / 2;
  DrawControlCaption(hook, canvas, tr);
}

void DrawBitBtnLook(TControlSubClass& hook, TCanvas& canvas) {
  auto& button = dynamic_cast<TBitBtn&>(*hook.FTargetControl);
  RECT r = button.ClientRect();
  DrawButtonFace(hook, canvas, r);

  const std::string caption = button.Caption();
  canvas.Font = button.Font();
  SIZE text = canvas.TextExtent(caption);

  // The first cell, in every state.
  TBitmap& glyph = button.Glyph();
  const int gw = glyph.Width() / button.NumGlyphs(), gh = glyph.Height();
  TBitmap cell;
  if (gw > 0 && gh > 0) cell.CopyFrom(glyph, 0, 0, gw, gh);
  const int sp = Blank(caption) ? 0 : button.Spacing();

  RECT gr, tr;
  PlaceGlyphAndText(button.Layout(), r, {gw, gh}, text, sp, 0, gr, tr);
  hook.FStyleOwner->DrawItemGlyph(doControl, canvas, cell, gr, hook.FHighlighted, hook.FHasFocus, button.Enabled(),
                                  false, false, RightToLeftReading(button));
  DrawControlCaption(hook, canvas, tr);
}

void DrawEditLook(TControlSubClass& hook, TCanvas& canvas) {
  TXPStyle& style = *hook.FStyleOwner;
  TControl& control = *hook.FTargetControl;
  bool single = hook.FSavedBorderStyle == bsSingle;
  TColor frame;
  if (hook.FHighlighted || hook.FHasFocus)
    frame = LightenColor(canvas, style.EffSelectBorderColor, single ? 60 : 80);
  else
    frame = single ? DarkenColor(ParentColor(control), 60) : ParentColor(control);
  RECT r = control.ClientRect();
  canvas.Pen.Color = frame;
  canvas.Brush.Style = bsClear;
  canvas.Rectangle(r);
}

void DrawCheckBoxLook(TControlSubClass& hook, TCanvas& canvas) {
  TXPStyle& style = *hook.FStyleOwner;
  auto& box = dynamic_cast<TCustomCheckBox&>(*hook.FTargetControl);
  const bool pressed = hook.FSpaceDown || hook.FMouseDown;
  TColor fill = clWindow, frame = clBtnShadow;
  if (hook.FHighlighted || hook.FHasFocus) {
    fill = style.EffSelectColor;
    frame = style.EffSelectBorderColor;
  }
  if (pressed) fill = style.CheckFillHotColor;
  if (box.State() == cbGrayed) fill = clSilver;

  const int S = ThumbSize();
  RECT b = box.ClientRect();
  b.top += 3;
  b.bottom -= 3;
  b.top += (b.bottom - b.top - S) / 2;
  b.bottom = b.top + S;
  PrepareIndicator(canvas, b, S, IndicatorAtRight(box.BiDiMode(), box.Alignment()), box.Color(), fill, frame);
  canvas.Rectangle(b);
  if (box.Checked() || box.State() == cbGrayed) {
    canvas.Pen.Color = !box.Enabled() ? style.EffDisabledColor
                       : pressed      ? clWindow
                       : box.State() == cbGrayed ? clGray
                                                 : clHighlight;
    DrawCheckMark(canvas, b.left, b.bottom);
  }
}

void DrawGroupBoxLook(TControlSubClass& hook, TCanvas& canvas) {
  if (hook.FLastMessage != WM_PAINT) return;
  auto& box = dynamic_cast<TCustomGroupBox&>(*hook.FTargetControl);
  const TColor color = box.Color();
  const COLORREF dark = DarkenColor(color, 60);
  const COLORREF light = LightenColor(canvas, color, 60);
  const COLORREF edge = box.Ctl3D() ? light : dark;
  const COLORREF parent = ParentColor(box);
  const RECT rc = box.ClientRect();

  canvas.Font = box.Font();
  const std::string t = box.Caption();
  const int tH = canvas.TextHeight(t.empty() ? " " : t);
  const int tW = canvas.TextWidth(t);

  RECT f = rc;
  InflateRect(&f, -1, -1);
  f.top += tH - 1;
  canvas.Brush.Style = bsClear;
  canvas.Pen.Color = color;
  canvas.Rectangle(f);
  f = rc;
  f.top += tH / 2 - 1;
  canvas.MoveTo(f.left + 1, f.top);
  canvas.LineTo(f.left + 1, f.bottom);

  DrawBevelFrame(canvas, f, edge, dark, 1);

  f = rc;
  f.bottom = rc.top + tH / 2 + 2;
  canvas.Brush.Style = bsSolid;
  canvas.Brush.Color = parent;
  canvas.Pen.Color = parent;
  canvas.FillRect(f);

  const bool rtl = RightToLeftReading(box);
  RECT t_rect;
  if (rtl) {
    t_rect.right = rc.right - 9;
    t_rect.left = t_rect.right - tW;
  } else {
    t_rect.left = rc.left + 9;
    t_rect.right = t_rect.left + tW;
  }
  t_rect.top = rc.top;
  t_rect.bottom = rc.top + tH;

  f.top = rc.top + tH / 2 + 2;
  f.bottom = f.top + tH / 2 + 1;
  f.left = t_rect.left;
  f.right = t_rect.right;
  canvas.Brush.Color = color;
  canvas.Pen.Color = color;
  canvas.FillRect(f);
  canvas.MoveTo(rc.right - 2, f.top);
  canvas.LineTo(rc.right - 2, t_rect.bottom);

  canvas.Brush.Style = bsClear;
  canvas.TextRect(t_rect, t_rect.left, t_rect.top, t, rtl ? ETO_RTLREADING : 0);

  const int y = rc.top + tH / 2 + 1;
  canvas.Pen.Color = edge;
  canvas.MoveTo(rc.left, y);
  canvas.LineTo(t_rect.left, y);
  canvas.MoveTo(t_rect.right, y);
  canvas.LineTo(rc.right - 1, y);
}
