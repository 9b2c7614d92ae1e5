// The program in a folder whose name the code page cannot spell: it reads
// its settings there and writes them back at its end, without an error.
#include <windows.h>

#include "base/Cp1252.h"
#include "scenario.h"

void check_folder_in_any_script(Report& report, const std::string& exe) {
  const std::string scope = "a folder named in Cyrillic and CJK";
  const std::string folder = reinterpret_cast<const char*>(u8"C:\\spw-e2e\\Программы 日本"),
                    settings = folder + "\\spurwisch.cfg";
  CreateDirectoryW(utf16(folder).c_str(), nullptr);
  bool ready = CopyFileW(utf16(exe).c_str(), utf16(folder + "\\spurwisch.exe").c_str(), FALSE) &&
               write_file(settings, "0\r\n0\r\n0\r\n0\r\n0\r\n");
  if (!report.check(ready, scope + ": program and settings file copied there")) return;
  Process program = start_process(folder + "\\spurwisch.exe", "C:\\");
  HWND main = close_splash(report, program, scope) ? wait_window(program.id, "TForm1", 30000) : nullptr;
  if (report.check(main != nullptr, scope + ": main window shown")) {
    check_deletion_options(report, main, BST_UNCHECKED, "as " + scope + "'s settings file says");
    HWND group = find_child(main, "TGroupBox", u8"Löschoptionen"_cp1252);
    HWND bin = group ? find_child(group, "TCheckBox", u8"Papierkorb löschen"_cp1252) : nullptr;
    post_click(bin);
    report.check(wait_until([&] { return check_state(bin) == BST_CHECKED; }, 5000), scope + ": a box checked");
    close_program(report, program, find_child(main, "TBitBtn", "&Close"), scope);
    std::string bytes;
    read_file(settings, bytes);
    report.check(bytes == "1\r\n0\r\n0\r\n0\r\n0\r\n", scope + ": the settings file was written there",
                 "holds " + quoted(bytes));
  }
  kill_if_running(program);
}
