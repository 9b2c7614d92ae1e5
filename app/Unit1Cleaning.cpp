// The Cleaning run of the main window and the tick that reports it.
#include "app/Unit1.h"
#include "base/Cp1252.h"
#include "clean/Cleaning.h"
#include "clean/TempPurge.h"
#include "platform/Platform.h"

// The busy state and the wait cursor for the length of a run, cleared on
// every path; a close asked for during the run is carried out after it,
// also when the run ends with an error.
class TForm1::TRunGuard {
public:
  explicit TRunGuard(TForm1& form) : FForm(form) { FForm.FRunning = true; }
  ~TRunGuard() {
    FForm.FRunning = false;
    FForm.CloseAfterRun();
  }
  TRunGuard(const TRunGuard&) = delete;
  TRunGuard& operator=(const TRunGuard&) = delete;

private:
  TForm1& FForm;
  TWaitCursor FWait;
};

void TForm1::Button1Click(TObject*) {
  // The steps' message loops (the shell's, the paint pump) let a click, a
  // tray command or another program ask for a run inside this one.
  if (FRunning) return;
  TRunGuard guard(*this);
  Timer1->SetEnabled(true);
  ClearHistory();
  PurgeUrlCache();
  // Each option is read when its step comes up: the shell's own message
  // loop during the temp purge lets the user change the others meanwhile.
  if (doku->Checked()) ClearRecentDocuments();
  if (temploesch->Checked()) loesche();
  if (papierkorb->Checked()) EmptyRecycleBin(Application->Handle());
  RunFinished = true;
}

void TForm1::Timer1Timer(TObject*) {
  if (!RunFinished) return;
  // Cleared before the box is shown, so no later tick shows a second one.
  RunFinished = false;
  Timer1->SetEnabled(false);
  Platform().MessageBoxA(nullptr, u8"Ihre gewählte Option wurde ausgeführt"_cp1252, "Information",
                         MB_OK | MB_ICONINFORMATION);
}

void TForm1::loesche() { PurgeTempFolder(TempFolderPath); }

void TForm1::FormCloseQuery(TObject*, bool& canClose) {
  if (!FRunning) return;
  // The run below still uses the window and its check boxes.
  FCloseAfterRun = true;
  canClose = false;
}

void TForm1::CloseAfterRun() {
  if (!FCloseAfterRun) return;
  FCloseAfterRun = false;
  // No report after the program has gone.
  RunFinished = false;
  Timer1->SetEnabled(false);
  Close();
}
