// Gallery repaint benchmark: full repaints of the gallery form (every
// control kind, tool bars, control bar) with its style component active
// against the same form with Active false, in interleaved rounds of one
// run. Prints
//   gallery-repaint ratio R ours_ms=X base_ms=Y
// with the medians per round, R = X / Y. Runs only in the build tree's Wine
// prefix.
#include <windows.h>

#include <cstdio>

#include "GalleryForm.h"
#include "bench/repaint_rounds.h"

int main() {
  if (!repaint_rounds::InSandbox()) {
    std::fprintf(stderr, "bench_gallery_repaint runs only in the build tree's Wine prefix (scripts/bench.sh)\n");
    return 2;
  }
  Application = new TApplication();
  Application->Initialize();
  auto* form = new TGalleryForm(Application);
  form->Show();
  Application->ProcessMessages();

  repaint_rounds::TMedians medians = repaint_rounds::MeasureRounds(*form, *form->XPStyle1);
  double x = medians.Active, y = medians.Inactive;
  std::printf("gallery-repaint ratio %.2f ours_ms=%.1f base_ms=%.1f\n", x / y, x, y);
  form->Free();
  delete Application;
  Application = nullptr;
  return 0;
}
