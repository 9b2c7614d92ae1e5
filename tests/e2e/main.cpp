// End-to-end driver: starts spurwisch.exe from a sandbox folder and works it
// from outside through Win32 messages, as an automation tool would.
//
//   e2e_driver --scenario NAME PROGRAM.exe ARTIFACTS_DIR [GALLERY.exe]
//                                          one scenario in a sandbox of its
//                                          own; prints one line per check and
//                                          "N passed, M failed"
//   e2e_driver --check-scenarios NAME...    the names ctest registers are all
//                                          the driver's scenarios
//   e2e_driver --reset-display-scale        sets LogPixels back after a stopped run
//   e2e_driver --wait-window CLASS SECONDS  waits for a visible top-level window
//   e2e_driver --close-window CLASS         posts WM_CLOSE to it
// Paths may be Unix paths (/...): under Wine they are reached through drive Z:.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <algorithm>
#include <iterator>
#include <vector>

#include <windows.h>
#include <psapi.h>

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

// ---- a known state of the prefix before each scenario ----

// Where a scenario works: the program (and the gallery program) as built,
// the program's copy in the scenario's own folder and the settings file
// beside that copy.
struct Sandbox {
  std::string exe, artifacts, gallery;
  std::string folder, copy, settings;
};

// Every program started from below C:\spw-e2e that still runs: a scenario
// that failed half-way may have left one.
void end_left_programs() {
  DWORD ids[4096], bytes = 0;
  if (!EnumProcesses(ids, sizeof ids, &bytes)) return;
  for (DWORD i = 0; i < bytes / sizeof(DWORD); ++i) {
    UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, ids[i]));
    if (!process) continue;
    wchar_t image[1024];
    DWORD size = 1024;
    if (!QueryFullProcessImageNameW(process.get(), 0, image, &size)) continue;
    if (_wcsnicmp(image, L"C:\\spw-e2e\\", 11) != 0) continue;
    TerminateProcess(process.get(), 99);
    WaitForSingleObject(process.get(), 5000);
  }
}

void delete_internet_setting(const char* name) {
  RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings", name);
}

// The scenario's own sandbox folder C:\spw-e2e\NAME with a fresh copy of the
// program and no settings file, none in the working directory either (where
// it must not be written), no program left running from an earlier scenario,
// the URL history object registered, no proxy values and the prefix's own
// display scale: every scenario starts from there, whatever ran before it.
bool prepare_sandbox(Report& report, Sandbox& sandbox, const std::string& name) {
  end_left_programs();
  restore_display_scale();
  unregister_history_object(false);
  delete_internet_setting("ProxyEnable");
  delete_internet_setting("AutoConfigURL");
  sandbox.folder = "C:\\spw-e2e\\" + name;
  sandbox.copy = sandbox.folder + "\\spurwisch.exe";
  sandbox.settings = sandbox.folder + "\\spurwisch.cfg";
  CreateDirectoryA("C:\\spw-e2e", nullptr);
  CreateDirectoryA(sandbox.folder.c_str(), nullptr);
  CreateDirectoryA(sandbox.artifacts.c_str(), nullptr);
  DeleteFileA(sandbox.settings.c_str());
  DeleteFileA((std::string(kWorkingDir) + "spurwisch.cfg").c_str());
  bool copied = CopyFileA(sandbox.exe.c_str(), sandbox.copy.c_str(), FALSE) != 0;
  return report.check(copied && !file_exists(sandbox.settings), "sandbox " + sandbox.folder + " prepared",
                      "cannot copy " + sandbox.exe + " there");
}

// ---- the starts of the sandbox copy ----

// Starts the sandbox copy and waits for its main window.
HWND start_program(Report& report, const Sandbox& sandbox, Process& program, const std::string& scope) {
  program = start_process(sandbox.copy, kWorkingDir);
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

void check_settings_file(Report& report, const Sandbox& sandbox, const std::string& expected,
                         const std::string& scope) {
  std::string bytes;
  bool read = read_file(sandbox.settings, bytes);
  report.check(read && bytes == expected, scope + ": spurwisch.cfg beside the exe is " + quoted(expected),
               read ? "holds " + quoted(bytes) : "missing");
}

// With no settings file: the program starts with every deletion option on,
// CHECKS works the shown main window, the program is ended by "&Close" (or
// by CHECKS itself) and writes the defaults beside itself, not into its
// working directory.
void with_first_start(Report& report, const Sandbox& sandbox, const std::string& scope,
                      const std::function<void(const Process&, HWND)>& checks) {
  Process program;
  HWND main = start_program(report, sandbox, program, scope);
  if (!main) return kill_if_running(program);
  checks(program, main);
  if (is_running(program)) close_program(report, program, find_child(main, "TBitBtn", "&Close"), scope);
  kill_if_running(program);
  check_settings_file(report, sandbox, kDefaultsFile, scope);
  report.check(!file_exists(std::string(kWorkingDir) + "spurwisch.cfg"),
               scope + ": no spurwisch.cfg in the working directory",
               std::string(kWorkingDir) + "spurwisch.cfg was written");
}

// A start with SETTINGS as the settings file: CHECKS works the main window,
// "&Close" ends the program, which writes the file back as it was.
void with_settings_start(Report& report, const Sandbox& sandbox, const char* settings, const std::string& scope,
                         const std::function<void(const Process&, HWND)>& checks) {
  if (!report.check(write_file(sandbox.settings, settings), scope + ": settings file " + quoted(settings) + " written"))
    return;
  Process program;
  HWND main = start_program(report, sandbox, program, scope);
  if (!main) return kill_if_running(program);
  checks(program, main);
  close_program(report, program, find_child(main, "TBitBtn", "&Close"), scope);
  kill_if_running(program);
  check_settings_file(report, sandbox, settings, scope);
}

// ---- the scenarios ----

void scenario_executable(Report& report, const Sandbox& sandbox) {
  check_executable(report, sandbox.exe);
  check_manifest(report, sandbox.exe);
}

void scenario_main_window(Report& report, const Sandbox& sandbox) {
  with_first_start(report, sandbox, "main window", [&](const Process&, HWND main) {
    check_main_window(report, main, sandbox.artifacts);
    check_flat_look(report, main, sandbox.artifacts);
  });
}

void scenario_dialogs(Report& report, const Sandbox& sandbox) {
  with_first_start(report, sandbox, "dialogs", [&](const Process& program, HWND main) {
    HWND about = find_child(main, "TButton", "A&bout"), options = find_child(main, "TButton", "Startoptionen");
    report.check(about && options, "dialogs: buttons \"A&bout\" and \"Startoptionen\" found");
    check_about_dialog(report, program, main, about, sandbox.artifacts);
    check_options_dialog(report, program, main, options, sandbox.artifacts);
  });
}

void scenario_cleaning_click(Report& report, const Sandbox& sandbox) {
  with_first_start(report, sandbox, "cleaning click", [&](const Process& program, HWND main) {
    check_cleaning_click(report, program, main, sandbox.artifacts);
  });
}

void scenario_start_page(Report& report, const Sandbox& sandbox) {
  with_first_start(report, sandbox, "start page", [&](const Process& program, HWND main) {
    check_start_page_button(report, program, main, sandbox.artifacts);
  });
}

void scenario_tray(Report& report, const Sandbox& sandbox) {
  with_first_start(report, sandbox, "tray", [&](const Process& program, HWND main) {
    check_tray(report, program, main, sandbox.artifacts);  // ends with "Programm beenden"
  });
}

void scenario_all_off_start(Report& report, const Sandbox& sandbox) {
  with_settings_start(report, sandbox, kAllOffFile, "all-off start", [&](const Process&, HWND main) {
    check_deletion_options(report, main, BST_UNCHECKED, "from an all-off settings file");
  });
}

void scenario_auto_start(Report& report, const Sandbox& sandbox) {
  std::string temp_file = prepare_auto_start_run(report);
  DWORD started = GetTickCount();
  with_settings_start(report, sandbox, kAutoStartFile, "auto-start", [&](const Process& program, HWND) {
    check_auto_start_run(report, program, started, temp_file, sandbox.artifacts);
  });
}

void scenario_temp_variables(Report& report, const Sandbox& sandbox) {
  if (report.check(write_file(sandbox.settings, kDefaultsFile), "settings file all boxes on written"))
    check_temp_variable_runs(report, sandbox.copy, sandbox.artifacts);
}

void scenario_minimised_start(Report& report, const Sandbox& sandbox) {
  const std::string scope = "minimised start";
  if (!report.check(write_file(sandbox.settings, kMinimisedFile), scope + ": settings file written")) return;
  Process program = start_process(sandbox.copy, kWorkingDir);
  if (!report.check(program.handle != nullptr, scope + ": program starts")) return;
  HWND main = check_minimised_start(report, program);
  close_program(report, program, main ? find_child(main, "TBitBtn", "&Close") : nullptr, scope);
  kill_if_running(program);
  check_settings_file(report, sandbox, kMinimisedFile, scope);
}

void scenario_splash_start(Report& report, const Sandbox& sandbox) {
  check_splash_start(report, sandbox.copy, sandbox.settings, sandbox.artifacts);
}

void scenario_folder_in_any_script(Report& report, const Sandbox& sandbox) {
  check_folder_in_any_script(report, sandbox.copy);
}

void scenario_display_scale(Report& report, const Sandbox& sandbox) {
  check_display_scales(report, sandbox.exe, sandbox.gallery, sandbox.artifacts);
}

void scenario_planted_dlls(Report& report, const Sandbox& sandbox) {
  check_planted_dlls(report, sandbox.exe, sandbox.artifacts);
}

// A scenario works either the whole sandbox or, as most start-up scenarios
// do, only the sandbox copy and its settings file, which it writes itself.
struct Scenario {
  const char* name;
  void (*run)(Report&, const Sandbox&);
  void (*run_copy)(Report&, const std::string& copy, const std::string& settings);
};

// Each is one ctest entry (tests/e2e/e2e.cmake lists the same names) and
// runs alone, in any order.
const Scenario kScenarios[] = {
    {"executable", scenario_executable, nullptr},
    {"main_window", scenario_main_window, nullptr},
    {"dialogs", scenario_dialogs, nullptr},
    {"cleaning_click", scenario_cleaning_click, nullptr},
    {"start_page", scenario_start_page, nullptr},
    {"tray", scenario_tray, nullptr},
    {"all_off_start", scenario_all_off_start, nullptr},
    {"auto_start", scenario_auto_start, nullptr},
    {"temp_variables", scenario_temp_variables, nullptr},
    {"minimised_start", scenario_minimised_start, nullptr},
    {"splash_start", scenario_splash_start, nullptr},
    {"minimised_auto_start", nullptr, check_minimised_auto_start},
    {"failing_auto_start", nullptr, check_failing_auto_start},
    {"log_off", nullptr, check_log_off},
    {"busy_run", nullptr, check_busy_run},
    {"tray_reachable", nullptr, check_tray_reachable},
    {"unattended", nullptr, check_unattended},
    {"folder_in_any_script", scenario_folder_in_any_script, nullptr},
    {"show_command_starts", nullptr, check_show_command_starts},
    {"display_scale", scenario_display_scale, nullptr},
    {"planted_dlls", scenario_planted_dlls, nullptr},
};

const Scenario* find_scenario(const std::string& name) {
  for (const Scenario& scenario : kScenarios)
    if (name == scenario.name) return &scenario;
  return nullptr;
}

int run_scenario(const Scenario& scenario, const std::string& exe, const std::string& artifacts,
                 const std::string& gallery) {
  Report report;
  Sandbox sandbox;
  sandbox.exe = exe;
  sandbox.artifacts = artifacts;
  sandbox.gallery = gallery;
  if (prepare_sandbox(report, sandbox, scenario.name)) {
    if (scenario.run) scenario.run(report, sandbox);
    else scenario.run_copy(report, sandbox.copy, sandbox.settings);
  }
  end_left_programs();
  report.summary();
  return report.failed() == 0 ? 0 : 1;
}

// The names ctest registers must be the driver's own, all of them: a
// scenario missing from e2e.cmake would never run.
int check_scenario_list(int count, char** names) {
  std::vector<std::string> registered(names, names + count), own;
  for (const Scenario& scenario : kScenarios) own.push_back(scenario.name);
  std::sort(registered.begin(), registered.end());
  std::sort(own.begin(), own.end());
  int missing = 0;
  for (const std::string& name : own)
    if (!std::binary_search(registered.begin(), registered.end(), name))
      ++missing, std::printf("FAIL scenario %s is not registered with ctest\n", name.c_str());
  for (const std::string& name : registered)
    if (!std::binary_search(own.begin(), own.end(), name))
      ++missing, std::printf("FAIL ctest registers %s, which the driver does not know\n", name.c_str());
  if (!missing) std::printf("ok all %zu scenarios are registered with ctest\n", own.size());
  return missing ? 1 : 0;
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
  if (first == "--check-scenarios") return check_scenario_list(argc - 2, argv + 2);
  if (first == "--reset-display-scale" && argc == 2) return restore_display_scale() ? 0 : 1;
  const Scenario* scenario = (argc == 5 || argc == 6) && first == "--scenario" ? find_scenario(argv[2]) : nullptr;
  if (!scenario) {
    std::fprintf(stderr, "usage: e2e_driver --scenario NAME PROGRAM.exe ARTIFACTS_DIR [GALLERY.exe]\n"
                         "       e2e_driver --check-scenarios NAME...\n"
                         "       e2e_driver --reset-display-scale\n"
                         "       e2e_driver --wait-window CLASS SECONDS\n"
                         "       e2e_driver --close-window CLASS\n"
                         "scenarios:");
    for (const Scenario& known : kScenarios) std::fprintf(stderr, " %s", known.name);
    std::fprintf(stderr, "\n");
    return 2;
  }
  return run_scenario(*scenario, windows_path(argv[3]), windows_path(argv[4]), argc == 6 ? windows_path(argv[5]) : "");
}
