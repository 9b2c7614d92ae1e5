#include "xpstyle/Painters.h"

#include <algorithm>
#include <string>

#include "ui/Buttons.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"
#include "xpstyle/ItemDraw.h"
#include "xpstyle/Primitives.h"

namespace {

// Lines of the 3-D edge, one pixel apart towards the inside.
void DrawEdgeLines(TCanvas& canvas, const POINT (&points)[4], POINT inward, int lines) {
  for (int i = 0; i < lines; ++i) {
    canvas.MoveTo(points[0].x + inward.x * i, points[0].y + inward.y * i);
    for (int p = 1; p < 4; ++p) canvas.LineTo(points[p].x + inward.x * i, points[p].y + inward.y * i);
  }
}

// Steps shared by push buttons and bit buttons: the erased face, the rounded
// fill and the 3-D edge.
void DrawButtonFace(TControlPaint& paint, const RECT& client) {
  const TXPColors& colors = paint.Colors;
  const THookState& hook = paint.State;
  const TButtonMetrics& metrics = paint.Metrics.Button;
  TCanvas& canvas = paint.Canvas;
  TColor fill, edge;
  if (hook.FHighlighted || hook.FSpaceDown) {
    fill = LightenColor(canvas, clBtnFace, 60);
    edge = LightenColor(canvas, colors.EffSelectBorderColor, 60);
  } else {
    fill = colors.EffIconBackColor;
    edge = clBtnShadow;
  }
  if (!hook.FHighlighted && hook.FHasFocus) edge = LightenColor(canvas, colors.EffSelectBorderColor, 60);

  canvas.Brush.Color = ParentColor(paint.Control);
  canvas.Brush.Style = bsSolid;
  canvas.FillRect(client);
  canvas.Brush.Color = fill;
  canvas.Pen.Color = LightenColor(canvas, edge, 30);
  {
    TFramePen pen(canvas, metrics.Line);
    canvas.RoundRect(client.left, client.top, client.right, client.bottom, metrics.Corner, metrics.Corner);
  }
  if (!paint.Control.Enabled()) return;
  canvas.Pen.Color = DarkenColor(edge, 50);
  const int left = client.left, top = client.top, right = client.right, bottom = client.bottom;
  if ((hook.FMouseDown && hook.FHighlighted) || hook.FSpaceDown)
    DrawEdgeLines(canvas, {{left, bottom - 2}, {left, top + 1}, {left + 1, top}, {right - 1, top}}, {1, 1},
                  metrics.Line);
  else
    DrawEdgeLines(canvas, {{right - 1, top + 1}, {right - 1, bottom - 2}, {right - 2, bottom - 1}, {left, bottom - 1}},
                  {-1, -1}, metrics.Line);
}

// The caption's place: in from the left, or from the right for
// right-to-left reading.
RECT GroupBoxCaptionRect(const RECT& client, SIZE caption, bool rightToLeft, int indent) {
  RECT captionRect;
  if (rightToLeft) {
    captionRect.right = client.right - indent;
    captionRect.left = captionRect.right - caption.cx;
  } else {
    captionRect.left = client.left + indent;
    captionRect.right = captionRect.left + caption.cx;
  }
  captionRect.top = client.top;
  captionRect.bottom = client.top + caption.cy;
  return captionRect;
}

}  // namespace

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

bool HasPainter(const TControl* control) { return PainterFor(control) != nullptr; }

TControlSurface::TControlSurface(HWND window, const TControl* graphic) : FDC(window), FCanvas(FDC.Get()) {
  if (graphic && FDC.Get()) {
    SetViewportOrgEx(FDC.Get(), graphic->Left(), graphic->Top(), nullptr);
    IntersectClipRect(FDC.Get(), 0, 0, graphic->Width(), graphic->Height());
  }
}

HWND PaintWindowOf(TControl& control, THookState& state, const TControl*& graphic) {
  graphic = nullptr;
  // The flat border of an edit needs a window without the 3-D edge; the
  // re-creation comes first so that the frame lands on the new window.
  auto* edit = dynamic_cast<TCustomEdit*>(&control);
  if (edit && !Is<TCustomRichEdit>(edit) && edit->Ctl3D()) {
    state.FRecreatePending = true;
    edit->SetCtl3D(false);
  }
  if (Is<TCustomRichEdit>(&control)) {
    // Its frame lies on the parent, just outside the control.
    return control.Parent() && control.Parent()->HandleAllocated() ? control.Parent()->Handle() : nullptr;
  }
  if (auto* windowed = dynamic_cast<TWinControl*>(&control))
    return windowed->HandleAllocated() ? windowed->Handle() : nullptr;
  if (!control.Parent() || !control.Parent()->HandleAllocated()) return nullptr;
  graphic = &control;
  return control.Parent()->Handle();
}

COLORREF ParentColor(const TControl& control) {
  return ColorToRGB(control.Parent() ? control.Parent()->Color() : clBtnFace);
}

bool RightToLeftReading(const TControl& control) {
  return GetSystemMetrics(SM_MIDEASTENABLED) != 0 && control.BiDiMode() != bdLeftToRight;
}

bool Blank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

void DrawControlCaption(TControlPaint& paint, const RECT& textRect) {
  TControl& control = paint.Control;
  const bool rtl = RightToLeftReading(control);
  const auto* button = dynamic_cast<const TButton*>(&control);
  const TItemTextState state{.RightToLeft = rtl,
                             .BarItem = false,
                             .Default = button && button->Default(),
                             .Enabled = control.Enabled(),
                             .Selected = false};
  DrawItemText(paint.Colors, paint.Metrics, doControl, control.Caption(), rtl ? DT_RTLREADING : 0, control.Font(),
               state, textRect, paint.Canvas, "");
}

// Right-to-left reading modes that keep the alignment (NoAlign,
// ReadingOnly) place the indicator as left-to-right does.
bool IndicatorAtRight(TBiDiMode bidi, TLeftRight alignment) {
  return bidi == bdRightToLeft ? alignment == taRightJustify : alignment == taLeftJustify;
}

void PrepareIndicator(TCanvas& canvas, const TIndicatorMetrics& metrics, RECT& box, bool atRight, TColor background,
                      TColor fill, TColor frame) {
  if (atRight)
    box.left = box.right - metrics.Size + 1;
  else
    box.right = box.left + metrics.Size - 1;
  canvas.Brush.Style = bsSolid;
  canvas.Brush.Color = background;
  canvas.FillRect(box);
  InflateRect(&box, -metrics.FrameInset, -metrics.FrameInset);
  canvas.Brush.Color = fill;
  canvas.Pen.Color = frame;
}

void PlaceGlyphAndText(TButtonLayout layout, const RECT& client, SIZE glyph, SIZE text, int spacing,
                       int glyphLeftTopShift, RECT& glyphRect, RECT& textRect) {
  const int width = client.right - client.left, height = client.bottom - client.top;
  const int glyphWidth = glyph.cx, glyphHeight = glyph.cy, textWidth = text.cx, textHeight = text.cy;
  glyphRect = {client.left, client.top, client.left + glyphWidth, client.top + glyphHeight};
  textRect = client;
  textRect.left = (width - textWidth) / 2;
  switch (layout) {
    case blGlyphLeft:
      glyphRect.left = (width - (spacing + glyphWidth + textWidth)) / 2;
      glyphRect.right = glyphRect.left + glyphWidth;
      glyphRect.top = (height - glyphHeight) / 2 + glyphLeftTopShift;
      glyphRect.bottom = glyphRect.top + glyphHeight;
      textRect.left = glyphRect.right + spacing;
      textRect.right = textRect.left + textWidth;
      break;
    case blGlyphRight:
      glyphRect.right = (spacing + glyphWidth + textWidth + width) / 2;
      glyphRect.left = glyphRect.right - glyphWidth;
      glyphRect.top = (height - glyphHeight) / 2;
      glyphRect.bottom = glyphRect.top + glyphHeight;
      textRect.right = glyphRect.left - spacing;
      textRect.left = textRect.right - textWidth;
      break;
    case blGlyphTop:
      glyphRect.left = (width - glyphWidth) / 2;
      glyphRect.right = glyphRect.left + glyphWidth;
      glyphRect.top = (height - (glyphHeight + spacing + textHeight)) / 2;
      glyphRect.bottom = glyphRect.top + glyphHeight;
      textRect.left = (width - textWidth) / 2;
      textRect.right = textRect.left + textWidth;
      textRect.top = glyphRect.bottom + spacing;
      textRect.bottom = textRect.top + textHeight;
      break;
    case blGlyphBottom:
      glyphRect.left = (width - glyphWidth) / 2;
      glyphRect.right = glyphRect.left + glyphWidth;
      glyphRect.bottom = (glyphHeight + spacing + textHeight + height) / 2;
      glyphRect.top = glyphRect.bottom - glyphHeight;
      textRect.left = (width - textWidth) / 2;
      textRect.right = textRect.left + textWidth;
      textRect.bottom = glyphRect.top - spacing;
      textRect.top = textRect.bottom - textHeight;
      break;
  }
}

void DrawBevelFrame(TCanvas& canvas, RECT& frame, TColor topLeft, TColor bottomRight, int width) {
  RECT ring = frame;
  for (int i = 0; i < width; ++i) {
    canvas.Pen.Color = topLeft;
    canvas.MoveTo(ring.left, ring.top);
    canvas.LineTo(ring.left, ring.bottom - 1);
    canvas.MoveTo(ring.left, ring.top);
    canvas.LineTo(ring.right - 1, ring.top);
    canvas.Pen.Color = bottomRight;
    canvas.MoveTo(ring.right - 1, ring.top);
    canvas.LineTo(ring.right - 1, ring.bottom);
    canvas.MoveTo(ring.left, ring.bottom - 1);
    canvas.LineTo(ring.right, ring.bottom - 1);
    InflateRect(&ring, -1, -1);
  }
  InflateRect(&frame, -width, -width);
}

void DrawButtonLook(TControlPaint& paint) {
  TControl& control = paint.Control;
  RECT client = control.ClientRect();
  DrawButtonFace(paint, client);
  paint.Canvas.Font = control.Font();
  RECT textRect = client;
  textRect.left = (client.right - client.left - paint.Canvas.TextWidth(control.Caption())) / 2;
  DrawControlCaption(paint, textRect);
}

void DrawBitBtnLook(TControlPaint& paint) {
  auto& button = dynamic_cast<TBitBtn&>(paint.Control);
  TCanvas& canvas = paint.Canvas;
  RECT client = button.ClientRect();
  DrawButtonFace(paint, client);

  const std::string caption = button.Caption();
  canvas.Font = button.Font();
  SIZE text = canvas.TextExtent(caption);

  // The first cell, in every state.
  TBitmap& glyph = button.Glyph();
  const int cellWidth = glyph.Width() / button.NumGlyphs(), cellHeight = glyph.Height();
  TBitmap cell;
  if (cellWidth > 0 && cellHeight > 0) cell.CopyFrom(glyph, 0, 0, cellWidth, cellHeight);
  const int spacing = Blank(caption) ? 0 : button.Spacing();

  RECT glyphRect, textRect;
  PlaceGlyphAndText(button.Layout(), client, {cellWidth, cellHeight}, text, spacing, 0, glyphRect, textRect);
  const TGlyphState state{.Selected = paint.State.FHighlighted,
                          .Pressed = paint.State.FHasFocus,
                          .Enabled = button.Enabled(),
                          .RightToLeft = RightToLeftReading(button)};
  DrawItemGlyph(paint.Colors, paint.Metrics.Glyph, doControl, canvas, cell, glyphRect, state);
  DrawControlCaption(paint, textRect);
}

void DrawEditLook(TControlPaint& paint) {
  const TXPColors& colors = paint.Colors;
  TControl& control = paint.Control;
  TCanvas& canvas = paint.Canvas;
  bool single = paint.State.FSavedBorderStyle == bsSingle;
  TColor frame;
  if (paint.State.FHighlighted || paint.State.FHasFocus)
    frame = LightenColor(canvas, colors.EffSelectBorderColor, single ? 60 : 80);
  else
    frame = single ? DarkenColor(ParentColor(control), 60) : ParentColor(control);
  RECT client = control.ClientRect();
  canvas.Pen.Color = frame;
  canvas.Brush.Style = bsClear;
  TFramePen pen(canvas, paint.Metrics.Frame.Line);
  canvas.Rectangle(client);
}

void DrawCheckBoxLook(TControlPaint& paint) {
  const TXPColors& colors = paint.Colors;
  const THookState& hook = paint.State;
  const TIndicatorMetrics& metrics = paint.Metrics.Indicator;
  TCanvas& canvas = paint.Canvas;
  auto& box = dynamic_cast<TCustomCheckBox&>(paint.Control);
  const bool pressed = hook.FSpaceDown || hook.FMouseDown;
  TColor fill = clWindow, frame = clBtnShadow;
  if (hook.FHighlighted || hook.FHasFocus) {
    fill = colors.EffSelectColor;
    frame = colors.EffSelectBorderColor;
  }
  if (pressed) fill = colors.CheckFillHotColor;
  if (box.State() == cbGrayed) fill = clSilver;

  RECT indicator = box.ClientRect();
  indicator.top += metrics.CheckInset;
  indicator.bottom -= metrics.CheckInset;
  indicator.top += (indicator.bottom - indicator.top - metrics.Size) / 2;
  indicator.bottom = indicator.top + metrics.Size;
  PrepareIndicator(canvas, metrics, indicator, IndicatorAtRight(box.BiDiMode(), box.Alignment()), box.Color(), fill,
                   frame);
  {
    TFramePen pen(canvas, metrics.Line);
    canvas.Rectangle(indicator);
  }
  if (box.Checked() || box.State() == cbGrayed) {
    canvas.Pen.Color = !box.Enabled()           ? colors.EffDisabledColor
                       : pressed                ? clWindow
                       : box.State() == cbGrayed ? clGray
                                                 : clHighlight;
    DrawCheckMark(canvas, paint.Metrics.CheckMark, indicator.left, indicator.bottom);
  }
}

void DrawGroupBoxLook(TControlPaint& paint) {
  if (paint.State.FLastMessage != WM_PAINT) return;
  auto& box = dynamic_cast<TCustomGroupBox&>(paint.Control);
  TCanvas& canvas = paint.Canvas;
  const int line = paint.Metrics.GroupBox.Line;
  const TColor color = box.Color();
  const COLORREF dark = DarkenColor(color, 60);
  const COLORREF light = LightenColor(canvas, color, 60);
  const COLORREF edge = box.Ctl3D() ? light : dark;
  const COLORREF parent = ParentColor(box);
  const RECT client = box.ClientRect();

  canvas.Font = box.Font();
  const std::string caption = box.Caption();
  const int captionHeight = canvas.TextHeight(caption.empty() ? " " : caption);
  const int captionWidth = canvas.TextWidth(caption);
  const int middle = client.top + captionHeight / 2;  // the caption's middle row

  // The control's own frame erased, the flat one from the caption's middle down.
  RECT frame = client;
  InflateRect(&frame, -1, -1);
  frame.top += captionHeight - 1;
  canvas.Brush.Style = bsClear;
  canvas.Pen.Color = color;
  canvas.Rectangle(frame);
  frame = client;
  frame.top += captionHeight / 2 - 1;
  canvas.MoveTo(frame.left + 1, frame.top);
  canvas.LineTo(frame.left + 1, frame.bottom);
  DrawBevelFrame(canvas, frame, edge, dark, line);

  // Above the frame the parent's colour, below the caption the control's.
  const RECT above{client.left, client.top, client.right, middle + 2};
  canvas.Brush.Style = bsSolid;
  canvas.Brush.Color = parent;
  canvas.Pen.Color = parent;
  canvas.FillRect(above);
  const bool rtl = RightToLeftReading(box);
  const RECT captionRect =
      GroupBoxCaptionRect(client, {captionWidth, captionHeight}, rtl, paint.Metrics.GroupBox.CaptionIndent);
  // Below the caption's middle the system's own caption is erased across
  // the box, between the frame's two columns on each side: the system may
  // put it elsewhere than this one (Wine 9 pixels in at every DPI).
  const RECT below{client.left + 2, middle + 2, client.right - 2, middle + 2 + captionHeight / 2 + 1};
  canvas.Brush.Color = color;
  canvas.Pen.Color = color;
  canvas.FillRect(below);
  canvas.MoveTo(client.right - 2, below.top);
  canvas.LineTo(client.right - 2, captionRect.bottom);

  canvas.Brush.Style = bsClear;
  canvas.TextRect(captionRect, captionRect.left, captionRect.top, caption, rtl ? ETO_RTLREADING : 0);

  // The top edge on either side of the caption.
  canvas.Pen.Color = edge;
  for (int i = 0; i < line; ++i) {
    const int y = middle + 1 + i;
    canvas.MoveTo(client.left + i, y);
    canvas.LineTo(captionRect.left, y);
    canvas.MoveTo(captionRect.right, y);
    canvas.LineTo(client.right - 1 - i, y);
  }
}
