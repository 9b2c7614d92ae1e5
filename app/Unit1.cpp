#include "app/Unit1.h"

#include <memory>

#include "app/Settings.h"
#include "app/SingleInstance.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "base/Cp1252.h"
#include "browser/StartPage.h"
#include "clean/TempPurge.h"
#include "platform/Platform.h"
#include "res/resource.h"
#include "ui/Dialogs.h"

bool StartMinimized = false;
bool AutoStart = false;
std::wstring TempFolderPath;
TForm1* Form1 = nullptr;

namespace {

// A control's place on its parent: left, top, width, height.
struct TPlace {
  int Left, Top, Width, Height;
};

template <class T>
T* Make(TComponent* owner, TWinControl* parent, const char* name, TPlace place) {
  T* control = new T(owner);
  control->SetName(name);
  control->SetParent(parent);
  control->SetBounds(place.Left, place.Top, place.Width, place.Height);
  return control;
}

TLabel* AddLabel(TForm* form, const char* name, TPlace place, const char* caption) {
  auto* label = Make<TLabel>(form, form, name, place);
  label->SetCaption(caption);
  return label;
}

TEdit* AddEdit(TForm* form, const char* name, TPlace place, int tabOrder, const char* text) {
  auto* edit = Make<TEdit>(form, form, name, place);
  edit->SetTabOrder(tabOrder);
  edit->SetText(text);
  return edit;
}

TButton* AddButton(TForm* form, const char* name, TPlace place, const char* caption, int tabOrder,
                   TNotifyEvent onClick) {
  auto* button = Make<TButton>(form, form, name, place);
  button->SetCaption(caption);
  button->SetTabOrder(tabOrder);
  button->OnClick = onClick;
  return button;
}

// The three deletion options, checked unless the settings file says otherwise.
TCheckBox* AddCheckBox(TGroupBox* box, const char* name, TPlace place, const char* caption, int tabOrder) {
  auto* check = Make<TCheckBox>(box->Owner(), box, name, place);
  check->SetCaption(caption);
  check->SetChecked(true);
  check->SetTabOrder(tabOrder);
  return check;
}

}  // namespace

TForm1::TForm1(TComponent* owner) : TForm(owner) {
  BeginLoading();
  SetName("Form1");
  SetCaption("Spurwisch 1.0 von Heiko Brandt - freeware");
  SetBounds(405, 282, 377, 241);
  SetPosition(poScreenCenter);
  OnCreate = NotifyEvent(this, &TForm1::FormCreate);
  OnDestroy = NotifyEvent(this, &TForm1::FormDestroy);
  OnCloseQuery = CloseQueryEvent(this, &TForm1::FormCloseQuery);
  CreateControls();
  CreateComponents();
  FinishLoading();
  Application->HookMainWindow(WindowHook(this, &TForm1::AppWindowHook));
}

TForm1::~TForm1() {
  if (Application) Application->UnhookMainWindow(WindowHook(this, &TForm1::AppWindowHook));
}

void TForm1::CreateControls() {
  Label1 = AddLabel(this, "Label1", {32, 8, 57, 13}, "IE Startseite");
  Edit1 = AddEdit(this, "Edit1", {32, 24, 329, 21}, 1, "Edit1");
  Edit1->SetReadOnly(true);
  Label2 = AddLabel(this, "Label2", {32, 56, 64, 13}, u8"Ändere nach:"_cp1252);
  Button2 = AddButton(this, "Button2", {280, 48, 75, 25}, u8"Ändere"_cp1252, 3,
                      NotifyEvent(this, &TForm1::Button2Click));
  Edit2 = AddEdit(this, "Edit2", {32, 72, 329, 21}, 2, "Edit2");
  Button1 = AddButton(this, "Button1", {0, 104, 105, 25}, u8"&Aktion durchführen."_cp1252, 0,
                      NotifyEvent(this, &TForm1::Button1Click));
  Button3 = AddButton(this, "Button3", {112, 104, 105, 25}, "A&bout", 5, NotifyEvent(this, &TForm1::Button3Click));
  Button4 = AddButton(this, "Button4", {72, 136, 75, 25}, "Startoptionen", 7,
                      NotifyEvent(this, &TForm1::Button4Click));

  BitBtn1 = Make<TBitBtn>(this, this, "BitBtn1", {72, 176, 73, 25});
  BitBtn1->SetCaption("&Close");
  BitBtn1->SetKind(bkClose);
  BitBtn1->Glyph().LoadFromResource(GetModuleHandleA(nullptr), IDB_CLOSE);
  BitBtn1->SetTabOrder(6);

  GroupBox1 = Make<TGroupBox>(this, this, "GroupBox1", {216, 96, 145, 97});
  GroupBox1->SetCaption(u8"Löschoptionen"_cp1252);
  GroupBox1->SetTabOrder(4);
  papierkorb = AddCheckBox(GroupBox1, "papierkorb", {8, 24, 121, 17}, u8"Papierkorb löschen"_cp1252, 0);
  temploesch = AddCheckBox(GroupBox1, "temploesch", {8, 48, 97, 17}, u8"Temp löschen"_cp1252, 1);
  doku = AddCheckBox(GroupBox1, "doku", {8, 72, 113, 17}, "Dokumenten-Liste", 2);
}

// The non-visual components, in their stored order.
void TForm1::CreateComponents() {
  Timer1 = new TTimer(this);
  Timer1->SetName("Timer1");
  Timer1->SetEnabled(false);
  Timer1->SetInterval(2500);
  Timer1->OnTimer = NotifyEvent(this, &TForm1::Timer1Timer);

  // The splash picture, shown at load completion for six seconds. The stored
  // picture is read into the component's own bitmap: decoded once.
  NagScreen1 = new TNagScreen(this);
  NagScreen1->SetName("NagScreen1");
  NagScreen1->Picture().LoadFromResource(GetModuleHandleA(nullptr), IDB_SPLASH);
  NagScreen1->SetTimeToStay(6000);
  NagScreen1->SetDisappearOnClick(false);

  MinTray1 = new TMinTray(this);
  MinTray1->SetName("MinTray1");
  MinTray1->SetHint("Doppelklickzum wiederherstellen");

  CreateTrayMenu();
  MinTray1->SetPopupMenu(PopupMenu1);
  CreateStyle();
}

namespace {

TMenuItem* AddItem(TPopupMenu* menu, const char* name, const char* caption, TNotifyEvent onClick) {
  auto* item = new TMenuItem(menu->Owner());
  item->SetName(name);
  item->SetCaption(caption);
  item->OnClick = onClick;
  menu->Items()->Add(item);
  return item;
}

}  // namespace

void TForm1::CreateTrayMenu() {
  PopupMenu1 = new TPopupMenu(this);
  PopupMenu1->SetName("PopupMenu1");
  PopupMenu1->SetOwnerDraw(true);
  PopupMenu1->OnPopup = NotifyEvent(this, &TForm1::PopupMenu1Popup);
  Wiederherstellen1 =
      AddItem(PopupMenu1, "Wiederherstellen1", "Wiederherstellen", NotifyEvent(this, &TForm1::Wiederherstellen1Click));
  Subern1 = AddItem(PopupMenu1, "Subern1", u8"Säubern"_cp1252, NotifyEvent(this, &TForm1::Subern1Click));
  About1 = AddItem(PopupMenu1, "About1", "About", NotifyEvent(this, &TForm1::About1Click));
  N1 = AddItem(PopupMenu1, "N1", "-", {});
  Proxyausschalten1 = AddItem(PopupMenu1, "Proxyausschalten1", "Proxy ausschalten",
                              NotifyEvent(this, &TForm1::Proxyausschalten1Click));
  Proxyeinschalten1 = AddItem(PopupMenu1, "Proxyeinschalten1", "Proxy einschalten",
                              NotifyEvent(this, &TForm1::Proxyeinschalten1Click));
  N3 = AddItem(PopupMenu1, "N3", "-", NotifyEvent(this, &TForm1::N3Click));
  N3->SetEnabled(false);
  N2 = AddItem(PopupMenu1, "N2", "-", {});
  Programmbeenden1 =
      AddItem(PopupMenu1, "Programmbeenden1", "Programm beenden", NotifyEvent(this, &TForm1::Programmbeenden1Click));
}

// The flat look, last: Active, applied last of all, hooks the controls and
// owner-draws the tray menu.
void TForm1::CreateStyle() {
  XPStyle1 = new TXPStyle(this);
  XPStyle1->SetName("XPStyle1");
  XPStyle1->SetDimLevel(30);
  XPStyle1->SetGrayLevel(10);
  TFont menuFont;
  menuFont.SetName("MS Sans Serif");
  menuFont.SetHeight(-11);
  menuFont.SetCharset(ANSI_CHARSET);
  menuFont.SetColor(clMenuText);
  XPStyle1->SetFont(menuFont);
  XPStyle1->SetColor(clBtnFace);
  XPStyle1->SetIconBackColor(clBtnFace);
  XPStyle1->SetMenuBarColor(clBtnFace);
  XPStyle1->SetSelectColor(clHighlight);
  XPStyle1->SetSelectBorderColor(clHighlight);
  XPStyle1->SetSelectFontColor(clMenuText);
  XPStyle1->SetDisabledColor(clInactiveCaption);
  XPStyle1->SetSeparatorColor(clBtnFace);
  XPStyle1->SetCheckedColor(clHighlight);
  XPStyle1->SetIconWidth(24);
  XPStyle1->SetDrawSelect(true);
  XPStyle1->SetUseSystemColors(true);
  XPStyle1->SetOverrideOwnerDraw(false);
  XPStyle1->SetGradient(false);
  XPStyle1->SetFlatMenu(true);
  XPStyle1->SetAutoDetect(true);
  XPStyle1->SetActive(true);
}

void TForm1::FormCreate(TObject*) {
  StartMinimized = false;
  AutoStart = false;

  TOptions options;
  options.RecycleBin = papierkorb->Checked();
  options.TempFolder = temploesch->Checked();
  options.Documents = doku->Checked();
  ReadSettingsFile(SettingsFilePath(), options);
  papierkorb->SetChecked(options.RecycleBin);
  temploesch->SetChecked(options.TempFolder);
  doku->SetChecked(options.Documents);
  StartMinimized = options.StartMinimized;
  AutoStart = options.AutoStart;

  TempFolderPath = QueryTempFolderPath();
  Edit2->SetText("http://www.");
  Edit1->SetText(GetStartPage());
  if (AutoStart) {
    // Published before the cleaning, however long it takes: a second start
    // meanwhile finds the window and does not take this program for dead.
    PublishMainWindow(Handle());
    Button1Click(this);
  }
  if (StartMinimized) SetWindowState(wsMinimized);
}

void TForm1::FormDestroy(TObject*) {
  TOptions options;
  options.RecycleBin = papierkorb->Checked();
  options.TempFolder = temploesch->Checked();
  options.Documents = doku->Checked();
  options.StartMinimized = StartMinimized;
  options.AutoStart = AutoStart;
  WriteSettingsFile(SettingsFilePath(), options);
}

void TForm1::WndProc(TMessage& message) {
  if (message.Msg == BringToUserMessage()) {
    BringToUser();
    return;
  }
  TForm::WndProc(message);
  SystemSettingChange(message);
}

bool TForm1::AppWindowHook(TMessage& message) {
  SystemSettingChange(message);
  return false;
}

void TForm1::SystemSettingChange(const TMessage& message) {
  if ((message.Msg == WM_SETTINGCHANGE || message.Msg == WM_SYSCOLORCHANGE) && XPStyle1 && !Destroying())
    XPStyle1->SystemSettingChange(message.Msg, message.WParam);
}

void TForm1::BringToUser() {
  if (TCustomForm* modal = Application->ModalForm()) {
    modal->BringToFront();
  } else if (MinTray1->IsMinimized()) {
    MinTray1->RestoreFromTray();
  } else if (Visible()) {
    BringToFront();
  }
}

void TForm1::Button2Click(TObject*) {
  // Taken as typed: no trimming, no case folding.
  std::string text = Edit2->Text();
  if (text.empty()) {
    ShowMessage(u8"Geben Sie eine gültige Startseite an!"_cp1252);
    return;
  }
  if (text == "http://www.") {
    ShowMessage(u8"Sie müssen schon eine Startseite angeben"_cp1252);
    return;
  }
  SetStartPage(text);
}

// The dialogs are not opened on top of a run: it would go on below them.
void TForm1::Button3Click(TObject*) {
  if (FRunning) return;
  std::unique_ptr<TForm2, TComponentFree> about(new TForm2(Application));
  about->ShowModal();
}

void TForm1::Button4Click(TObject*) {
  if (FRunning) return;
  std::unique_ptr<TForm3, TComponentFree> dialog(new TForm3(Application));
  dialog->CheckBox1->SetChecked(StartMinimized);
  dialog->CheckBox2->SetChecked(AutoStart);
  // The flags are taken back however the display ends.
  struct TTakeBack {
    TForm3& Dialog;
    ~TTakeBack() {
      StartMinimized = Dialog.CheckBox1->Checked();
      AutoStart = Dialog.CheckBox2->Checked();
    }
  } takeBack{*dialog};
  dialog->ShowModal();
}
