// Responsiveness during a cleaning: spurwisch.exe cleans a temporary folder
// of 20,000 files (made beforehand by scripts/bench.sh, outside Wine) and a
// URL cache of 2,000 entries, while a second thread sends WM_NULL to its main
// window with SendMessageTimeout every 20 ms. Prints
//   run-responsive longest-gap-ms N pings=P run-ms=T
// with N the longest wait for an answer during the run. Target: N <= 250.
//
//   bench_responsive PROGRAM.exe
// Runs only inside the build tree's sandbox (the cleaning empties the URL
// cache); the fixture folder is C:\spw-bench-responsive\Temp.
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "bench/bench_util.h"
#include "base/Cp1252.h"

namespace {

const std::string Root = "C:\\spw-bench-responsive";
const std::string Temp = Root + "\\Temp";
const char kTempOnlySettings[] = "0\r\n1\r\n0\r\n0\r\n0\r\n";
constexpr int CacheEntries = 2000;
constexpr DWORD PingInterval = 20;

bool InSandbox() {
  const char* prefix = std::getenv("WINEPREFIX");
  const char* xdg = std::getenv("XDG_DATA_HOME");
  return prefix && xdg && std::strstr(prefix, "/build") && std::strstr(xdg, "/build");
}

void FillCache() {
  FILETIME none{};
  for (int i = 0; i < CacheEntries; ++i) {
    std::string url = "http://responsive.example/" + std::to_string(i);
    char file[MAX_PATH];
    if (!CreateUrlCacheEntryA(url.c_str(), 0, "htm", file, 0)) continue;
    HANDLE h = CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    CommitUrlCacheEntryA(url.c_str(), file, none, none, NORMAL_CACHE_ENTRY, nullptr, 0, nullptr, nullptr);
  }
}

HWND WaitWindow(DWORD pid, const char* cls, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  do {
    if (HWND found = bench_util::find_window(pid, cls, true)) return found;
    Sleep(10);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

struct TPinger {
  HWND Target;
  std::atomic<bool> Stop{false};
  std::atomic<bool> Measuring{false};
  double Longest = 0;
  int Pings = 0;
};

DWORD WINAPI Ping(LPVOID param) {
  auto* pinger = static_cast<TPinger*>(param);
  while (!pinger->Stop) {
    double start = bench_util::now_ms();
    DWORD_PTR result;
    SendMessageTimeoutA(pinger->Target, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
    double waited = bench_util::now_ms() - start;
    if (pinger->Measuring) {
      pinger->Longest = std::max(pinger->Longest, waited);
      ++pinger->Pings;
    }
    Sleep(PingInterval);
  }
  return 0;
}

int Fail(const char* what) {
  std::fprintf(stderr, "bench_responsive: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Fail("usage: bench_responsive PROGRAM.exe");
  if (!InSandbox()) return Fail("refusing to run outside the build tree's Wine sandbox");
  if (GetFileAttributesA(Temp.c_str()) == INVALID_FILE_ATTRIBUTES) return Fail("no fixture in C:\\spw-bench-responsive");
  std::string copy = bench_util::sandbox_copy(bench_util::windows_path(argv[1]), "responsive", "spurwisch.exe");
  if (copy.empty()) return Fail("cannot copy the program");
  std::ofstream(copy.substr(0, copy.rfind('\\')) + "\\spurwisch.cfg", std::ios::binary) << kTempOnlySettings;
  FillCache();

  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string command = "\"" + copy + "\"", environment = bench_util::environment_with_temp(Temp);
  if (!CreateProcessA(copy.c_str(), command.data(), nullptr, nullptr, FALSE, 0, environment.data(), "C:\\", &si, &pi))
    return Fail("cannot start the program");
  CloseHandle(pi.hThread);
  if (HWND splash = WaitWindow(pi.dwProcessId, "TNagForm", 30000)) PostMessageA(splash, WM_CLOSE, 0, 0);
  HWND main = WaitWindow(pi.dwProcessId, "TForm1", 30000);
  HWND button = main ? FindWindowExA(main, nullptr, "TButton", u8"&Aktion durchführen."_cp1252) : nullptr;
  int status = 0;
  if (button) {
    TPinger pinger;
    pinger.Target = main;
    HANDLE thread = CreateThread(nullptr, 0, Ping, &pinger, 0, nullptr);
    Sleep(200);
    double start = bench_util::now_ms();
    pinger.Measuring = true;
    PostMessageA(button, BM_CLICK, 0, 0);
    // The completion box follows the run at the timer's next tick.
    HWND box = WaitWindow(pi.dwProcessId, "#32770", 300000);
    pinger.Measuring = false;
    double runMs = bench_util::now_ms() - start;
    pinger.Stop = true;
    WaitForSingleObject(thread, 35000);
    CloseHandle(thread);
    std::printf("run-responsive longest-gap-ms %.0f pings=%d run-ms=%.0f\n", pinger.Longest, pinger.Pings, runMs);
    if (box) PostMessageA(box, WM_COMMAND, IDOK, 0);
    if (!box) status = Fail("no completion box");
    Sleep(300);
    PostMessageA(main, WM_CLOSE, 0, 0);
  } else {
    status = Fail("no main window");
  }
  if (WaitForSingleObject(pi.hProcess, 15000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 99);
  CloseHandle(pi.hProcess);
  std::fflush(stdout);
  return status;
}
