// The painters of hooked controls, one per control kind. Each draws in the
// control's client coordinates with what one paint hands it: the control,
// the state its hook keeps, the colours and metrics, and the surface.
#pragma once
#include <windows.h>

#include <string>

#include "ui/Buttons.h"
#include "ui/Controls.h"
#include "ui/Graphics.h"
#include "xpstyle/Colors.h"
#include "xpstyle/Metrics.h"

// What a hook keeps of its control: hot, pressed, focused, what the
// control had when it was hooked and the last message it saw.
struct THookState {
  // The control's window is about to be re-created (a change of its 3-D
  // look or border); its WM_DESTROY then keeps the hook.
  bool FRecreatePending = false;
  bool FHighlighted = false;  // the mouse is over it, or it just got the focus
  bool FMouseDown = false;
  bool FSpaceDown = false;
  bool FSpaceRepainted = false;  // repainted for this press of the space key
  bool FHasFocus = false;        // it had the focus when the paint began
  bool FSavedCtl3D = false;      // an edit's, when hooked
  TBorderStyle FSavedBorderStyle = bsNone;
  UINT FLastMessage = 0;
};

// One paint of a hooked control.
struct TControlPaint {
  TControl& Control;
  THookState& State;  // the edit painters note a re-creation they start
  const TXPColors& Colors;
  const TXPMetrics& Metrics;
  TCanvas& Canvas;
};

using TPainter = void (*)(TControlPaint& paint);
// The painter for the control's kind, or nullptr when it has none.
TPainter PainterFor(const TControl* control);
bool HasPainter(const TControl* control);

// The window a paint of the control draws on, and the control itself when
// it is windowless (the surface then moves onto it); nullptr when there is
// none yet. An edit that still has its 3-D border is given a flat one first.
HWND PaintWindowOf(TControl& control, THookState& state, const TControl*& graphic);

// A device context of a window's client area, with the origin and clip
// moved onto a windowless control when there is one.
class TControlSurface {
public:
  TControlSurface(HWND window, const TControl* graphic);
  bool Valid() const { return FDC.Get() != nullptr; }
  TCanvas& Canvas() { return FCanvas; }

private:
  TWindowDC FDC;    // released last
  TCanvas FCanvas;  // puts the DC's objects back first
};

void DrawButtonLook(TControlPaint& paint);
void DrawBitBtnLook(TControlPaint& paint);
void DrawEditLook(TControlPaint& paint);
void DrawCheckBoxLook(TControlPaint& paint);
void DrawGroupBoxLook(TControlPaint& paint);
void DrawRadioButtonLook(TControlPaint& paint);
void DrawSpeedButtonLook(TControlPaint& paint);
// Draws nothing: an up-down control keeps its own look, its hook still
// follows its state.
void DrawUpDownLook(TControlPaint& paint);
void DrawComboLook(TControlPaint& paint);
// Draws on the parent's surface: a frame one pixel outside the control.
void DrawRichEditLook(TControlPaint& paint);
void DrawPanelLook(TControlPaint& paint);

// Helpers shared by the painters.
COLORREF ParentColor(const TControl& control);
bool RightToLeftReading(const TControl& control);
bool Blank(const std::string& text);
// The control's caption in textRect; a push button's (and a bit button's)
// with the default emphasis when it is the default button.
void DrawControlCaption(TControlPaint& paint, const RECT& textRect);
// Whether a check box's or radio button's indicator sits at the right edge.
bool IndicatorAtRight(TBiDiMode bidi, TLeftRight alignment);
// Puts the indicator cell box (placed vertically by the caller) size wide at
// its side, clears it with the control's background and leaves box inside
// by the frame inset with the canvas set to draw the indicator in fill and
// frame.
void PrepareIndicator(TCanvas& canvas, const TIndicatorMetrics& metrics, RECT& box, bool atRight, TColor background,
                      TColor fill, TColor frame);
// The glyph's and the caption's rectangles in a button's client rectangle;
// glyphLeftTopShift moves the glyph of the glyph-left layout up or down.
void PlaceGlyphAndText(TButtonLayout layout, const RECT& client, SIZE glyph, SIZE text, int spacing,
                       int glyphLeftTopShift, RECT& glyphRect, RECT& textRect);

// A frame width pixels wide inside frame: topLeft on the left and top,
// bottomRight on the right and bottom (so the top-right and bottom-left
// corners take bottomRight); frame is left shrunk by width.
void DrawBevelFrame(TCanvas& canvas, RECT& frame, TColor topLeft, TColor bottomRight, int width);
