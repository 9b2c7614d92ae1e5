// The flat look of the main window seen on screen: at rest, with the mouse
// over a button, with the focus in an edit.
#include <algorithm>
#include <cmath>
#include <vector>

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

void check_flat_look(Report& report, HWND main, const std::string& artifacts, const LookScale& scale) {
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  auto s = [&scale](int pixels) { return MulDiv(pixels, scale.dpi, 96); };
  const std::string at = scale.dpi == 96 ? "" : " at " + std::to_string(scale.dpi) + " DPI";
  HWND button = find_child(main, "TButton", "Startoptionen");
  HWND edit1 = nullptr, edit2 = nullptr;
  for (HWND h : children_of(main))
    if (class_of(h) == "TEdit") (edit1 ? edit2 : edit1) = h;

  RECT away = window_rect(main);
  const RECT over = window_rect(button);
  const int right = over.right - over.left - 1;  // the button's last column
  SetCursorPos(away.right + 20, away.bottom + 20);
  check_pixel(report, button, s(5), s(5), lighten(face, 16), "flat button at rest: face clBtnFace lightened 16 %" + at);
  check_pixel(report, button, right, s(12), darken(GetSysColor(COLOR_BTNSHADOW), 50),
              "flat button at rest: dark right edge" + at);
  check_pixel(report, edit1, 0, 0, darken(face, 60), "flat edit at rest: frame clBtnFace darkened 60" + at);
  save_screenshot(report, main, artifacts, "main-window-xp" + scale.suffix + ".png");

  SetCursorPos((over.left + over.right) / 2, (over.top + over.bottom) / 2);
  check_pixel(report, button, s(5), s(5), lighten(face, 60), "mouse over a button: face clBtnFace lightened 60 %" + at);
  save_screenshot(report, main, artifacts, "main-window-hot" + scale.suffix + ".png");
  SetCursorPos(away.right + 20, away.bottom + 20);
  check_pixel(report, button, s(5), s(5), lighten(face, 16), "mouse gone: the button is at rest again" + at);

  if (edit2) {
    PostMessageA(edit2, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(edit2, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  }
  check_pixel(report, edit2, 0, 0, lighten(GetSysColor(COLOR_HIGHLIGHT), 60),
              "focus in an edit: frame clHighlight lightened 60 %" + at);
}

namespace {

struct Column {
  std::vector<COLORREF> pixels;
  int count(COLORREF c) const { return static_cast<int>(std::count(pixels.begin(), pixels.end(), c)); }
  int first(COLORREF c) const {
    auto it = std::find(pixels.begin(), pixels.end(), c);
    return it == pixels.end() ? -1 : static_cast<int>(it - pixels.begin());
  }
  int last(COLORREF c) const {
    auto it = std::find(pixels.rbegin(), pixels.rend(), c);
    return it == pixels.rend() ? -1 : static_cast<int>(pixels.rend() - it) - 1;
  }
};

COLORREF image_pixel(const Image& image, int x, int y) {
  if (x < 0 || y < 0 || x >= image.width || y >= image.height) return CLR_INVALID;
  uint32_t p = image.pixels[static_cast<size_t>(y) * image.width + x];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

Column column_of(const Image& image, int x) {
  Column c;
  for (int y = 0; y < image.height; ++y) c.pixels.push_back(image_pixel(image, x, y));
  return c;
}

Column row_of(const Image& image, int y) {
  Column c;
  for (int x = 0; x < image.width; ++x) c.pixels.push_back(image_pixel(image, x, y));
  return c;
}

}  // namespace

int check_tray_menu_look(Report& report, const Process& program, HWND app, const std::string& artifacts,
                         const LookScale& scale) {
  const std::string scope = scale.dpi == 96 ? "flat tray menu" : "flat tray menu at " + std::to_string(scale.dpi) + " DPI";
  // Columns well inside the icon column and the text side at any scale.
  const int icon_x = MulDiv(8, scale.dpi, 96), text_margin = MulDiv(8, scale.dpi, 96);
  const COLORREF face = GetSysColor(COLOR_BTNFACE), highlight = GetSysColor(COLOR_HIGHLIGHT);
  const COLORREF frame = darken(face, 90), shadow = darken(face, 76), back = lighten(face, 86),
                 icons = lighten(face, 16), line = lighten(GetSysColor(COLOR_BTNSHADOW), 25),
                 select = lighten(highlight, 68);
  SetCursorPos(300, 200);
  PostMessageA(app, WM_USER + 1, 1, WM_RBUTTONUP);
  HWND menu = wait_window(program.id, "#32768", 5000);
  if (!report.check(menu != nullptr, scope + ": opens on the icon's right click")) return -1;
  // Polled until every item is drawn: the frame comes back after each item.
  Image image;
  auto painted = [&] {
    image = capture_window(menu);
    int half = image.height / 2;
    return image.width > 40 && image_pixel(image, 0, half) == frame &&
           image_pixel(image, image.width - 1, half) == shadow &&
           column_of(image, image.width - text_margin).count(back) > half && column_of(image, icon_x).count(icons) > half &&
           column_of(image, image.width - text_margin).first(line) > 0;
  };
  bool shown = wait_until(painted, 3000);
  const int w = image.width, h = image.height;
  report.check(shown && image_pixel(image, w / 2, 0) == frame && image_pixel(image, w - 3, h / 2) == frame &&
                   image_pixel(image, w / 2, h - 3) == frame,
               scope + ": one-pixel frame clBtnFace darkened 90", "left edge shows " +
                   std::to_string(image_pixel(image, 0, h / 2)));
  report.check(image_pixel(image, w - 2, h / 2) == shadow && image_pixel(image, w / 2, h - 1) == shadow &&
                   image_pixel(image, w / 2, h - 2) == shadow,
               scope + ": two-pixel shadow right and bottom, clBtnFace darkened 76");
  report.check(image_pixel(image, w - 1, 0) == face && image_pixel(image, 0, h - 1) == face,
               scope + ": the corners outside the shadow are clBtnFace");
  Column text_side = column_of(image, w - text_margin), icon_side = column_of(image, icon_x);
  report.check(text_side.count(back) > h / 2, scope + ": background clBtnFace lightened 86 %",
               std::to_string(text_side.count(back)) + " of " + std::to_string(h) + " pixels");
  report.check(icon_side.count(icons) > h / 2, scope + ": icon column clBtnFace lightened 16 %",
               std::to_string(icon_side.count(icons)) + " of " + std::to_string(h) + " pixels");
  int y_line = text_side.first(line);
  report.check(y_line > 0 && row_of(image, y_line).count(line) > w / 2 && icon_side.pixels[y_line] == icons,
               scope + ": separator lines clBtnShadow lightened 25 %, right of the icon column");

  // The first item selected by the keyboard: filled and framed.
  PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
  int top = -1, bottom = -1;
  auto selected_shown = [&] {
    image = capture_window(menu);
    Column side = column_of(image, w - text_margin);
    top = side.first(select);
    bottom = side.last(select);
    if (top < 2 || bottom + 1 >= image.height) return false;
    Column middle = row_of(image, (top + bottom) / 2);
    int left = middle.first(select);
    return side.pixels[top - 1] == highlight && side.pixels[bottom + 1] == highlight && left > 1 &&
           middle.pixels[left - 1] == highlight && middle.pixels[icon_x] == select;
  };
  const bool selected = wait_until(selected_shown, 3000);
  report.check(selected, scope + ": the selected item is clHighlight lightened 68 % framed in clHighlight",
               "rows " + std::to_string(top) + ".." + std::to_string(bottom));
  save_screenshot(report, menu, artifacts, "tray-menu-xp" + scale.suffix + ".png", 5);
  PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  wait_until([&] { return !IsWindow(menu) || !IsWindowVisible(menu); }, 3000);
  return selected ? bottom - top + 1 : -1;
}
