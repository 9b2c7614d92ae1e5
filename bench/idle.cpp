// Idle benchmark: spurwisch.exe started into the tray sits there for a
// minute. Prints
//   idle cpu-ms X timer-ticks N seconds S
//       CPU time (user + kernel, GetProcessTimes) and the WM_TIMER and
//       system-timer messages its GUI thread took from its queue in that
//       time, counted by the probe DLL hooked into that thread;
//   idle private-kb ratio R ours_kb=.. base_kb=..
//       private bytes against bench_baseline_window.exe (a minimal Win32
//       window program) started in the same run, both settled.
// Targets: X under 20, N = 0, R at most 1.5.
//
//   bench_idle PROGRAM.exe [SECONDS]    (default 60)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/probe/probe.h"

#include "bench/bench_util.h"

namespace {

const char kSandbox[] = "C:\\spw-bench-idle";
const char kMinimisedSettings[] = "1\r\n1\r\n1\r\n1\r\n0\r\n";

struct TProcess {
  HANDLE Handle = nullptr;
  DWORD Id = 0;
  ~TProcess() {
    if (!Handle) return;
    if (WaitForSingleObject(Handle, 0) == WAIT_TIMEOUT) {
      TerminateProcess(Handle, 99);
      WaitForSingleObject(Handle, 5000);
    }
    CloseHandle(Handle);
  }
};

bool Start(const std::string& exe, TProcess& process) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string command = "\"" + exe + "\"";
  if (!CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, kSandbox, &si, &pi))
    return false;
  CloseHandle(pi.hThread);
  process.Handle = pi.hProcess;
  process.Id = pi.dwProcessId;
  return true;
}

HWND WaitWindow(DWORD pid, const char* cls, bool visibleOnly, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  do {
    if (HWND found = bench_util::find_window(pid, cls, visibleOnly)) return found;
    Sleep(20);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

double CpuMs(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1;
  auto ms = [](const FILETIME& f) { return (double(f.dwHighDateTime) * 4294967296.0 + f.dwLowDateTime) / 10000.0; };
  return ms(kernel) + ms(user);
}

SIZE_T PrivateKb(HANDLE process) {
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) return 0;
  // Wine leaves PrivateUsage 0 and fills PagefileUsage, which Windows sets
  // to the same commit charge.
  return (memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage) / 1024;
}

std::string Folder(const std::string& path) { return path.substr(0, path.find_last_of("\\/")); }

std::string SelfPath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

int Fail(const char* what) {
  std::fprintf(stderr, "bench_idle: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Fail("usage: bench_idle PROGRAM.exe [SECONDS]");
  int seconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 60;
  std::string program = argv[1];
  if (!program.empty() && program[0] == '/') {
    for (char& c : program)
      if (c == '/') c = '\\';
    program = "Z:" + program;
  }
  std::string here = Folder(SelfPath());
  CreateDirectoryA(kSandbox, nullptr);
  std::string copy = std::string(kSandbox) + "\\spurwisch.exe", settings = std::string(kSandbox) + "\\spurwisch.cfg";
  if (!CopyFileA(program.c_str(), copy.c_str(), FALSE)) return Fail("cannot copy the program");
  std::ofstream(settings, std::ios::binary) << kMinimisedSettings;

  // The probe's results, shared with the DLL in the program.
  HANDLE mapping =
      CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(TProbeResults), ProbeMappingName);
  auto* results =
      mapping ? static_cast<TProbeResults*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(TProbeResults))) : nullptr;
  HMODULE probe = LoadLibraryA((here + "\\..\\tests\\probe\\spw_probe.dll").c_str());
  FARPROC address = probe ? GetProcAddress(probe, "SpwProbeGetMessage") : nullptr;
  auto hookProc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(address));
  if (!results || !hookProc) return Fail("probe DLL not available");

  int status = 0;
  {
    TProcess ours, base;
    if (!Start(copy, ours)) return Fail("cannot start the program");
    if (HWND splash = WaitWindow(ours.Id, "TNagForm", true, 30000)) PostMessageA(splash, WM_CLOSE, 0, 0);
    HWND app = WaitWindow(ours.Id, "TApplication", false, 30000);
    if (!app) return Fail("the program's Application window did not appear");
    // In the tray: the taskbar button hidden and the icon added, after the
    // start-up's last steps. The main window may not exist yet.
    Sleep(1000);
    DWORD start = GetTickCount();
    while (IsWindowVisible(app) && GetTickCount() - start < 10000) Sleep(50);
    auto inTray = [&] {
      HWND main = WaitWindow(ours.Id, "TForm1", true, 0);
      return !IsWindowVisible(app) && !main;
    };
    // Private bytes before the probe DLL (and its copy of the C++ runtime) is
    // loaded into the program; the baseline carries no probe either.
    Sleep(2000);
    SIZE_T oursKb = PrivateKb(ours.Handle);
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, hookProc, probe, GetWindowThreadProcessId(app, nullptr));
    PostMessageA(app, WM_NULL, 0, 0);
    start = GetTickCount();
    while (!results->Attached && GetTickCount() - start < 5000) Sleep(20);
    if (!hook || !results->Attached) return Fail("probe not attached");

    if (!Start(here + "\\bench_baseline_window.exe", base)) return Fail("cannot start the baseline");
    HWND baseWindow = WaitWindow(base.Id, "SpwBaselineWindow", true, 30000);
    Sleep(3000);  // both settle

    LONG ticks = results->TimerTicks;
    double cpu = CpuMs(ours.Handle);
    Sleep(seconds * 1000);
    cpu = CpuMs(ours.Handle) - cpu;
    ticks = results->TimerTicks - ticks;
    SIZE_T oursProbedKb = PrivateKb(ours.Handle), baseKb = PrivateKb(base.Handle);
    bool tray = inTray();
    std::printf("idle cpu-ms %.1f timer-ticks %ld seconds %d (limits: under 20 ms, no tick)%s\n", cpu, long(ticks),
                seconds, tray ? "" : " NOT IN THE TRAY");
    std::printf("idle private-kb ratio %.2f ours_kb=%lu base_kb=%lu (ours with the probe loaded, after: %lu)\n",
                baseKb ? double(oursKb) / baseKb : 0.0, static_cast<unsigned long>(oursKb),
                static_cast<unsigned long>(baseKb), static_cast<unsigned long>(oursProbedKb));
    std::fflush(stdout);
    status = tray && oursKb && baseKb ? 0 : 1;

    UnhookWindowsHookEx(hook);
    if (baseWindow) PostMessageA(baseWindow, WM_CLOSE, 0, 0);
    WaitForSingleObject(base.Handle, 10000);
    // The program is ended by TProcess; its settings file is of no interest here.
  }
  DeleteFileA(settings.c_str());
  DeleteFileA(copy.c_str());
  RemoveDirectoryA(kSandbox);
  UnmapViewOfFile(results);
  CloseHandle(mapping);
  FreeLibrary(probe);
  return status;
}
