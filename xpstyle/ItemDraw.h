// The caption and glyph drawing shared by menu items, tool buttons and
// hooked controls, with the same rules for selection, the disabled state
// and the default emphasis. They draw with the colours and metrics given.
#pragma once
#include <windows.h>

#include <string>

#include "ui/Graphics.h"
#include "xpstyle/Colors.h"
#include "xpstyle/Metrics.h"

// What is being drawn; glyphs and captions of each kind go differently.
enum TDrawnObject { doControl, doMenuItem, doToolButton };

// The state a caption is drawn in.
struct TItemTextState {
  bool RightToLeft = false;  // the shortcut text goes to the left
  bool BarItem = false;      // a top-level item of a menu bar
  bool Default = false;      // the default item's emphasis
  bool Enabled = true;
  bool Selected = false;
};

// The state a glyph is drawn in.
struct TGlyphState {
  bool Selected = false;  // an item highlighted, a button or control hot
  bool Pressed = false;   // a tool button being pressed
  bool Enabled = true;
  bool Checked = false;   // a checked item, a button that is down
  bool BarItem = false;
  bool RightToLeft = false;
};

// A text colour that stays readable on the background: the style's font
// colour on light ones, else the background lightened 90 %.
COLORREF ContrastFontColor(TCanvas& canvas, const TXPColors& colors, TColor background);
// The caption (its "&" underlining the access key) centred vertically in
// textRect, then the shortcut text; a disabled tool button's caption goes
// through a bitmap.
void DrawItemText(const TXPColors& colors, const TXPMetrics& metrics, TDrawnObject object, const std::string& caption,
                  UINT format, const TFont& font, const TItemTextState& state, RECT textRect, TCanvas& canvas,
                  const std::string& shortcut);
// Dims, greys, lifts and shadows the glyph as its state asks and draws it
// transparently in glyphRect. Changes glyph: pass a copy.
void DrawItemGlyph(const TXPColors& colors, const TGlyphMetrics& metrics, TDrawnObject object, TCanvas& canvas,
                   TBitmap& glyph, const RECT& glyphRect, const TGlyphState& state);
