// The Cleaning run seen from outside: a click on "&Aktion durchführen." or
// the automatic run at start empties the URL cache and, as the boxes say,
// the temporary folder, and the completion box follows about 2.5 s later.
#include <windows.h>
#include <wininet.h>

#include <cstring>
#include <vector>

#include "scenario.h"
#include "base/Cp1252.h"

namespace {

const std::string kCompletionText = u8"Ihre gewählte Option wurde ausgeführt"_cp1252;

}  // namespace

int fill_url_cache(int count) {
  int added = 0;
  for (int i = 0; i < count; ++i) {
    std::string url = "http://e2e.spurwisch.example/page" + std::to_string(i) + ".html";
    char file[MAX_PATH] = {};
    if (!CreateUrlCacheEntryA(url.c_str(), 0, "html", file, 0)) continue;
    HANDLE h = CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) continue;
    DWORD written = 0;
    WriteFile(h, "<html></html>", 13, &written, nullptr);
    CloseHandle(h);
    FILETIME none{};
    if (CommitUrlCacheEntryA(url.c_str(), file, none, none, NORMAL_CACHE_ENTRY, nullptr, 0, nullptr, nullptr))
      ++added;
  }
  return added;
}

int count_url_cache() {
  int count = 0;
  DWORD size = 0;
  FindFirstUrlCacheEntryA(nullptr, nullptr, &size);
  std::string buffer(size ? size : 1, '\0');
  auto* info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
  HANDLE find = FindFirstUrlCacheEntryA(nullptr, info, &size);
  if (!find) return 0;
  do {
    ++count;
    size = 0;
    FindNextUrlCacheEntryA(find, nullptr, &size);
    buffer.assign(size ? size : 1, '\0');
    info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
  } while (FindNextUrlCacheEntryA(find, info, &size));
  FindCloseUrlCache(find);
  return count;
}

namespace {

// A file directly in the temporary folder that the program records at start.
std::string make_temp_file(const std::string& name) {
  char folder[MAX_PATH + 1] = {};
  DWORD n = GetTempPathA(MAX_PATH, folder);
  std::string path = std::string(folder, n) + name;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  return path;
}

void check_cache_empty(Report& report, const std::string& scope) {
  int left = count_url_cache();
  report.check(left == 0, scope + ": URL cache empty", std::to_string(left) + " entries left");
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

// Waits for the program's completion box and checks it; closes it. Returns
// the milliseconds from START until the box was seen.
DWORD check_completion_box(Report& report, const Process& program, DWORD start, const std::string& scope,
                           const std::string& artifacts, const std::string& shot) {
  HWND box = wait_window(program.id, "#32770", 15000);
  DWORD elapsed = GetTickCount() - start;
  if (!report.check(box != nullptr, scope + ": completion box shown", "no message box within 15 s")) return elapsed;
  report.check(text_of(box) == "Information", scope + ": box caption \"Information\"", quoted(text_of(box)));
  HWND text = GetDlgItem(box, 0xFFFF);
  report.check(text && text_of(text) == kCompletionText, scope + ": box text " + quoted(kCompletionText),
               text ? quoted(text_of(text)) : "no text control");
  report.check(GetWindow(box, GW_OWNER) == nullptr, scope + ": box has no owner window");
  save_screenshot(report, box, artifacts, shot);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  report.check(wait_destroyed(box, 5000), scope + ": box closes with OK");
  // No second box follows for the same run.
  Sleep(3000);
  report.check(find_window(program.id, "#32770") == nullptr, scope + ": no second box");
  return elapsed;
}

void check_cleaning_click(Report& report, const Process& program, HWND main, const std::string& artifacts) {
  const std::string scope = "cleaning click";
  int added = fill_url_cache(30);
  report.check(added == 30 && count_url_cache() >= 30, scope + ": 30 URL cache entries prepared",
               "added " + std::to_string(added));
  std::string temp_file = make_temp_file("spw-e2e-click.tmp");
  report.check(exists(temp_file), scope + ": a file in the temporary folder prepared", temp_file);

  HWND button = find_child(main, "TButton", u8"&Aktion durchführen."_cp1252);
  if (!report.check(button != nullptr, scope + u8": button \"&Aktion durchführen.\" found"_cp1252)) return;
  DWORD start = GetTickCount();
  post_click(button);
  DWORD elapsed = check_completion_box(report, program, start, scope, artifacts, "cleaning-done.png");
  report.check(elapsed >= 2000 && elapsed <= 4500, scope + ": box about 2.5 s after the click",
               "after " + std::to_string(elapsed) + " ms");
  check_cache_empty(report, scope);
  report.check(!exists(temp_file), scope + ": temporary folder purged", temp_file + " still there");
}

void check_auto_start_run(Report& report, const Process& program, DWORD started, const std::string& temp_file,
                          const std::string& artifacts) {
  const std::string scope = "auto-start, all boxes off";
  check_completion_box(report, program, started, scope, artifacts, "auto-start-done.png");
  check_cache_empty(report, scope);
  report.check(exists(temp_file), scope + ": temporary folder untouched", temp_file + " was deleted");
  DeleteFileA(temp_file.c_str());
}

std::string prepare_auto_start_run(Report& report) {
  int added = fill_url_cache(20);
  report.check(added == 20, "auto-start: 20 URL cache entries prepared", "added " + std::to_string(added));
  return make_temp_file("spw-e2e-auto.tmp");
}

// ---- TMP and TEMP as the user's registry sets them ----

namespace {

const char kTempCwd[] = "C:\\spw-e2e\\cwd";
const char kQualifiedTemp[] = "C:\\spw-e2e\\qualified";

// A text value of HKCU\Environment; false when it is missing.
bool read_environment_value(const char* name, std::string& value, DWORD& type) {
  char data[2048];
  DWORD size = sizeof data;
  if (RegGetValueA(HKEY_CURRENT_USER, "Environment", name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &type,
                   data, &size) != ERROR_SUCCESS)
    return false;
  value = data;
  return true;
}

bool write_environment_value(const char* name, const std::string& value, DWORD type = REG_SZ) {
  return RegSetKeyValueA(HKEY_CURRENT_USER, "Environment", name, type, value.c_str(), DWORD(value.size() + 1)) ==
         ERROR_SUCCESS;
}

// Puts a value of HKCU\Environment back as it was.
class SavedEnvironmentValue {
 public:
  explicit SavedEnvironmentValue(const char* name) : name_(name) { existed_ = read_environment_value(name, value_, type_); }
  ~SavedEnvironmentValue() {
    if (existed_) write_environment_value(name_, value_, type_);
    else RegDeleteKeyValueA(HKEY_CURRENT_USER, "Environment", name_);
  }
  SavedEnvironmentValue(const SavedEnvironmentValue&) = delete;
  SavedEnvironmentValue& operator=(const SavedEnvironmentValue&) = delete;

 private:
  const char* name_;
  std::string value_;
  DWORD type_ = REG_SZ;
  bool existed_ = false;
};

// The environment the shell gives a program it starts after the user changed
// TMP and TEMP in the registry: ours, with those two read from the key. (Wine
// reads the key only for processes started from Unix: a child of this driver
// would inherit the driver's values.)
std::string environment_from_registry() {
  std::string values[2];
  DWORD type = 0;
  read_environment_value("TMP", values[0], type);
  read_environment_value("TEMP", values[1], type);
  return environment_with_temp(values[0], values[1]);
}

// Two files and a subfolder holding a file, in FOLDER; returns their paths.
std::vector<std::string> make_canaries(Report& report, const std::string& folder, const std::string& scope) {
  std::vector<std::string> paths = {folder + "\\canary.txt", folder + "\\canary.log", folder + "\\sub",
                                    folder + "\\sub\\inner.txt"};
  CreateDirectoryA(folder.c_str(), nullptr);
  CreateDirectoryA(paths[2].c_str(), nullptr);
  bool made = true;
  for (int i : {0, 1, 3}) {
    UniqueHandle file(CreateFileA(paths[i].c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    made = made && file.get() != INVALID_HANDLE_VALUE;
  }
  report.check(made, scope + ": canaries in " + folder + " prepared");
  return paths;
}

// Sets TMP and TEMP in HKCU\Environment to VALUE, starts the program in
// kTempCwd, clicks "&Aktion durchführen." with every box checked and closes
// the program. The canaries in kTempCwd and kTempCwd\rel must survive; those
// in PURGED (may be empty) must be gone.
void check_temp_variable_run(Report& report, const std::string& exe, const std::string& value,
                             const std::string& purged, const std::string& artifacts, const std::string& shot) {
  const std::string scope = "TMP=TEMP=" + value;
  std::vector<std::string> kept = make_canaries(report, kTempCwd, scope), gone;
  for (const std::string& path : make_canaries(report, std::string(kTempCwd) + "\\rel", scope)) kept.push_back(path);
  if (!purged.empty()) gone = make_canaries(report, purged, scope);

  SavedEnvironmentValue saved_tmp("TMP"), saved_temp("TEMP");
  if (!report.check(write_environment_value("TMP", value) && write_environment_value("TEMP", value),
                    scope + ": set in HKCU\\Environment"))
    return;
  Process program = start_process(exe, kTempCwd, environment_from_registry());
  if (program.handle) close_splash(report, program, scope);
  HWND main = program.handle ? wait_window(program.id, "TForm1", 30000) : nullptr;
  HWND button = main ? find_child(main, "TButton", u8"&Aktion durchführen."_cp1252) : nullptr;
  if (report.check(button != nullptr,
                   scope + ": started in " + kTempCwd + u8", \"&Aktion durchführen.\" found"_cp1252)) {
    WaitForInputIdle(program.handle.get(), 10000);
    post_click(button);
    check_completion_box(report, program, GetTickCount(), scope, artifacts, shot);
    post_click(find_child(main, "TBitBtn", "&Close"));
  }
  bool ended = wait_exit(program, 15000);
  DWORD code = 0;
  GetExitCodeProcess(program.handle.get(), &code);
  report.check(ended && code == 0, scope + ": program ends with exit code 0",
               ended ? "exit code " + std::to_string(code) : "still running after 15 s");
  kill_if_running(program);

  std::string lost, left;
  for (const std::string& path : kept) lost += exists(path) ? "" : " " + path;
  for (const std::string& path : gone) left += exists(path) ? " " + path : "";
  report.check(lost.empty(), scope + ": current directory and its \"rel\" folder untouched", "deleted:" + lost);
  if (!purged.empty()) report.check(left.empty(), scope + ": the folder it names is purged", "still there:" + left);
}

}  // namespace

void check_temp_variable_runs(Report& report, const std::string& exe, const std::string& artifacts) {
  check_temp_variable_run(report, exe, ".", "", artifacts, "temp-dot-done.png");
  check_temp_variable_run(report, exe, "rel", "", artifacts, "temp-rel-done.png");
  // Set the same way, a fully qualified folder is purged: the value reaches the program.
  check_temp_variable_run(report, exe, kQualifiedTemp, kQualifiedTemp, artifacts, "temp-qualified-done.png");
}
