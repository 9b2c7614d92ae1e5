// The painters of hooked controls. PaintControlLook is the painter frame:
// a fresh surface for the control, the style's colours brought up to date,
// the painter for the control's kind, everything released at the end.
// Kinds without a painter yet (combo box, rich edit, radio button, up-down,
// speed button, panel) keep their own look.
#pragma once
#include <windows.h>

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

// A frame of width w inside f: colour a on the left and top, z on the
// right and bottom (so the top-right and bottom-left corners take z); f is
// left shrunk by w.
void DrawBevelFrame(TCanvas& canvas, RECT& f, TColor a, TColor z, int w);
