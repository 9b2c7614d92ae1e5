#include <cstdlib>

#include "controls.h"
#include "scenario.h"
#include "base/Cp1252.h"

namespace {

const std::vector<ExpectedControl> kMainControls = {
    {"Button1", "TButton", u8"&Aktion durchführen."_cp1252, 0, 104, 105, 25, true},
    {"Edit1", "TEdit", nullptr, 32, 24, 329, 21, true},
    {"Edit2", "TEdit", nullptr, 32, 72, 329, 21, true},
    {"Button2", "TButton", u8"Ändere"_cp1252, 280, 48, 75, 25, true},
    {"GroupBox1", "TGroupBox", u8"Löschoptionen"_cp1252, 216, 96, 145, 97, false},
    {"Button3", "TButton", "A&bout", 112, 104, 105, 25, true},
    {"BitBtn1", "TBitBtn", "&Close", 72, 176, 73, 25, true},
    {"Button4", "TButton", "Startoptionen", 72, 136, 75, 25, true},
};

const std::vector<ExpectedControl> kDeletionOptions = {
    {"papierkorb", "TCheckBox", u8"Papierkorb löschen"_cp1252, 8, 24, 121, 17, true},
    {"temploesch", "TCheckBox", u8"Temp löschen"_cp1252, 8, 48, 97, 17, true},
    {"doku", "TCheckBox", "Dokumenten-Liste", 8, 72, 113, 17, true},
};

// The browser's start page as the program should show it: the value up to its
// first NUL, empty when the key or the value is missing or is not text.
std::string registry_start_page() {
  HKEY raw = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Explorer\\Main", 0, KEY_READ, &raw) !=
      ERROR_SUCCESS)
    return "";
  UniqueRegKey key(raw);
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key.get(), "Start Page", nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return "";
  if (type != REG_SZ && type != REG_EXPAND_SZ) return "";
  std::string value(size + 1, '\0');
  if (RegQueryValueExA(key.get(), "Start Page", nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) !=
      ERROR_SUCCESS)
    return "";
  return value.substr(0, value.find('\0'));
}

void check_frame(Report& report, HWND main) {
  std::string caption = text_of(main);
  const std::string tail = "freeware";
  bool ends_right = caption.size() >= tail.size() && caption.compare(caption.size() - tail.size(), tail.size(), tail) == 0;
  report.check(ends_right, "main window caption ends in \"freeware\"", "caption is " + quoted(caption));

  RECT r = window_rect(main);
  report.check(r.right - r.left == 377 && r.bottom - r.top == 241, "main window outer size 377x241",
               "is " + describe_rect(r));
  int screen_w = GetSystemMetrics(SM_CXSCREEN), screen_h = GetSystemMetrics(SM_CYSCREEN);
  int want_left = (screen_w - (r.right - r.left)) / 2, want_top = (screen_h - (r.bottom - r.top)) / 2;
  bool centred = std::abs(r.left - want_left) <= 1 && std::abs(r.top - want_top) <= 1;
  report.check(centred, "main window centred on the desktop",
               "at " + describe_rect(r) + ", desktop " + std::to_string(screen_w) + "x" + std::to_string(screen_h) +
                   " wants " + std::to_string(want_left) + "," + std::to_string(want_top));
}

void check_edits(Report& report, HWND edit1, HWND edit2) {
  if (edit1) {
    std::string page = registry_start_page();
    std::string shown = text_of(edit1);
    report.check(shown == page, "Edit1 shows the registry's start page " + quoted(page), "shows " + quoted(shown));
    report.check((style_of(edit1) & ES_READONLY) != 0, "Edit1 is read-only", "ES_READONLY missing");
  }
  if (edit2) {
    std::string shown = text_of(edit2);
    report.check(shown == "http://www.", "Edit2 shows \"http://www.\"", "shows " + quoted(shown));
    report.check((style_of(edit2) & ES_READONLY) == 0, "Edit2 is editable", "has ES_READONLY");
  }
}

void check_group_box(Report& report, HWND group) {
  report.check((ex_style_of(group) & WS_EX_CONTROLPARENT) != 0, "GroupBox1 has WS_EX_CONTROLPARENT",
               "ex-style lacks it");
}

void check_focus(Report& report, HWND main, HWND button1) {
  DWORD thread = GetWindowThreadProcessId(main, nullptr);
  HWND focus = nullptr;
  wait_until([&] { return (focus = focus_of(thread)) == button1; }, 3000);
  std::string actual = focus ? class_of(focus) + " " + quoted(text_of(focus)) : "nothing";
  report.check(button1 && focus == button1, "Button1 has the focus after start", actual + " has it");
}

const char* state_name(int state) {
  return state == BST_CHECKED ? "checked" : state == BST_UNCHECKED ? "unchecked" : "indeterminate or silent";
}

}  // namespace

const std::vector<ExpectedControl>& main_window_controls() { return kMainControls; }
const std::vector<ExpectedControl>& deletion_option_controls() { return kDeletionOptions; }

MainButtons check_main_window(Report& report, HWND main, const std::string& artifacts) {
  check_frame(report, main);
  std::vector<HWND> found = check_controls(report, "main", main, kMainControls);
  HWND group = control(kMainControls, found, "GroupBox1");
  if (group) {
    check_group_box(report, group);
    check_controls(report, "GroupBox1", group, kDeletionOptions);
  }
  check_edits(report, control(kMainControls, found, "Edit1"), control(kMainControls, found, "Edit2"));
  check_deletion_options(report, main, BST_CHECKED, "without a settings file");
  check_focus(report, main, control(kMainControls, found, "Button1"));
  save_screenshot(report, main, artifacts, "main-window.png");
  return {control(kMainControls, found, "Button3"), control(kMainControls, found, "Button4"),
          control(kMainControls, found, "BitBtn1")};
}

void check_deletion_options(Report& report, HWND main, int expected, const std::string& scope) {
  HWND group = find_child(main, "TGroupBox", u8"Löschoptionen"_cp1252);
  for (const ExpectedControl& box : kDeletionOptions) {
    HWND h = group ? find_child(group, box.cls, box.caption) : nullptr;
    int state = h ? check_state(h) : -1;
    report.check(state == expected, std::string(box.name) + " " + state_name(expected) + " " + scope,
                 h ? std::string("is ") + state_name(state) : "check box not found");
  }
}

void save_screenshot(Report& report, HWND h, const std::string& artifacts, const std::string& name,
                     int min_colours) {
  Sleep(300);  // let the last paint reach the screen
  Image image = capture_window(h);
  std::string path = artifacts + "\\" + name;
  bool saved = !image.pixels.empty() && write_png(path, image);
  int colours = distinct_colours(image, 16);
  report.check(saved && colours >= min_colours, "screenshot " + name + " shows the window",
               saved ? "only " + std::to_string(colours) + " colours on screen" : "could not capture or write " + path);
}

bool wait_destroyed(HWND h, DWORD timeout_ms) {
  return wait_until([&] { return !IsWindow(h); }, timeout_ms);
}
