// The program in the notification area, seen from outside: the icon in the
// taskbar, its callbacks (sent to the Application window as the shell sends
// them) and the tray menu, chosen from by access key as a user would.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdlib>

#include "scenario.h"
#include "base/Cp1252.h"

namespace {

const char kSettingsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
const UINT kTrayCallback = WM_USER + 1;

// ---- registry state of the proxy items ----

void delete_value(const char* name) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  RegDeleteValueA(key, name);
  RegCloseKey(key);
}

void set_value(const char* name, DWORD type, const void* data, DWORD size) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
}

void set_proxy_enable(DWORD value) { set_value("ProxyEnable", REG_DWORD, &value, sizeof value); }

// "ProxyEnable" as a number, -1 when missing, -2 when not a REG_DWORD.
long proxy_enable() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
  DWORD type = 0, value = 0, size = sizeof value;
  LONG result = RegQueryValueExA(key, "ProxyEnable", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) return -1;
  return type == REG_DWORD ? long(value) : -2;
}

// ---- the icon and the menu ----


void close_menu(HWND menu) {
  PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  wait_until([&] { return !IsWindow(menu) || !IsWindowVisible(menu); }, 3000);
}

bool minimise(HWND main, HWND app) {
  PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  return wait_until([&] { return !IsWindowVisible(main) && !IsWindowVisible(app) && tray_icon_shown(); }, 5000);
}

bool restored(HWND main, HWND app) {
  return wait_until([&] { return IsWindowVisible(main) && IsWindowVisible(app) && !tray_icon_shown(); }, 5000);
}

// Closes a message box of the program and returns its caption and text.
std::pair<std::string, std::string> take_box(const Process& program, HWND* owner = nullptr) {
  HWND box = wait_window(program.id, "#32770", 5000);
  if (!box) return {"<none>", "<none>"};
  HWND text = GetDlgItem(box, 0xFFFF);
  std::pair<std::string, std::string> seen{text_of(box), text ? text_of(text) : "<no text>"};
  if (owner) *owner = GetWindow(box, GW_OWNER);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  wait_destroyed(box, 5000);
  return seen;
}

// One row of the proxy table: the registry state, the key of the item that
// must be disabled (nothing happens) and of the one that must work.
void check_proxy_row(Report& report, const Process& program, HWND app, const std::string& state, char disabled,
                     char enabled, long expected, const std::string& artifacts, const std::string& shot) {
  const std::string scope = "tray menu, " + state;
  HWND menu = open_menu(program, app);
  if (!report.check(menu != nullptr, scope + ": menu opens on the icon's right click")) return;
  if (!shot.empty()) save_screenshot(report, menu, artifacts, shot, 3);
  long before = proxy_enable();
  bool closed = press(menu, disabled);
  report.check(!closed && proxy_enable() == before, scope + std::string(": disabled item (key ") + disabled + ") does nothing",
               closed ? "the menu closed" : "ProxyEnable changed");
  closed = press(menu, enabled);
  bool written = wait_until([&] { return proxy_enable() == expected; }, 3000);
  report.check(closed && written, scope + std::string(": enabled item (key ") + enabled + ") writes ProxyEnable " +
                                      std::to_string(expected),
               "ProxyEnable is " + std::to_string(proxy_enable()));
  if (!closed) close_menu(menu);
}

void check_proxy_items(Report& report, const Process& program, HWND main, HWND app, const std::string& artifacts) {
  delete_value("AutoConfigURL");
  delete_value("ProxyEnable");
  // A missing value counts as off (Wine's and a fresh profile's state).
  check_proxy_row(report, program, app, "no ProxyEnable", 'p', 'r', 1, artifacts, "tray-menu.png");
  check_proxy_row(report, program, app, "ProxyEnable 1", 'r', 'p', 0, artifacts, "");
  set_proxy_enable(0);
  check_proxy_row(report, program, app, "ProxyEnable 0", 'p', 'r', 1, artifacts, "");

  // Automatic configuration: both proxy items off, the information line on.
  const char url[] = "http://wpad.example/proxy.pac";
  set_value("AutoConfigURL", REG_SZ, url, sizeof url);
  const std::string scope = "tray menu, AutoConfigURL set";
  HWND menu = open_menu(program, app);
  if (report.check(menu != nullptr, scope + ": menu opens")) {
    save_screenshot(report, menu, artifacts, "tray-menu-autoconfig.png", 3);
    bool closed = press(menu, 'p') || press(menu, 'r');
    report.check(!closed && proxy_enable() == 1, scope + ": both proxy items disabled");
    closed = press(menu, 'i');
    HWND owner = nullptr;
    auto box = take_box(program, &owner);
    report.check(closed && box.first == "Information" &&
                     box.second == "Die Automatische Proxykonfiguration wird in dieser Version noch nicht deaktiviert.",
                 scope + ": the information line (key I) shows the \"Information\" box",
                 quoted(box.first) + " " + quoted(box.second));
    report.check(owner == main, scope + ": the box is owned by the main window");
  }
  delete_value("AutoConfigURL");

  // A "ProxyEnable" that is not a number keeps the menu shut and is reported.
  set_value("ProxyEnable", REG_SZ, "1", 2);
  PostMessageA(app, kTrayCallback, 1, WM_RBUTTONUP);
  auto box = take_box(program);
  report.check(box.first == "Spurwisch" && box.second == "Invalid data type for 'ProxyEnable'",
               "tray menu, ProxyEnable of type REG_SZ: error report instead of the menu",
               quoted(box.first) + " " + quoted(box.second));
  report.check(find_window(program.id, "#32768") == nullptr, "tray menu, ProxyEnable of type REG_SZ: no menu");
  delete_value("ProxyEnable");
}

// "About" (key A) shows the About dialog while the window stays hidden;
// after "&Ok" the program sits in the tray as before.
void check_about_from_tray(Report& report, const Process& program, HWND main, HWND app) {
  const std::string scope = "tray: \"About\" (key A)";
  HWND menu = open_menu(program, app);
  if (!report.check(menu != nullptr, scope + ": menu opens")) return;
  press(menu, 'a');
  HWND about = wait_window(program.id, "TForm2", 10000);
  report.check(about && !IsWindowVisible(main), scope + ": the About dialog opens, the window stays hidden",
               about ? "the main window is visible" : "no TForm2 within 10 s");
  HWND ok = about ? find_child(about, "TButton", "&Ok") : nullptr;
  if (ok) post_click(ok);
  bool closed = ok && wait_destroyed(about, 10000);
  bool enabled = wait_until([&] { return IsWindowEnabled(main) != FALSE; }, 3000);
  report.check(closed && enabled && !IsWindowVisible(main) && !IsWindowVisible(app) && tray_icon_shown(),
               scope + ": after \"&Ok\" back in the tray (window hidden and enabled, no taskbar button, icon shown)",
               closed ? "window or taskbar button shown, icon gone or window disabled" : "the dialog did not close");
}

}  // namespace

HWND open_menu(const Process& program, HWND app) {
  PostMessageA(app, kTrayCallback, 1, WM_RBUTTONUP);
  return wait_window(program.id, "#32768", 5000);
}

bool press(HWND menu, char key) {
  PostMessageA(menu, WM_CHAR, static_cast<unsigned char>(key), 0);
  return wait_destroyed(menu, 1500) || !IsWindowVisible(menu);
}

// The icon sits at the right end of the taskbar: more than the taskbar's
// own colours there means it is shown.
bool tray_icon_shown() {
  HWND taskbar = find_window(0, "Shell_TrayWnd");
  if (!taskbar) return false;
  Image image = capture_window(taskbar);
  if (image.width < 40) return false;
  Image corner;
  corner.width = 24;
  corner.height = image.height;
  for (int y = 0; y < image.height; ++y)
    for (int x = image.width - 24; x < image.width; ++x) corner.pixels.push_back(image.pixels[y * image.width + x]);
  return distinct_colours(corner, 16) > 3;
}

void check_tray(Report& report, const Process& program, HWND main, const std::string& artifacts) {
  HWND app = find_any_window(program.id, "TApplication");
  if (!report.check(app != nullptr, "tray: Application window found")) return;
  report.check(!tray_icon_shown(), "tray: no icon while the window is shown");
  if (!report.check(minimise(main, app), "tray: minimising hides the window and the taskbar button and adds the icon"))
    return;

  check_tray_menu_look(report, program, app, artifacts);
  check_proxy_items(report, program, main, app, artifacts);

  // "Säubern" runs a cleaning from the tray; the window stays hidden.
  HWND menu = open_menu(program, app);
  if (report.check(menu != nullptr, u8"tray: menu opens for \"Säubern\""_cp1252)) {
    DWORD start = GetTickCount();
    press(menu, 's');
    check_completion_box(report, program, start, "cleaning from the tray", artifacts, "tray-cleaning-done.png");
    report.check(!IsWindowVisible(main) && tray_icon_shown(), "cleaning from the tray: window stays in the tray");
  }
  check_about_from_tray(report, program, main, app);

  PostMessageA(app, kTrayCallback, 1, WM_LBUTTONUP);
  Sleep(300);
  report.check(!IsWindowVisible(main), "tray: a single click does not restore");
  PostMessageA(app, kTrayCallback, 1, WM_LBUTTONDBLCLK);
  report.check(restored(main, app), "tray: a double click restores the window and removes the icon");

  if (!report.check(minimise(main, app), "tray: minimised again")) return;
  menu = open_menu(program, app);
  if (menu) press(menu, 'w');
  report.check(menu && restored(main, app), "tray: \"Wiederherstellen\" (key W) restores the window");

  if (!report.check(minimise(main, app), "tray: minimised once more")) return;
  menu = open_menu(program, app);
  if (menu) press(menu, 'o');
  bool ended = wait_exit(program, 15000);
  DWORD code = 1;
  GetExitCodeProcess(program.handle.get(), &code);
  report.check(menu && ended && code == 0, "tray: \"Programm beenden\" (key O) ends the program with exit code 0");
  report.check(wait_until([] { return !tray_icon_shown(); }, 3000), "tray: the icon is gone after the end");
}

namespace {

// The lower-case names of the DLLs mapped into the process.
std::vector<std::string> modules_of(const Process& program) {
  std::vector<HMODULE> modules(512);
  DWORD needed = 0;
  if (!EnumProcessModules(program.handle.get(), modules.data(), DWORD(modules.size() * sizeof(HMODULE)), &needed))
    return {};
  modules.resize(std::min<size_t>(modules.size(), needed / sizeof(HMODULE)));
  std::vector<std::string> names;
  for (HMODULE module : modules) {
    char name[MAX_PATH] = {};
    GetModuleBaseNameA(program.handle.get(), module, name, MAX_PATH);
    names.push_back(CharLowerA(name));
  }
  return names;
}

bool has_module(const std::vector<std::string>& modules, const std::string& name) {
  return std::find(modules.begin(), modules.end(), name) != modules.end();
}

}  // namespace

HWND check_minimised_start(Report& report, const Process& program) {
  const std::string scope = "start minimised";
  close_splash(report, program, scope);
  HWND app = nullptr;
  wait_until([&] { return (app = find_any_window(program.id, "TApplication")) != nullptr && tray_icon_shown(); },
             30000);
  if (!report.check(app && tray_icon_shown(), scope + ": the icon appears")) return nullptr;
  Sleep(500);
  report.check(find_window(program.id, "TForm1") == nullptr, scope + ": no main window shown");
  report.check(!IsWindowVisible(app), scope + ": no taskbar button");
  // The common controls cost about 1.4 MB when mapped; nothing in the tray uses them.
  std::vector<std::string> modules = modules_of(program);
  report.check(has_module(modules, "user32.dll") && !has_module(modules, "comctl32.dll"),
               scope + ": comctl32.dll not loaded in the tray", std::to_string(modules.size()) + " modules");
  PostMessageA(app, kTrayCallback, 1, WM_LBUTTONDBLCLK);
  HWND main = wait_window(program.id, "TForm1", 5000);
  report.check(main != nullptr && restored(main, app), scope + ": a double click shows the window");
  if (main) {
    RECT r = window_rect(main);
    int x = (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2;
    report.check(std::abs(r.left - x) <= 1 && !IsIconic(main), scope + ": window in its normal state, centred",
                 describe_rect(r));
  }
  return main;
}
