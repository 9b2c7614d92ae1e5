// The program started without its window: /preview over a fixture of cache
// entries, temporary files and folders, a bin item and a recent document
// changes nothing and counts them; /clean then deletes what the preview
// counted. Exit codes, the report file, redirected output, no window.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/Cp1252.h"
#include "scenario.h"

namespace {

const std::string kRoot = "C:\\spw-e2e\\unattended";
const std::string kTemp = kRoot + "\\Temp";
const char kAllOn[] = "1\r\n1\r\n1\r\n0\r\n0\r\n";

struct Outcome {
  DWORD code = 99;
  bool window = false;  // a visible window of the program was seen
  std::string output;   // what it wrote to its standard output
};

bool visible_window_of(DWORD pid) {
  struct Search {
    DWORD pid;
    bool found;
  } search{pid, false};
  EnumWindows(
      [](HWND h, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (owner == s->pid && IsWindowVisible(h)) s->found = true;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Runs the program with the arguments, its standard output on a pipe, and
// watches for a window of it until it ends. XDG: the program's XDG_DATA_HOME
// (Wine's trash lies below it), when not empty.
Outcome run(const std::string& exe, const std::string& arguments, const std::string& xdg = "") {
  Outcome outcome;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  if (!CreatePipe(&read, &write, &inherit, 1 << 16)) return outcome;
  UniqueHandle reader(read), writer(write);
  SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = si.hStdError = write;
  std::string command = "\"" + exe + "\" " + arguments, environment = environment_with_temp(kTemp, kTemp);
  if (!xdg.empty()) {
    // The block ends with two zeros; the variable goes before the last.
    for (std::size_t at = 0; at < environment.size(); at += std::strlen(environment.c_str() + at) + 1)
      if (_strnicmp(environment.c_str() + at, "XDG_DATA_HOME=", 14) == 0) environment[at] = '_';
    environment.insert(environment.size() - 1, "XDG_DATA_HOME=" + xdg + '\0');
  }
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, TRUE, 0, environment.data(), "C:\\", &si, &pi))
    return outcome;
  UniqueHandle process(pi.hProcess), thread(pi.hThread);
  writer.reset();
  for (DWORD waited = 0; WaitForSingleObject(process.get(), 10) == WAIT_TIMEOUT && waited < 60000; waited += 10)
    outcome.window |= visible_window_of(pi.dwProcessId);
  GetExitCodeProcess(process.get(), &outcome.code);
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got) outcome.output.append(buffer, got);
  return outcome;
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void write_small(const std::string& path) { write_file(path, "spurwisch"); }

// Temp: three files, a read-only one, a subfolder with two files.
void make_fixture() {
  CreateDirectoryA("C:\\spw-e2e", nullptr);
  CreateDirectoryA(kRoot.c_str(), nullptr);
  CreateDirectoryA(kTemp.c_str(), nullptr);
  for (const char* name : {"a.tmp", "b.tmp", "c.log", "ro.tmp"}) write_small(kTemp + "\\" + name);
  SetFileAttributesA((kTemp + "\\ro.tmp").c_str(), FILE_ATTRIBUTE_READONLY);
  CreateDirectoryA((kTemp + "\\sub").c_str(), nullptr);
  for (const char* name : {"x.dat", "y.dat"}) write_small(kTemp + "\\sub\\" + name);
}

unsigned long long bin_items() {
  SHQUERYRBINFO info{};
  info.cbSize = sizeof info;
  return SUCCEEDED(SHQueryRecycleBinA(nullptr, &info)) ? static_cast<unsigned long long>(info.i64NumItems) : 0;
}

// A file of the fixture put into the recycle bin, as the shell does.
void bin_a_file() {
  std::string file = kRoot + "\\binned-" + std::to_string(GetTickCount()) + ".txt";
  write_small(file);
  char from[MAX_PATH + 2] = {};
  std::strcpy(from, file.c_str());
  SHFILEOPSTRUCTA operation{};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from;
  operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT;
  SHFileOperationA(&operation);
}

bool recent_documents_listed() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs", 0,
                    KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

std::string line_of(const std::string& text, const std::string& key) {
  std::size_t at = text.find(key + ": ");
  return at == std::string::npos ? "" : text.substr(at, text.find("\r\n", at) - at);
}

// The exit code a report of a run with nothing else failing must come with:
// Wine's URL history object does not implement ClearHistory (E_NOTIMPL),
// which a run reports and ends with 1; where it does, with 0.
DWORD code_for(const std::string& text) {
  std::string history = line_of(text, "Verlauf");
  return history == "Verlauf: geleert" ? 0 : history == "Verlauf: Fehler 0x80004001" ? 1 : 99;
}

}  // namespace

void check_unattended_safety(Report& report, const std::string& exe, const std::string& settings);

void check_unattended(Report& report, const std::string& exe, const std::string& settings) {
  const std::string scope = "unattended";
  write_file(settings, kAllOn);
  make_fixture();
  bin_a_file();
  std::string document = kRoot + "\\recent.txt";
  write_small(document);
  SHAddToRecentDocs(SHARD_PATHA, document.c_str());
  int cached = fill_url_cache(5) ? count_url_cache() : 0;
  unsigned long long binned = bin_items();
  std::string reportFile = kRoot + "\\bericht.txt";
  DeleteFileA(reportFile.c_str());
  report.check(cached >= 5 && binned >= 1 && recent_documents_listed(), scope + ": fixture of cache, bin and documents");

  Outcome preview = run(exe, "/preview /report " + reportFile);
  std::string counted;
  read_file(reportFile, counted);
  report.check(preview.code == 0 && !preview.window, scope + ": /preview ends with 0 and shows no window",
               "exit code " + std::to_string(preview.code));
  report.check(line_of(counted, "Cache").rfind("Cache: " + std::to_string(cached) + u8" Einträge würden gelöscht, "_cp1252, 0) == 0 &&
                   line_of(counted, "Temp").rfind(u8"Temp: 3 Dateien würden gelöscht (1 KB), 1 blieben (schreibgeschützt 1,"_cp1252, 0) == 0 &&
                   line_of(counted, "Temp").find(u8"1 Ordner kämen in den Papierkorb, 0 Ordner blieben"_cp1252) != std::string::npos &&
                   line_of(counted, "Papierkorb").rfind("Papierkorb: " + std::to_string(binned) + u8" Objekte würden"_cp1252, 0) == 0,
               scope + ": the preview counts the fixture", quoted(counted));
  report.check(count_url_cache() == cached && exists(kTemp + "\\a.tmp") && exists(kTemp + "\\sub\\x.dat") &&
                   bin_items() == binned && recent_documents_listed(),
               scope + ": the preview changed nothing");
  Outcome piped = run(exe, "/preview");
  report.check(piped.code == 0 && piped.output == counted, scope + ": without /report the report goes to a redirected output, as Windows-1252",
               quoted(piped.output));

  for (const char* bad : {"/clean /preview", "/clean /report", "/report x.txt"}) {
    Outcome refused = run(exe, bad);
    report.check(refused.code == 2 && !refused.output.empty() && exists(kTemp + "\\a.tmp"),
                 scope + ": " + bad + " is refused with exit code 2", "exit code " + std::to_string(refused.code));
  }
  if (report.check(unregister_history_object(true), scope + ": history object unregistered")) {
    Outcome failed = run(exe, "/clean /report " + reportFile);
    std::string text;
    read_file(reportFile, text);
    report.check(failed.code == 1 && text.rfind("Verlauf: Fehler", 0) == 0 && exists(kTemp + "\\a.tmp"),
                 scope + ": without the history object /clean ends with 1 and touches nothing else", quoted(text));
    report.check(unregister_history_object(false), scope + ": history object registered again");
  }

  std::string before;
  read_file(settings, before);
  Outcome cleaned = run(exe, "/clean /report " + reportFile);
  std::string done;
  read_file(reportFile, done);
  report.check(cleaned.code == code_for(done) && !cleaned.window,
               scope + ": /clean ends with the code its report calls for and shows no window",
               "exit code " + std::to_string(cleaned.code) + " for " + quoted(line_of(done, "Verlauf")));
  report.check(line_of(done, "Cache").rfind("Cache: " + std::to_string(cached) + u8" Einträge gelöscht"_cp1252, 0) == 0 &&
                   line_of(done, "Temp").rfind(u8"Temp: 3 Dateien gelöscht (1 KB), 1 behalten (schreibgeschützt 1,"_cp1252, 0) == 0 &&
                   line_of(done, "Temp").find("1 Ordner in den Papierkorb, 0 Ordner behalten") != std::string::npos,
               scope + ": /clean deletes what the preview counted", quoted(done));
  report.check(count_url_cache() == 0 && !exists(kTemp + "\\a.tmp") && !exists(kTemp + "\\sub") &&
                   exists(kTemp + "\\ro.tmp") && !recent_documents_listed(),
               scope + ": cache, temporary files, folder and documents list are gone, the read-only file stays");
  std::string after;
  read_file(settings, after);
  report.check(after == before, scope + ": the settings file is read, not written");
  SetFileAttributesA((kTemp + "\\ro.tmp").c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA((kTemp + "\\ro.tmp").c_str());
  check_unattended_safety(report, exe, settings);
}

namespace {

FILETIME last_change(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
  return data.ftLastWriteTime;
}

}  // namespace

// No settings file: nothing runs. A trash out of reach: the plain subfolder
// stays, and the report says why. A preview: every file keeps its time and
// the lock another program holds on it.
void check_unattended_safety(Report& report, const std::string& exe, const std::string& settings) {
  const std::string scope = "unattended";
  make_fixture();
  DeleteFileA(settings.c_str());
  Outcome bare = run(exe, "/clean");
  report.check(bare.code == 2 && bare.output.rfind("keine Einstellungen: ", 0) == 0 && exists(kTemp + "\\a.tmp") &&
                   exists(kTemp + "\\sub\\x.dat"),
               scope + ": without a settings file /clean ends with 2 and touches nothing", quoted(bare.output));

  // Wine's trash lies below XDG_DATA_HOME, which a file in the way makes
  // unreachable (a Unix path, reached through drive Z:).
  const char* xdg = std::getenv("XDG_DATA_HOME");
  std::string blocker = std::string(xdg ? xdg : "/nonexistent") + "-unreachable", blocker_file = "Z:" + blocker;
  for (char& c : blocker_file)
    if (c == '/') c = '\\';
  write_small(blocker_file);
  write_file(settings, "0\r\n1\r\n0\r\n0\r\n0\r\n");
  Outcome kept = run(exe, "/clean", blocker + "/x");
  DeleteFileA(blocker_file.c_str());
  report.check(kept.code == code_for(kept.output) && exists(kTemp + "\\sub\\x.dat") && !exists(kTemp + "\\a.tmp") &&
                   line_of(kept.output, "Temp").find("0 Ordner in den Papierkorb, 1 Ordner behalten (Papierkorb nicht erreichbar 1)") !=
                       std::string::npos,
               scope + ": with the trash out of reach /clean keeps the plain subfolder and says so", quoted(kept.output));

  make_fixture();
  const std::vector<std::string> files = {kTemp + "\\a.tmp", kTemp + "\\b.tmp", kTemp + "\\c.log", kTemp + "\\sub\\x.dat"};
  std::vector<FILETIME> before;
  for (const std::string& file : files) before.push_back(last_change(file));
  UniqueHandle held(CreateFileA(files[1].c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  Sleep(50);  // a change within the file system's time resolution would look like none
  Outcome looked = run(exe, "/preview");
  bool same = looked.code == 0;
  for (std::size_t i = 0; i < files.size(); ++i) {
    FILETIME after = last_change(files[i]);
    same = same && CompareFileTime(&before[i], &after) == 0;
  }
  UniqueHandle second(CreateFileA(files[1].c_str(), GENERIC_READ, 7, nullptr, OPEN_EXISTING, 0, nullptr));
  DWORD written = 0;
  bool locked = second.get() == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION &&
                WriteFile(held.get(), "x", 1, &written, nullptr) && written == 1;
  report.check(same && locked, scope + ": /preview leaves every file's time and another program's lock as they were",
               quoted(looked.output));
  write_file(settings, kAllOn);
  SetFileAttributesA((kTemp + "\\ro.tmp").c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA((kTemp + "\\ro.tmp").c_str());
}
