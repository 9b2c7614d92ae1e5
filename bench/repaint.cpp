// Repaint benchmark: full repaints of the main window (TForm1) with its
// style component active against the same window with Active false, in
// interleaved rounds of one run, at the screen's DPI. Prints
//   NAME ratio R ours_ms=X base_ms=Y dpi=D
// with the medians per round, R = X / Y, NAME the first argument ("repaint"
// without one; scripts/bench.sh runs it again at 144 DPI as "repaint-144"). The window reads and writes its
// settings file beside this program (in the build tree), which is removed
// at the end; the program runs only in the build tree's Wine prefix.
#include <windows.h>

#include <cstdio>

#include "app/Settings.h"
#include "app/Unit1.h"
#include "bench/repaint_rounds.h"

int main(int argc, char** argv) {
  const char* name = argc > 1 ? argv[1] : "repaint";
  if (!repaint_rounds::InSandbox()) {
    std::fprintf(stderr, "bench_repaint runs only in the build tree's Wine prefix (scripts/bench.sh)\n");
    return 2;
  }
  Application = new TApplication();
  Application->Initialize();
  auto* form = new TForm1(Application);
  form->Show();
  Application->ProcessMessages();

  repaint_rounds::TMedians medians = repaint_rounds::MeasureRounds(*form, *form->XPStyle1);
  double x = medians.Active, y = medians.Inactive;
  std::printf("%s ratio %.2f ours_ms=%.1f base_ms=%.1f dpi=%u\n", name, x / y, x, y, form->Dpi());
  form->Free();
  delete Application;
  Application = nullptr;
  DeleteFileW(SettingsFilePath().c_str());
  return 0;
}
