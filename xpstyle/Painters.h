// The painters of hooked controls. PaintControlLook is the painter frame:
// a fresh surface for the control, the style's colours brought up to date,
// the painter for the control's kind, everything released at the end.
#pragma once
#include <windows.h>

#include "ui/Buttons.h"
#include "ui/Graphics.h"

class TControl;
class TControlSubClass;

void PaintControlLook(TControlSubClass& hook);
// Whether the control's kind has a painter yet.
bool HasPainter(const TControl* control);

// Each painter draws in the control's client coordinates on canvas, whose
// colours UpdateDrawColors has already set.
void DrawButtonLook(TControlSubClass& hook, TCanvas& canvas);
void DrawBitBtnLook(TControlSubClass& hook, TCanvas& canvas);
void DrawEditLook(TControlSubClass& hook, TCanvas& canvas);
void DrawCheckBoxLook(TControlSubClass& hook, TCanvas& canvas);
void DrawGroupBoxLook(TControlSubClass& hook, TCanvas& canvas);
void DrawRadioButtonLook(TControlSubClass& hook, TCanvas& canvas);
void DrawSpeedButtonLook(TControlSubClass& hook, TCanvas& canvas);
// Draws nothing: an up-down control keeps its own look, its hook still
// follows its state.
void DrawUpDownLook(TControlSubClass& hook, TCanvas& canvas);
void DrawComboLook(TControlSubClass& hook, TCanvas& canvas);
// Draws on the parent's surface: a frame one pixel outside the control.
void DrawRichEditLook(TControlSubClass& hook, TCanvas& canvas);
void DrawPanelLook(TControlSubClass& hook, TCanvas& canvas);

// Helpers shared by the painters.
COLORREF ParentColor(const TControl& control);
bool RightToLeftReading(const TControl& control);
int ThumbSize();
bool Blank(const std::string& text);
// The control's caption in textRect; a push button's (and a bit button's)
// with the default emphasis when it is the default button.
void DrawControlCaption(TControlSubClass& hook, TCanvas& canvas, const RECT& textRect);
// Whether a check box's or radio button's indicator sits at the right edge.
bool IndicatorAtRight(TBiDiMode bidi, TLeftRight alignment);
// Puts the indicator cell box (placed vertically by the caller) size wide at
// its side, clears it with the control's background and leaves box two
// pixels inside with the canvas set to draw the indicator in fill and frame.
void PrepareIndicator(TCanvas& canvas, RECT& box, int size, bool atRight, TColor background, TColor fill,
                      TColor frame);
// The glyph's and the caption's rectangles in a button's client rectangle;
// glyphLeftTopShift moves the glyph of the glyph-left layout up or down.
void PlaceGlyphAndText(TButtonLayout layout, const RECT& client, SIZE glyph, SIZE text, int spacing,
                       int glyphLeftTopShift, RECT& glyphRect, RECT& textRect);

// A frame width pixels wide inside frame: topLeft on the left and top,
// bottomRight on the right and bottom (so the top-right and bottom-left
// corners take bottomRight); frame is left shrunk by width.
void DrawBevelFrame(TCanvas& canvas, RECT& frame, TColor topLeft, TColor bottomRight, int width);
