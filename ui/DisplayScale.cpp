#include "ui/DisplayScale.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "platform/Platform.h"

int ScaleToDpi(int value, UINT dpi) { return MulDiv(value, static_cast<int>(dpi), DesignDpi); }

int ScaleFontHeight(int height, UINT dpi) { return height * static_cast<int>(dpi) / static_cast<int>(DesignDpi); }

namespace {

// The 96-DPI value that scale turns into value at dpi, or the one whose
// scaled value lies nearest: the guess or one of its neighbours.
int Unscale(int value, UINT dpi, int (*scale)(int, UINT)) {
  if (dpi == DesignDpi || dpi == 0) return value;
  const int guess = MulDiv(value, DesignDpi, static_cast<int>(dpi));
  int best = guess;
  for (int candidate : {guess - 1, guess + 1})
    if (std::abs(scale(candidate, dpi) - value) < std::abs(scale(best, dpi) - value)) best = candidate;
  return best;
}

}  // namespace

int UnscaleFromDpi(int value, UINT dpi) { return Unscale(value, dpi, ScaleToDpi); }

int UnscaleFontHeight(int height, UINT dpi) { return Unscale(height, dpi, ScaleFontHeight); }

int LineWidthForDpi(UINT dpi) { return std::max(1, static_cast<int>(dpi / DesignDpi)); }

SIZE ScaleWindowSize(SIZE designOuter, const TFrameSize& designFrame, const TFrameSize& frame, UINT dpi) {
  return {ScaleToDpi(designOuter.cx - designFrame.Width(), dpi) + frame.Width(),
          ScaleToDpi(designOuter.cy - designFrame.Height(), dpi) + frame.Height()};
}

SIZE UnscaleWindowSize(SIZE outer, const TFrameSize& designFrame, const TFrameSize& frame, UINT dpi) {
  return {UnscaleFromDpi(outer.cx - frame.Width(), dpi) + designFrame.Width(),
          UnscaleFromDpi(outer.cy - frame.Height(), dpi) + designFrame.Height()};
}

// Fixed for the process's life: Windows (and Wine) read it at its start.
UINT SystemDpi() {
  static const UINT dpi = [] {
    HDC screen = GetDC(nullptr);
    const int pixelsPerInch = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return pixelsPerInch > 0 ? static_cast<UINT>(pixelsPerInch) : DesignDpi;
  }();
  return dpi;
}

UINT WindowDpi(HWND window) {
  const UINT dpi = window ? Platform().GetDpiForWindow(window) : 0;
  return dpi ? dpi : SystemDpi();
}

// Without the per-monitor function there is one DPI, the system's; another
// one is answered in proportion.
int SystemMetricForDpi(int index, UINT dpi) {
  if (const int value = Platform().GetSystemMetricsForDpi(index, dpi)) return value;
  const UINT system = SystemDpi();
  const int value = GetSystemMetrics(index);
  return dpi == system ? value : MulDiv(value, static_cast<int>(dpi), static_cast<int>(system));
}

TFrameSize WindowFrameForDpi(DWORD style, DWORD exStyle, bool menu, UINT dpi) {
  RECT r{0, 0, 0, 0};
  TFrameSize frame;
  if (Platform().AdjustWindowRectExForDpi(&r, style, menu, exStyle, dpi)) {
    frame = {-r.left, -r.top, r.right, r.bottom};
  } else {
    r = {0, 0, 0, 0};
    AdjustWindowRectEx(&r, style, menu, exStyle);
    const UINT system = SystemDpi();
    auto at = [&](int thickness) {
      return dpi == system ? thickness : MulDiv(thickness, static_cast<int>(dpi), static_cast<int>(system));
    };
    frame = {at(-r.left), at(-r.top), at(r.right), at(r.bottom)};
  }
  return frame;
}

bool ReadSystemMenuFont(UINT dpi, LOGFONTA& font) {
  NONCLIENTMETRICSW wide{};
  wide.cbSize = sizeof wide;
  if (Platform().SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof wide, &wide, 0, dpi)) {
    const LOGFONTW& w = wide.lfMenuFont;
    LOGFONTA a{};
    std::memcpy(&a, &w, offsetof(LOGFONTA, lfFaceName));  // the fields before the name are the same
    if (!WideCharToMultiByte(CP_ACP, 0, w.lfFaceName, -1, a.lfFaceName, LF_FACESIZE, nullptr, nullptr))
      return false;
    font = a;
    return true;
  }
  // The record's size before Vista added iPaddedBorderWidth; every version
  // accepts it. Its fonts are at the system's DPI.
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = 340;
  if (!Platform().SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0)) return false;
  font = metrics.lfMenuFont;
  const UINT system = SystemDpi();
  if (dpi != system) font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(system));
  return true;
}
