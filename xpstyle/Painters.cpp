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
void DrawButtonFace(TControlSubClass& hook, TCanvas& canvas, const RECT& client) {
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
  canvas.FillRect(client);
  canvas.Brush.Color = fill;
  canvas.Pen.Color = LightenColor(canvas, edge, 30);
  canvas.RoundRect(client.left, client.top, client.right, client.bottom, 4, 4);
  if (!control.Enabled()) return;
  canvas.Pen.Color = DarkenColor(edge, 50);
  if ((hook.FMouseDown && hook.FHighlighted) || hook.FSpaceDown) {
    canvas.MoveTo(client.left, client.bottom - 2);
    canvas.LineTo(client.left, client.top + 1);
    canvas.LineTo(client.left + 1, client.top);
    canvas.LineTo(client.right - 1, client.top);
  } else {
    canvas.MoveTo(client.right - 1, client.top + 1);
    canvas.LineTo(client.right - 1, client.bottom - 2);
    canvas.LineTo(client.right - 2, client.bottom - 1);
    canvas.LineTo(client.left, client.bottom - 1);
  }
}

// The caption's place: 9 pixels in from the left, or from the right for
// right-to-left reading.
RECT GroupBoxCaptionRect(const RECT& client, SIZE caption, bool rightToLeft) {
  RECT captionRect;
  if (rightToLeft) {
    captionRect.right = client.right - 9;
    captionRect.left = captionRect.right - caption.cx;
  } else {
    captionRect.left = client.left + 9;
    captionRect.right = captionRect.left + caption.cx;
  }
  captionRect.top = client.top;
  captionRect.bottom = client.top + caption.cy;
  return captionRect;
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

void PrepareIndicator(TCanvas& canvas, RECT& box, int size, bool atRight, TColor background, TColor fill,
                      TColor frame) {
  if (atRight)
    box.left = box.right - size + 1;
  else
    box.right = box.left + size - 1;
  canvas.Brush.Style = bsSolid;
  canvas.Brush.Color = background;
  canvas.FillRect(box);
  InflateRect(&box, -2, -2);
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

void DrawButtonLook(TControlSubClass& hook, TCanvas& canvas) {
  TControl& control = *hook.FTargetControl;
  RECT client = control.ClientRect();
  DrawButtonFace(hook, canvas, client);
  canvas.Font = control.Font();
  RECT textRect = client;
  textRect.left = (client.right - client.left - canvas.TextWidth(control.Caption())) / 2;
  DrawControlCaption(hook, canvas, textRect);
}

void DrawBitBtnLook(TControlSubClass& hook, TCanvas& canvas) {
  auto& button = dynamic_cast<TBitBtn&>(*hook.FTargetControl);
  RECT client = button.ClientRect();
  DrawButtonFace(hook, canvas, client);

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
  hook.FStyleOwner->DrawItemGlyph(doControl, canvas, cell, glyphRect, hook.FHighlighted, hook.FHasFocus,
                                  button.Enabled(), false, false, RightToLeftReading(button));
  DrawControlCaption(hook, canvas, textRect);
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
  RECT client = control.ClientRect();
  canvas.Pen.Color = frame;
  canvas.Brush.Style = bsClear;
  canvas.Rectangle(client);
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

  const int size = ThumbSize();
  RECT indicator = box.ClientRect();
  indicator.top += 3;
  indicator.bottom -= 3;
  indicator.top += (indicator.bottom - indicator.top - size) / 2;
  indicator.bottom = indicator.top + size;
  PrepareIndicator(canvas, indicator, size, IndicatorAtRight(box.BiDiMode(), box.Alignment()), box.Color(), fill,
                   frame);
  canvas.Rectangle(indicator);
  if (box.Checked() || box.State() == cbGrayed) {
    canvas.Pen.Color = !box.Enabled() ? style.EffDisabledColor
                       : pressed      ? clWindow
                       : box.State() == cbGrayed ? clGray
                                                 : clHighlight;
    DrawCheckMark(canvas, indicator.left, indicator.bottom);
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
  DrawBevelFrame(canvas, frame, edge, dark, 1);

  // Above the frame the parent's colour, below the caption the control's.
  const RECT above{client.left, client.top, client.right, middle + 2};
  canvas.Brush.Style = bsSolid;
  canvas.Brush.Color = parent;
  canvas.Pen.Color = parent;
  canvas.FillRect(above);
  const bool rtl = RightToLeftReading(box);
  const RECT captionRect = GroupBoxCaptionRect(client, {captionWidth, captionHeight}, rtl);
  const RECT below{captionRect.left, middle + 2, captionRect.right, middle + 2 + captionHeight / 2 + 1};
  canvas.Brush.Color = color;
  canvas.Pen.Color = color;
  canvas.FillRect(below);
  canvas.MoveTo(client.right - 2, below.top);
  canvas.LineTo(client.right - 2, captionRect.bottom);

  canvas.Brush.Style = bsClear;
  canvas.TextRect(captionRect, captionRect.left, captionRect.top, caption, rtl ? ETO_RTLREADING : 0);

  // The top edge on either side of the caption.
  const int y = middle + 1;
  canvas.Pen.Color = edge;
  canvas.MoveTo(client.left, y);
  canvas.LineTo(captionRect.left, y);
  canvas.MoveTo(captionRect.right, y);
  canvas.LineTo(client.right - 1, y);
}
