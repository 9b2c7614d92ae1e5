// Shared by the repaint benchmarks: full repaints of a form with its style
// component active against the same form with Active false, in interleaved
// rounds of one run; the medians per round.
#pragma once
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/bench_util.h"
#include "ui/Forms.h"
#include "xpstyle/XPStyle.h"

namespace repaint_rounds {

constexpr int Rounds = 9, RepaintsPerRound = 40;

// Only inside the build tree's Wine prefix.
inline bool InSandbox() {
  const char* prefix = std::getenv("WINEPREFIX");
  return GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name") && prefix &&
         std::strstr(prefix, "/build");
}

// The whole window, every control, painted now.
inline void RepaintAll(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

inline double TimeRepaints(TCustomForm& form, TXPStyle& style, bool active) {
  style.SetActive(active);
  RepaintAll(form.Handle());  // unmeasured: hooks come and go, edits are re-created
  Application->ProcessMessages();
  double start = bench_util::now_ms();
  for (int i = 0; i < RepaintsPerRound; ++i) RepaintAll(form.Handle());
  return bench_util::now_ms() - start;
}

struct TMedians {
  double Active, Inactive;
};

inline TMedians MeasureRounds(TCustomForm& form, TXPStyle& style) {
  std::vector<double> active, inactive;
  for (int round = 0; round < Rounds; ++round) {
    active.push_back(TimeRepaints(form, style, true));
    inactive.push_back(TimeRepaints(form, style, false));
  }
  return {bench_util::median(active), bench_util::median(inactive)};
}

}  // namespace repaint_rounds
