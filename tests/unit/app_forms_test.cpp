// The program's three windows: the main window's controls and start-up,
// the settings round trip, the two dialogs and the start option flags.
#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "app/Settings.h"
#include "app/SingleInstance.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "browser/StartPage.h"
#include "clean/Cleaning.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/app_support.h"
#include "base/Cp1252.h"
#include "base/SysUtils.h"

using app_support::IconSize;
using app_support::Pump;
using app_support::Sandbox;
using app_support::ThreadWindows;
using app_support::WhenIdle;
using app_support::WriteFileBytes;

namespace {

using Form1Ptr = std::unique_ptr<TForm1, TComponentFree>;

// The main window built against the test double, with its settings file in
// a sandbox folder of its own.
class MainWindow : public ::testing::Test {
protected:
  void SetUp() override {
    Folder = Sandbox(::testing::UnitTest::GetInstance()->current_test_info()->name());
    Fake.ModuleName = Folder + "spurwisch.exe";
    Fake.TempPath = Folder + "Temp\\";
  }
  void TearDown() override {
    Form.reset();
    ReleaseHistory();  // may hold the double's history object
    RunFinished = false;
  }
  TForm1* Create(const std::string& settings = "<none>") {
    if (settings != "<none>") WriteFileBytes(Folder + "spurwisch.cfg", settings);
    {
      app_support::TSplashCloser closer;
      Form.reset(new TForm1(Application));
      EXPECT_EQ(closer.Closed(), 1) << "the splash picture showed once";
    }
    return Form.get();
  }
  // The settings file as the double saw it written: the new file that was
  // put in the settings file's place.
  std::string Settings() {
    std::string path = Folder + "spurwisch.cfg", fresh = path + ".new";
    auto moves = Fake.CallsOf("MoveFileExW");
    if (moves.empty() || moves.back() != "MoveFileExW(" + fresh + ", " + path + ", 0x9)") return "<missing>";
    return Fake.Written[fresh];
  }

  std::string Folder;
  TFakePlatform Fake;
  TPlatformGuard Guard{Fake};
  Form1Ptr Form;
};

void ExpectControl(TControl* control, const char* name, const std::string& caption, RECT bounds) {
  SCOPED_TRACE(name);
  EXPECT_EQ(control->Name(), name);
  EXPECT_EQ(control->Caption(), caption);
  EXPECT_EQ(control->Left(), bounds.left);
  EXPECT_EQ(control->Top(), bounds.top);
  EXPECT_EQ(control->Width(), bounds.right);
  EXPECT_EQ(control->Height(), bounds.bottom);
}

std::string WindowClass(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

}  // namespace

TEST_F(MainWindow, HasEveryControlOfTheDesign) {
  TForm1* form = Create();
  EXPECT_EQ(form->Width(), 377);
  EXPECT_EQ(form->Height(), 241);
  EXPECT_EQ(form->Position(), poScreenCenter);
  std::string caption = form->Caption();
  EXPECT_NE(caption.find("Spurwisch"), std::string::npos);
  EXPECT_NE(caption.find("1.0"), std::string::npos);
  EXPECT_EQ(caption.substr(caption.size() - 8), "freeware");

  ExpectControl(form->Edit1, "Edit1", GetStartPage(), {32, 24, 329, 21});
  ExpectControl(form->Button2, "Button2", u8"Ändere"_cp1252, {280, 48, 75, 25});
  ExpectControl(form->Edit2, "Edit2", "http://www.", {32, 72, 329, 21});
  ExpectControl(form->Button1, "Button1", u8"&Aktion durchführen."_cp1252, {0, 104, 105, 25});
  ExpectControl(form->Button3, "Button3", "A&bout", {112, 104, 105, 25});
  ExpectControl(form->Button4, "Button4", "Startoptionen", {72, 136, 75, 25});
  ExpectControl(form->BitBtn1, "BitBtn1", "&Close", {72, 176, 73, 25});
  ExpectControl(form->GroupBox1, "GroupBox1", u8"Löschoptionen"_cp1252, {216, 96, 145, 97});
  ExpectControl(form->papierkorb, "papierkorb", u8"Papierkorb löschen"_cp1252, {8, 24, 121, 17});
  ExpectControl(form->temploesch, "temploesch", u8"Temp löschen"_cp1252, {8, 48, 97, 17});
  ExpectControl(form->doku, "doku", "Dokumenten-Liste", {8, 72, 113, 17});
  EXPECT_EQ(form->Label1->Caption(), "IE Startseite");
  EXPECT_EQ(form->Label2->Caption(), u8"Ändere nach:"_cp1252);
  EXPECT_EQ(form->Label1->Left(), 32);
  EXPECT_EQ(form->Label2->Top(), 56);
  EXPECT_TRUE(form->Edit1->ReadOnly());
  EXPECT_FALSE(form->Edit2->ReadOnly());
  EXPECT_FALSE(form->BitBtn1->Glyph().Empty());

  // Tab order of the window, and of the group box for its check boxes.
  std::vector<TWinControl*> tabs = form->TabList();
  EXPECT_EQ(tabs, (std::vector<TWinControl*>{form->Button1, form->Edit1, form->Edit2, form->Button2,
                                             form->GroupBox1, form->Button3, form->BitBtn1, form->Button4}));
  EXPECT_EQ(form->GroupBox1->TabList(),
            (std::vector<TWinControl*>{form->papierkorb, form->temploesch, form->doku}));

  // Window classes are the control class names.
  EXPECT_EQ(WindowClass(form->Handle()), "TForm1");
  EXPECT_EQ(WindowClass(form->BitBtn1->Handle()), "TBitBtn");
  EXPECT_EQ(WindowClass(form->Edit1->Handle()), "TEdit");
  EXPECT_EQ(WindowClass(form->doku->Handle()), "TCheckBox");
}

TEST_F(MainWindow, NonVisualComponentsFollowTheControlsInStoredOrder) {
  TForm1* form = Create();
  auto indexOf = [form](TComponent* component) {
    for (int i = 0; i < form->ComponentCount(); ++i)
      if (form->Components(i) == component) return i;
    return -1;
  };
  int lastControl = -1;
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (Is<TControl>(form->Components(i))) lastControl = i;
  // Timer1, the splash, the tray icon, then the tray menu (its items follow it).
  EXPECT_EQ(indexOf(form->Timer1), lastControl + 1);
  EXPECT_EQ(indexOf(form->NagScreen1), lastControl + 2);
  EXPECT_EQ(indexOf(form->MinTray1), lastControl + 3);
  EXPECT_LT(indexOf(form->MinTray1), indexOf(form->PopupMenu1));
  EXPECT_EQ(indexOf(form->Programmbeenden1), form->ComponentCount() - 2);
  EXPECT_EQ(indexOf(form->XPStyle1), form->ComponentCount() - 1) << "the style component is last";
  EXPECT_EQ(form->Timer1->Name(), "Timer1");
  EXPECT_EQ(form->Timer1->Interval(), 2500u);
  EXPECT_FALSE(form->Timer1->Enabled());

  // The splash picture: the resource bitmap, six seconds, clicks ignored.
  EXPECT_EQ(form->NagScreen1->Picture().Width(), 230);
  EXPECT_EQ(form->NagScreen1->Picture().Height(), 365);
  EXPECT_EQ(form->NagScreen1->TimeToStay(), 6000u);
  EXPECT_FALSE(form->NagScreen1->DisappearOnClick());
  EXPECT_FALSE(form->NagScreen1->OnBeforeNag.Assigned());
  EXPECT_FALSE(form->NagScreen1->OnAfterNag.Assigned());
  EXPECT_EQ(form->NagScreen1->NagForm(), nullptr) << "released after the start";
}

TEST_F(MainWindow, WithoutSettingsFileAllThreeBoxesAreCheckedAndNoRunHappens) {
  TForm1* form = Create();
  EXPECT_TRUE(form->papierkorb->Checked());
  EXPECT_TRUE(form->temploesch->Checked());
  EXPECT_TRUE(form->doku->Checked());
  EXPECT_FALSE(StartMinimized);
  EXPECT_FALSE(AutoStart);
  EXPECT_EQ(form->WindowState(), wsNormal);
  EXPECT_TRUE(Fake.CallsOf("CoCreateInstance").empty());
  EXPECT_EQ(TempFolderPath, Utf16(Folder + "Temp\\"));

  Form.reset();  // the destroy handler writes a complete file
  EXPECT_EQ(Settings(), "1\r\n1\r\n1\r\n0\r\n0\r\n");
}

TEST_F(MainWindow, SettingsFileSetsBoxesAndFlags) {
  TForm1* form = Create("0\r\n1\r\n0\r\n1\r\n0\r\n");
  EXPECT_FALSE(form->papierkorb->Checked());
  EXPECT_TRUE(form->temploesch->Checked());
  EXPECT_FALSE(form->doku->Checked());
  EXPECT_TRUE(StartMinimized);
  EXPECT_FALSE(AutoStart);
  EXPECT_EQ(form->WindowState(), wsMinimized) << "recorded only; the loop acts on it";
  EXPECT_FALSE(form->Visible());

  form->doku->SetChecked(true);
  Form.reset();
  EXPECT_EQ(Settings(), "0\r\n1\r\n1\r\n1\r\n0\r\n");
}

TEST_F(MainWindow, AutoStartRunsTheCleaningBeforeTheWindowIsShown) {
  TSingleInstance instance("TForm1");  // this test program is the session's first
  TForm1* form = Create("0\r\n0\r\n0\r\n1\r\n1\r\n");
  EXPECT_EQ(instance.Published(), form->Handle()) << "a second start during the cleaning finds the window";
  EXPECT_TRUE(AutoStart);
  EXPECT_EQ(Fake.CallsOf("CoCreateInstance").size(), 1u);
  EXPECT_FALSE(Fake.CallsOf("FindFirstUrlCacheEntryA").empty());
  EXPECT_TRUE(Fake.CallsOf("SHAddToRecentDocs").empty()) << "documents box unchecked";
  EXPECT_TRUE(RunFinished);
  EXPECT_TRUE(form->Timer1->Enabled());
  EXPECT_EQ(form->WindowState(), wsMinimized);
  RunFinished = false;
  form->Timer1->SetEnabled(false);
}

TEST_F(MainWindow, AFailingAutoStartRunIsReportedAndSkipsTheMinimising) {
  Fake.Fail("CoCreateInstance", 0, static_cast<DWORD>(REGDB_E_CLASSNOTREG));
  app_support::TCollectedErrors errors;
  TForm1* form = Create("1\r\n1\r\n1\r\n1\r\n1\r\n");
  ASSERT_EQ(errors.Messages.size(), 1u);
  EXPECT_EQ(errors.Messages[0], EOleSysError(REGDB_E_CLASSNOTREG).Message());
  EXPECT_EQ(form->WindowState(), wsNormal);
  EXPECT_TRUE(Fake.CallsOf("FindFirstUrlCacheEntryA").empty());
  form->Timer1->SetEnabled(false);
}

TEST_F(MainWindow, TempFolderPathIsEmptyWhenGetTempPathFailsOrOverflows) {
  Fake.Fail("GetTempPathW");
  Create();
  EXPECT_EQ(TempFolderPath, L"");
  Form.reset();

  TFakePlatform longTemp;
  TPlatformGuard guard(longTemp);
  longTemp.ModuleName = Fake.ModuleName;
  longTemp.TempPath = "C:\\" + std::string(300, 't') + "\\";
  Create();
  EXPECT_EQ(TempFolderPath, L"");
  auto calls = longTemp.CallsOf("GetTempPathW");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0], "GetTempPathW(261)");
}

TEST_F(MainWindow, AWriteFailureAtExitIsReportedAndTheWindowStillGoes) {
  Create();
  Fake.Fail("MoveFileExW");
  app_support::TCollectedErrors errors;
  HWND window = Form->Handle();
  Form.reset();
  EXPECT_FALSE(IsWindow(window));
  ASSERT_EQ(errors.Messages.size(), 1u);
  EXPECT_FALSE(errors.Messages[0].empty());
}

TEST_F(MainWindow, StartOptionsDialogTakesTheFlagsBackHoweverItCloses) {
  TForm1* form = Create();
  form->Show();
  auto openAndChange = [&](bool useOkButton, bool expectMinimized, bool expectAuto) {
    std::string seen;
    WhenIdle([&] {
      auto windows = ThreadWindows("TForm3");
      ASSERT_EQ(windows.size(), 1u);
      auto* dialog = static_cast<TForm3*>(TWinControl::FromHandle(windows[0]));
      seen = std::string(dialog->CheckBox1->Checked() ? "1" : "0") + (dialog->CheckBox2->Checked() ? "1" : "0");
      EXPECT_FALSE(IsWindowEnabled(form->Handle()));
      SendMessageA(dialog->CheckBox2->Handle(), BM_CLICK, 0, 0);
      if (useOkButton)
        PostMessageA(dialog->Button1->Handle(), BM_CLICK, 0, 0);
      else
        PostMessageA(windows[0], WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    form->Button4Click(form);
    EXPECT_EQ(StartMinimized, expectMinimized);
    EXPECT_EQ(AutoStart, expectAuto);
    EXPECT_TRUE(ThreadWindows("TForm3").empty()) << "the dialog is destroyed";
    return seen;
  };
  EXPECT_EQ(openAndChange(false, false, true), "00");  // title-bar close keeps the change
  EXPECT_EQ(openAndChange(true, false, false), "01");  // the dialog showed the flag, Ok keeps the change
  StartMinimized = true;
  EXPECT_EQ(openAndChange(true, true, true), "10");
  Form.reset();
  EXPECT_EQ(Settings(), "1\r\n1\r\n1\r\n1\r\n1\r\n");
}

TEST_F(MainWindow, AboutDialogShowsTheTextAndClosesWithOk) {
  TForm1* form = Create();
  std::string memo;
  WhenIdle([&] {
    auto windows = ThreadWindows("TForm2");
    ASSERT_EQ(windows.size(), 1u);
    auto* about = static_cast<TForm2*>(TWinControl::FromHandle(windows[0]));
    memo = about->Memo1->Text();
    EXPECT_EQ(about->Caption(), "About");
    EXPECT_EQ(about->Left(), 420);
    EXPECT_EQ(about->Top(), 289);
    EXPECT_EQ(about->Width(), 247);
    EXPECT_EQ(about->Height(), 262);
    EXPECT_TRUE(about->Memo1->ReadOnly());
    EXPECT_EQ(about->Label1->Font().Color(), clBlue);
    EXPECT_TRUE(about->Label2->Font().Style() & fsUnderline);
    EXPECT_EQ(about->Label2->Cursor(), crHandPoint);
    PostMessageA(about->Button1->Handle(), BM_CLICK, 0, 0);
  });
  form->Button3Click(form);
  EXPECT_TRUE(ThreadWindows("TForm2").empty());

  // Lines 2 to 12 exactly, trailing blanks included, in Windows-1252.
  const std::string expected =
      "Diese Programm ist freeware. Was macht es? \r\n"
      "Es l\xF6scht die Spuren die der IE hinterl\xE4st. Das \r\n"
      "hei\xDFt, die Cookies, den Verlauf und die Temp. \r\n"
      "Internet Files. Diese werden standardm\xDFig \r\n"
      "gel\xF6scht. Eingestellt werden kann zus\xE4tzlich:\r\n"
      "Papierkorb l\xF6schen, ist klar. Temp  l\xF6schen.\r\n"
      "Das ist das Tempverzeichnis. ACHTUNG:Es \r\n"
      "werden komplett alle Dateien und \r\n"
      "Verzeichnisse imTemp-Folder gel\xF6scht und  \r\n"
      "das alles ohne Abfrage. Doku.List. Das ist \r\n"
      "diese hier Start/Dokumente.";
  size_t firstBreak = memo.find("\r\n");
  ASSERT_NE(firstBreak, std::string::npos);
  EXPECT_NE(memo.substr(0, firstBreak).find("Spurwisch"), std::string::npos);
  EXPECT_EQ(memo.substr(firstBreak + 2), expected);
}

// A click on each link label opens its address through the shell, once,
// owned by the Application window; the dialog stays open.
TEST_F(MainWindow, AboutLinksOpenTheirAddressThroughTheShell) {
  TForm1* form = Create();
  bool open = false;
  WhenIdle([&] {
    auto windows = ThreadWindows("TForm2");
    ASSERT_EQ(windows.size(), 1u);
    auto* about = static_cast<TForm2*>(TWinControl::FromHandle(windows[0]));
    for (TLabel* link : {about->Label1, about->Label2}) {
      const LPARAM at = MAKELPARAM(link->Left() + 4, link->Top() + 4);
      SendMessageA(windows[0], WM_MOUSEMOVE, 0, at);
      SendMessageA(windows[0], WM_LBUTTONDOWN, MK_LBUTTON, at);
      SendMessageA(windows[0], WM_LBUTTONUP, 0, at);
    }
    open = IsWindowVisible(windows[0]);
    PostMessageA(about->Button1->Handle(), BM_CLICK, 0, 0);
  });
  form->Button3Click(form);
  char owner[24];
  const auto handle = reinterpret_cast<std::uintptr_t>(Application->Handle());
  std::snprintf(owner, sizeof owner, "0x%lX", static_cast<unsigned long>(handle));
  EXPECT_EQ(Fake.CallsOf("ShellExecuteA"),
            (std::vector<std::string>{
                std::string("ShellExecuteA(") + owner + ", open, mailto:heiko.brandt@spurwisch.example, null, null, 1)",
                std::string("ShellExecuteA(") + owner + ", open, http://www.spurwisch.example/, null, null, 1)"}));
  EXPECT_TRUE(open) << "the dialog stays open after the links";
}

TEST(OptionsDialog, MatchesTheDesign) {
  std::unique_ptr<TForm3, TComponentFree> dialog(new TForm3(Application));
  EXPECT_EQ(dialog->Caption(), "Optionen");
  EXPECT_EQ(dialog->Left(), 487);
  EXPECT_EQ(dialog->Top(), 354);
  EXPECT_EQ(dialog->Width(), 190);
  EXPECT_EQ(dialog->Height(), 136);
  EXPECT_EQ(dialog->CheckBox1->Caption(), "Minimiert starten");
  EXPECT_EQ(dialog->CheckBox2->Caption(), "Aktion automatisch starten");
  EXPECT_EQ(dialog->CheckBox2->Width(), 153);
  EXPECT_EQ(dialog->Button1->Caption(), "Ok");
  EXPECT_EQ(dialog->TabList(), (std::vector<TWinControl*>{dialog->CheckBox1, dialog->CheckBox2, dialog->Button1}));
}

namespace {

// The form's font height, and every control's bounds and font height.
using TLayout = std::vector<std::array<LONG, 5>>;

TLayout LayoutOf(TForm1* form) {
  TLayout layout{{form->Font().Height(), 0, 0, 0, 0}};
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (auto* c = dynamic_cast<TControl*>(form->Components(i))) {
      const RECT r = c->BoundsRect();
      layout.push_back({r.left, r.top, r.right, r.bottom, c->Font().Height()});
    }
  return layout;
}

RECT ChildRect(TWinControl* control) {
  RECT r;
  GetWindowRect(control->Handle(), &r);
  MapWindowPoints(nullptr, GetParent(control->Handle()), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace

// Wine has one DPI and sends no WM_DPICHANGED: the test sends it as Windows
// does when the window moves to a monitor of another DPI.
TEST_F(MainWindow, MovedToAnotherDpiItTakesTheSuggestedRectangleAndComesBackExactly) {
  TForm1* form = Create();
  form->Show();
  Pump(100);
  const TLayout at96 = LayoutOf(form);
  RECT original;
  GetWindowRect(form->Handle(), &original);
  auto moveTo = [&](UINT dpi, RECT suggested) {
    SendMessageA(form->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    Pump(50);
    RECT window;
    GetWindowRect(form->Handle(), &window);
    EXPECT_TRUE(EqualRect(&window, &suggested)) << "the suggested rectangle at " << dpi;
    EXPECT_EQ(form->Dpi(), dpi);
  };

  moveTo(144, {100, 80, 664, 439});
  struct TCase {
    TWinControl* Control;
    RECT Design;  // left, top, right, bottom at 96 DPI
  } cases[] = {{form->Button1, {0, 104, 105, 129}}, {form->Edit2, {32, 72, 361, 93}},
               {form->GroupBox1, {216, 96, 361, 193}}, {form->papierkorb, {8, 24, 129, 41}},
               {form->BitBtn1, {72, 176, 145, 201}}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Control->Name());
    const RECT want{MulDiv(c.Design.left, 3, 2), MulDiv(c.Design.top, 3, 2), MulDiv(c.Design.right, 3, 2),
                    MulDiv(c.Design.bottom, 3, 2)};
    const RECT bounds = c.Control->BoundsRect(), window = ChildRect(c.Control);
    EXPECT_TRUE(EqualRect(&bounds, &want) && EqualRect(&window, &want))
        << "at " << bounds.left << "," << bounds.top << " to " << bounds.right << "," << bounds.bottom;
  }
  EXPECT_EQ(form->Font().Height(), -16) << "8 points at 144 DPI";
  EXPECT_EQ(form->doku->Font().Height(), -16) << "the controls take the form's font";
  SIZE small = IconSize(reinterpret_cast<HICON>(SendMessageA(form->Handle(), WM_GETICON, ICON_SMALL, 0)));
  SIZE large = IconSize(reinterpret_cast<HICON>(SendMessageA(form->Handle(), WM_GETICON, ICON_BIG, 0)));
  EXPECT_EQ((std::vector<LONG>{small.cx, small.cy, large.cx, large.cy}), (std::vector<LONG>{24, 24, 48, 48}))
      << "the icon's own images for 144 DPI";

  moveTo(120, {100, 80, 572, 383});
  moveTo(96, original);
  EXPECT_EQ(LayoutOf(form), at96) << "144, then 120, then back to 96: the stored layout, nothing drifted";
}
