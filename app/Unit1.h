// The main window: start page fields, the cleaning button, the three
// cleaning options and the buttons for the two dialogs.
#pragma once
#include <string>

#include "ui/Buttons.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"
#include "ui/StdCtrls.h"
#include "xpstyle/XPStyle.h"

// Program-wide state, from start to exit.
extern bool StartMinimized;       // start with the window in the tray
extern bool AutoStart;            // perform a Cleaning run at start
extern std::string TempFolderPath; // the user's temporary folder, ending with "\"

class TForm1 : public TForm {
public:
  explicit TForm1(TComponent* owner);
  const char* ClassName() const override { return "TForm1"; }

  TLabel* Label1;
  TEdit* Edit1;
  TLabel* Label2;
  TButton* Button2;
  TEdit* Edit2;
  TButton* Button1;
  TButton* Button3;
  TButton* Button4;
  TBitBtn* BitBtn1;
  TGroupBox* GroupBox1;
  TCheckBox* papierkorb;
  TCheckBox* temploesch;
  TCheckBox* doku;
  TTimer* Timer1;
  TXPStyle* XPStyle1;

  void FormCreate(TObject* sender);
  void FormDestroy(TObject* sender);
  void Button1Click(TObject* sender);
  void Button2Click(TObject* sender);
  void Button3Click(TObject* sender);
  void Button4Click(TObject* sender);
  void Timer1Timer(TObject* sender);
  void loesche();

private:
  void CreateControls();
  void CreateComponents();
};

extern TForm1* Form1;

// Frees a component at the end of a scope, also when an error leaves it.
struct TComponentFree {
  void operator()(TComponent* component) const { component->Free(); }
};
