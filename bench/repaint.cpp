// Repaint benchmark: full repaints of the main window (TForm1) with its
// style component active against the same window with Active false, in
// interleaved rounds of one run. Prints
//   repaint ratio R ours_ms=X base_ms=Y
// with the medians per round, R = X / Y. The window reads and writes its
// settings file beside this program (in the build tree), which is removed
// at the end; the program runs only in the build tree's Wine prefix.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/Settings.h"
#include "app/Unit1.h"

namespace {

constexpr int Rounds = 9, RepaintsPerRound = 40;

bool InSandbox() {
  const char* prefix = std::getenv("WINEPREFIX");
  return GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name") && prefix &&
         std::strstr(prefix, "/build");
}

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return 1000.0 * counter.QuadPart / frequency.QuadPart;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The whole window, every control, painted now.
void RepaintAll(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

double TimeRepaints(TForm1& form, bool active) {
  form.XPStyle1->SetActive(active);
  RepaintAll(form.Handle());  // unmeasured: hooks come and go, edits are re-created
  Application->ProcessMessages();
  double start = Now();
  for (int i = 0; i < RepaintsPerRound; ++i) RepaintAll(form.Handle());
  return Now() - start;
}

}  // namespace

int main() {
  if (!InSandbox()) {
    std::fprintf(stderr, "bench_repaint runs only in the build tree's Wine prefix (scripts/bench.sh)\n");
    return 2;
  }
  Application = new TApplication();
  Application->Initialize();
  auto* form = new TForm1(Application);
  form->Show();
  Application->ProcessMessages();

  std::vector<double> ours, base;
  for (int round = 0; round < Rounds; ++round) {
    ours.push_back(TimeRepaints(*form, true));
    base.push_back(TimeRepaints(*form, false));
  }
  double x = Median(ours), y = Median(base);
  std::printf("repaint ratio %.2f ours_ms=%.1f base_ms=%.1f\n", x / y, x, y);
  form->Free();
  delete Application;
  Application = nullptr;
  DeleteFileA(SettingsFilePath().c_str());
  return 0;
}
