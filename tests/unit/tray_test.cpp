// The tray icon component: its states and transitions, driven by the
// Application window's real messages, with the shell calls recorded.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "app/Unit1.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/app_support.h"
#include "tray/MinTray.h"
#include "ui/Menus.h"

using app_support::Pump;
using app_support::WhenIdle;

namespace {

// A form that finishes loading on request, as a stored window does.
class TTrayForm : public TForm {
public:
  explicit TTrayForm(TComponent* owner) : TForm(owner) {
    BeginLoading();
    SetBounds(100, 100, 300, 200);
  }
  void Finish() { FinishLoading(); }
};

struct TFormFree {
  void operator()(TComponent* component) const { component->Free(); }
};

class Tray : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_EQ(Application->MainForm(), nullptr); }
  void TearDown() override {
    Form.reset();
    ShowWindow(Application->Handle(), SW_HIDE);
    if (IsIconic(Application->Handle())) ShowWindow(Application->Handle(), SW_RESTORE);
    ShowWindow(Application->Handle(), SW_HIDE);
  }
  // A main form owning one tray component with the given settings.
  TMinTray* Create(TTrayMode mode = tmOnMinimize, const std::string& hint = "Doppelklickzum wiederherstellen") {
    Form.reset(new TTrayForm(Application));
    TMinTray* tray = new TMinTray(Form.get());
    tray->SetHint(hint);
    tray->SetTrayMode(mode);
    Form->Finish();
    return tray;
  }
  void Callback(LPARAM mouseMessage) {
    SendMessageA(Application->Handle(), WM_TRAYICONCALLBACK, 1, mouseMessage);
  }
  std::vector<std::string> Shell() const { return Fake.CallsOf("Shell_NotifyIconA"); }
  std::string AddCall(const std::string& tip) const {
    return "Shell_NotifyIconA(0, " + std::to_string(NOTIFYICONDATAA_V1_SIZE) + ", " + Hex(Application->Handle()) +
           ", 1, 7, 1025, " + Hex(Application->SmallIcon()) + ", " + tip + ")";
  }
  static std::string Hex(void* handle) {
    char text[32];
    wsprintfA(text, "0x%lX", static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(handle)));
    return text;
  }

  TFakePlatform Fake;
  TPlatformGuard Guard{Fake};
  std::unique_ptr<TTrayForm, TFormFree> Form;
};

}  // namespace

TEST_F(Tray, MinimiseHidesTheButtonAndAddsTheIconADoubleClickRestores) {
  TMinTray* tray = Create();
  EXPECT_TRUE(tray->Hooked());
  Form->Show();
  Pump(50);
  EXPECT_TRUE(Shell().empty()) << "no icon while shown";

  SendMessageA(Form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  Pump(50);
  EXPECT_TRUE(IsIconic(Application->Handle()));
  EXPECT_FALSE(IsWindowVisible(Application->Handle())) << "taskbar button hidden";
  EXPECT_FALSE(IsWindowVisible(Form->Handle()));
  EXPECT_TRUE(tray->IsMinimized());
  ASSERT_EQ(Shell().size(), 1u);
  EXPECT_EQ(Shell()[0], AddCall("Doppelklickzum wiederherstellen"));

  // The shell sends the release of the first click before the double click.
  Callback(WM_LBUTTONUP);
  EXPECT_TRUE(tray->IsMinimized());
  Callback(0x1234);  // unknown: nothing
  Callback(WM_MOUSEMOVE);
  EXPECT_EQ(Shell().size(), 1u);
  Callback(WM_LBUTTONDBLCLK);
  Pump(50);
  EXPECT_FALSE(tray->IsMinimized());
  EXPECT_FALSE(tray->IconShown());
  EXPECT_FALSE(IsIconic(Application->Handle()));
  EXPECT_TRUE(IsWindowVisible(Form->Handle()));
  ASSERT_EQ(Shell().size(), 2u);
  EXPECT_EQ(Shell()[1].substr(0, 21), "Shell_NotifyIconA(2, ") << "NIM_DELETE";
}

TEST_F(Tray, ClickModeRestoresOnTheReleaseAndTheDoubleClickFindsNothingToDo) {
  TMinTray* tray = Create();
  tray->SetRestoreMode(rmClick);
  Application->Minimize();
  Pump(30);
  Callback(WM_LBUTTONUP);
  EXPECT_FALSE(tray->IsMinimized());
  Callback(WM_LBUTTONDBLCLK);
  EXPECT_EQ(Shell().size(), 2u) << "one add, one delete";
}

TEST_F(Tray, TheTipIsTheHintCutTo63OrTheTitleAndSetHintModifiesOnlyTheTip) {
  struct TCase {
    std::string Hint, Tip;
  } cases[] = {
      {"Doppelklickzum wiederherstellen", "Doppelklickzum wiederherstellen"},
      {std::string(63, 'x'), std::string(63, 'x')},
      {std::string(64, 'y') + "z", std::string(63, 'y')},
      {"", "Unit_tests"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Hint);
    Fake.Calls.clear();
    TMinTray* tray = Create(tmOnMinimize, c.Hint);
    Application->Minimize();
    Pump(30);
    ASSERT_EQ(Shell().size(), 1u);
    EXPECT_EQ(Shell()[0], AddCall(c.Tip));
    EXPECT_EQ(std::string(tray->IconData().szTip), c.Tip);
    tray->RestoreFromTray();
    Form.reset();
  }

  Fake.Calls.clear();
  TMinTray* tray = Create();
  tray->SetHint("changed while hidden");  // no icon: no call
  EXPECT_TRUE(Shell().empty());
  Application->Minimize();
  Pump(30);
  Fake.Calls.clear();
  tray->SetHint("");
  tray->SetHint("");  // unchanged: no call
  ASSERT_EQ(Shell().size(), 1u);
  EXPECT_EQ(Fake.NotifyRecords.back().uFlags, static_cast<UINT>(NIF_TIP));
  EXPECT_STREQ(Fake.NotifyRecords.back().szTip, "") << "an empty hint is an empty tip here";
  EXPECT_STREQ(tray->IconData().szTip, "changed while hidden") << "the added record keeps its tip";
}

TEST_F(Tray, AlwaysModeShowsTheIconFromLoadingOnAndKeepsItThroughRestore) {
  TMinTray* tray = Create(tmAlways);
  ASSERT_EQ(Shell().size(), 1u);
  EXPECT_TRUE(tray->IconShown());
  Application->Minimize();
  Pump(30);
  EXPECT_EQ(Shell().size(), 1u) << "not added a second time";
  tray->RestoreFromTray();
  EXPECT_TRUE(tray->IconShown());
  EXPECT_EQ(Shell().size(), 1u);

  // Back to on-minimise while shown removes the icon at once.
  tray->SetTrayMode(tmOnMinimize);
  EXPECT_FALSE(tray->IconShown());
  // While in the tray it keeps the icon until the next restore.
  Application->Minimize();
  Pump(30);
  tray->SetTrayMode(tmAlways);
  tray->SetTrayMode(tmOnMinimize);
  EXPECT_TRUE(tray->IconShown());
  tray->RestoreFromTray();
  EXPECT_FALSE(tray->IconShown());
}

TEST_F(Tray, WithoutHidingTheTaskbarButtonStaysAndItsRestoreCommandRemovesTheIcon) {
  TMinTray* tray = Create();
  tray->SetHideWhenMinimized(false);
  Application->Minimize();
  Pump(30);
  EXPECT_TRUE(IsWindowVisible(Application->Handle()));
  EXPECT_TRUE(tray->IconShown());
  // Switching the setting while in the tray acts on the button at once.
  tray->SetHideWhenMinimized(true);
  EXPECT_FALSE(IsWindowVisible(Application->Handle()));
  tray->SetHideWhenMinimized(false);
  EXPECT_TRUE(IsWindowVisible(Application->Handle()));

  SendMessageA(Application->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  Pump(30);
  EXPECT_FALSE(tray->IsMinimized());
  EXPECT_FALSE(tray->IconShown());
}

TEST_F(Tray, OtherSizeKindsAndMaskedRestoreCommandsChangeNothing) {
  TMinTray* tray = Create();
  for (WPARAM kind : {SIZE_RESTORED, SIZE_MAXIMIZED, SIZE_MAXSHOW, SIZE_MAXHIDE})
    SendMessageA(Application->Handle(), WM_SIZE, kind, 0);
  EXPECT_FALSE(tray->IsMinimized());
  EXPECT_TRUE(Shell().empty());
  Application->Minimize();
  Pump(30);
  // The restore command is compared whole.
  SendMessageA(Application->Handle(), WM_USER + 99, SC_RESTORE + 2, 0);
  EXPECT_TRUE(tray->IsMinimized());
}

TEST_F(Tray, ARestartedTaskbarGetsTheShownIconBack) {
  TMinTray* tray = Create();
  UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  SendMessageA(Application->Handle(), taskbarCreated, 0, 0);
  EXPECT_TRUE(Shell().empty()) << "no icon shown, none added";
  Application->Minimize();
  Pump(30);
  SendMessageA(Application->Handle(), taskbarCreated, 0, 0);
  ASSERT_EQ(Shell().size(), 2u);
  EXPECT_EQ(Shell()[1], Shell()[0]);
  EXPECT_TRUE(tray->IconShown());
}

TEST_F(Tray, ComponentsNotOwnedByTheMainFormStayInert) {
  // Owned by something that is not a form.
  auto* loose = new TMinTray(Application);
  loose->SetTrayMode(tmAlways);
  loose->Loaded();
  // Owned by a second form while another one is the main form.
  TMinTray* mainTray = Create();
  std::unique_ptr<TTrayForm, TFormFree> other(new TTrayForm(Application));
  auto* secondary = new TMinTray(other.get());
  secondary->SetTrayMode(tmAlways);
  other->Finish();
  EXPECT_FALSE(secondary->Hooked());
  EXPECT_TRUE(mainTray->Hooked());
  EXPECT_FALSE(secondary->IconShown());
  Fake.Calls.clear();
  Application->Minimize();
  Pump(30);
  EXPECT_EQ(Shell().size(), 1u) << "only the main form's component acts";
  EXPECT_FALSE(secondary->IsMinimized());
  mainTray->RestoreFromTray();
  loose->Free();
}

TEST_F(Tray, WhileADialogIsModalTheRestoreClickBringsItBackAndTheMenuStaysClosed) {
  TMinTray* tray = Create();
  auto* menu = new TPopupMenu(Form.get());
  tray->SetPopupMenu(menu);
  Application->Minimize();
  Pump(30);
  // A dialog minimised by its own button while the program is in the tray:
  // its owner is hidden, so it has no taskbar button.
  std::unique_ptr<TForm, TFormFree> dialog(new TForm(Application));
  dialog->Show();
  ShowWindow(dialog->Handle(), SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(dialog->Handle()));
  Application->ModalStarted(dialog.get());
  Fake.Calls.clear();
  Callback(WM_RBUTTONUP);
  Callback(WM_LBUTTONUP);  // not the restore click under rmDblClick
  EXPECT_TRUE(IsIconic(dialog->Handle()));
  Callback(WM_LBUTTONDBLCLK);
  Application->ModalEnded();
  EXPECT_FALSE(IsIconic(dialog->Handle()));
  EXPECT_TRUE(IsWindowVisible(dialog->Handle()));
  EXPECT_TRUE(Fake.CallsOf("SetForegroundWindow").empty()) << "no menu opened";
  EXPECT_TRUE(tray->IsMinimized()) << "the program stays in the tray behind its dialog";
  dialog.reset();
  tray->RestoreFromTray();
}

TEST_F(Tray, AnIconTheShellRefusesIsTriedAgainUntilItIsInOrTheWindowComesBack) {
  auto tick = [] { SendMessageA(Application->Handle(), WM_TIMER, TMinTray::RetryTimerId, 0); };
  TMinTray* tray = Create();
  Form->Show();
  Fake.Fail("Shell_NotifyIconA");
  Application->Minimize();
  Pump(30);
  EXPECT_FALSE(tray->IconInTray());
  EXPECT_TRUE(tray->Retrying());
  EXPECT_EQ(Fake.CallsOf("SetTimer"), (std::vector<std::string>{"SetTimer(2000)"}));
  tick();
  tick();
  EXPECT_TRUE(tray->Retrying());
  EXPECT_EQ(Shell().size(), 6u) << "an add and a change asked for, three times";
  // The shell takes the icon at the third try; the timer stops.
  Fake.StopFailing("Shell_NotifyIconA");
  tick();
  EXPECT_TRUE(tray->IconInTray());
  EXPECT_FALSE(tray->Retrying());
  EXPECT_EQ(Fake.CallsOf("KillTimer").size(), 1u);
  tick();  // a tick already queued: nothing
  EXPECT_EQ(Shell().size(), 7u);

  // A restarted taskbar that refuses the icon starts the retries again, and
  // fifteen refusals bring the window back.
  Fake.Fail("Shell_NotifyIconA");
  SendMessageA(Application->Handle(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_TRUE(tray->Retrying());
  for (int i = 1; i < TMinTray::RetryLimit; ++i) tick();
  EXPECT_TRUE(tray->IsMinimized());
  tick();
  Pump(30);
  EXPECT_FALSE(tray->Retrying());
  EXPECT_FALSE(tray->IsMinimized());
  EXPECT_TRUE(IsWindowVisible(Form->Handle()));
  EXPECT_TRUE(IsWindowVisible(Application->Handle()));
  Fake.StopFailing("Shell_NotifyIconA");
}

TEST_F(Tray, DestructionRemovesTheIconAndTheObserver) {
  TMinTray* tray = Create();
  Application->Minimize();
  Pump(30);
  tray->Free();
  ASSERT_EQ(Shell().size(), 2u);
  EXPECT_EQ(Shell()[1].substr(0, 21), "Shell_NotifyIconA(2, ");
  SendMessageA(Application->Handle(), WM_SIZE, SIZE_MINIMIZED, 0);  // no observer left
  EXPECT_EQ(Shell().size(), 2u);
  Application->Restore();
}

TEST_F(Tray, TheRightButtonOpensTheMenuOnceAndForgetsADestroyedMenu) {
  TMinTray* tray = Create();
  auto* menu = new TPopupMenu(Form.get());
  auto* item = new TMenuItem(Form.get());
  item->SetCaption("Eintrag");
  menu->Items()->Add(item);
  int popups = 0;
  class TCounter : public TObject {
  public:
    int* Count;
    TFakePlatform* Fake;
    void Popup(TObject*) {
      ++*Count;
      Fake->Record("OnPopup()");
      // A second right click while the menu is open is ignored.
      SendMessageA(Application->Handle(), WM_TRAYICONCALLBACK, 1, WM_RBUTTONUP);
    }
  } counter;
  counter.Count = &popups;
  counter.Fake = &Fake;
  menu->OnPopup = NotifyEvent(&counter, &TCounter::Popup);
  tray->SetPopupMenu(menu);
  Application->Minimize();
  Pump(30);

  WhenIdle([] { EndMenu(); });
  Fake.Calls.clear();
  Callback(WM_RBUTTONUP);
  EXPECT_EQ(popups, 1);
  ASSERT_NE(menu->Handle(), nullptr);
  EXPECT_EQ(GetMenuItemCount(menu->Handle()), 1);
  // The menu's owner is made the foreground window before the menu opens,
  // and gets a message in its queue after it closed, or the menu would stay
  // open on a click elsewhere.
  std::string owner = Hex(Application->MenuWindow());
  std::vector<std::string> sequence;
  for (const std::string& call : Fake.Calls)
    if (call.rfind("Reg", 0) != 0) sequence.push_back(call);
  EXPECT_EQ(sequence, (std::vector<std::string>{"SetForegroundWindow(" + owner + ")", "OnPopup()",
                                                "PostMessageA(" + owner + ", 0x0)"}));
  MSG posted;
  EXPECT_TRUE(PeekMessageA(&posted, Application->MenuWindow(), WM_NULL, WM_NULL, PM_REMOVE));

  menu->Free();
  EXPECT_EQ(tray->PopupMenu(), nullptr);
  Callback(WM_RBUTTONUP);  // no menu: nothing
  tray->RestoreFromTray();
}
