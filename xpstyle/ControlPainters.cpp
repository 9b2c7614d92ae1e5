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

namespace {

// A speed button's face by its state.
struct TSpeedButtonColors {
  TColor Fill;
  TColor Border;
};

TSpeedButtonColors SpeedButtonColors(const TXPStyle& style, const TSpeedButton& button, bool hot) {
  TSpeedButtonColors colors{hot ? style.EffSelectColor : style.EffIconBackColor,
                            hot ? style.EffSelectBorderColor : clBtnShadow};
  if (button.Down()) {
    colors.Fill = hot ? style.CheckFillHotColor : style.CheckFillColor;
    colors.Border = style.EffSelectBorderColor;
  }
  if (!button.Enabled()) colors.Border = clBtnShadow;
  return colors;
}

// Tints whatever shows through a transparent button.
void TintBehind(TCanvas& canvas, const TXPStyle& style, const RECT& client) {
  const int width = client.right - client.left, height = client.bottom - client.top;
  TBitmap tint;
  tint.SetSize(width, height);
  if (tint.Empty()) return;
  tint.Canvas().Brush.Color = LightenColor(canvas, style.EffSelectColor, canvas.BitsPerPixel() > 16 ? 20 : 40);
  tint.Canvas().FillRect({0, 0, width, height});
  BitBlt(canvas.Handle(), client.left, client.top, width, height, tint.Canvas().Handle(), 0, 0, SRCAND);
}

// The tint, the rectangle (none for a transparent flat button at rest, no
// visible outline for a flat one) and the 3-D edge of a button not flat.
void DrawSpeedButtonFace(TControlSubClass& hook, TSpeedButton& button, TCanvas& canvas, const RECT& client) {
  TXPStyle& style = *hook.FStyleOwner;
  const bool hot = hook.FHighlighted, down = button.Down();
  const bool flat = button.Flat(), transparent = button.Transparent();
  const TSpeedButtonColors colors = SpeedButtonColors(style, button, hot);
  if (transparent && (down || hot)) TintBehind(canvas, style, client);
  canvas.Brush.Style = transparent ? bsClear : bsSolid;
  canvas.Brush.Color = colors.Fill;
  canvas.Pen.Color = LightenColor(canvas, colors.Border, 30);
  if (flat && !transparent && !down && !hot) canvas.Pen.Color = colors.Fill;
  if (!(transparent && flat && !down && !hot)) canvas.Rectangle(client);
  if (button.Enabled() && !flat) {
    canvas.Pen.Color = DarkenColor(colors.Border, 50);
    if (hook.FMouseDown || down) {
      canvas.MoveTo(client.left, client.bottom - 1);
      canvas.LineTo(client.left, client.top);
      canvas.LineTo(client.right, client.top);
    } else {
      canvas.MoveTo(client.right - 1, client.top);
      canvas.LineTo(client.right - 1, client.bottom - 1);
      canvas.LineTo(client.left, client.bottom - 1);
    }
  }
  canvas.Brush.Style = bsSolid;
}

// The glyph cell for the state, counted from 1: 2 while disabled, 3 while
// the mouse presses the button, 4 while it is down (a later rule wins),
// each only when the glyph has that many cells.
int SpeedButtonCell(const TSpeedButton& button, bool mouseDown) {
  const int cells = button.NumGlyphs();
  int cell = 1;
  if (!button.Enabled() && cells > 1) cell = 2;
  if (mouseDown && cells > 2) cell = 3;
  if (button.Down() && cells > 3) cell = 4;
  return cell;
}

// Right-to-left reading swaps the glyph-left and glyph-right layouts.
void DrawSpeedButtonGlyphAndCaption(TControlSubClass& hook, TSpeedButton& button, TCanvas& canvas,
                                    const RECT& client) {
  const std::string caption = button.Caption();
  canvas.Font = button.Font();
  const SIZE text = canvas.TextExtent(caption);
  TBitmap& glyph = button.Glyph();
  const int cellWidth = glyph.Width() / button.NumGlyphs(), cellHeight = glyph.Height();
  const int cell = SpeedButtonCell(button, hook.FMouseDown);
  TBitmap cellGlyph;
  if (cellWidth > 0 && cellHeight > 0) cellGlyph.CopyFrom(glyph, (cell - 1) * cellWidth, 0, cellWidth, cellHeight);
  const int spacing = caption.empty() ? 0 : button.Spacing();

  const bool rtl = RightToLeftReading(button);
  TButtonLayout layout = button.Layout();
  if (rtl && layout == blGlyphLeft)
    layout = blGlyphRight;
  else if (rtl && layout == blGlyphRight)
    layout = blGlyphLeft;
  RECT glyphRect, textRect;
  PlaceGlyphAndText(layout, client, {cellWidth, cellHeight}, text, spacing, -1, glyphRect, textRect);
  hook.FStyleOwner->DrawItemGlyph(doControl, canvas, cellGlyph, glyphRect, hook.FHighlighted, false,
                                  button.Enabled(), button.Down() || hook.FMouseDown, false, rtl);
  DrawControlCaption(hook, canvas, textRect);
}

// A combo box's state and the colours of its frame, button and arrow.
struct TComboLook {
  bool Marked = false;       // hot or focused: the frame one pixel further out
  bool RightToLeft = false;  // the button on the left
  TColor Arrow = clBlack;
  TColor Border = clBlack;
  TColor Button = clBtnFace;
};

// Paints the control's own border over in the parent's colour and its
// frame in the border colour; returns the frame's rectangle.
RECT DrawComboFrame(TCanvas& canvas, TCustomCombo& combo, const TComboLook& look) {
  const COLORREF parent = ParentColor(combo);
  RECT frame = combo.ClientRect();
  canvas.Brush.Style = bsSolid;
  canvas.Brush.Color = parent;
  canvas.FrameRect(frame);
  InflateRect(&frame, -1, -1);
  canvas.Pen.Color = parent;
  canvas.MoveTo(frame.left, frame.top);
  canvas.LineTo(frame.right, frame.top);
  frame.top += 1;
  frame.bottom -= 1;
  if (look.Marked) InflateRect(&frame, 1, 1);
  canvas.Brush.Color = combo.Color();
  canvas.FrameRect(frame);
  frame.bottom += 1;
  canvas.Brush.Color = look.Border;
  canvas.FrameRect(frame);
  return frame;
}

// The drop-down button inside the frame, a five-pixel strip of the
// control's colour and a line between them, and the arrow.
void DrawComboButton(TCanvas& canvas, TCustomCombo& combo, const TComboLook& look, RECT frame) {
  const int thumb = ThumbSize();
  RECT button = frame;
  InflateRect(&button, -1, -1);
  if (look.RightToLeft) {
    button.right = button.left + thumb + 1;
    if (look.Marked) button.right += 2;
  } else {
    button.left = button.right - thumb - 1;
    if (look.Marked) button.left -= 1;
  }
  canvas.Brush.Color = look.Button;
  canvas.FillRect(button);
  RECT strip = button;
  if (look.RightToLeft)
    strip.left = strip.right - 5;
  else
    strip.right = strip.left + 5;
  canvas.Brush.Color = combo.Color();
  canvas.FillRect(strip);
  canvas.Pen.Color = look.Border;
  const int lineX = look.RightToLeft ? strip.left : strip.right;
  canvas.MoveTo(lineX, strip.top);
  canvas.LineTo(lineX, strip.bottom);

  const RECT client = combo.ClientRect();
  canvas.Pen.Color = look.Arrow;
  const int arrowX = look.RightToLeft ? client.left + 5 : client.right - 10;
  canvas.MoveTo(arrowX, client.top + 10);
  canvas.LineTo(arrowX + 5, client.top + 10);
  canvas.MoveTo(arrowX + 1, client.top + 11);
  canvas.LineTo(arrowX + 4, client.top + 11);
  canvas.MoveTo(arrowX + 2, client.top + 12);
  canvas.LineTo(arrowX + 3, client.top + 12);
}

}  // namespace

void DrawRadioButtonLook(TControlSubClass& hook, TCanvas& canvas) {
  TXPStyle& style = *hook.FStyleOwner;
  auto& radio = dynamic_cast<TRadioButton&>(*hook.FTargetControl);
  TColor fill = clWindow, frame = clBtnShadow;
  if (hook.FHighlighted) {
    fill = style.EffSelectColor;
    frame = style.EffSelectBorderColor;
  }
  if (hook.FHasFocus) fill = style.EffSelectColor;

  const int size = ThumbSize();
  RECT box = radio.ClientRect();
  box.top += 4;
  box.bottom -= 4;
  box.top += (box.bottom - box.top - size) / 2;
  box.bottom = box.top + size - 1;
  PrepareIndicator(canvas, box, size, IndicatorAtRight(radio.BiDiMode(), radio.Alignment()), radio.Color(), fill,
                   frame);
  canvas.Ellipse(box);
  if (radio.Checked()) {
    InflateRect(&box, -2, -2);
    TColor dot = radio.Enabled() ? clHighlight : style.EffDisabledColor;
    canvas.Brush.Color = dot;
    canvas.Pen.Color = dot;
    canvas.Ellipse(box);
  }
}

// A speed button never has the focus.
void DrawSpeedButtonLook(TControlSubClass& hook, TCanvas& canvas) {
  auto& button = dynamic_cast<TSpeedButton&>(*hook.FTargetControl);
  if (!button.Visible()) return;
  const RECT client = button.ClientRect();
  DrawSpeedButtonFace(hook, button, canvas, client);
  DrawSpeedButtonGlyphAndCaption(hook, button, canvas, client);
}

void DrawUpDownLook(TControlSubClass&, TCanvas&) {}

void DrawComboLook(TControlSubClass& hook, TCanvas& canvas) {
  TXPStyle& style = *hook.FStyleOwner;
  auto& combo = dynamic_cast<TCustomCombo&>(*hook.FTargetControl);
  TComboLook look;
  look.Marked = hook.FHighlighted || hook.FHasFocus;
  look.RightToLeft = combo.BiDiMode() == bdRightToLeft;
  look.Arrow = combo.Enabled() ? clBlack : clWhite;
  look.Border = hook.FHighlighted ? style.EffSelectBorderColor : combo.Color();
  look.Button = hook.FHighlighted ? style.EffSelectColor : clBtnFace;
  if (!hook.FHighlighted && hook.FHasFocus) {
    look.Border = LightenColor(canvas, style.EffSelectBorderColor, 60);
    look.Button = style.CheckFillColor;
  }
  RECT frame = DrawComboFrame(canvas, combo, look);
  // The open list changes only the button, not the frame.
  if (combo.DroppedDown()) {
    look.Border = style.EffSelectBorderColor;
    look.Arrow = clWhite;
    look.Button = style.CheckFillHotColor;
  }
  DrawComboButton(canvas, combo, look, frame);
}

void DrawRichEditLook(TControlSubClass& hook, TCanvas& canvas) {
  TXPStyle& style = *hook.FStyleOwner;
  auto& edit = dynamic_cast<TCustomRichEdit&>(*hook.FTargetControl);
  RECT frame = edit.BoundsRect();
  InflateRect(&frame, 1, 1);
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
  DrawBevelFrame(canvas, frame, color, color, 1);
}

void DrawPanelLook(TControlSubClass& hook, TCanvas& canvas) {
  if (hook.FLastMessage != WM_PAINT) return;
  auto& panel = dynamic_cast<TCustomPanel&>(*hook.FTargetControl);
  RECT frame = panel.ClientRect();
  const COLORREF dark = DarkenColor(panel.Color(), 60);
  const COLORREF light = LightenColor(canvas, panel.Color(), 60);
  auto bevel = [&](TBevelCut cut) {
    if (cut == bvLowered)
      DrawBevelFrame(canvas, frame, dark, light, panel.BevelWidth());
    else
      DrawBevelFrame(canvas, frame, light, dark, panel.BevelWidth());
  };
  if (panel.BevelOuter() != bvNone) bevel(panel.BevelOuter());
  if (panel.BevelInner() != bvNone) {
    InflateRect(&frame, -panel.BorderWidth(), -panel.BorderWidth());
    bevel(panel.BevelInner());
  }
}
