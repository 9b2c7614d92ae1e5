// The colours one drawing of the flat look uses, worked out by the style
// (TXPStyle::UpdateDrawColors) for the drawing's surface and handed to the
// routines by value, with the few settings of the style they read besides.
#pragma once
#include "ui/Graphics.h"

struct TXPColors {
  bool HighColorDevice = false;  // the surface has 16 bits per pixel or more
  TColor EffColor = 0;           // menu background
  TColor EffIconBackColor = 0;   // icon column
  TColor EffSelectColor = 0;     // selection fill
  TColor EffSelectBorderColor = 0;
  TColor EffSelectFontColor = 0;  // text of a selected item
  TColor CheckFillColor = 0;      // behind a check indicator or a checked tool button
  TColor CheckFillHotColor = 0;   // the same, highlighted
  TColor EffCheckedColor = 0;     // frame of a plain check indicator
  TColor EffMenuBarColor = 0;
  TColor EffDisabledColor = 0;    // disabled text
  TColor EffSeparatorColor = 0;
  TColor PopupFrameColor = 0;     // frame of a flat popup menu
  TColor PopupShadowColor = 0;    // and its shadow

  // The style's settings that the caption and glyph drawing read.
  TColor FontColor = clMenuText;  // the style's font colour
  bool UseSystemColors = true;
  int DimLevel = 30;   // percent a glyph at rest is lightened
  int GrayLevel = 10;  // added to a disabled glyph's grey
};
