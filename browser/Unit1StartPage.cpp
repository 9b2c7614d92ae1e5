// The main window's start page button.
#include "app/Unit1.h"
#include "browser/StartPage.h"
#include "ui/Dialogs.h"

void TForm1::Button2Click(TObject*) {
  // Taken as typed: no trimming, no case folding.
  std::string text = Edit2->Text();
  if (text.empty()) {
    ShowMessage("Geben Sie eine gültige Startseite an!");
    return;
  }
  if (text == "http://www.") {
    ShowMessage("Sie müssen schon eine Startseite angeben");
    return;
  }
  SetStartPage(text);
}
