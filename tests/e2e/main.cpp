// End-to-end driver: starts spurwisch.exe from a sandbox folder and works it
// from outside through Win32 messages, as an automation tool would.
//
//   e2e_driver PROGRAM.exe ARTIFACTS_DIR   the full run; prints one line per
//                                          check and "N passed, M failed"
//   e2e_driver --display-scale PROGRAM.exe ARTIFACTS_DIR [GALLERY.exe]
//                                          the program at 100 % to 200 %
//   e2e_driver --reset-display-scale        sets LogPixels back after a stopped run
//   e2e_driver --wait-window CLASS SECONDS  waits for a visible top-level window
//   e2e_driver --close-window CLASS         posts WM_CLOSE to it
// Paths may be Unix paths (/...): under Wine they are reached through drive Z:.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <algorithm>
#include <iterator>

#include "manifest.h"
#include "pe_imports.h"
#include "scenario.h"

bool read_file(const std::string& path, std::string& bytes) {
  std::ifstream in(utf16(path).c_str(), std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), {});
  return true;
}

bool write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(utf16(path).c_str(), std::ios::binary | std::ios::trunc);
  out << bytes;
  return bool(out.flush());
}

// Clicks "&Close" and checks the process ends normally.
void close_program(Report& report, const Process& program, HWND close_button, const std::string& scope) {
  if (close_button) post_click(close_button);
  bool ended = wait_exit(program, 15000);
  DWORD code = 0;
  GetExitCodeProcess(program.handle.get(), &code);
  report.check(close_button && ended, scope + ": \"&Close\" ends the program", "still running after 15 s");
  if (ended) report.check(code == 0, scope + ": exit code 0", "exit code " + std::to_string(code));
}

namespace {

const char kSandbox[] = "C:\\spw-e2e\\run1";
const char kWorkingDir[] = "C:\\";
const char kDefaultsFile[] = "1\r\n1\r\n1\r\n0\r\n0\r\n";
const char kAllOffFile[] = "0\r\n0\r\n0\r\n0\r\n0\r\n";
const char kAutoStartFile[] = "0\r\n0\r\n0\r\n0\r\n1\r\n";
const char kMinimisedFile[] = "1\r\n1\r\n1\r\n1\r\n0\r\n";
const size_t kMaxExeBytes = 1536 * 1024;  // 1.5 MB

std::string windows_path(std::string path) {
  if (path.empty() || path[0] != '/') return path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return "Z:" + path;
}

bool file_exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void check_executable(Report& report, const std::string& exe) {
  std::string bytes;
  if (!report.check(read_file(exe, bytes), "executable readable", exe)) return;
  report.check(bytes.size() <= kMaxExeBytes, "executable at most 1.5 MB",
               "is " + std::to_string(bytes.size()) + " bytes");
  ImportList imports = read_pe_imports(std::vector<unsigned char>(bytes.begin(), bytes.end()));
  if (!report.check(imports.ok, "import table readable", imports.error)) return;
  std::string all, searched;
  for (const std::string& dll : imports.dlls) {
    all += " " + dll;
    if (!is_known_dll(dll)) searched += " " + dll;
  }
  report.check(!imports.dlls.empty() && searched.empty(), "imports only known DLLs:" + all,
               searched.empty() ? "no imports at all" : "also imports" + searched);
}

// The application manifest as the system reads it from the executable: the
// user's own rights, Windows 7 to 11 (11 shares 10's entry), and awareness
// of each monitor's DPI, newest kind first, with the older setting for
// Windows before 10 1607.
void check_manifest(Report& report, const std::string& exe) {
  ManifestInfo manifest = read_manifest(exe);
  if (!report.check(manifest.ok, "manifest read back and accepted by the system", manifest.error)) return;
  report.check(manifest.runLevel == ACTCTX_RUN_LEVEL_AS_INVOKER && !manifest.uiAccess,
               "manifest: requestedExecutionLevel asInvoker, no uiAccess",
               "run level " + std::to_string(manifest.runLevel) + (manifest.uiAccess ? ", uiAccess" : ""));
  std::vector<std::string> expected = {
      "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
      "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // Windows 8
      "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // Windows 8.1
      "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // Windows 10 and 11
  };
  std::vector<std::string> found = manifest.supportedOS;
  std::sort(expected.begin(), expected.end());
  std::sort(found.begin(), found.end());
  std::string listed;
  for (const std::string& id : manifest.supportedOS) listed += " " + id;
  report.check(found == expected, "manifest: supportedOS Windows 7, 8, 8.1, 10 and 11", "lists" + listed);
  report.check(manifest.dpiAwareness == "PerMonitorV2, PerMonitor" && manifest.dpiAware == "true/pm",
               "manifest: dpiAwareness \"PerMonitorV2, PerMonitor\", dpiAware \"true/pm\"",
               "dpiAwareness " + quoted(manifest.dpiAwareness) + ", dpiAware " + quoted(manifest.dpiAware));
}

// A fresh copy of the program in the sandbox folder, with no settings file;
// and none in the working directory either, where it must not be written.
bool prepare_sandbox(Report& report, const std::string& exe, const std::string& artifacts) {
  CreateDirectoryA("C:\\spw-e2e", nullptr);
  CreateDirectoryA(kSandbox, nullptr);
  CreateDirectoryA(artifacts.c_str(), nullptr);
  std::string copy = std::string(kSandbox) + "\\spurwisch.exe";
  std::string settings = std::string(kSandbox) + "\\spurwisch.cfg";
  DeleteFileA(settings.c_str());
  DeleteFileA((std::string(kWorkingDir) + "spurwisch.cfg").c_str());
  bool copied = CopyFileA(exe.c_str(), copy.c_str(), FALSE) != 0;
  return report.check(copied && !file_exists(settings), std::string("sandbox ") + kSandbox + " prepared",
                      "cannot copy " + exe + " there");
}

// Starts the sandbox copy and waits for its main window.
HWND start_program(Report& report, Process& program, const std::string& scope) {
  program = start_process(std::string(kSandbox) + "\\spurwisch.exe", kWorkingDir);
  if (!report.check(program.handle != nullptr, scope + ": program starts",
                    "CreateProcess failed, error " + std::to_string(GetLastError())))
    return nullptr;
  // The splash picture is closed at once; its own check times it.
  if (!close_splash(report, program, scope)) return nullptr;
  HWND main = wait_window(program.id, "TForm1", 30000);
  std::string why = is_running(program) ? "no visible TForm1 within 30 s" : "the process ended";
  if (!report.check(main != nullptr, scope + ": main window TForm1 visible", why)) return nullptr;
  WaitForInputIdle(program.handle.get(), 10000);
  return main;
}

void check_settings_file(Report& report, const std::string& expected, const std::string& scope) {
  std::string bytes;
  bool read = read_file(std::string(kSandbox) + "\\spurwisch.cfg", bytes);
  report.check(read && bytes == expected, scope + ": spurwisch.cfg beside the exe is " + quoted(expected),
               read ? "holds " + quoted(bytes) : "missing");
}

void run_scenarios(Report& report, const std::string& exe, const std::string& artifacts) {
  if (!prepare_sandbox(report, exe, artifacts)) return;

  Process program;
  HWND main = start_program(report, program, "first start");
  if (!main) return kill_if_running(program);
  MainButtons buttons = check_main_window(report, main, artifacts);
  check_flat_look(report, main, artifacts);
  check_about_dialog(report, program, main, buttons.about, artifacts);
  check_options_dialog(report, program, main, buttons.options, artifacts);
  check_cleaning_click(report, program, main, artifacts);
  check_start_page_button(report, program, main, artifacts);
  check_tray(report, program, main, artifacts);  // ends with "Programm beenden"
  kill_if_running(program);
  check_settings_file(report, kDefaultsFile, "first start");
  report.check(!file_exists(std::string(kWorkingDir) + "spurwisch.cfg"), "no spurwisch.cfg in the working directory",
               std::string(kWorkingDir) + "spurwisch.cfg was written");

  if (!report.check(write_file(std::string(kSandbox) + "\\spurwisch.cfg", kAllOffFile), "settings file all off written"))
    return;
  main = start_program(report, program, "second start");
  if (!main) return kill_if_running(program);
  check_deletion_options(report, main, BST_UNCHECKED, "from an all-off settings file");
  close_program(report, program, find_child(main, "TBitBtn", "&Close"), "second start");
  kill_if_running(program);
  check_settings_file(report, kAllOffFile, "second start");

  if (!report.check(write_file(std::string(kSandbox) + "\\spurwisch.cfg", kAutoStartFile), "settings file auto-start written"))
    return;
  std::string temp_file = prepare_auto_start_run(report);
  DWORD started = GetTickCount();
  main = start_program(report, program, "third start");
  if (!main) return kill_if_running(program);
  check_auto_start_run(report, program, started, temp_file, artifacts);
  close_program(report, program, find_child(main, "TBitBtn", "&Close"), "third start");
  kill_if_running(program);
  check_settings_file(report, kAutoStartFile, "third start");

  if (!report.check(write_file(std::string(kSandbox) + "\\spurwisch.cfg", kDefaultsFile), "settings file all boxes on written"))
    return;
  check_temp_variable_runs(report, std::string(kSandbox) + "\\spurwisch.exe", artifacts);

  if (!report.check(write_file(std::string(kSandbox) + "\\spurwisch.cfg", kMinimisedFile),
                    "settings file start-minimised written"))
    return;
  program = start_process(std::string(kSandbox) + "\\spurwisch.exe", kWorkingDir);
  if (!report.check(program.handle != nullptr, "fourth start: program starts")) return;
  main = check_minimised_start(report, program);
  close_program(report, program, main ? find_child(main, "TBitBtn", "&Close") : nullptr, "fourth start");
  kill_if_running(program);
  check_settings_file(report, kMinimisedFile, "fourth start");

  const std::string copy = std::string(kSandbox) + "\\spurwisch.exe";
  const std::string settings = std::string(kSandbox) + "\\spurwisch.cfg";
  check_splash_start(report, copy, settings, artifacts);
  check_minimised_auto_start(report, copy, settings);
  check_failing_auto_start(report, copy, settings);
  check_log_off(report, copy, settings);
  check_busy_run(report, copy, settings);
  check_tray_reachable(report, copy, settings);
  check_unattended(report, copy, settings);
  check_folder_in_any_script(report, copy);
  check_show_command_starts(report, copy, settings);
}

void run_all(Report& report, const std::string& exe, const std::string& artifacts) {
  check_executable(report, exe);
  check_manifest(report, exe);
  run_scenarios(report, exe, artifacts);
  check_planted_dlls(report, exe, artifacts);
}

int wait_window_mode(const std::string& cls, int seconds) {
  HWND h = wait_window(0, cls, DWORD(seconds) * 1000);
  std::printf(h ? "%s window is up\n" : "no %s window within the time\n", cls.c_str());
  return h ? 0 : 1;
}

int close_window_mode(const std::string& cls) {
  HWND h = find_window(0, cls);
  if (h) PostMessageA(h, WM_CLOSE, 0, 0);
  return h ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string first = argc > 1 ? argv[1] : "";
  if (first == "--wait-window" && argc == 4) return wait_window_mode(argv[2], std::atoi(argv[3]));
  if (first == "--close-window" && argc == 3) return close_window_mode(argv[2]);
  if (first == "--reset-display-scale" && argc == 2) return restore_display_scale() ? 0 : 1;
  if (first == "--display-scale" && (argc == 4 || argc == 5)) {
    Report report;
    check_display_scales(report, windows_path(argv[2]), argc == 5 ? windows_path(argv[4]) : "",
                         windows_path(argv[3]));
    report.summary();
    return report.failed() == 0 ? 0 : 1;
  }
  if (argc != 3 || first.rfind("--", 0) == 0) {
    std::fprintf(stderr, "usage: e2e_driver PROGRAM.exe ARTIFACTS_DIR\n"
                         "       e2e_driver --display-scale PROGRAM.exe ARTIFACTS_DIR [GALLERY.exe]\n"
                         "       e2e_driver --reset-display-scale\n"
                         "       e2e_driver --wait-window CLASS SECONDS\n"
                         "       e2e_driver --close-window CLASS\n");
    return 2;
  }
  Report report;
  run_all(report, windows_path(argv[1]), windows_path(argv[2]));
  report.summary();
  return report.failed() == 0 ? 0 : 1;
}
