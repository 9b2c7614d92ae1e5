// The geometry of the flat look, one struct per drawing area. Each holds its
// 96-DPI values as the design gives them; XPMetricsForDpi scales every
// length with MulDiv for a window of that DPI. Line widths go by
// LineWidthForDpi instead (1 pixel up to 150 %, 2 from 200 %), sizes the
// system sets come from its metrics for that DPI, and the flat menu frame,
// which covers the popup window's own border, from that border.
#pragma once
#include <windows.h>

// One menu item: its size, the icon column, the check box and the caption.
struct TMenuItemMetrics {
  int IconWidth = 24;          // the icon column (the style's IconWidth)
  int CheckSize = 10;          // the check box of an item without a glyph
  int GlyphCheckLeft = 1;      // the box behind a glyph, inside the column
  int GlyphCheckTop = 2;       // (also from the bottom)
  int GlyphCheckRight = 3;
  int BarTextIndent = 4;       // a bar item's caption from its left edge
  int GlyphTextGap = 4;        // the caption from a glyph wider than the column
  int GlyphTextGapRightToLeft = 8;
  int BarGlyphTextShift = 5;   // a bar item's caption towards its glyph
  int CaptionIndent = 3;       // the caption inside its rectangle
  int ShortcutMargin = 10;     // the shortcut text from the far edge
  int SeparatorHeight = 4;
  int SeparatorIndent = 7;     // the line from the caption side
  int TextExtraWidth = 5;      // measured beyond the caption's width
  int GlyphExtraHeight = 6;    // an item is at least its glyph and this high
  int BarExtraWidth = 8;       // a menu bar item on the NT platform
  int HighlightInset = 1;      // the selection band from the top and bottom
  int GradientSteepExtra = 5;  // the gradient's steep band beyond the column
  int Line = 1;                // frames and the separator line
  bool operator==(const TMenuItemMetrics&) const = default;
};

// Where a glyph goes and how it is lifted and shadowed when hot.
struct TGlyphMetrics {
  int IconWidth = 24;     // a menu item's column, which centres its glyph
  int Top = 1;            // a control's or tool button's glyph below its rectangle's top
  int MenuTop = 3;        // a menu item's glyph below the item's top
  int MenuMargin = 2;     // a glyph as wide as the column from its edge
  int MenuCentreShift = 1;  // a narrower glyph left of the column's centre
  int BarLeft = 1;        // a bar item's glyph from its left
  int BarRight = 5;       // and, right to left, from its right
  int Lift = 1;           // up and left while hot
  int ShadowOffset = 2;   // the shadow right of and below the glyph
  bool operator==(const TGlyphMetrics&) const = default;
};

// The frame and shadow drawn over a flat popup menu's border, which is
// the frame's line and Edge (left, top) or Shadow (right, bottom) wide.
struct TMenuFrameMetrics {
  int Shadow = 2;  // right and bottom
  int Edge = 2;    // the rows and columns between the frame and the items
  int Line = 1;
  bool operator==(const TMenuFrameMetrics&) const = default;
};

// The frame's widths for a popup window whose border (window less client
// area, on each side) is that many pixels; the design's for a border too
// thin to hold them.
TMenuFrameMetrics MenuFrameMetricsFor(int border);

// A tool bar button and the bar behind it.
struct TToolButtonMetrics {
  int DropDownWidth = 12;     // the arrow part, kept free of glyph and caption
  int DropDownSplit = 13;     // the frame's split from the right edge
  int DropArrowRight = 10;    // the arrow's left end from the right edge
  int ArrowHalfWidth = 2;     // the arrow is 2 x this + 1 wide at its top
  int ListGlyphMargin = 3;    // the glyph beside the caption (List)
  int GlyphTop = 2;
  int GlyphBoxExtra = 6;      // the glyph rectangle beyond the glyph's height
  int CaptionBottom = 6;      // the caption above the bottom, below the glyph
  int ListCaptionGapRightToLeft = 7;
  int SeparatorLineTop = 2;   // a separator's line from its top
  int SeparatorLineBottom = 1;
  int Line = 1;
  bool operator==(const TToolButtonMetrics&) const = default;
};

// The grip of a control bar band.
struct TBandMetrics {
  int GripInset = 5;   // from the band's top and bottom
  int GripLeft = 3;    // the dashes from the band's left
  int GripRight = 6;
  int GripStep = 2;    // one dash every this many rows
  bool operator==(const TBandMetrics&) const = default;
};

// Push buttons, bit buttons and speed buttons.
struct TButtonMetrics {
  int Corner = 4;           // the rounded corners' ellipse
  int SpeedGlyphRaise = 1;  // a speed button's glyph beside its caption, raised
  int Line = 1;
  bool operator==(const TButtonMetrics&) const = default;
};

// The indicator of a check box or radio button.
struct TIndicatorMetrics {
  int Size = 16;        // the box: the scroll bar thumb's width (SM_CXHTHUMB)
  int CheckInset = 3;   // a check box's box inside the top and bottom
  int RadioInset = 4;   // a radio button's
  int FrameInset = 2;   // the drawn frame inside the cleared cell
  int DotInset = 2;     // a radio button's dot inside its frame
  int Line = 1;
  bool operator==(const TIndicatorMetrics&) const = default;
};

// A check box's tick: three strokes, each one pixel below the last, from
// (Left, Bottom - Foot) down to (Left + Elbow, Bottom - Knee) and up to
// (Left + Tip, Bottom - Top), with Bottom the row it stands on.
struct TCheckMarkMetrics {
  int Left = 2;
  int Elbow = 4;
  int Tip = 9;
  int Foot = 5;
  int Knee = 3;
  int Top = 8;
  int Strokes = 3;
  bool operator==(const TCheckMarkMetrics&) const = default;
};

// A combo box's frame and drop-down button.
struct TComboMetrics {
  int ButtonExtra = 1;  // the button is the thumb's width and this
  int Strip = 5;        // the strip of the control's colour left of the button
  int ArrowRight = 10;  // the arrow's left end from the right edge
  int ArrowLeft = 5;    // right to left: from the left edge
  int ArrowTop = 10;    // the arrow's top row
  int ArrowHalfWidth = 2;
  int Line = 1;
  bool operator==(const TComboMetrics&) const = default;
};

// A group box's caption in the gap of its frame.
struct TGroupBoxMetrics {
  int CaptionIndent = 9;  // from the left edge (or the right, right to left)
  int Line = 1;
  bool operator==(const TGroupBoxMetrics&) const = default;
};

// Frames of edits, rich edits and panels.
struct TFrameMetrics {
  int Line = 1;
  bool operator==(const TFrameMetrics&) const = default;
};

// Everything a drawing at one DPI needs.
struct TXPMetrics {
  UINT Dpi = 96;
  TMenuItemMetrics MenuItem;
  TGlyphMetrics Glyph;
  TToolButtonMetrics ToolButton;
  TBandMetrics Band;
  TButtonMetrics Button;
  TIndicatorMetrics Indicator;
  TCheckMarkMetrics CheckMark;
  TComboMetrics Combo;
  TGroupBoxMetrics GroupBox;
  TFrameMetrics Frame;
  // A length of a shape's 96-DPI outline (the menu's tick, the raised
  // highlight of a bar item) at this DPI.
  int Scale(int designPixels) const;
};

// The metrics for dpi, the menu's icon column iconWidth wide at 96 DPI and
// an indicator box of thumbSize pixels (SM_CXHTHUMB at that DPI).
TXPMetrics XPMetricsForDpi(UINT dpi, int iconWidth, int thumbSize);
