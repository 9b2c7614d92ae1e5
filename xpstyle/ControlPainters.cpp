// Painters of radio buttons, speed buttons, up-down controls, combo boxes,
// rich edits and panels.
#include <string>

#include "ui/Buttons.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"
#include "xpstyle/ControlSubClass.h"
#include "xpstyle/Painters.h"
#include "xpstyle/Primitives.h"
#include "xpstyle/XPStyle.h"

void DrawRadioButtonLook(TControlSubClass& hook, TCanvas& canvas) {
  TXPStyle& style = *hook.FStyleOwner;
  auto& radio = dynamic_cast<TRadioButton&>(*hook.FTargetControl);
  TColor fill = clWindow, frame = clBtnShadow;
  if (hook.FHighlighted) {
    fill = style.EffSelectColor;
    frame = style.EffSelectBorderColor;
  }
  if (hook.FHasFocus) fill = style.EffSelectColor;

  const int S = ThumbSize();
  RECT b = radio.ClientRect();
  b.top += 4;
  b.bottom -= 4;
  b.top += (b.bottom - b.top - S) / 2;
  b.bottom = b.top + S - 1;
  PrepareIndicator(canvas, b, S, IndicatorAtRight(radio.BiDiMode(), radio.Alignment()), radio.Color(), fill,
                   frame);
  canvas.Ellipse(b);
  if (radio.Checked()) {
    InflateRect(&b, -2, -2);
    TColor dot = radio.Enabled() ? clHighlight : style.EffDisabledColor;
    canvas.Brush.Color = dot;
    canvas.Pen.Color = dot;
    canvas.Ellipse(b);
  }
}

void DrawSpeedButtonLook(TControlSubClass& hook, TCanvas& canvas) {
  TXPStyle& style = *hook.FStyleOwner;
  auto& button = dynamic_cast<TSpeedButton&>(*hook.FTargetControl);
  if (!button.Visible()) return;
  const bool hot = hook.FHighlighted, down = button.Down();
  const bool flat = button.Flat(), transparent = button.Transparent();
  TColor fill = hot ? style.EffSelectColor : style.EffIconBackColor;
  TColor border = hot ? style.EffSelectBorderColor : clBtnShadow;
  if (down) {
    fill = hot ? style.CheckFillHotColor : style.CheckFillColor;
    border = style.EffSelectBorderColor;
  }
  if (!button.Enabled()) border = clBtnShadow;

  const RECT r = button.ClientRect();
  const int W = r.right - r.left, H = r.bottom - r.top;
  if (transparent && (down || hot)) {
    // Tints whatever shows through the button.
    TBitmap tint;
    tint.SetSize(W, H);
    if (!tint.Empty()) {
      tint.Canvas().Brush.Color = LightenColor(canvas, style.EffSelectColor, canvas.BitsPerPixel() > 16 ? 20 : 40);
      tint.Canvas().FillRect({0, 0, W, H});
      BitBlt(canvas.Handle(), r.left, r.top, W, H, tint.Canvas().Handle(), 0, 0, SRCAND);
    }
  }
  canvas.Brush.Style = transparent ? bsClear : bsSolid;
  canvas.Brush.Color = fill;
  canvas.Pen.Color = LightenColor(canvas, border, 30);
  if (flat && !transparent && !down && !hot) canvas.Pen.Color = fill;
  if (!(transparent && flat && !down && !hot)) canvas.Rectangle(r);
  if (button.Enabled() && !flat) {
    canvas.Pen.Color = DarkenColor(border, 50);
    if (hook.FMouseDown || down) {
      canvas.MoveTo(r.left, r.bottom - 1);
      canvas.LineTo(r.left, r.top);
      canvas.LineTo(r.right, r.top);
    } else {
      canvas.MoveTo(r.right - 1, r.top);
      canvas.LineTo(r.right - 1, r.bottom - 1);
      canvas.LineTo(r.left, r.bottom - 1);
    }
  }
  canvas.Brush.Style = bsSolid;

  const std::string caption = button.Caption();
  canvas.Font = button.Font();
  const SIZE text = canvas.TextExtent(caption);
  TBitmap& glyph = button.Glyph();
  const int cells = button.NumGlyphs();
  const int gw = glyph.Width() / cells, gh = glyph.Height();
  int k = 1;
  if (!button.Enabled() && cells > 1) k = 2;
  if (hook.FMouseDown && cells > 2) k = 3;
  if (down && cells > 3) k = 4;
  TBitmap cell;
  if (gw > 0 && gh > 0) cell.CopyFrom(glyph, (k - 1) * gw, 0, gw, gh);
  const int sp = caption.empty() ? 0 : button.Spacing();

  const bool rtl = RightToLeftReading(button);
  TButtonLayout layout = button.Layout();
  if (rtl && layout == blGlyphLeft)
    layout = blGlyphRight;
  else if (rtl && layout == blGlyphRight)
    layout = blGlyphLeft;
  RECT gr, tr;
  PlaceGlyphAndText(layout, r, {gw, gh}, text, sp, -1, gr, tr);
  style.DrawItemGlyph(doControl, canvas, cell, gr, hot, false, button.Enabled(), down || hook.FMouseDown, false,
                      rtl);
  DrawControlCaption(hook, canvas, tr);
}

void DrawUpDownLook(TControlSubClass&, TCanvas&) {}

void DrawComboLook(TControlSubClass& hook, TCanvas& canvas) {
  TXPStyle& style = *hook.FStyleOwner;
  auto& combo = dynamic_cast<TCustomCombo&>(*hook.FTargetControl);
  const bool hot = hook.FHighlighted, marked = hook.FHighlighted || hook.FHasFocus;
  const bool rtl = combo.BiDiMode() == bdRightToLeft;
  TColor arrow = combo.Enabled() ? clBlack : clWhite;
  TColor border = hot ? style.EffSelectBorderColor : combo.Color();
  TColor buttonColor = hot ? style.EffSelectColor : clBtnFace;
  if (!hot && hook.FHasFocus) {
    border = LightenColor(canvas, style.EffSelectBorderColor, 60);
    buttonColor = style.CheckFillColor;
  }
  const COLORREF parent = ParentColor(combo);
  const RECT rc = combo.ClientRect();

  RECT r = rc;
  canvas.Brush.Style = bsSolid;
  canvas.Brush.Color = parent;
  canvas.FrameRect(r);
  InflateRect(&r, -1, -1);
  canvas.Pen.Color = parent;
  canvas.MoveTo(r.left, r.top);
  canvas.LineTo(r.right, r.top);
  r.top += 1;
  r.bottom -= 1;
  if (marked) InflateRect(&r, 1, 1);
  canvas.Brush.Color = combo.Color();
  canvas.FrameRect(r);
  r.bottom += 1;
  canvas.Brush.Color = border;
  canvas.FrameRect(r);

  if (combo.DroppedDown()) {
    border = style.EffSelectBorderColor;
    arrow = clWhite;
    buttonColor = style.CheckFillHotColor;
  }
  const int S = ThumbSize();
  InflateRect(&r, -1, -1);
  if (rtl) {
    r.right = r.left + S + 1;
    if (marked) r.right += 2;
  } else {
    r.left = r.right - S - 1;
    if (marked) r.left -= 1;
  }
  canvas.Brush.Color = buttonColor;
  canvas.FillRect(r);
  if (rtl)
    r.left = r.right - 5;
  else
    r.right = r.left + 5;
  canvas.Brush.Color = combo.Color();
  canvas.FillRect(r);
  canvas.Pen.Color = border;
  const int lineX = rtl ? r.left : r.right;
  canvas.MoveTo(lineX, r.top);
  canvas.LineTo(lineX, r.bottom);

  canvas.Pen.Color = arrow;
  const int x = rtl ? rc.left + 5 : rc.right - 10;
  canvas.MoveTo(x, rc.top + 10);
  canvas.LineTo(x + 5, rc.top + 10);
  canvas.MoveTo(x + 1, rc.top + 11);
  canvas.LineTo(x + 4, rc.top + 11);
  canvas.MoveTo(x + 2, rc.top + 12);
  canvas.LineTo(x + 3, rc.top + 12);
}

void DrawRichEditLook(TControlSubClass& hook, TCanvas& canvas) {
  TXPStyle& style = *hook.FStyleOwner;
  auto& edit = dynamic_cast<TCustomRichEdit&>(*hook.FTargetControl);
  RECT f = edit.BoundsRect();
  InflateRect(&f, 1, 1);
  const bool single = hook.FSavedBorderStyle == bsSingle;
  if (single) {
    // The first time this re-creates the window without its border; the
    // pending flag keeps the hook across that.
    hook.FRecreatePending = true;
    edit.SetBorderStyle(bsNone);
    if (edit.BorderWidth() < 2) edit.SetBorderWidth(2);
  }
  TColor color;
  if (hook.FHighlighted || hook.FHasFocus)
    color = LightenColor(canvas, style.EffSelectBorderColor, 60);
  else
    color = single ? DarkenColor(ParentColor(edit), 60) : ParentColor(edit);
  DrawBevelFrame(canvas, f, color, color, 1);
}

void DrawPanelLook(TControlSubClass& hook, TCanvas& canvas) {
  if (hook.FLastMessage != WM_PAINT) return;
  auto& panel = dynamic_cast<TCustomPanel&>(*hook.FTargetControl);
  RECT f = panel.ClientRect();
  const COLORREF dark = DarkenColor(panel.Color(), 60);
  const COLORREF light = LightenColor(canvas, panel.Color(), 60);
  auto bevel = [&](TBevelCut cut) {
    if (cut == bvLowered)
      DrawBevelFrame(canvas, f, dark, light, panel.BevelWidth());
    else
      DrawBevelFrame(canvas, f, light, dark, panel.BevelWidth());
  };
  if (panel.BevelOuter() != bvNone) bevel(panel.BevelOuter());
  if (panel.BevelInner() != bvNone) {
    InflateRect(&f, -panel.BorderWidth(), -panel.BorderWidth());
    bevel(panel.BevelInner());
  }
}
