// Tray menu benchmark. Starts spurwisch.exe in the tray (Start-minimised set
// in its settings file; its menu owner-drawn in the flat look, every item
// measured and drawn by the style, the flat frame redrawn after each) and
// bench_baseline_tray_menu.exe (system-drawn), then times, for
// each, the span from posting the tray icon's right-button callback to the
// first moment a visible popup menu window (#32768) of that process exists;
// the menu is then closed with Escape. Rounds are interleaved after one
// unmeasured warm-up round of each. Prints
//   tray-menu ratio R ours_ms=X base_ms=Y
// with the medians, R = X / Y.
//
//   bench_tray_menu PROGRAM.exe [--rounds N]
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_util.h"

namespace {

using bench_util::beside_this_program;
using bench_util::find_window;
using bench_util::median;
using bench_util::now_ms;
using bench_util::sandbox_copy;
using bench_util::windows_path;

const UINT kTrayCallback = WM_USER + 1;

class TimerResolution {
 public:
  TimerResolution() { timeBeginPeriod(1); }
  ~TimerResolution() { timeEndPeriod(1); }
};

struct Target {
  const char* name;
  PROCESS_INFORMATION process{};
  HWND window = nullptr;  // receives the tray callback
};

bool start(Target& t, const std::string& exe, const char* window_class) {
  std::string dir = exe.substr(0, exe.rfind('\\'));
  std::string command_line = "\"" + exe + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  if (!CreateProcessA(exe.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si,
                      &t.process))
    return false;
  double begin = now_ms();
  while (now_ms() - begin < 60000) {
    t.window = find_window(t.process.dwProcessId, window_class, false);
    if (t.window && (std::string(window_class) != "TApplication" || IsIconic(t.window))) break;
    t.window = nullptr;
    Sleep(20);
  }
  WaitForInputIdle(t.process.hProcess, 10000);
  Sleep(300);
  return t.window != nullptr;
}

void stop(Target& t) {
  if (!t.process.hProcess) return;
  if (t.window) PostMessageA(t.window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(t.process.hProcess, 15000) != WAIT_OBJECT_0) TerminateProcess(t.process.hProcess, 99);
  CloseHandle(t.process.hProcess);
  CloseHandle(t.process.hThread);
}

// One opening; the time in ms, or a negative value when no menu came.
double time_one_opening(const Target& t) {
  DWORD pid = t.process.dwProcessId;
  double start = now_ms();
  PostMessageA(t.window, kTrayCallback, 1, WM_RBUTTONUP);
  HWND menu = nullptr;
  while (now_ms() - start < 10000 && !(menu = find_window(pid, "#32768", true))) Sleep(1);
  double end = now_ms();
  if (!menu) return -1;
  PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  double closing = now_ms();
  while (now_ms() - closing < 5000 && find_window(pid, "#32768", true)) Sleep(5);
  Sleep(50);
  return end - start;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--rounds")) {
    std::fprintf(stderr, "usage: bench_tray_menu PROGRAM.exe [--rounds N]\n");
    return 2;
  }
  int rounds = argc == 4 ? std::max(1, std::atoi(argv[3])) : 15;
  std::string ours_exe = sandbox_copy(windows_path(argv[1]), "tray", "spurwisch.exe");
  std::string base_exe = sandbox_copy(beside_this_program("bench_baseline_tray_menu.exe"), "tray-base",
                                      "bench_baseline_tray_menu.exe");
  if (ours_exe.empty() || base_exe.empty()) {
    std::fprintf(stderr, "tray-menu: cannot copy the programs into C:\\spw-bench\n");
    return 1;
  }
  // Start minimised, nothing cleaned at start.
  std::ofstream("C:\\spw-bench\\tray\\spurwisch.cfg", std::ios::binary) << "1\r\n1\r\n1\r\n1\r\n0\r\n";

  TimerResolution resolution;
  Target ours{"ours"}, base{"baseline"};
  int status = 0;
  if (!start(ours, ours_exe, "TApplication") || !start(base, base_exe, "SpwBaselineTray")) {
    std::fprintf(stderr, "tray-menu: a program did not come up\n");
    status = 1;
  }
  std::vector<double> ours_ms, base_ms;
  for (int round = -1; status == 0 && round < rounds; ++round) {
    bool ours_first = round % 2 == 0;
    double a = time_one_opening(ours_first ? ours : base);
    double b = time_one_opening(ours_first ? base : ours);
    double our = ours_first ? a : b, their = ours_first ? b : a;
    if (our < 0 || their < 0) {
      std::fprintf(stderr, "tray-menu: no menu from %s\n", our < 0 ? "ours" : "the baseline");
      status = 1;
      break;
    }
    std::fprintf(stderr, "tray-menu round %d: ours %.1f ms, baseline %.1f ms\n", round, our, their);
    if (round < 0) continue;
    ours_ms.push_back(our);
    base_ms.push_back(their);
  }
  stop(ours);
  stop(base);
  if (status) return status;
  double ours_median = median(ours_ms), base_median = median(base_ms);
  std::printf("tray-menu ratio %.2f ours_ms=%.1f base_ms=%.1f\n", ours_median / base_median, ours_median,
              base_median);
  return 0;
}
