// Gallery repaint benchmark: full repaints of the gallery form (every
// control kind, tool bars, control bar) with its style component active
// against the same form with Active false, in interleaved rounds of one
// run. Prints
//   gallery-repaint ratio R ours_ms=X base_ms=Y
// with the medians per round, R = X / Y. Runs only in the build tree's Wine
// prefix.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "GalleryForm.h"

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

double TimeRepaints(TGalleryForm& form, bool active) {
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
    std::fprintf(stderr, "bench_gallery_repaint runs only in the build tree's Wine prefix (scripts/bench.sh)\n");
    return 2;
  }
  Application = new TApplication();
  Application->Initialize();
  auto* form = new TGalleryForm(Application);
  form->Show();
  Application->ProcessMessages();

  std::vector<double> ours, base;
  for (int round = 0; round < Rounds; ++round) {
    ours.push_back(TimeRepaints(*form, true));
    base.push_back(TimeRepaints(*form, false));
  }
  double x = Median(ours), y = Median(base);
  std::printf("gallery-repaint ratio %.2f ours_ms=%.1f base_ms=%.1f\n", x / y, x, y);
  form->Free();
  delete Application;
  Application = nullptr;
  return 0;
}
