// The main window: start page fields, the cleaning button, the three
// cleaning options and the buttons for the two dialogs.
#pragma once
#include <string>

#include "splash/NagScreen.h"
#include "tray/MinTray.h"
#include "ui/Buttons.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"
#include "ui/Menus.h"
#include "ui/StdCtrls.h"
#include "xpstyle/XPStyle.h"

// Program-wide state, from start to exit.
extern bool StartMinimized;       // start with the window in the tray
extern bool AutoStart;            // perform a Cleaning run at start
extern std::wstring TempFolderPath; // the user's temporary folder, ending with "\"

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
  TMinTray* MinTray1;
  TPopupMenu* PopupMenu1;
  TMenuItem* Wiederherstellen1;
  TMenuItem* Subern1;
  TMenuItem* About1;
  TMenuItem* N1;
  TMenuItem* Proxyausschalten1;
  TMenuItem* Proxyeinschalten1;
  TMenuItem* N3;
  TMenuItem* N2;
  TMenuItem* Programmbeenden1;
  TNagScreen* NagScreen1;
  TXPStyle* XPStyle1;

  void FormCreate(TObject* sender);
  void FormDestroy(TObject* sender);
  void FormCloseQuery(TObject* sender, bool& canClose);
  void Button1Click(TObject* sender);
  void Button2Click(TObject* sender);
  void Button3Click(TObject* sender);
  void Button4Click(TObject* sender);
  void Timer1Timer(TObject* sender);
  void loesche();

  // The tray menu.
  void PopupMenu1Popup(TObject* sender);
  void Wiederherstellen1Click(TObject* sender);
  void Subern1Click(TObject* sender);
  void About1Click(TObject* sender);
  void Proxyausschalten1Click(TObject* sender);
  void Proxyeinschalten1Click(TObject* sender);
  void N3Click(TObject* sender);
  void Programmbeenden1Click(TObject* sender);

  // A Cleaning run is in progress (its steps may run message loops of their
  // own, in which further requests arrive).
  bool Running() const { return FRunning; }
  // Another start of the program asked for this one: the open dialog, or
  // the window restored from the tray, comes to the front.
  void BringToUser();
  void WndProc(TMessage& message) override;

private:
  class TRunGuard;
  void CloseAfterRun();
  void CreateControls();
  void CreateComponents();
  void CreateTrayMenu();
  void CreateStyle();

  bool FRunning = false;
  bool FCloseAfterRun = false;  // a close came during the run
};

extern TForm1* Form1;

// Frees a component at the end of a scope, also when an error leaves it.
struct TComponentFree {
  void operator()(TComponent* component) const { component->Free(); }
};
