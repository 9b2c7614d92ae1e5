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
  ~TForm1() override;
  const char* ClassName() const override { return "TForm1"; }

  // The controls, in their stored order (the designer's names are kept):
  TLabel* Label1;       // "IE Startseite": caption over Edit1
  TEdit* Edit1;         // the browser's current start page, read-only
  TLabel* Label2;       // "Ändere nach:": caption over Edit2
  TButton* Button2;     // "Ändere": writes Edit2's text as the new start page
  TEdit* Edit2;         // the new start page as typed, "http://www." at start
  TButton* Button1;     // "&Aktion durchführen.": the Cleaning run
  TButton* Button3;     // "A&bout": the About dialog (TForm2)
  TButton* Button4;     // "Startoptionen": the start options dialog (TForm3)
  TBitBtn* BitBtn1;     // "&Close": ends the program
  TGroupBox* GroupBox1; // "Löschoptionen": frames the three options below
  TCheckBox* papierkorb;  // "Papierkorb löschen": the run empties the recycle bin
  TCheckBox* temploesch;  // "Temp löschen": the run empties the temporary folder
  TCheckBox* doku;        // "Dokumenten-Liste": the run clears the recent documents
  // The components, in their stored order:
  TTimer* Timer1;       // 2.5 s; after a run it shows "Ihre gewählte Option wurde ausgeführt"
  TMinTray* MinTray1;   // the tray icon while minimised ("Doppelklickzum wiederherstellen")
  TPopupMenu* PopupMenu1;  // the tray menu (right click on the icon); its items:
  TMenuItem* Wiederherstellen1;  // "Wiederherstellen": the window back from the tray
  TMenuItem* Subern1;            // "Säubern": the Cleaning run, as Button1
  TMenuItem* About1;             // "About": the About dialog, as Button3
  TMenuItem* N1;                 // separator
  TMenuItem* Proxyausschalten1;  // "Proxy ausschalten": ProxyEnable to 0
  TMenuItem* Proxyeinschalten1;  // "Proxy einschalten": ProxyEnable to 1
  TMenuItem* N3;  // a separator, or "Sie nutzen die Automatische Proxy Konfiguration." with an AutoConfigURL
  TMenuItem* N2;                 // separator
  TMenuItem* Programmbeenden1;   // "Programm beenden": ends the program
  TNagScreen* NagScreen1;  // the splash picture, six seconds at start
  TXPStyle* XPStyle1 = nullptr;  // the flat look of the controls and the tray menu

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
  // Settings changed while the program runs reach the Application window
  // and this window; both pass them to the style here.
  void SystemSettingChange(const TMessage& message);
  bool AppWindowHook(TMessage& message);

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
