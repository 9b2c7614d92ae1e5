// Soak driver: one running spurwisch.exe is worked from outside for many
// rounds (cleaning runs from the tray menu, tray-menu openings and closings,
// repaints of the main window, minimise/restore cycles). Afterwards its
// kernel handle count and private bytes must be close to what they were
// after the first 10 rounds, GDI objects can still be created in it, its
// window paints as it did then, and the settings file written at exit is right.
//
//   soak_driver PROGRAM.exe ARTIFACTS_DIR [--full]
//
// The short form (CI) runs 12 rounds: 3 cleanings, 36 menus, 1,200 repaints,
// 14 cycles. --full runs 200 rounds: 200 cleanings, 1,000 menus, 10,000
// repaints, 500 cycles. Prints "soak handles A→B", "soak private-kb A→B",
// "soak rounds N", the checks and "N passed, M failed".
#include <windows.h>
#include <psapi.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "../e2e/probe_client.h"
#include "../e2e/report.h"
#include "../e2e/win.h"

namespace {

const char kSandbox[] = "C:\\spw-soak";
const UINT kTrayCallback = WM_USER + 1;
// Line 3 (documents) off, so the file written at exit differs from the defaults.
const char kSettings[] = "1\r\n1\r\n0\r\n0\r\n0\r\n";
// Margins against the values after the first 10 rounds.
const DWORD kHandleMargin = 4;
const long kGdiMargin = 4;
const SIZE_T kPrivateMarginKb = 512;
const int kBaselineRound = 10;

struct TPlan {
  int Rounds, Cleanings, Menus, Repaints, Cycles;
};
const TPlan kShort{12, 3, 36, 1200, 14};
const TPlan kFull{200, 200, 1000, 10000, 500};

// How many of TOTAL fall into round R of ROUNDS, spread evenly.
int Share(int total, int r, int rounds) { return (r + 1) * total / rounds - r * total / rounds; }

std::string windows_path(std::string path) {
  if (path.empty() || path[0] != '/') return path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return "Z:" + path;
}

bool read_bytes(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), {});
  return true;
}

bool write_bytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  return bool(out.flush());
}

struct TResources {
  DWORD Handles = 0;
  SIZE_T PrivateKb = 0;
};

// Kernel handles of the process. Wine answers GetProcessHandleCount with 0
// (it does not count); the system's handle list then gives the number.
DWORD handle_count(const Process& program) {
  DWORD count = 0;
  if (GetProcessHandleCount(program.handle.get(), &count) && count) return count;
  using TQuery = LONG(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
  auto query = reinterpret_cast<TQuery>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return 0;
  struct TEntry {
    ULONG Pid;
    BYTE Type, Flags;
    USHORT Handle;
    PVOID Object;
    ACCESS_MASK Access;
  };
  const ULONG SystemHandleInformation = 16;
  const LONG InfoLengthMismatch = LONG(0xC0000004);
  std::string buffer(1 << 20, '\0');
  ULONG length = 0;
  LONG status;
  while ((status = query(SystemHandleInformation, buffer.data(), ULONG(buffer.size()), &length)) == InfoLengthMismatch &&
         buffer.size() < (256u << 20))
    buffer.resize(buffer.size() * 2);
  if (status != 0) return 0;
  ULONG entries = *reinterpret_cast<const ULONG*>(buffer.data());
  const auto* entry = reinterpret_cast<const TEntry*>(buffer.data() + sizeof(void*));
  for (ULONG i = 0; i < entries; ++i) count += entry[i].Pid == program.id;
  return count;
}

// Private bytes in KB. Wine leaves PrivateUsage 0 and fills PagefileUsage,
// which Windows sets to the same commit charge.
SIZE_T private_kb(HANDLE process) {
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) return 0;
  return (memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage) / 1024;
}

TResources resources_of(const Process& program) { return {handle_count(program), private_kb(program.handle.get())}; }

// ---- the program's windows ----

struct TTarget {
  const Process& program;
  HWND main, app;
};

bool in_tray(const TTarget& t) { return !IsWindowVisible(t.main) && !IsWindowVisible(t.app); }
bool shown(const TTarget& t) { return IsWindowVisible(t.main) && IsWindowVisible(t.app) && !IsIconic(t.main); }

bool minimise(const TTarget& t) {
  PostMessageA(t.main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  return wait_until([&] { return in_tray(t); }, 5000);
}

bool restore(const TTarget& t) {
  PostMessageA(t.app, kTrayCallback, 1, WM_LBUTTONDBLCLK);
  return wait_until([&] { return shown(t); }, 5000);
}

HWND open_menu(const TTarget& t) {
  PostMessageA(t.app, kTrayCallback, 1, WM_RBUTTONUP);
  return wait_window(t.program.id, "#32768", 5000);
}

bool close_menu(HWND menu) {
  PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  return wait_until([&] { return !IsWindow(menu) || !IsWindowVisible(menu); }, 3000);
}

// A file and a subfolder in the temporary folder and one URL cache entry,
// for the next cleaning run to remove.
struct TLitter {
  std::string file, folder, url;
};

TLitter drop_litter(int round) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  TLitter litter;
  litter.file = std::string(temp) + "spw-soak-" + std::to_string(round) + ".tmp";
  litter.folder = std::string(temp) + "spw-soak-" + std::to_string(round);
  write_bytes(litter.file, "soak");
  CreateDirectoryA(litter.folder.c_str(), nullptr);
  write_bytes(litter.folder + "\\inner.tmp", "soak");
  litter.url = "http://soak.example/" + std::to_string(round);
  char cached[MAX_PATH];
  if (CreateUrlCacheEntryA(litter.url.c_str(), 0, "htm", cached, 0)) {
    write_bytes(cached, "soak");
    FILETIME none{};
    CommitUrlCacheEntryA(litter.url.c_str(), cached, none, none, NORMAL_CACHE_ENTRY, nullptr, 0, nullptr, nullptr);
  }
  return litter;
}

bool litter_gone(const TLitter& litter) {
  DWORD size = 0;
  bool cached = GetUrlCacheEntryInfoA(litter.url.c_str(), nullptr, &size) || GetLastError() == ERROR_INSUFFICIENT_BUFFER;
  return GetFileAttributesA(litter.file.c_str()) == INVALID_FILE_ATTRIBUTES &&
         GetFileAttributesA(litter.folder.c_str()) == INVALID_FILE_ATTRIBUTES && !cached;
}

// ---- the sandbox trash ----

// The build tree's XDG trash as a Windows path, or "" when XDG_DATA_HOME
// does not point into a build tree (the program would then empty the user's
// own trash, so the soak does not start).
std::string sandbox_trash() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (!xdg || !std::strstr(xdg, "/build")) return "";
  return windows_path(std::string(xdg) + "/Trash");
}

void remove_tree(const std::string& path);

// Deletes what a folder holds and keeps the folder; a link is removed,
// never followed.
void remove_contents(const std::string& path) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((path + "\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = entry.cFileName, child = path + "\\" + name;
    if (name == "." || name == "..") continue;
    bool folder = entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    if (folder && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) remove_tree(child);
    else if (folder) RemoveDirectoryA(child.c_str());
    else DeleteFileA(child.c_str());
  } while (FindNextFileA(find, &entry));
  FindClose(find);
}

void remove_tree(const std::string& path) {
  remove_contents(path);
  RemoveDirectoryA(path.c_str());
}

// Wine's SHEmptyRecycleBinA removes the files in the trash but leaves the
// folders, and each later call keeps about 0.65 KB of memory per folder it
// finds there, so the program's private bytes would grow with every folder
// its temp purge moved into the trash. The driver finishes each emptying as
// Windows does, and the figures show the program's own use.
void finish_trash_emptying(const std::string& trash) {
  // The folders themselves stay: without them the shell's deletes with undo
  // would no longer reach the trash and would delete for good.
  remove_contents(trash + "\\files");
  remove_contents(trash + "\\info");
}

// "Säubern" from the tray menu, then the completion box, closed with OK.
bool clean_from_tray(const TTarget& t, std::string& why) {
  HWND menu = open_menu(t);
  if (!menu) return why = "the menu did not open", false;
  PostMessageA(menu, WM_CHAR, 's', 0);
  HWND box = wait_window(t.program.id, "#32770", 10000);
  if (!box) return why = "no completion box", false;
  std::string caption = text_of(box);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  if (!wait_until([&] { return !IsWindow(box); }, 5000)) return why = "the box did not close", false;
  if (caption != "Information") return why = "box \"" + caption + "\"", false;
  return true;
}

void repaint(HWND main) {
  RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// Repaints and captures the shown window once it has settled.
Image settled_capture(HWND main) {
  repaint(main);
  Sleep(200);
  return capture_window(main);
}

int differing_pixels(const Image& a, const Image& b) {
  if (a.width != b.width || a.height != b.height || a.pixels.empty()) return -1;
  int n = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) n += a.pixels[i] != b.pixels[i];
  return n;
}

// "A→B" for the figures printed as they are (UTF-8), "A->B" for the check
// lines, which the report converts from Windows-1252.
std::string arrow(long long a, long long b, const char* between = "\xE2\x86\x92") {
  return std::to_string(a) + between + std::to_string(b);
}

void soak(Report& report, const std::string& exe, const std::string& artifacts, const TPlan& plan) {
  std::string trash = sandbox_trash();
  if (!report.check(!trash.empty(), "soak: XDG_DATA_HOME points into the build tree")) return;
  finish_trash_emptying(trash);
  CreateDirectoryA(kSandbox, nullptr);
  std::string copy = std::string(kSandbox) + "\\spurwisch.exe", settings = std::string(kSandbox) + "\\spurwisch.cfg";
  if (!report.check(CopyFileA(exe.c_str(), copy.c_str(), FALSE) && write_bytes(settings, kSettings),
                    "soak: sandbox copy with its settings file", exe))
    return;

  Process program = start_process(copy, kSandbox);
  if (!report.check(program.handle != nullptr, "soak: program started")) return;
  if (HWND splash = wait_window(program.id, "TNagForm", 30000)) PostMessageA(splash, WM_CLOSE, 0, 0);
  HWND main = wait_window(program.id, "TForm1", 30000);
  HWND app = find_any_window(program.id, "TApplication");
  if (!report.check(main && app, "soak: main window shown")) return kill_if_running(program);
  WaitForInputIdle(program.handle.get(), 10000);
  TTarget t{program, main, app};

  TProbe probe;
  std::string dll = probe_dll_path();
  report.check(probe.Attach(main, dll), "soak: probe attached to the program's GUI thread", dll);

  TResources first{}, last{};
  long firstGdi = -1;
  Image reference;
  int cleanings = 0, menus = 0, repaints = 0, cycles = 0, rounds = 0;
  std::string failure;
  DWORD started = GetTickCount();
  for (int r = 0; r < plan.Rounds && failure.empty(); ++r) {
    int cleaningsNow = Share(plan.Cleanings, r, plan.Rounds), menusNow = Share(plan.Menus, r, plan.Rounds);
    int repaintsNow = Share(plan.Repaints, r, plan.Rounds), cyclesNow = Share(plan.Cycles, r, plan.Rounds);
    // The first cycle of the round holds its menus and cleanings.
    if (!minimise(t)) failure = "round " + std::to_string(r) + ": minimising into the tray";
    for (int i = 0; i < menusNow && failure.empty(); ++i, ++menus) {
      HWND menu = open_menu(t);
      if (!menu || !close_menu(menu)) failure = "round " + std::to_string(r) + ": tray menu opening and closing";
    }
    for (int i = 0; i < cleaningsNow && failure.empty(); ++i, ++cleanings) {
      TLitter litter = drop_litter(cleanings);
      std::string why;
      if (!clean_from_tray(t, why)) failure = "round " + std::to_string(r) + ": cleaning from the tray: " + why;
      else if (!litter_gone(litter)) failure = "round " + std::to_string(r) + ": the cleaning left its litter";
      finish_trash_emptying(trash);
    }
    if (failure.empty() && !restore(t)) failure = "round " + std::to_string(r) + ": restoring";
    if (failure.empty()) ++cycles;
    for (int i = 1; i < cyclesNow && failure.empty(); ++i, ++cycles)
      if (!minimise(t) || !restore(t)) failure = "round " + std::to_string(r) + ": minimise/restore cycle";
    for (int i = 0; i < repaintsNow && failure.empty(); ++i, ++repaints) repaint(main);
    if (!failure.empty()) break;
    rounds = r + 1;
    if (rounds == kBaselineRound) {
      Sleep(300);
      first = resources_of(program);
      reference = settled_capture(main);
      firstGdi = probe.GdiObjects(main);
    }
  }
  DWORD elapsed = GetTickCount() - started;
  report.check(failure.empty(), "soak: every round completed", failure);
  if (failure.empty()) {
    Sleep(300);
    last = resources_of(program);
    std::printf("soak handles %s\n", arrow(first.Handles, last.Handles).c_str());
    std::printf("soak private-kb %s\n", arrow(first.PrivateKb, last.PrivateKb).c_str());
    std::printf("soak rounds %d (cleanings %d, menus %d, repaints %d, cycles %d, %.1f s)\n", rounds, cleanings, menus,
                repaints, cycles, elapsed / 1000.0);
    std::fflush(stdout);
    report.check(first.Handles > 0 && last.Handles <= first.Handles + kHandleMargin,
                 "soak: kernel handles within +" + std::to_string(kHandleMargin) + " of round 10",
                 arrow(first.Handles, last.Handles, "->"));
    report.check(first.PrivateKb > 0 && last.PrivateKb <= first.PrivateKb + kPrivateMarginKb,
                 "soak: private bytes within +" + std::to_string(kPrivateMarginKb) + " KB of round 10",
                 arrow(first.PrivateKb, last.PrivateKb, "->"));
    long lastGdi = probe.GdiObjects(main);
    std::printf("soak gdi-objects %s\n", arrow(firstGdi, lastGdi).c_str());
    std::fflush(stdout);
    report.check(firstGdi > 0 && lastGdi <= firstGdi + kGdiMargin,
                 "soak: GDI objects within +" + std::to_string(kGdiMargin) + " of round 10",
                 arrow(firstGdi, lastGdi, "->"));
    long created = probe.CreateObjects(main);
    report.check(created == ProbeObjectsPerKind * ProbeObjectKinds, "soak: GDI objects can still be created in the program",
                 std::to_string(created) + " of " + std::to_string(ProbeObjectsPerKind * ProbeObjectKinds));
    Image now = settled_capture(main);
    int differing = differing_pixels(reference, now);
    report.check(differing == 0, "soak: the window paints as after round 10",
                 std::to_string(differing) + " pixels differ");
    write_png(artifacts + "\\soak-main-round10.png", reference);
    write_png(artifacts + "\\soak-main-end.png", now);
  }

  // "Programm beenden" from the tray writes the settings file.
  DeleteFileA(settings.c_str());
  bool ended = false;
  if (minimise(t)) {
    if (HWND menu = open_menu(t)) PostMessageA(menu, WM_CHAR, 'o', 0);
    ended = wait_exit(program, 15000);
  }
  report.check(ended, "soak: \"Programm beenden\" ends the program");
  kill_if_running(program);
  std::string bytes;
  report.check(read_bytes(settings, bytes) && bytes == kSettings, "soak: settings file written at exit",
               quoted(bytes));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: soak_driver PROGRAM.exe ARTIFACTS_DIR [--full]\n");
    return 2;
  }
  bool full = argc > 3 && std::strcmp(argv[3], "--full") == 0;
  std::string artifacts = windows_path(argv[2]);
  CreateDirectoryA(artifacts.c_str(), nullptr);
  Report report;
  soak(report, windows_path(argv[1]), artifacts, full ? kFull : kShort);
  report.summary();
  return report.failed() == 0 ? 0 : 1;
}
