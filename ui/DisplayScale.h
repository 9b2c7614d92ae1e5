// Display scale. The stored layouts of forms (positions, sizes, font heights
// in pixels) are for 96 pixels per inch; a window on a screen of another DPI
// shows them multiplied by DPI / 96 with MulDiv rounding (font heights
// rounded towards zero). The system queries
// use the per-monitor functions where Windows has them (looked up at run
// time through the platform layer) and the screen's one DPI where not.
#pragma once
#include <windows.h>

// The DPI the stored layouts are made for.
constexpr UINT DesignDpi = 96;

// A 96-DPI length at dpi: rounded to nearest, halves away from zero (as
// MulDiv rounds), negative values (font character heights) alike.
int ScaleToDpi(int value, UINT dpi);
// The 96-DPI length that scales to value at dpi (the nearest one when none
// does exactly): what a control placed at run time keeps for a DPI change.
int UnscaleFromDpi(int value, UINT dpi);
// A font height in pixels (negative: the character height) at dpi, rounded
// towards zero: a caption then never grows faster than the control it has
// to fit in (rounded away from zero, 8 points' -11 would become -17 at 144
// DPI, 3 % larger than the layout around it).
int ScaleFontHeight(int height, UINT dpi);
int UnscaleFontHeight(int height, UINT dpi);
// Lines one pixel wide in the design: 1 up to 150 %, 2 from 200 %, as the
// system's own controls draw their borders.
int LineWidthForDpi(UINT dpi);

// Thicknesses of a window's frame on each side (caption and menu bar in top).
struct TFrameSize {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Width() const { return Left + Right; }
  int Height() const { return Top + Bottom; }
};

// A top-level window's outer size at dpi: the client area of its 96-DPI
// outer size (less the frame it has at 96 DPI) scaled, plus the frame at dpi.
SIZE ScaleWindowSize(SIZE designOuter, const TFrameSize& designFrame, const TFrameSize& frame, UINT dpi);
// The 96-DPI outer size that ScaleWindowSize turns into outer at dpi.
SIZE UnscaleWindowSize(SIZE outer, const TFrameSize& designFrame, const TFrameSize& frame, UINT dpi);

// The system's DPI: the screen's LOGPIXELSY in a per-monitor aware process.
UINT SystemDpi();
// The DPI of the window's monitor; the system's where Windows cannot tell.
UINT WindowDpi(HWND window);
// GetSystemMetrics for a window of that DPI.
int SystemMetricForDpi(int index, UINT dpi);
// The frame that a window of these styles has at dpi.
TFrameSize WindowFrameForDpi(DWORD style, DWORD exStyle, bool menu, UINT dpi);
// The system's menu font for a window of that DPI; false when the system
// cannot tell (font is then unchanged).
bool ReadSystemMenuFont(UINT dpi, LOGFONTA& font);
