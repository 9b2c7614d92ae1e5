// Tool bar buttons and control bar bands in the flat look, and the walk's
// steps that give tool bars and control bars these handlers.
#include <cmath>

#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"
#include "ui/Menus.h"
#include "xpstyle/Primitives.h"
#include "xpstyle/XPStyle.h"

namespace {

// The closed path around the rectangle, its right and bottom edges included.
void Outline(TCanvas& canvas, const RECT& rect) {
  canvas.MoveTo(rect.left, rect.top);
  canvas.LineTo(rect.right, rect.top);
  canvas.LineTo(rect.right, rect.bottom);
  canvas.LineTo(rect.left, rect.bottom);
  canvas.LineTo(rect.left, rect.top);
}

bool HasImage(const TCustomImageList* list, int index) {
  return list && index != -1 && index <= list->Count() - 1;
}

// The hot images while hot, the disabled images while disabled, else the
// plain images; each only when it holds the button's image.
TCustomImageList* GlyphListFor(TToolBar* toolBar, int index, TCustomDrawState state) {
  if ((state & CDIS_HOT) && HasImage(toolBar->HotImages(), index)) return toolBar->HotImages();
  if ((state & CDIS_DISABLED) && HasImage(toolBar->DisabledImages(), index)) return toolBar->DisabledImages();
  if (HasImage(toolBar->Images(), index)) return toolBar->Images();
  return nullptr;
}

// A separator or divider in front of the button is painted with it: the bar
// colour, and a line down its middle when its Tag is above 0.
void DrawSeparatorBefore(TToolBar* toolBar, TToolButton* button, TCanvas& canvas, COLORREF barColor,
                         const TToolButtonMetrics& metrics) {
  const int position = button->Index();
  if (position <= 0) return;
  TToolButton* before = toolBar->Buttons(position - 1);
  if (before->Style() != tbsSeparator && before->Style() != tbsDivider) return;
  const RECT separator = before->BoundsRect();
  canvas.Brush.Style = bsSolid;
  canvas.Brush.Color = barColor;
  if (!toolBar->Transparent()) canvas.FillRect(separator);
  if (before->Tag() > 0) {
    const int x = separator.left + (separator.right - separator.left) / 2;
    canvas.Pen.Color = DarkenColor(toolBar->Color(), 30);
    for (int i = 0; i < metrics.Line; ++i) {
      canvas.MoveTo(x + i, separator.top + metrics.SeparatorLineTop);
      canvas.LineTo(x + i, separator.bottom - metrics.SeparatorLineBottom);
    }
  }
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

// One button's drawing worked out before anything is drawn: its state, its
// rectangles and the colours of the bar and its face.
struct TXPStyle::TToolButtonLayout {
  bool Hot = false;
  bool Checked = false;
  bool Pressed = false;  // CDIS_SELECTED
  bool DropDown = false;
  bool RightToLeft = false;
  bool Transparent = false;  // the tool bar's: nothing behind the buttons is filled
  RECT Bounds{};       // the button in tool bar coordinates
  RECT FaceRect{};     // the bounds without their top row: the face and its highlight
  RECT ContentRect{};  // the bounds without the drop-down part: glyph and caption
  COLORREF BarColor = 0;
  TColor FaceColor = 0;  // the brush the face rules leave; the glyph's background too
  bool FillFace = false;
  bool FrameFace = false;
  TCustomImageList* GlyphList = nullptr;  // hot, disabled or plain images, or none
  TXPColors Colors;
  TXPMetrics Metrics;
};

void TXPStyle::DrawToolButtonHandler(TToolBar* toolBar, TToolButton* button, TCustomDrawState state,
                                     bool& defaultDraw) {
  defaultDraw = false;
  TCanvas& canvas = toolBar->Canvas();
  const TCustomForm* form = GetParentForm(toolBar);
  canvas.SetDpi(form ? form->Dpi() : SystemDpi());
  const TToolButtonLayout layout =
      ToolButtonLayout(toolBar, button, state, canvas, UpdateDrawColors(canvas), MetricsForDpi(canvas.Dpi()));
  const TToolButtonMetrics& m = layout.Metrics.ToolButton;

  DrawToolButtonFace(canvas, layout);
  if ((button->MenuItem() || button->DropdownMenu()) && layout.Pressed)
    DrawHighlight(doToolButton, canvas, layout.Colors, layout.Metrics, false, toolBar->Color(), layout.FaceRect);
  if (layout.DropDown) {
    const RECT& bounds = layout.Bounds;
    canvas.Pen.Color = clBlack;
    const int arrowHeight = m.ArrowHalfWidth + 1;
    DrawDropArrow(canvas, bounds.right - m.DropArrowRight,
                  bounds.top + (bounds.bottom - bounds.top - arrowHeight) / 2 + 1, m.ArrowHalfWidth);
  }
  const int glyphWidth = layout.GlyphList ? DrawToolButtonGlyph(toolBar, button, canvas, layout) : 0;
  if (toolBar->ShowCaptions()) DrawToolButtonCaption(toolBar, button, canvas, layout, glyphWidth);
  DrawSeparatorBefore(toolBar, button, canvas, layout.BarColor, m);
  // Items added to the button's menu at run time get the flat look too.
  if (button->MenuItem() && InSet(FXPControls, xcMainMenu)) HookSiblingItems(button->MenuItem());
}

TXPStyle::TToolButtonLayout TXPStyle::ToolButtonLayout(TToolBar* toolBar, TToolButton* button,
                                                       TCustomDrawState state, TCanvas& canvas,
                                                       const TXPColors& colors, const TXPMetrics& metrics) const {
  TToolButtonLayout layout;
  layout.Colors = colors;
  layout.Metrics = metrics;
  layout.Hot = state & CDIS_HOT;
  layout.Checked = state & CDIS_CHECKED;
  layout.Pressed = state & CDIS_SELECTED;
  layout.DropDown = button->Style() == tbsDropDown;
  layout.RightToLeft = button->BiDiMode() == bdRightToLeft;
  layout.Transparent = toolBar->Transparent();
  const RECT bounds = button->BoundsRect();
  layout.Bounds = bounds;
  layout.FaceRect = {bounds.left, bounds.top + 1, bounds.right, bounds.bottom};
  layout.ContentRect = bounds;
  if (layout.DropDown) layout.ContentRect.right -= metrics.ToolButton.DropDownWidth;
  layout.BarColor =
      colors.HighColorDevice ? LightenColor(canvas, toolBar->Color(), 16) : ColorToRGB(toolBar->Color());
  ApplyFaceRules(layout, toolBar, button, state);
  layout.GlyphList = GlyphListFor(toolBar, button->ImageIndex(), state);
  return layout;
}

// In this order; a later rule's colour replaces an earlier one's.
void TXPStyle::ApplyFaceRules(TToolButtonLayout& layout, TToolBar* toolBar, TToolButton* button,
                              TCustomDrawState state) const {
  const TXPColors& colors = layout.Colors;
  layout.FaceColor = layout.BarColor;
  if (layout.Hot) {
    layout.FaceColor =
        layout.Checked || button->Down() || layout.Pressed ? colors.CheckFillHotColor : colors.EffSelectColor;
    layout.FillFace = layout.FrameFace = true;
  }
  if (layout.Checked && !layout.Hot) {
    layout.FaceColor = colors.CheckFillColor;
    layout.FillFace = layout.FrameFace = true;
  }
  if ((state & CDIS_INDETERMINATE) && !layout.Hot) {
    layout.FaceColor = colors.EffSelectColor;
    layout.FillFace = true;
  }
  if (button->MenuItem() && state == 0) {
    layout.FaceColor = toolBar->Color();  // not lightened
    if (!layout.Transparent) layout.FillFace = true;
  }
}

// The bar behind the button, the face and its frame; a drop-down button's
// frame is split near its right edge.
void TXPStyle::DrawToolButtonFace(TCanvas& canvas, const TToolButtonLayout& layout) const {
  const RECT& bounds = layout.Bounds;
  canvas.Brush.Style = bsSolid;
  canvas.Brush.Color = layout.BarColor;
  if (!layout.Transparent) canvas.FillRect(bounds);
  canvas.Brush.Color = layout.FaceColor;
  if (layout.FillFace) canvas.FillRect(layout.FaceRect);
  if (!layout.FrameFace) return;
  canvas.Pen.Color = layout.Colors.EffSelectBorderColor;
  const int split = layout.Metrics.ToolButton.DropDownSplit;
  for (int i = 0; i < layout.Metrics.ToolButton.Line; ++i) {
    RECT frame{bounds.left, bounds.top + 1, bounds.right - 1, bounds.bottom - 1};
    InflateRect(&frame, -i, -i);
    if (layout.DropDown) {
      Outline(canvas, {frame.left, frame.top, bounds.right - 1 - split, frame.bottom});
      Outline(canvas, {bounds.right - 1 - split, frame.top, frame.right, frame.bottom});
    } else {
      Outline(canvas, frame);
    }
  }
}

// The glyph on the canvas's current brush colour, beside the caption (List)
// or centred above it. Returns the glyph's width.
int TXPStyle::DrawToolButtonGlyph(TToolBar* toolBar, TToolButton* button, TCanvas& canvas,
                                  const TToolButtonLayout& layout) {
  TCustomImageList* list = layout.GlyphList;
  TBitmap glyph;
  glyph.SetSize(list->Width(), list->Height());
  glyph.Canvas().Brush.Color = canvas.Brush.Color;
  glyph.Canvas().FillRect({0, 0, glyph.Width(), glyph.Height()});
  list->Draw(glyph.Canvas().Handle(), 0, 0, button->ImageIndex(), ILD_TRANSPARENT, NoColor, NoColor);
  const TToolButtonMetrics& m = layout.Metrics.ToolButton;
  const int glyphWidth = glyph.Width();
  RECT glyphRect = layout.ContentRect;
  if (toolBar->List()) {
    if (layout.RightToLeft) {
      glyphRect.right -= m.ListGlyphMargin;
      glyphRect.left = glyphRect.right - glyphWidth;
    } else {
      glyphRect.left += m.ListGlyphMargin;
      glyphRect.right = glyphRect.left + glyphWidth;
    }
  } else {
    glyphRect.left =
        static_cast<int>(std::nearbyint((glyphRect.right - glyphRect.left - glyphWidth) / 2.0 + glyphRect.left));
  }
  glyphRect.top += m.GlyphTop;
  glyphRect.bottom = glyphRect.top + glyph.Height() + m.GlyphBoxExtra;
  const TGlyphState state{.Selected = layout.Hot,
                          .Pressed = layout.Pressed,
                          .Enabled = button->Enabled(),
                          .Checked = layout.Checked};
  DrawItemGlyph(layout.Colors, layout.Metrics.Glyph, doToolButton, canvas, glyph, glyphRect, state);
  return glyphWidth;
}

// Below the glyph, or beside it with List; a button for a menu item has its
// caption centred.
void TXPStyle::DrawToolButtonCaption(TToolBar* toolBar, TToolButton* button, TCanvas& canvas,
                                     const TToolButtonLayout& layout, int glyphWidth) {
  const TToolButtonMetrics& m = layout.Metrics.ToolButton;
  RECT captionRect = layout.ContentRect;
  UINT format;
  if (!toolBar->List()) {
    format = DT_CENTER;
    captionRect.top = captionRect.bottom - canvas.TextHeight(button->Caption()) - m.CaptionBottom;
  } else if (layout.RightToLeft) {
    format = DT_VCENTER | DT_RIGHT;
    captionRect.right -= glyphWidth + m.ListCaptionGapRightToLeft;
  } else {
    format = DT_VCENTER;
    if (glyphWidth > 0) captionRect.left += glyphWidth;
  }
  if (button->MenuItem()) format = DT_CENTER;
  if (layout.RightToLeft) format |= DT_RTLREADING;
  const TItemTextState textState{.RightToLeft = layout.RightToLeft,
                                 .BarItem = button->MenuItem() != nullptr,
                                 .Default = false,
                                 .Enabled = button->Enabled(),
                                 .Selected = layout.Pressed};
  DrawItemText(layout.Colors, layout.Metrics, doToolButton, button->Caption(), format,
               FontForDpi(layout.Metrics.Dpi), textState, captionRect, canvas, "");
}

void TXPStyle::PaintBandHandler(TObject* sender, TControl*, TCanvas& canvas, RECT& rect, TBandPaintOptions& options) {
  auto* bar = dynamic_cast<TControlBar*>(sender);
  const TColor color = bar ? bar->Color() : clBtnFace;
  const TCustomForm* form = bar ? GetParentForm(bar) : nullptr;
  const TBandMetrics m = MetricsForDpi(form ? form->Dpi() : canvas.Dpi()).Band;
  const TXPColors colors = UpdateDrawColors(canvas);
  options = 0;
  canvas.Brush.Style = bsSolid;
  canvas.Brush.Color = colors.HighColorDevice ? LightenColor(canvas, color, 6) : ColorToRGB(color);
  canvas.FillRect(rect);
  // The grip: a dash on every row the step divides, each darker than the
  // one above (every even row at 96 DPI).
  int darkening = 30;
  for (int y = rect.top + m.GripInset; y <= rect.bottom - m.GripInset; ++y) {
    canvas.Pen.Color = DarkenColor(color, darkening);
    if (y % m.GripStep == 0) {
      canvas.MoveTo(rect.left + m.GripLeft, y);
      canvas.LineTo(rect.left + m.GripRight, y);
      darkening += 7;
    }
  }
}
