// Forms and controls of the window library: the loading order, window
// classes, tab order and focus, modal display, notifications.
#include <gtest/gtest.h>

#include <memory>

#include "tests/support/app_support.h"
#include "ui/Buttons.h"
#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"

using app_support::Pump;
using app_support::WhenIdle;

namespace {

std::vector<std::string> Journal;

class TRecordingComponent : public TComponent {
public:
  explicit TRecordingComponent(TComponent* owner) : TComponent(owner) {}
  void Loaded() override {
    TComponent::Loaded();
    Journal.push_back("Loaded " + Name());
  }
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove) Journal.push_back(Name() + " hears removal of " + component->Name());
  }
  ~TRecordingComponent() override { Journal.push_back("Destroyed " + Name()); }
};

class TTestForm : public TForm {
public:
  explicit TTestForm(TComponent* owner, bool withControls = true) : TForm(owner) {
    BeginLoading();
    SetCaption("Test");
    SetBounds(100, 100, 300, 200);
    OnCreate = NotifyEvent(this, &TTestForm::FormCreate);
    OnDestroy = NotifyEvent(this, &TTestForm::FormDestroy);
    if (withControls) {
      Second = Make<TButton>("Second", 1);
      First = Make<TButton>("First", 0);
      Box = Make<TGroupBox>("Box", 2);
      Inner = new TCheckBox(this);
      Inner->SetName("Inner");
      Inner->SetParent(Box);
      Inner->SetBounds(8, 16, 80, 17);
    }
    auto* a = new TRecordingComponent(this);
    a->SetName("A");
    Journal.push_back("A created, loading=" + std::to_string(a->Loading() ? 0 : 1));
    auto* b = new TRecordingComponent(this);
    b->SetName("B");
    FinishLoading();
  }
  ~TTestForm() override { Journal.push_back("Destroyed form"); }
  const char* ClassName() const override { return "TTestForm"; }

  template <class T>
  T* Make(const char* name, int tabOrder) {
    T* control = new T(this);
    control->SetName(name);
    control->SetParent(this);
    control->SetBounds(10 + 90 * tabOrder, 10, 80, 25);
    control->SetCaption(name);
    control->SetTabOrder(tabOrder);
    return control;
  }

  void FormCreate(TObject*) { Journal.push_back(std::string("FormCreate, loading=") + (Loading() ? "1" : "0")); }
  void FormDestroy(TObject*) { Journal.push_back("FormDestroy"); }

  TButton* First = nullptr;
  TButton* Second = nullptr;
  TGroupBox* Box = nullptr;
  TCheckBox* Inner = nullptr;
};

// Counts the clicks a control reports.
class TClickCounter : public TObject {
public:
  int Count = 0;
  void Click(TObject*) { ++Count; }
};

struct FreeForm {
  void operator()(TComponent* c) const { c->Free(); }
};
using FormPtr = std::unique_ptr<TTestForm, FreeForm>;

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

}  // namespace

TEST(Forms, LoadCompletionRunsInStoredOrderThenTheCreateHandler) {
  Journal.clear();
  {
    FormPtr form(new TTestForm(Application));
    EXPECT_EQ(Journal, (std::vector<std::string>{"A created, loading=1", "Loaded A", "Loaded B",
                                                 "FormCreate, loading=0"}));
    Journal.clear();
  }
  // Destroy handler first, then the components last-created first; each
  // removal is heard by the siblings still there.
  EXPECT_EQ(Journal, (std::vector<std::string>{"FormDestroy", "Destroyed form", "A hears removal of B",
                                               "Destroyed B", "Destroyed A"}));
}

TEST(Forms, WindowClassesAreTheControlClassNamesAndZOrderIsTabOrder) {
  FormPtr form(new TTestForm(Application));
  HWND window = form->Handle();
  EXPECT_EQ(ClassOf(window), "TTestForm");
  EXPECT_EQ(GetWindow(window, GW_OWNER), Application->Handle());
  EXPECT_EQ(ClassOf(form->First->Handle()), "TButton");
  EXPECT_EQ(ClassOf(form->Box->Handle()), "TGroupBox");
  EXPECT_EQ(ClassOf(form->Inner->Handle()), "TCheckBox");
  EXPECT_EQ(GetParent(form->Inner->Handle()), form->Box->Handle());

  HWND child = GetWindow(window, GW_CHILD);
  std::vector<HWND> order;
  for (; child; child = GetWindow(child, GW_HWNDNEXT)) order.push_back(child);
  EXPECT_EQ(order, (std::vector<HWND>{form->First->Handle(), form->Second->Handle(), form->Box->Handle()}));
  EXPECT_TRUE(GetWindowLongA(form->First->Handle(), GWL_STYLE) & WS_TABSTOP);
  EXPECT_FALSE(GetWindowLongA(form->Box->Handle(), GWL_STYLE) & WS_TABSTOP);
  EXPECT_TRUE(GetWindowLongA(form->Box->Handle(), GWL_EXSTYLE) & WS_EX_CONTROLPARENT);

  // Changing the tab order restacks the windows.
  form->Second->SetTabOrder(-1);
  EXPECT_EQ(GetWindow(window, GW_CHILD), form->Second->Handle());
}

TEST(Forms, ShowingFocusesTheFirstTabStopAndTabMovesOn) {
  FormPtr form(new TTestForm(Application));
  form->Show();
  Pump(100);
  EXPECT_EQ(GetFocus(), form->First->Handle());
  EXPECT_EQ(form->ActiveControl(), form->First);

  // Tab goes through the message loop's dialog navigation, into the group box.
  for (TWinControl* expected : std::vector<TWinControl*>{form->Second, form->Inner, form->First}) {
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    Pump(50);
    EXPECT_EQ(GetFocus(), expected->Handle()) << expected->Name();
  }
  EXPECT_EQ(form->ActiveControl(), form->First);
}

TEST(Forms, FocusChangesSendExitAndFocusChangedNotifications) {
  class TSpy : public TObject {
  public:
    TWndMethod Saved;
    std::vector<UINT> Seen;
    void Proc(TMessage& message) {
      Saved(message);
      if (message.Msg >= CM_BASE && message.Msg < CM_BASE + 0x100) Seen.push_back(message.Msg);
    }
  } spy;
  FormPtr form(new TTestForm(Application));
  spy.Saved = form->First->WindowProc;
  form->First->WindowProc = WndMethod(&spy, &TSpy::Proc);
  form->Show();
  Pump(50);
  form->Second->SetFocus();
  Pump(20);
  form->First->SetEnabled(false);
  form->First->SetCaption("Other");
  form->First->WindowProc = spy.Saved;

  auto has = [&](UINT msg) { return std::count(spy.Seen.begin(), spy.Seen.end(), msg); };
  EXPECT_GE(has(CM_FOCUSCHANGED), 1);
  EXPECT_EQ(has(CM_EXIT), 1);
  EXPECT_EQ(has(CM_ENABLEDCHANGED), 1);
  EXPECT_EQ(has(CM_TEXTCHANGED), 1);
  EXPECT_EQ(GetWindowTextLengthA(form->First->Handle()), 5);
}

TEST(Forms, ShowModalDisablesTheOthersAndEndsWithCancelOnClose) {
  FormPtr owner(new TTestForm(Application));
  owner->Show();
  Pump(30);
  FormPtr dialog(new TTestForm(Application, false));
  bool ownerEnabledDuring = true;
  WhenIdle([&] {
    ownerEnabledDuring = IsWindowEnabled(owner->Handle()) != FALSE;
    PostMessageA(dialog->Handle(), WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_FALSE(ownerEnabledDuring);
  EXPECT_TRUE(IsWindowEnabled(owner->Handle()));
  EXPECT_FALSE(IsWindowVisible(dialog->Handle()));
  EXPECT_FALSE(dialog->Modal());

  // A button's modal result ends the display with that result.
  dialog->Free();
  dialog.release();
  FormPtr second(new TTestForm(Application));
  second->First->SetModalResult(mrOk);
  WhenIdle([&] { PostMessageA(second->First->Handle(), BM_CLICK, 0, 0); });
  EXPECT_EQ(second->ShowModal(), mrOk);
}

TEST(Controls, CheckBoxKeepsItsStateAndToggles) {
  FormPtr form(new TTestForm(Application));
  TClickCounter counter;
  form->Inner->OnClick = NotifyEvent(&counter, &TClickCounter::Click);
  form->Inner->SetChecked(true);
  EXPECT_EQ(SendMessageA(form->Inner->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageA(form->Inner->Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(form->Inner->Checked());
  EXPECT_EQ(SendMessageA(form->Inner->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(counter.Count, 2);
  form->Inner->SetChecked(false);  // unchanged: no click
  EXPECT_EQ(counter.Count, 2);
}

TEST(Controls, ReadOnlyEditAndMemoLines) {
  FormPtr form(new TTestForm(Application, false));
  auto* edit = new TEdit(form.get());
  edit->SetParent(form.get());
  edit->SetReadOnly(true);
  edit->SetText("abc");
  EXPECT_TRUE(GetWindowLongA(edit->Handle(), GWL_STYLE) & ES_READONLY);
  EXPECT_EQ(edit->Text(), "abc");
  SetWindowTextA(edit->Handle(), "typed");
  EXPECT_EQ(edit->Text(), "typed");

  auto* memo = new TMemo(form.get());
  memo->SetParent(form.get());
  memo->SetBounds(0, 0, 100, 100);
  memo->SetLines({"eins", "zwei"});
  EXPECT_EQ(memo->Text(), "eins\r\nzwei");
  LONG style = GetWindowLongA(memo->Handle(), GWL_STYLE);
  EXPECT_TRUE(style & ES_MULTILINE);
  EXPECT_FALSE(style & (WS_HSCROLL | WS_VSCROLL | ES_AUTOHSCROLL));
}

TEST(Controls, TimerTicksWhileEnabledAndEnablingAgainKeepsThePeriod) {
  class TTicks : public TObject {
  public:
    int Count = 0;
    void Tick(TObject*) { ++Count; }
  } ticks;
  std::unique_ptr<TTimer, FreeForm> timer(new TTimer(nullptr));
  timer->SetEnabled(false);
  timer->SetInterval(100);
  timer->OnTimer = NotifyEvent(&ticks, &TTicks::Tick);
  Pump(150);
  EXPECT_EQ(ticks.Count, 0);
  timer->SetEnabled(true);
  Pump(60);
  timer->SetEnabled(true);  // must not restart the 100 ms period
  Pump(60);
  EXPECT_EQ(ticks.Count, 1);
  timer->SetEnabled(false);
  Pump(250);
  EXPECT_EQ(ticks.Count, 1);
}

TEST(Controls, LabelClickAndHandCursorComeFromTheParent) {
  FormPtr form(new TTestForm(Application, false));
  auto* label = new TLabel(form.get());
  label->SetParent(form.get());
  label->SetBounds(20, 30, 10, 10);
  label->SetCaption("Homepage");
  EXPECT_GT(label->Width(), 10) << "sized to its text";
  TClickCounter counter;
  label->OnClick = NotifyEvent(&counter, &TClickCounter::Click);
  HWND window = form->Handle();
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(22, 32));
  SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(22, 32));
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));  // beside the label
  SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(counter.Count, 1);
}

namespace {

// An application object of its own for one test, so that ending its session
// leaves the shared one running.
class TScopedApplication {
public:
  TScopedApplication() : FShared(Application), FOwn(new TApplication()) { FOwn->Initialize(); }
  ~TScopedApplication() {
    delete FOwn;
    MSG quit;  // a quit request of this application is not the shared one's
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    Application = FShared;
  }
  TApplication* operator->() const { return FOwn; }

private:
  TApplication* FShared;
  TApplication* FOwn;
};

void EndSession(TApplication* application) {
  EXPECT_NE(SendMessageA(application->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), 0);
  SendMessageA(application->Handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
}

// The session ends while one of the form's components completes its loading
// (as while the splash picture is up).
class TSessionEnder : public TComponent {
public:
  explicit TSessionEnder(TComponent* owner) : TComponent(owner) {}
  void Loaded() override {
    TComponent::Loaded();
    EndSession(Application);
  }
};

class TEndingForm : public TForm {
public:
  explicit TEndingForm(TComponent* owner) : TForm(owner) {
    BeginLoading();
    OnCreate = NotifyEvent(this, &TEndingForm::FormCreate);
    OnDestroy = NotifyEvent(this, &TEndingForm::FormDestroy);
    new TSessionEnder(this);
    FinishLoading();
  }
  void FormCreate(TObject*) { Journal.push_back("FormCreate"); }
  void FormDestroy(TObject*) { Journal.push_back("FormDestroy"); }
  void WndProc(TMessage& message) override {
    if (message.Msg == CM_VISIBLECHANGED && message.WParam) Journal.push_back("shown");
    TForm::WndProc(message);
  }
};

}  // namespace

TEST(SessionEnd, InsideAHandlerTheDestroyHandlerRunsAtOnceAndTheFormGoesAfterTheLoop) {
  TScopedApplication app;
  new TTestForm(Application);
  TCustomForm* form = app->MainForm();
  form->Show();
  Journal.clear();
  bool stillThere = false;
  WhenIdle([&] {
    EndSession(Application);
    stillThere = app->MainForm() == form;
  });
  app->Run();
  EXPECT_TRUE(stillThere) << "a handler on the stack may belong to it";
  ASSERT_GE(Journal.size(), 2u);
  EXPECT_EQ(Journal[0], "FormDestroy");
  EXPECT_EQ(Journal[1], "Destroyed form");
  EXPECT_EQ(std::count(Journal.begin(), Journal.end(), "FormDestroy"), 1);
}

TEST(SessionEnd, DuringTheLoadingNeitherHandlerRunsAndTheFormIsNeverShown) {
  TScopedApplication app;
  Journal.clear();
  auto* form = new TEndingForm(Application);
  EXPECT_TRUE(Journal.empty()) << "no create handler";
  EXPECT_EQ(app->MainForm(), form);
  app->Run();
  EXPECT_TRUE(Journal.empty()) << "not shown; nothing was read, so nothing is written";
  EXPECT_EQ(app->MainForm(), nullptr);
}
