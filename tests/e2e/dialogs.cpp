#include "controls.h"
#include "scenario.h"
#include "base/Cp1252.h"

namespace {

const std::vector<ExpectedControl> kAboutControls = {
    {"Memo1", "TMemo", nullptr, 8, 8, 225, 177, true},
    {"Button1", "TButton", "&Ok", 80, 200, 75, 25, true},
};

// Lines 2 to 12 of the About text, trailing blanks included.
const char* const kAboutLines[] = {
    "Diese Programm ist freeware. Was macht es? ",
    u8"Es löscht die Spuren die der IE hinterläst. Das "_cp1252,
    u8"heißt, die Cookies, den Verlauf und die Temp. "_cp1252,
    u8"Internet Files. Diese werden standardmßig "_cp1252,
    u8"gelöscht. Eingestellt werden kann zusätzlich:"_cp1252,
    u8"Papierkorb löschen, ist klar. Temp  löschen."_cp1252,
    "Das ist das Tempverzeichnis. ACHTUNG:Es ",
    "werden komplett alle Dateien und ",
    u8"Verzeichnisse imTemp-Folder gelöscht und  "_cp1252,
    "das alles ohne Abfrage. Doku.List. Das ist ",
    "diese hier Start/Dokumente.",
};

const std::vector<ExpectedControl> kOptionsControls = {
    {"CheckBox1", "TCheckBox", "Minimiert starten", 8, 8, 97, 17, true},
    {"CheckBox2", "TCheckBox", "Aktion automatisch starten", 8, 32, 153, 17, true},
    {"Button1", "TButton", "Ok", 48, 64, 75, 25, true},
};

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return lines;
    start = end + 2;
  }
}

void check_about_text(Report& report, HWND memo) {
  std::vector<std::string> lines = split_lines(text_of(memo));
  std::string mismatches;
  for (size_t i = 0; i < std::size(kAboutLines); ++i) {
    std::string actual = i + 1 < lines.size() ? lines[i + 1] : "<missing>";
    if (actual != kAboutLines[i])
      mismatches += " line " + std::to_string(i + 2) + " is " + quoted(actual) + " not " + quoted(kAboutLines[i]) + ";";
  }
  report.check(mismatches.empty(), "About text lines 2-12 exact", mismatches);
  LONG style = style_of(memo);
  report.check((style & (ES_MULTILINE | ES_READONLY)) == (ES_MULTILINE | ES_READONLY), "Memo1 is multi-line and read-only",
               "style lacks ES_MULTILINE or ES_READONLY");
  report.check((style & (WS_VSCROLL | WS_HSCROLL)) == 0, "Memo1 has no scroll bars", "has a scroll bar style");
}

// Frame of a dialog: caption and the exact outer rectangle on the screen.
void check_dialog_frame(Report& report, HWND dialog, const std::string& scope, const char* caption, RECT expected) {
  std::string shown = text_of(dialog);
  report.check(shown == caption, scope + " caption " + quoted(caption), "is " + quoted(shown));
  std::string actual = describe_rect(window_rect(dialog));
  report.check(actual == describe_rect(expected), scope + " at " + describe_rect(expected), "is at " + actual);
}

void check_main_disabled(Report& report, HWND main, const std::string& scope) {
  bool disabled = wait_until([&] { return !IsWindowEnabled(main); }, 1000);
  report.check(disabled, "main window disabled while " + scope + " is open", "main window still enabled");
}

// Closes the dialog the way a user would (CLOSE is posted), then checks it is
// destroyed and the main window takes input again.
void check_closed(Report& report, HWND dialog, HWND main, const std::string& scope) {
  report.check(wait_destroyed(dialog, 10000), scope + " destroyed after closing", "still exists after 10 s");
  bool enabled = wait_until([&] { return IsWindowEnabled(main) != FALSE; }, 3000);
  report.check(enabled, "main window enabled again after " + scope, "still disabled");
}

// Clicks a check box and waits for its state to become WANT.
bool click_to_state(HWND box, int want) {
  post_click(box);
  return wait_until([&] { return check_state(box) == want; }, 3000);
}

// A key pressed on the focused control, as the keyboard delivers it.
void press_key(HWND focused, WPARAM key) {
  PostMessageA(focused, WM_KEYDOWN, key, 1);
  PostMessageA(focused, WM_KEYUP, key, 0xC0000001);
}

HWND open_dialog(Report& report, const Process& program, HWND button, const char* cls, const std::string& scope) {
  post_click(button);
  HWND dialog = wait_window(program.id, cls, 10000);
  report.check(dialog != nullptr, scope + " opens as a visible " + cls, "no such window within 10 s");
  return dialog;
}

// No default or cancel button: Enter acts on the focused control only,
// Escape does nothing.
void check_options_keys(Report& report, const Process& program, HWND main, HWND options_button) {
  HWND dialog = open_dialog(report, program, options_button, "TForm3", "start options dialog (keys)");
  if (!dialog) return;
  const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
  // The dialog shows before its first control takes the focus.
  HWND box = nullptr;
  const bool on_box = wait_until([&] { return (box = focus_of(thread)) && class_of(box) == "TCheckBox"; }, 5000);
  const int state = check_state(box);
  press_key(box, VK_RETURN);
  press_key(box, VK_ESCAPE);
  Sleep(500);
  report.check(on_box && IsWindowVisible(dialog) && check_state(box) == state,
               "start options dialog: Enter on a check box and Escape leave it open and the box as it was",
               on_box ? "the dialog closed or the box changed" : "focus not on a check box");
  // Each Tab goes to the control that has the focus then.
  press_key(box, VK_TAB);
  HWND second = nullptr;
  wait_until([&] { return (second = focus_of(thread)) && second != box; }, 3000);
  if (second) press_key(second, VK_TAB);
  HWND ok = find_child(dialog, "TButton", kOptionsControls[2].caption);
  const bool on_ok = wait_until([&] { return focus_of(thread) == ok; }, 3000);
  if (on_ok) press_key(ok, VK_RETURN);
  else PostMessageA(dialog, WM_CLOSE, 0, 0);
  report.check(on_ok && wait_destroyed(dialog, 5000), "start options dialog: Enter on the focused \"Ok\" closes it",
               on_ok ? "still open" : "two Tabs did not reach \"Ok\"");
  check_closed(report, dialog, main, "the start options dialog (Enter)");
}

}  // namespace

const std::vector<ExpectedControl>& about_dialog_controls() { return kAboutControls; }
const std::vector<ExpectedControl>& options_dialog_controls() { return kOptionsControls; }

void check_about_dialog(Report& report, const Process& program, HWND main, HWND about_button,
                        const std::string& artifacts) {
  if (!about_button) return;
  HWND dialog = open_dialog(report, program, about_button, "TForm2", "About dialog");
  if (!dialog) return;
  check_dialog_frame(report, dialog, "About dialog", "About", RECT{420, 289, 420 + 247, 289 + 262});
  check_main_disabled(report, main, "the About dialog");
  std::vector<HWND> found = check_controls(report, "About", dialog, kAboutControls);
  if (HWND memo = control(kAboutControls, found, "Memo1")) check_about_text(report, memo);
  save_screenshot(report, dialog, artifacts, "about-dialog.png");

  HWND ok = control(kAboutControls, found, "Button1");
  if (ok) post_click(ok);
  else PostMessageA(dialog, WM_CLOSE, 0, 0);
  check_closed(report, dialog, main, "the About dialog");
  report.check(find_window(program.id, "TForm2") == nullptr, "no TForm2 left after \"&Ok\"", "a TForm2 is visible");
}

void check_options_dialog(Report& report, const Process& program, HWND main, HWND options_button,
                          const std::string& artifacts) {
  if (!options_button) return;
  HWND dialog = open_dialog(report, program, options_button, "TForm3", "start options dialog");
  if (!dialog) return;
  check_dialog_frame(report, dialog, "start options dialog", "Optionen", RECT{487, 354, 487 + 190, 354 + 136});
  check_main_disabled(report, main, "the start options dialog");
  std::vector<HWND> found = check_controls(report, "Optionen", dialog, kOptionsControls);
  HWND minimised = control(kOptionsControls, found, "CheckBox1");
  HWND autostart = control(kOptionsControls, found, "CheckBox2");
  if (minimised) report.check(check_state(minimised) == BST_UNCHECKED, "CheckBox1 unchecked at first", "is checked");
  if (autostart) report.check(check_state(autostart) == BST_UNCHECKED, "CheckBox2 unchecked at first", "is checked");
  save_screenshot(report, dialog, artifacts, "options-dialog.png");

  if (autostart) report.check(click_to_state(autostart, BST_CHECKED), "a click checks CheckBox2", "still unchecked");
  PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  check_closed(report, dialog, main, "the start options dialog (title-bar close)");

  dialog = open_dialog(report, program, options_button, "TForm3", "start options dialog (again)");
  if (!dialog) return;
  minimised = find_child(dialog, "TCheckBox", kOptionsControls[0].caption);
  autostart = find_child(dialog, "TCheckBox", kOptionsControls[1].caption);
  if (minimised) report.check(check_state(minimised) == BST_UNCHECKED, "CheckBox1 still unchecked", "is checked");
  if (autostart) {
    report.check(check_state(autostart) == BST_CHECKED, "CheckBox2 kept after closing by the title bar",
                 "is unchecked: the flag was lost");
    report.check(click_to_state(autostart, BST_UNCHECKED), "a click unchecks CheckBox2", "still checked");
  }
  HWND ok = find_child(dialog, "TButton", kOptionsControls[2].caption);
  report.check(ok != nullptr, "\"Ok\" found again", "no TButton \"Ok\"");
  if (ok) post_click(ok);
  else PostMessageA(dialog, WM_CLOSE, 0, 0);
  check_closed(report, dialog, main, "the start options dialog (\"Ok\")");
  check_options_keys(report, program, main, options_button);
}
