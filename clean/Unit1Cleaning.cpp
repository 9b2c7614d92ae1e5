// The Cleaning run of the main window and the tick that reports it.
#include "app/Unit1.h"
#include "clean/Cleaning.h"
#include "clean/TempPurge.h"
#include "platform/Platform.h"

void TForm1::Button1Click(TObject*) {
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
  Platform().MessageBoxA(nullptr, "Ihre gewählte Option wurde ausgeführt", "Information",
                         MB_OK | MB_ICONINFORMATION);
}

void TForm1::loesche() { PurgeTempFolder(TempFolderPath); }
