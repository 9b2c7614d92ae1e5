#include "app/Unit2.h"

#include <iterator>

#include "base/Cp1252.h"
#include "platform/Platform.h"

namespace {

TLabel* MakeLink(TForm2* form, const char* name, const char* caption, int left, int width) {
  TLabel* label = new TLabel(form);
  label->SetName(name);
  label->SetParent(form);
  label->SetBounds(left, 200, width, 13);
  label->SetCaption(caption);
  TFont font;
  font.SetName("MS Sans Serif");
  font.SetHeight(-11);  // 8 points at 96 DPI, as stored: the form scales it
  font.SetColor(clBlue);
  font.SetStyle(fsUnderline);
  label->SetFont(font);
  label->SetCursor(crHandPoint);
  return label;
}

void OpenWithShell(const char* target) {
  // Nothing is reported when no mail program or browser can be started.
  Platform().ShellExecuteA(Application ? Application->Handle() : nullptr, "open", target, nullptr, nullptr,
                           SW_SHOWNORMAL);
}

}  // namespace

const std::vector<std::string>& AboutText() {
  // A plain array first: clang 14 crashes when a diagnostic of a constant
  // initialisation it attempts (the vector's) shows a _cp1252 literal.
  static const char* const text[] = {
      "        Spurwisch 1.0 von Heiko Brandt",
      "Diese Programm ist freeware. Was macht es? ",
      u8"Es löscht die Spuren die der IE hinterläst. Das "_cp1252,
      u8"heißt, die Cookies, den Verlauf und die Temp. "_cp1252,
      u8"Internet Files. Diese werden standardmßig "_cp1252,
      u8"gelöscht. Eingestellt werden kann zusätzlich:"_cp1252,
      u8"Papierkorb löschen, ist klar. Temp  löschen."_cp1252,
      "Das ist das Tempverzeichnis. ACHTUNG:Es ",
      "werden komplett alle Dateien und ",
      u8"Verzeichnisse imTemp-Folder gelöscht und  "_cp1252,
      "das alles ohne Abfrage. Doku.List. Das ist ",
      "diese hier Start/Dokumente.",
  };
  static const std::vector<std::string> lines(std::begin(text), std::end(text));
  return lines;
}

TForm2::TForm2(TComponent* owner) : TForm(owner) {
  BeginLoading();
  SetName("Form2");
  SetCaption("About");
  SetBounds(420, 289, 247, 262);
  SetPosition(poDesigned);

  Memo1 = new TMemo(this);
  Memo1->SetName("Memo1");
  Memo1->SetParent(this);
  Memo1->SetBounds(8, 8, 225, 177);
  Memo1->SetReadOnly(true);
  Memo1->SetLines(AboutText());
  Memo1->SetTabOrder(0);

  Button1 = new TButton(this);
  Button1->SetName("Button1");
  Button1->SetParent(this);
  Button1->SetBounds(80, 200, 75, 25);
  Button1->SetCaption("&Ok");
  Button1->SetTabOrder(1);
  Button1->OnClick = NotifyEvent(this, &TForm2::Button1Click);

  Label1 = MakeLink(this, "Label1", "EMAIL:", 16, 35);
  Label1->OnClick = NotifyEvent(this, &TForm2::Label1Click);
  Label2 = MakeLink(this, "Label2", "Homepage", 168, 52);
  Label2->OnClick = NotifyEvent(this, &TForm2::Label2Click);
  FinishLoading();
}

void TForm2::Button1Click(TObject*) { Close(); }

void TForm2::Label1Click(TObject*) { OpenWithShell(AuthorMailLink); }

void TForm2::Label2Click(TObject*) { OpenWithShell(AuthorHomePage); }
