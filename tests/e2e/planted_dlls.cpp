// Stand-ins named like the system DLLs that are not known DLLs, planted
// beside a copy of the program, with Wine preferring native copies as Windows
// does (WINEDLLOVERRIDES, set for this test by ctest): the program gets
// through a cleaning, the About dialog and the tray menu, ends with exit
// code 0, and has loaded none of them.
#include <cstdio>

#include "scenario.h"
#include "base/Cp1252.h"

namespace {

const char kFolder[] = "C:\\spw-e2e\\planted";
const char* const kStandIns[] = {"msimg32.dll", "comctl32.dll", "wininet.dll"};

std::string in_folder(const std::string& name) { return std::string(kFolder) + "\\" + name; }
std::string marker_of(const std::string& dll) { return in_folder(dll) + ".loaded"; }
bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The stand-ins are built into standins\ beside this driver.
std::string standin(const std::string& name) {
  char path[MAX_PATH] = "";
  std::string self(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  return self.substr(0, self.rfind('\\')) + "\\standins\\" + name;
}

void remove_planted() {
  for (const char* dll : kStandIns) {
    DeleteFileA(in_folder(dll).c_str());
    DeleteFileA(marker_of(dll).c_str());
  }
  DeleteFileA(in_folder("spurwisch.exe").c_str());
  DeleteFileA(in_folder("spurwisch.cfg").c_str());
  RemoveDirectoryA(kFolder);
}

bool plant(const std::string& exe) {
  remove_planted();
  CreateDirectoryA("C:\\spw-e2e", nullptr);
  bool planted = CreateDirectoryA(kFolder, nullptr) && CopyFileA(exe.c_str(), in_folder("spurwisch.exe").c_str(), TRUE);
  for (const char* dll : kStandIns) planted = planted && CopyFileA(standin(dll).c_str(), in_folder(dll).c_str(), TRUE);
  return planted;
}

// Loaded here by its path, a stand-in is taken over Wine's own DLL only when
// native copies are preferred; then it leaves its marker. Without both, a
// missing marker would prove nothing.
bool native_copies_preferred() {
  HMODULE module = LoadLibraryA(in_folder(kStandIns[0]).c_str());
  if (module) FreeLibrary(module);
  return DeleteFileA(marker_of(kStandIns[0]).c_str()) != 0;
}

// A folder in the temporary folder, which the cleaning hands to the shell.
std::string make_temp_folder() {
  char temp[MAX_PATH + 1] = "";
  std::string folder = std::string(temp, GetTempPathA(MAX_PATH, temp)) + "spw-e2e-planted";
  CreateDirectoryA(folder.c_str(), nullptr);
  UniqueHandle file(CreateFileA((folder + "\\file.tmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  return folder;
}

// A cleaning, the About dialog, then into the tray and "Programm beenden".
void work_program(Report& report, const Process& program, const std::string& scope, const std::string& artifacts) {
  close_splash(report, program, scope);
  HWND main = wait_window(program.id, "TForm1", 30000);
  if (!report.check(main != nullptr, scope + ": main window shown", is_running(program) ? "none within 30 s" : "ended"))
    return;
  WaitForInputIdle(program.handle.get(), 10000);
  std::string temp_folder = make_temp_folder();
  HWND button = find_child(main, "TButton", u8"&Aktion durchführen."_cp1252);
  DWORD start = GetTickCount();
  if (button) post_click(button);
  check_completion_box(report, program, start, scope + ", cleaning", artifacts, "planted-dlls-cleaning-done.png");
  report.check(!exists(temp_folder), scope + ", cleaning: the shell removed a folder in the temporary folder");

  HWND about = find_child(main, "TButton", "A&bout");
  if (about) post_click(about);
  HWND dialog = about ? wait_window(program.id, "TForm2", 10000) : nullptr;
  HWND ok = dialog ? find_child(dialog, "TButton", "&Ok") : nullptr;
  if (ok) post_click(ok);
  report.check(ok && wait_destroyed(dialog, 10000), scope + ": the About dialog opens and closes with \"&Ok\"");

  HWND app = find_any_window(program.id, "TApplication");
  PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  bool in_tray = app && wait_until([&] { return !IsWindowVisible(main) && tray_icon_shown(); }, 5000);
  HWND menu = in_tray ? open_menu(program, app) : nullptr;
  report.check(menu != nullptr, scope + ": in the tray, the tray menu opens");
  if (menu) press(menu, 'o');
}

}  // namespace

void check_planted_dlls(Report& report, const std::string& exe, const std::string& artifacts) {
  const std::string scope = "planted DLLs";
  if (!report.check(plant(exe), scope + ": stand-ins beside a copy of the program in " + kFolder)) return remove_planted();
  report.check(native_copies_preferred(), scope + ": Wine prefers native copies, and a stand-in leaves its marker",
               "no marker: WINEDLLOVERRIDES lacks msimg32,comctl32,wininet=n,b?");
  // A start while another instance runs would only hand over to it.
  bool alone = wait_until([] { return !UniqueHandle(OpenMutexA(SYNCHRONIZE, FALSE, "Local\\Spurwisch.Instance")); }, 10000);
  report.check(alone, scope + ": no other instance runs");

  Process program = start_process(in_folder("spurwisch.exe"), kFolder);
  if (report.check(program.handle != nullptr, scope + ": program starts in its own folder"))
    work_program(report, program, scope, artifacts);
  bool ended = wait_exit(program, 15000);
  DWORD code = 1;
  GetExitCodeProcess(program.handle.get(), &code);
  char shown[32];
  std::snprintf(shown, sizeof shown, "exit code 0x%lX", code);
  report.check(ended && code == 0, scope + ": the program ends with exit code 0", ended ? shown : "still running");
  kill_if_running(program);

  std::string loaded;
  for (const char* dll : kStandIns)
    if (exists(marker_of(dll))) loaded += std::string(" ") + dll;
  report.check(loaded.empty(), scope + ": no stand-in was loaded", "loaded:" + loaded);
  remove_planted();
}
