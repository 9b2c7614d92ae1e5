// Start-up benchmark. Starts spurwisch.exe and a minimal window program
// (bench_baseline_window.exe, beside this one) in interleaved rounds, after one
// unmeasured warm-up round of each, and prints two ratios of medians:
//   startup-splash ratio R ours_ms=X base_ms=Y
//       process start -> splash window visible, against the baseline's
//       process start -> its window visible;
//   startup ratio R ours_ms=X base_ms=Y
//       splash closed -> main window visible, against the same baseline.
// The splash is closed with WM_CLOSE as soon as it is seen (the rest of the
// start-up is the same as after its six seconds), so a round takes no longer
// than the start itself.
//
//   bench_startup PROGRAM.exe [--rounds N] [--splash-class CLASS]   (default TNagForm)
//
// Each program runs from its own sandbox folder inside the Wine prefix; our
// settings file is removed before each start, so every start is a first one.
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
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

struct KernelHandleCloser {
  void operator()(HANDLE h) const {
    if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};
using UniqueHandle = std::unique_ptr<void, KernelHandleCloser>;

// Keeps the system timer at 1 ms resolution for the polling loop.
class TimerResolution {
 public:
  TimerResolution() { timeBeginPeriod(1); }
  ~TimerResolution() { timeEndPeriod(1); }
};

struct Options {
  std::string program;
  int rounds = 7;
  std::string splash_class = "TNagForm";
};

struct Target {
  std::string exe;        // the sandbox copy
  std::string cls;        // the class of its main window
  std::string settings;   // file to remove before each start, or empty
  std::string splash;     // class of the splash window shown first, or empty
};

// Times of one start in ms; negative when that window did not come.
struct StartTimes {
  double splash = -1;  // process start -> splash visible (without a splash: -> main window)
  double main = -1;    // splash closed -> main window visible (without a splash: process start ->)
};

// Asks the program to close and waits; ends it when it does not.
void close_process(HANDLE process, HWND window) {
  if (window) PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process, 15000) != WAIT_OBJECT_0) {
    TerminateProcess(process, 99);
    WaitForSingleObject(process, 5000);
  }
}

// One start, closing the splash as soon as it shows.
StartTimes time_one_start(const Target& t) {
  StartTimes times;
  if (!t.settings.empty()) DeleteFileA(t.settings.c_str());
  std::string dir = t.exe.substr(0, t.exe.rfind('\\'));
  std::string command_line = "\"" + t.exe + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};

  double start = now_ms();
  if (!CreateProcessA(t.exe.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi))
    return times;
  UniqueHandle process(pi.hProcess), thread(pi.hThread);
  HWND main = nullptr;
  double from = start;  // the splash's close, or the process start
  double now = start;
  while (now - start < 60000 && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
    if ((main = find_window(pi.dwProcessId, t.cls.c_str(), true)) != nullptr) break;
    if (!t.splash.empty() && times.splash < 0) {
      if (HWND splash = find_window(pi.dwProcessId, t.splash.c_str(), true)) {
        from = now_ms();
        times.splash = from - start;
        PostMessageA(splash, WM_CLOSE, 0, 0);
      }
    }
    Sleep(1);
    now = now_ms();
  }
  double end = now_ms();
  close_process(process.get(), main);
  if (!main) return times;
  times.main = end - from;
  if (t.splash.empty()) times.splash = times.main;
  return times;
}

bool parse(int argc, char** argv, Options& o) {
  if (argc < 2) return false;
  o.program = windows_path(argv[1]);
  for (int i = 2; i + 1 < argc; i += 2) {
    std::string flag = argv[i];
    if (flag == "--rounds") o.rounds = std::max(1, std::atoi(argv[i + 1]));
    else if (flag == "--splash-class") o.splash_class = argv[i + 1];
    else return false;
  }
  return argc % 2 == 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!parse(argc, argv, o)) {
    std::fprintf(stderr, "usage: bench_startup PROGRAM.exe [--rounds N] [--splash-class CLASS]\n");
    return 2;
  }
  Target ours{sandbox_copy(o.program, "ours", "spurwisch.exe"), "TForm1", "C:\\spw-bench\\ours\\spurwisch.cfg",
              o.splash_class};
  Target base{sandbox_copy(beside_this_program("bench_baseline_window.exe"), "base", "bench_baseline_window.exe"),
              "SpwBaselineWindow", "", ""};
  if (ours.exe.empty() || base.exe.empty()) {
    std::fprintf(stderr, "startup: cannot copy the programs into C:\\spw-bench\n");
    return 1;
  }

  TimerResolution resolution;
  std::vector<double> splash_ms, main_ms, base_ms;
  for (int round = -1; round < o.rounds; ++round) {  // round -1 warms up the file cache
    bool ours_first = round % 2 == 0;
    StartTimes a = time_one_start(ours_first ? ours : base);
    StartTimes b = time_one_start(ours_first ? base : ours);
    StartTimes our = ours_first ? a : b, their = ours_first ? b : a;
    if (our.splash < 0 || our.main < 0 || their.main < 0) {
      std::fprintf(stderr, "startup: no %s from %s\n", our.splash < 0 ? "splash window" : "main window",
                   their.main < 0 ? base.exe.c_str() : ours.exe.c_str());
      return 1;
    }
    std::fprintf(stderr, "startup round %d: ours %.1f ms to the splash, %.1f ms from it to the window; baseline %.1f ms\n",
                 round, our.splash, our.main, their.main);
    if (round < 0) continue;
    splash_ms.push_back(our.splash);
    main_ms.push_back(our.main);
    base_ms.push_back(their.main);
  }
  double splash = median(splash_ms), main = median(main_ms), base_median = median(base_ms);
  std::printf("startup-splash ratio %.2f ours_ms=%.1f base_ms=%.1f\n", splash / base_median, splash, base_median);
  std::printf("startup ratio %.2f ours_ms=%.1f base_ms=%.1f\n", main / base_median, main, base_median);
  return 0;
}
