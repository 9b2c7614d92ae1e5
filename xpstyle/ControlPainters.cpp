// Painters of radio buttons, speed buttons, up-down controls, combo boxes,
// rich edits and panels.
#include <string>

#include "ui/Buttons.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"
#include "xpstyle/ItemDraw.h"
#include "xpstyle/Painters.h"
#include "xpstyle/Primitives.h"

namespace {

// A speed button's face by its state.
struct TSpeedButtonColors {
  TColor Fill;
  TColor Border;
};

TSpeedButtonColors SpeedButtonColors(const TXPColors& style, const TSpeedButton& button, bool hot) {
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
void TintBehind(TCanvas& canvas, const TXPColors& style, const RECT& client) {
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
void DrawSpeedButtonFace(TControlPaint& paint, TSpeedButton& button, const RECT& client) {
  TCanvas& canvas = paint.Canvas;
  const int line = paint.Metrics.Button.Line;
  const bool hot = paint.State.FHighlighted, down = button.Down();
  const bool flat = button.Flat(), transparent = button.Transparent();
  const TSpeedButtonColors colors = SpeedButtonColors(paint.Colors, button, hot);
  if (transparent && (down || hot)) TintBehind(canvas, paint.Colors, client);
  canvas.Brush.Style = transparent ? bsClear : bsSolid;
  canvas.Brush.Color = colors.Fill;
  canvas.Pen.Color = LightenColor(canvas, colors.Border, 30);
  if (flat && !transparent && !down && !hot) canvas.Pen.Color = colors.Fill;
  if (!(transparent && flat && !down && !hot)) {
    TFramePen pen(canvas, line);
    canvas.Rectangle(client);
  }
  if (button.Enabled() && !flat) {
    canvas.Pen.Color = DarkenColor(colors.Border, 50);
    for (int i = 0; i < line; ++i) {
      if (paint.State.FMouseDown || down) {
        canvas.MoveTo(client.left + i, client.bottom - 1);
        canvas.LineTo(client.left + i, client.top + i);
        canvas.LineTo(client.right, client.top + i);
      } else {
        canvas.MoveTo(client.right - 1 - i, client.top);
        canvas.LineTo(client.right - 1 - i, client.bottom - 1 - i);
        canvas.LineTo(client.left, client.bottom - 1 - i);
      }
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
void DrawSpeedButtonGlyphAndCaption(TControlPaint& paint, TSpeedButton& button, const RECT& client) {
  TCanvas& canvas = paint.Canvas;
  const std::string caption = button.Caption();
  canvas.Font = button.Font();
  const SIZE text = canvas.TextExtent(caption);
  TBitmap& glyph = button.Glyph();
  const int cellWidth = glyph.Width() / button.NumGlyphs(), cellHeight = glyph.Height();
  const int cell = SpeedButtonCell(button, paint.State.FMouseDown);
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
  PlaceGlyphAndText(layout, client, {cellWidth, cellHeight}, text, spacing, -paint.Metrics.Button.SpeedGlyphRaise,
                    glyphRect, textRect);
  const TGlyphState state{.Selected = paint.State.FHighlighted,
                          .Enabled = button.Enabled(),
                          .Checked = button.Down() || paint.State.FMouseDown,
                          .RightToLeft = rtl};
  DrawItemGlyph(paint.Colors, paint.Metrics.Glyph, doControl, canvas, cellGlyph, glyphRect, state);
  DrawControlCaption(paint, textRect);
}

// A combo box's state and the colours of its frame, button and arrow.
struct TComboLook {
  bool Marked = false;       // hot or focused: the frame one pixel further out
  bool RightToLeft = false;  // the button on the left
  TColor Arrow = clBlack;
  TColor Border = clBlack;
  TColor Button = clBtnFace;
  int Line = 1;
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
  // A wider frame grows inwards; the button and the strip keep their place.
  for (int i = 0; i < look.Line; ++i) {
    RECT ring = frame;
    InflateRect(&ring, -i, -i);
    canvas.FrameRect(ring);
  }
  return frame;
}

// The drop-down button inside the frame, a five-pixel strip of the
// control's colour and a line between them, and the arrow.
void DrawComboButton(TCanvas& canvas, const TComboMetrics& metrics, int thumb, TCustomCombo& combo,
                     const TComboLook& look, RECT frame) {
  RECT button = frame;
  InflateRect(&button, -1, -1);
  if (look.RightToLeft) {
    button.right = button.left + thumb + metrics.ButtonExtra;
    if (look.Marked) button.right += 2;
  } else {
    button.left = button.right - thumb - metrics.ButtonExtra;
    if (look.Marked) button.left -= 1;
  }
  canvas.Brush.Color = look.Button;
  canvas.FillRect(button);
  RECT strip = button;
  if (look.RightToLeft)
    strip.left = strip.right - metrics.Strip;
  else
    strip.right = strip.left + metrics.Strip;
  canvas.Brush.Color = combo.Color();
  canvas.FillRect(strip);
  canvas.Pen.Color = look.Border;
  for (int i = 0; i < metrics.Line; ++i) {
    const int lineX = look.RightToLeft ? strip.left - i : strip.right + i;
    canvas.MoveTo(lineX, strip.top);
    canvas.LineTo(lineX, strip.bottom);
  }

  const RECT client = combo.ClientRect();
  canvas.Pen.Color = look.Arrow;
  const int arrowX = look.RightToLeft ? client.left + metrics.ArrowLeft : client.right - metrics.ArrowRight;
  DrawDropArrow(canvas, arrowX, client.top + metrics.ArrowTop, metrics.ArrowHalfWidth);
}

}  // namespace

void DrawRadioButtonLook(TControlPaint& paint) {
  const TXPColors& colors = paint.Colors;
  const TIndicatorMetrics& metrics = paint.Metrics.Indicator;
  TCanvas& canvas = paint.Canvas;
  auto& radio = dynamic_cast<TRadioButton&>(paint.Control);
  TColor fill = clWindow, frame = clBtnShadow;
  if (paint.State.FHighlighted) {
    fill = colors.EffSelectColor;
    frame = colors.EffSelectBorderColor;
  }
  if (paint.State.FHasFocus) fill = colors.EffSelectColor;

  RECT box = radio.ClientRect();
  box.top += metrics.RadioInset;
  box.bottom -= metrics.RadioInset;
  box.top += (box.bottom - box.top - metrics.Size) / 2;
  box.bottom = box.top + metrics.Size - 1;
  PrepareIndicator(canvas, metrics, box, IndicatorAtRight(radio.BiDiMode(), radio.Alignment()), radio.Color(), fill,
                   frame);
  {
    TFramePen pen(canvas, metrics.Line);
    canvas.Ellipse(box);
  }
  if (radio.Checked()) {
    InflateRect(&box, -metrics.DotInset, -metrics.DotInset);
    TColor dot = radio.Enabled() ? clHighlight : colors.EffDisabledColor;
    canvas.Brush.Color = dot;
    canvas.Pen.Color = dot;
    canvas.Ellipse(box);
  }
}

// A speed button never has the focus.
void DrawSpeedButtonLook(TControlPaint& paint) {
  auto& button = dynamic_cast<TSpeedButton&>(paint.Control);
  if (!button.Visible()) return;
  const RECT client = button.ClientRect();
  DrawSpeedButtonFace(paint, button, client);
  DrawSpeedButtonGlyphAndCaption(paint, button, client);
}

void DrawUpDownLook(TControlPaint&) {}

void DrawComboLook(TControlPaint& paint) {
  const TXPColors& colors = paint.Colors;
  const THookState& hook = paint.State;
  TCanvas& canvas = paint.Canvas;
  auto& combo = dynamic_cast<TCustomCombo&>(paint.Control);
  TComboLook look;
  look.Marked = hook.FHighlighted || hook.FHasFocus;
  look.RightToLeft = combo.BiDiMode() == bdRightToLeft;
  look.Arrow = combo.Enabled() ? clBlack : clWhite;
  look.Border = hook.FHighlighted ? colors.EffSelectBorderColor : combo.Color();
  look.Button = hook.FHighlighted ? colors.EffSelectColor : clBtnFace;
  look.Line = paint.Metrics.Combo.Line;
  if (!hook.FHighlighted && hook.FHasFocus) {
    look.Border = LightenColor(canvas, colors.EffSelectBorderColor, 60);
    look.Button = colors.CheckFillColor;
  }
  RECT frame = DrawComboFrame(canvas, combo, look);
  // The open list changes only the button, not the frame.
  if (combo.DroppedDown()) {
    look.Border = colors.EffSelectBorderColor;
    look.Arrow = clWhite;
    look.Button = colors.CheckFillHotColor;
  }
  DrawComboButton(canvas, paint.Metrics.Combo, paint.Metrics.Indicator.Size, combo, look, frame);
}

void DrawRichEditLook(TControlPaint& paint) {
  const TXPColors& colors = paint.Colors;
  TCanvas& canvas = paint.Canvas;
  auto& edit = dynamic_cast<TCustomRichEdit&>(paint.Control);
  RECT frame = edit.BoundsRect();
  InflateRect(&frame, 1, 1);
  const bool single = paint.State.FSavedBorderStyle == bsSingle;
  if (single) {
    // The first time this re-creates the window without its border; the
    // pending flag keeps the hook across that.
    paint.State.FRecreatePending = true;
    edit.SetBorderStyle(bsNone);
    if (edit.BorderWidth() < 2) edit.SetBorderWidth(2);
  }
  TColor color;
  if (paint.State.FHighlighted || paint.State.FHasFocus)
    color = LightenColor(canvas, colors.EffSelectBorderColor, 60);
  else
    color = single ? DarkenColor(ParentColor(edit), 60) : ParentColor(edit);
  // One line at every DPI: outside it the parent's other controls may begin.
  DrawBevelFrame(canvas, frame, color, color, 1);
}

void DrawPanelLook(TControlPaint& paint) {
  if (paint.State.FLastMessage != WM_PAINT) return;
  auto& panel = dynamic_cast<TCustomPanel&>(paint.Control);
  TCanvas& canvas = paint.Canvas;
  RECT frame = panel.ClientRect();
  const COLORREF dark = DarkenColor(panel.Color(), 60);
  const COLORREF light = LightenColor(canvas, panel.Color(), 60);
  // The bevel's width is in lines, which grow only at 200 %.
  const int width = panel.BevelWidth() * paint.Metrics.Frame.Line;
  auto bevel = [&](TBevelCut cut) {
    if (cut == bvLowered)
      DrawBevelFrame(canvas, frame, dark, light, width);
    else
      DrawBevelFrame(canvas, frame, light, dark, width);
  };
  if (panel.BevelOuter() != bvNone) bevel(panel.BevelOuter());
  if (panel.BevelInner() != bvNone) {
    InflateRect(&frame, -panel.BorderWidth(), -panel.BorderWidth());
    bevel(panel.BevelInner());
  }
}
