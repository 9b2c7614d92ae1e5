// The flat look of the main window seen on screen: at rest, with the mouse
// over a button, with the focus in an edit.
#include <cmath>

#include "scenario.h"

namespace {

// The look's colour arithmetic, on 0x00BBGGRR values.
COLORREF lighten(COLORREF c, int percent) {
  auto channel = [percent](int v) { return v + static_cast<int>(std::nearbyint((255 - v) * percent / 100.0)); };
  return RGB(channel(GetRValue(c)), channel(GetGValue(c)), channel(GetBValue(c)));
}

COLORREF darken(COLORREF c, int amount) {
  auto clamp = [](int v) { return v < 0 ? 0 : v > 255 ? 255 : v; };
  return RGB(clamp(GetRValue(c) - amount), clamp(GetGValue(c) - amount + 2), clamp(GetBValue(c) - amount));
}

// The on-screen colour of a window's pixel (x, y), as 0x00BBGGRR.
COLORREF screen_pixel(HWND h, int x, int y) {
  Image image = capture_window(h);
  if (x >= image.width || y >= image.height) return CLR_INVALID;
  uint32_t p = image.pixels[static_cast<size_t>(y) * image.width + x];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

void check_pixel(Report& report, HWND h, int x, int y, COLORREF expected, const std::string& name, DWORD wait_ms = 2000) {
  COLORREF seen = CLR_INVALID;
  bool ok = h && wait_until([&] { return (seen = screen_pixel(h, x, y)) == expected; }, wait_ms);
  report.check(ok, name, h ? "shows " + std::to_string(seen) + ", not " + std::to_string(expected) : "no window");
}

}  // namespace

void check_flat_look(Report& report, HWND main, const std::string& artifacts) {
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  HWND button = find_child(main, "TButton", "Startoptionen");
  HWND edit1 = nullptr, edit2 = nullptr;
  for (HWND h : children_of(main))
    if (class_of(h) == "TEdit") (edit1 ? edit2 : edit1) = h;

  RECT away = window_rect(main);
  SetCursorPos(away.right + 20, away.bottom + 20);
  check_pixel(report, button, 5, 5, lighten(face, 16), "flat button at rest: face clBtnFace lightened 16 %");
  check_pixel(report, button, 74, 12, darken(GetSysColor(COLOR_BTNSHADOW), 50), "flat button at rest: dark right edge");
  check_pixel(report, edit1, 0, 0, darken(face, 60), "flat edit at rest: frame clBtnFace darkened 60");
  save_screenshot(report, main, artifacts, "main-window-xp.png");

  RECT over = window_rect(button);
  SetCursorPos((over.left + over.right) / 2, (over.top + over.bottom) / 2);
  check_pixel(report, button, 5, 5, lighten(face, 60), "mouse over a button: face clBtnFace lightened 60 %");
  save_screenshot(report, main, artifacts, "main-window-hot.png");
  SetCursorPos(away.right + 20, away.bottom + 20);
  check_pixel(report, button, 5, 5, lighten(face, 16), "mouse gone: the button is at rest again");

  if (edit2) {
    PostMessageA(edit2, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(edit2, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  }
  check_pixel(report, edit2, 0, 0, lighten(GetSysColor(COLOR_HIGHLIGHT), 60),
              "focus in an edit: frame clHighlight lightened 60 %");
}
