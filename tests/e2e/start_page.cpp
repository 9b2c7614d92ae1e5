// The start page button seen from outside: an empty Edit2 and the marker
// "http://www." each give their message in the plain message dialog; any
// other text is written to the sandbox prefix's registry as typed.
#include <windows.h>

#include "scenario.h"
#include "base/Cp1252.h"

namespace {

const char kKey[] = "Software\\Microsoft\\Internet Explorer\\Main";
const char kValue[] = "Start Page";

struct StoredValue {
  bool exists = false;
  DWORD type = REG_NONE;
  std::string data;
};

StoredValue read_value() {
  StoredValue value;
  HKEY raw = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &raw) != ERROR_SUCCESS) return value;
  UniqueRegKey key(raw);
  DWORD size = 0;
  if (RegQueryValueExA(key.get(), kValue, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) return value;
  value.data.resize(size);
  value.exists = RegQueryValueExA(key.get(), kValue, nullptr, &value.type, reinterpret_cast<BYTE*>(value.data.data()),
                                  &size) == ERROR_SUCCESS;
  value.data.resize(size);
  return value;
}

void restore_value(const StoredValue& value) {
  HKEY raw = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_SET_VALUE, &raw) != ERROR_SUCCESS) return;
  UniqueRegKey key(raw);
  if (value.exists)
    RegSetValueExA(key.get(), kValue, 0, value.type, reinterpret_cast<const BYTE*>(value.data.data()),
                   static_cast<DWORD>(value.data.size()));
  else
    RegDeleteValueA(key.get(), kValue);
}

// Whether the box shows an icon: a visible static child that holds one.
bool shows_icon(HWND box) {
  for (HWND child : children_of(box)) {
    if (class_of(child) != "Static" || !IsWindowVisible(child) || (style_of(child) & SS_TYPEMASK) != SS_ICON) continue;
    DWORD_PTR icon = 0;
    if (!SendMessageTimeoutA(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 5000, &icon) || icon) return true;
  }
  return false;
}

// Types TYPED into Edit2, clicks "Ändere" and checks the message box that
// follows; closes it with OK.
void check_message(Report& report, const Process& program, HWND edit2, HWND button, const char* typed,
                   const std::string& message, const std::string& artifacts, const std::string& shot) {
  const std::string scope = std::string("start page ") + quoted(typed);
  SendMessageA(edit2, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed));
  post_click(button);
  HWND box = wait_window(program.id, "#32770", 10000);
  if (!report.check(box != nullptr, scope + ": message box shown", "none within 10 s")) return;
  report.check(text_of(box) == "Spurwisch", scope + ": caption is the application title", quoted(text_of(box)));
  HWND text = GetDlgItem(box, 0xFFFF);
  report.check(text && text_of(text) == message, scope + ": text " + quoted(message),
               text ? quoted(text_of(text)) : "no text control");
  std::string buttons;
  for (HWND child : children_of(box))
    if (class_of(child) == "Button" && IsWindowVisible(child)) buttons.append("[").append(text_of(child)).append("]");
  report.check(buttons == "[OK]", scope + ": one OK button", "buttons " + buttons);
  report.check(!shows_icon(box), scope + ": no icon");
  if (!shot.empty()) save_screenshot(report, box, artifacts, shot);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  report.check(wait_destroyed(box, 5000), scope + ": box closes with OK");
}

}  // namespace

void check_start_page_button(Report& report, const Process& program, HWND main, const std::string& artifacts) {
  HWND button = find_child(main, "TButton", u8"Ändere"_cp1252);
  HWND edit1 = nullptr, edit2 = nullptr;
  for (HWND child : children_of(main)) {
    if (class_of(child) != "TEdit") continue;
    (rect_in_parent(child).top == 72 ? edit2 : edit1) = child;
  }
  if (!report.check(button && edit1 && edit2, u8"start page: \"Ändere\", Edit1 and Edit2 found"_cp1252)) return;
  StoredValue saved = read_value();
  std::string shown = text_of(edit1);

  check_message(report, program, edit2, button, "", u8"Geben Sie eine gültige Startseite an!"_cp1252, artifacts,
                "start-page-empty.png");
  check_message(report, program, edit2, button, "http://www.", u8"Sie müssen schon eine Startseite angeben"_cp1252,
                artifacts, "");
  StoredValue after = read_value();
  report.check(after.exists == saved.exists && after.data == saved.data, "start page: the messages leave the registry alone");

  const char typed[] = " HTTP://WWW.spurwisch.example/ ";
  SendMessageA(edit2, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed));
  post_click(button);
  std::string expected(typed, sizeof typed);  // with its NUL
  bool written = wait_until([&] { return read_value().data == expected; }, 5000);
  StoredValue value = read_value();
  report.check(written && value.type == REG_SZ, "start page: " + quoted(typed) + " written unchanged as REG_SZ with its NUL",
               "registry holds " + quoted(value.data) + " of type " + std::to_string(value.type));
  Sleep(500);
  report.check(find_window(program.id, "#32770") == nullptr, "start page: no message after a write");
  report.check(text_of(edit1) == shown, "start page: Edit1 keeps the page read at start", quoted(text_of(edit1)));
  restore_value(saved);
}
