// The Cleaning run as the main window performs it, against the recording
// platform: the order of its steps for every choice of options, the report
// through Timer1, and how a failing step either ends the run or lets it finish.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "clean/Cleaning.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/app_support.h"
#include "base/Cp1252.h"
#include "base/SysUtils.h"

using app_support::Pump;
using app_support::Sandbox;

namespace {

using Form1Ptr = std::unique_ptr<TForm1, TComponentFree>;

const std::string Done = u8"Ihre gewählte Option wurde ausgeführt"_cp1252;

// A message box as the program asked for it, with the run's state then.
struct TBoxSeen {
  HWND Owner;
  std::string Text, Caption;
  UINT Type;
  bool RunFinishedThen;
  bool TimerEnabledThen;
  DWORD Tick;
};

// The recording platform, able to act in the middle of a run: while a box is
// open, after the documents list is cleared and while the shell deletes a
// folder (where the real shell runs a message loop of its own).
class TRunPlatform : public TFakePlatform {
public:
  TForm1* Form = nullptr;
  std::vector<TBoxSeen> Boxes;
  std::function<void()> WhileBoxOpen;  // runs once, inside the first box
  std::function<void()> AfterDocuments;
  std::function<void()> DuringFolderDelete;
  std::function<void()> BeforeHistory;

  HRESULT CoCreateInstance(REFCLSID rclsid, LPUNKNOWN outer, DWORD context, REFIID riid,
                           LPVOID* ppv) override {
    if (BeforeHistory) BeforeHistory();
    return TFakePlatform::CoCreateInstance(rclsid, outer, context, riid, ppv);
  }

  int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) override {
    Boxes.push_back({owner, text ? text : "", caption ? caption : "", type, RunFinished,
                     Form && Form->Timer1->Enabled(), GetTickCount()});
    int result = TFakePlatform::MessageBoxA(owner, text, caption, type);
    if (auto action = std::move(WhileBoxOpen)) {
      WhileBoxOpen = nullptr;
      action();
    }
    return result;
  }
  void SHAddToRecentDocs(UINT flags, LPCVOID pv) override {
    TFakePlatform::SHAddToRecentDocs(flags, pv);
    if (AfterDocuments) AfterDocuments();
  }
  int SHFileOperationW(LPSHFILEOPSTRUCTW op) override {
    int result = TFakePlatform::SHFileOperationW(op);
    if (DuringFolderDelete) DuringFolderDelete();
    return result;
  }
};

// Closing the main form posts WM_QUIT; true when one is there, and it is
// taken out so the tests' own message loops go on.
bool TakeQuit() {
  MSG msg;
  return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

bool QuitPending() {
  MSG msg;
  return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
}

std::string HandleText(HWND window) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%lX",
                static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(window)));
  return text;
}

// The text of a COM error: the system's own, without the line break it ends
// with, or "OLE error" and the code when the system has none.
std::string OleErrorText(HRESULT code) {
  char buffer[512];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           static_cast<DWORD>(code), 0, buffer, sizeof buffer, nullptr);
  while (n > 0 && (buffer[n - 1] == '\r' || buffer[n - 1] == '\n' || buffer[n - 1] == ' ')) --n;
  if (n > 0) return std::string(buffer, n);
  std::snprintf(buffer, sizeof buffer, "OLE error %.8lx", static_cast<unsigned long>(code));
  return buffer;
}

// The calls that mark the steps of a run, in the order they were made.
std::vector<std::string> StepCalls(const TFakePlatform& fake) {
  static const std::vector<std::string> marks = {
      "CoCreateInstance", "QueryInterface",  "ClearHistory",     "DeleteUrlCacheEntryA",
      "FindCloseUrlCache", "SHAddToRecentDocs", "SetFileInformationByHandle",
      "SHFileOperationW", "LoadLibraryA",    "GetProcAddress",   "SHEmptyRecycleBinA",
      "FreeLibrary",      "MessageBoxA"};
  std::vector<std::string> found;
  for (const std::string& call : fake.Calls)
    if (std::find(marks.begin(), marks.end(), call.substr(0, call.find('('))) != marks.end())
      found.push_back(call);
  return found;
}

void Append(std::vector<std::string>& to, const std::vector<std::string>& calls) {
  to.insert(to.end(), calls.begin(), calls.end());
}

// The main window built against the recording platform, its settings file
// and temp folder in a sandbox of its own. Every step has something to do:
// one URL cache entry, and a file and a plain subfolder in the temp folder.
class TRunFixture : public ::testing::Test {
protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "-" + info->name();
    std::replace(name.begin(), name.end(), '/', '-');
    Folder = Sandbox(name);
    Fake.ModuleName = Folder + "spurwisch.exe";
    Fake.TempPath = Temp = Folder + "Temp\\";
    Fake.Cache = {{"http://example.test/"}};
    Fake.Folders[Folder + "Temp"] = {{"a.tmp", 0x20}, {"sub", 0x10}};
  }
  void TearDown() override {
    Fake.Form = nullptr;
    Form.reset();
    // The History interface may hold the double's object, which dies with it.
    ReleaseHistory();
    RunFinished = false;
  }

  // The main window with the options as given; the calls of its start-up
  // are dropped so that only those of the runs remain.
  TForm1* Create(bool documents, bool temp, bool bin) {
    {
      app_support::TSplashCloser closer;
      Form.reset(new TForm1(Application));
      EXPECT_EQ(closer.Closed(), 1) << "the splash picture showed once";
    }
    Fake.Form = Form.get();
    Form->doku->SetChecked(documents);
    Form->temploesch->SetChecked(temp);
    Form->papierkorb->SetChecked(bin);
    Fake.Calls.clear();
    return Form.get();
  }
  void Tick() { Form->Timer1Timer(Form->Timer1); }

  static std::vector<std::string> HistorySteps() {
    return {"CoCreateInstance({3C374A40-BAE4-11CF-BF7D-00AA006946EE}, 0x0, 0x5, "
            "{00000000-0000-0000-C000-000000000046})",
            "QueryInterface({AFA0DC11-C313-11D0-831A-00C04FD5AE38})", "ClearHistory()"};
  }
  static std::vector<std::string> CacheSteps() {
    // Then the cookie and the history passes, which find nothing here.
    return {"DeleteUrlCacheEntryA(http://example.test/)", "FindCloseUrlCache(handle)", "FindCloseUrlCache(null)",
            "FindCloseUrlCache(null)"};
  }
  static std::vector<std::string> DocumentSteps() { return {"SHAddToRecentDocs(0x0, null)"}; }
  // Files first, for good; then each self-contained plain subfolder to the
  // recycle bin.
  std::vector<std::string> TempSteps() const {
    return {"SetFileInformationByHandle(" + Temp + "a.tmp, 4, DeleteFile=1)",
            "SHFileOperationW(" + Temp + "sub, 3, 0x4050)"};
  }
  static std::vector<std::string> BinSteps() {
    return {"LoadLibraryA(Shell32.dll)", "GetProcAddress(SHEmptyRecycleBinA)",
            "SHEmptyRecycleBinA(" + HandleText(Application->Handle()) + ", null, 0x7)",
            "FreeLibrary()"};
  }

  std::string Folder, Temp;
  TRunPlatform Fake;
  TPlatformGuard Guard{Fake};
  Form1Ptr Form;
};

class CleaningRun : public TRunFixture {};

// ---- the order of the steps, for each of the eight choices of options ----

class CleaningRunOptions : public TRunFixture, public ::testing::WithParamInterface<int> {};

TEST_P(CleaningRunOptions, StepsFollowInFixedOrder) {
  const bool documents = GetParam() & 1, temp = GetParam() & 2, bin = GetParam() & 4;
  ASSERT_NE(Application->Handle(), nullptr);
  TForm1* form = Create(documents, temp, bin);
  form->Button1Click(form->Button1);

  std::vector<std::string> expected = HistorySteps();
  Append(expected, CacheSteps());
  if (documents) Append(expected, DocumentSteps());
  if (temp) Append(expected, TempSteps());
  if (bin) Append(expected, BinSteps());
  EXPECT_EQ(StepCalls(Fake), expected);
  EXPECT_TRUE(RunFinished);
  EXPECT_TRUE(form->Timer1->Enabled());
  EXPECT_TRUE(Fake.Boxes.empty()) << "the run itself shows nothing";
  EXPECT_EQ(Fake.OpenHandles(), 0);
  // The run reads the options, it does not change them.
  EXPECT_EQ(form->doku->Checked(), documents);
  EXPECT_EQ(form->temploesch->Checked(), temp);
  EXPECT_EQ(form->papierkorb->Checked(), bin);
}

INSTANTIATE_TEST_SUITE_P(, CleaningRunOptions, ::testing::Range(0, 8),
                         [](const ::testing::TestParamInfo<int>& info) {
                           std::string name;
                           if (info.param & 1) name += "Documents";
                           if (info.param & 2) name += "Temp";
                           if (info.param & 4) name += "Bin";
                           return name.empty() ? std::string("None") : name;
                         });

TEST_F(CleaningRun, EachOptionIsReadWhenItsStepComesUp) {
  TForm1* form = Create(true, false, false);
  // Changed while earlier steps run (the shell's message loop lets the user
  // click meanwhile): the later steps follow the boxes as they are then.
  Fake.AfterDocuments = [&] {
    form->temploesch->SetChecked(true);
    form->papierkorb->SetChecked(true);
  };
  Fake.DuringFolderDelete = [&] { form->papierkorb->SetChecked(false); };
  form->Button1Click(form);

  std::vector<std::string> expected = HistorySteps();
  Append(expected, CacheSteps());
  Append(expected, DocumentSteps());
  Append(expected, TempSteps());
  EXPECT_EQ(StepCalls(Fake), expected);
  EXPECT_TRUE(RunFinished);
}

// ---- Timer1 and the completion report ----

TEST_F(CleaningRun, RunEnablesTimer1AndSetsTheFlagAtTheEnd) {
  TForm1* form = Create(false, false, false);
  ASSERT_FALSE(form->Timer1->Enabled());
  ASSERT_FALSE(RunFinished);
  form->Button1Click(form);
  EXPECT_TRUE(form->Timer1->Enabled());
  EXPECT_TRUE(RunFinished);
  // A second run on the enabled timer leaves it enabled.
  form->Button1Click(nullptr);
  EXPECT_TRUE(form->Timer1->Enabled());
  EXPECT_TRUE(RunFinished);
  EXPECT_EQ(Fake.CallsOf("ClearHistory").size(), 2u);
}

TEST_F(CleaningRun, TickWithTheFlagClearDoesNothing) {
  TForm1* form = Create(true, true, true);
  form->Timer1->SetEnabled(true);
  Fake.Calls.clear();
  Tick();
  Tick();
  EXPECT_TRUE(Fake.Calls.empty());
  EXPECT_TRUE(Fake.Boxes.empty());
  EXPECT_TRUE(form->Timer1->Enabled());
  EXPECT_FALSE(RunFinished);
}

TEST_F(CleaningRun, TickAfterARunReportsItOnceWithFlagAndTimerAlreadyCleared) {
  TForm1* form = Create(true, true, true);
  form->Button1Click(form);
  // A tick that arrives while the box is open must find nothing to report.
  Fake.WhileBoxOpen = [this] { Tick(); };
  Tick();

  ASSERT_EQ(Fake.Boxes.size(), 1u);
  const TBoxSeen& box = Fake.Boxes[0];
  EXPECT_EQ(box.Owner, nullptr);
  EXPECT_EQ(box.Text, Done);
  EXPECT_EQ(box.Caption, "Information");
  EXPECT_EQ(box.Type, 0x40u);
  EXPECT_FALSE(box.RunFinishedThen) << "flag still set while the box was open";
  EXPECT_FALSE(box.TimerEnabledThen) << "timer still running while the box was open";
  std::vector<std::string> recorded = {"MessageBoxA(0x0, " + Done + ", Information, 0x40)"};
  EXPECT_EQ(Fake.CallsOf("MessageBoxA"), recorded);
  EXPECT_FALSE(RunFinished);
  EXPECT_FALSE(form->Timer1->Enabled());

  Tick();
  EXPECT_EQ(Fake.Boxes.size(), 1u);
}

TEST_F(CleaningRun, TickDuringALaterRunFindsTheFlagClear) {
  TForm1* form = Create(true, true, true);
  form->Button1Click(form);
  ASSERT_TRUE(RunFinished);
  // The second run starts before the first is reported. Ticks that fall
  // inside its steps must not report anything.
  std::vector<bool> flagInSteps;
  Fake.AfterDocuments = [&] {
    flagInSteps.push_back(RunFinished);
    Tick();
  };
  Fake.DuringFolderDelete = [&] {
    flagInSteps.push_back(RunFinished);
    Tick();
  };
  form->Button1Click(form);
  EXPECT_EQ(flagInSteps, (std::vector<bool>{false, false}));
  EXPECT_TRUE(Fake.Boxes.empty());
  EXPECT_TRUE(RunFinished);
  EXPECT_TRUE(form->Timer1->Enabled());

  Tick();
  Tick();
  ASSERT_EQ(Fake.Boxes.size(), 1u) << "two runs, one report";
  EXPECT_EQ(Fake.Boxes[0].Text, Done);
}

TEST_F(CleaningRun, RealTimerReportsOnceAboutTwoAndAHalfSecondsAfterTheFirstRun) {
  TForm1* form = Create(false, false, false);
  DWORD start = GetTickCount();
  form->Button1Click(form);
  Pump(1200);
  EXPECT_TRUE(Fake.Boxes.empty()) << "reported before the first tick";
  // A second run on the running timer does not restart its period.
  form->Button1Click(form);
  while (Fake.Boxes.empty() && GetTickCount() - start < 4500) Pump(20);

  ASSERT_EQ(Fake.Boxes.size(), 1u);
  DWORD after = Fake.Boxes[0].Tick - start;
  EXPECT_GE(after, 2400u);
  EXPECT_LT(after, 3300u) << "a restarted period reports at about 3.7 s";
  EXPECT_EQ(Fake.Boxes[0].Text, Done);
  EXPECT_FALSE(Fake.Boxes[0].TimerEnabledThen);

  Pump(2700);
  EXPECT_EQ(Fake.Boxes.size(), 1u);
  EXPECT_FALSE(form->Timer1->Enabled());
  EXPECT_FALSE(RunFinished);
}

// ---- requests that arrive while a run works ----

struct TRequest {
  const char* Name;
  std::function<void()> Send;
};

// The shell runs a message loop of its own while it deletes a folder, and
// other programs can send messages at any time: none of these may start
// anything inside the run.
TEST_F(CleaningRun, RequestsForARunOrADialogDuringARunDoNothing) {
  TForm1* form = Create(false, true, false);
  auto click = [](TControl* button) { SendMessageA(static_cast<TWinControl*>(button)->Handle(), BM_CLICK, 0, 0); };
  TRequest requests[] = {
      {"a click on the button", [&] { click(form->Button1); }},
      {"Säubern in the tray menu", [&] { form->Subern1Click(form->Subern1); }},
      {"About", [&] { click(form->Button3); }},
      {"About in the tray menu", [&] { form->About1Click(form->About1); }},
      {"Startoptionen", [&] { click(form->Button4); }},
  };
  for (const TRequest& request : requests) {
    SCOPED_TRACE(request.Name);
    Fake.Calls.clear();
    int dialogs = 0;
    std::vector<TCursor> cursors;
    Fake.DuringFolderDelete = [&] {
      // A dialog opened by mistake is counted and closed, so the run goes on.
      app_support::WhenIdle([&] {
        for (const char* kind : {"TForm2", "TForm3"})
          for (HWND dialog : app_support::ThreadWindows(kind)) {
            ++dialogs;
            PostMessageA(dialog, WM_CLOSE, 0, 0);
          }
      });
      request.Send();
      cursors.push_back(ScreenCursor());
    };
    form->Button1Click(form);
    Pump(60);
    EXPECT_EQ(Fake.CallsOf("CoCreateInstance").size(), 1u) << "a second run inside the first";
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(cursors, std::vector<TCursor>{crHourGlass});
    EXPECT_EQ(ScreenCursor(), crDefault);
    EXPECT_FALSE(form->Running());
    EXPECT_TRUE(RunFinished);
  }
}

TEST_F(CleaningRun, ACloseDuringARunComesWhenTheRunIsOverAndNoReportFollows) {
  TForm1* form = Create(true, true, true);
  TRequest closes[] = {
      {"&Close", [&] { SendMessageA(form->BitBtn1->Handle(), BM_CLICK, 0, 0); }},
      {"the title bar's close, Alt+F4", [&] { SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
      {"Programm beenden", [&] { form->Programmbeenden1Click(form->Programmbeenden1); }},
      {"WM_CLOSE to the Application window", [&] { SendMessageA(Application->Handle(), WM_CLOSE, 0, 0); }},
  };
  for (const TRequest& close : closes) {
    SCOPED_TRACE(close.Name);
    Fake.Calls.clear();
    bool closedInside = true;
    Fake.DuringFolderDelete = [&] {
      close.Send();
      closedInside = QuitPending();
    };
    form->Button1Click(form);
    EXPECT_FALSE(closedInside) << "the program ended below a running run";
    EXPECT_EQ(Fake.CallsOf("FreeLibrary").size(), 1u) << "the run went to its end";
    EXPECT_TRUE(TakeQuit()) << "the close was carried out after the run";
    EXPECT_FALSE(RunFinished);
    EXPECT_FALSE(form->Timer1->Enabled());
    Tick();
    EXPECT_TRUE(Fake.Boxes.empty());
  }
}

TEST_F(CleaningRun, ARunEndedByAnErrorStillLeavesTheBusyStateAndTheCursorAndCarriesOutAClose) {
  Fake.Fail("CoCreateInstance", 0, static_cast<DWORD>(REGDB_E_CLASSNOTREG));
  TForm1* form = Create(true, true, true);
  TCursor during = crDefault;
  Fake.BeforeHistory = [&] {
    during = ScreenCursor();
    form->Close();
  };
  EXPECT_THROW(form->Button1Click(form), EOleSysError);
  EXPECT_EQ(during, crHourGlass);
  EXPECT_EQ(ScreenCursor(), crDefault);
  EXPECT_FALSE(form->Running());
  EXPECT_TRUE(TakeQuit());

  // Nothing is left behind that would stop the next run.
  Fake.BeforeHistory = nullptr;
  Fake.StopFailing("CoCreateInstance");
  form->Button1Click(form);
  EXPECT_TRUE(RunFinished);
  EXPECT_FALSE(QuitPending());
}

// ---- failures that end the run ----

TEST_F(CleaningRun, UnregisteredHistoryObjectEndsTheRunUntilALaterOneSucceeds) {
  Fake.Fail("CoCreateInstance", 0, static_cast<DWORD>(REGDB_E_CLASSNOTREG));
  TForm1* form = Create(true, true, true);
  try {
    form->Button1Click(form);
    ADD_FAILURE() << "no error escaped the run";
  } catch (const EOleSysError& error) {
    EXPECT_EQ(error.ErrorCode(), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(error.Message(), OleErrorText(REGDB_E_CLASSNOTREG));
  }
  EXPECT_EQ(StepCalls(Fake), std::vector<std::string>{HistorySteps()[0]}) << "nothing after the creation";
  EXPECT_EQ(HistoryInterface(), nullptr);
  EXPECT_FALSE(RunFinished);
  EXPECT_TRUE(form->Timer1->Enabled());
  Tick();
  Tick();
  EXPECT_TRUE(Fake.Boxes.empty());
  EXPECT_TRUE(form->Timer1->Enabled());

  // Clicked on the window, the error goes to the program's error report.
  {
    app_support::TCollectedErrors errors;
    SendMessageA(form->Button1->Handle(), BM_CLICK, 0, 0);
    std::vector<std::string> reported = {OleErrorText(REGDB_E_CLASSNOTREG)};
    EXPECT_EQ(errors.Messages, reported);
  }
  EXPECT_TRUE(Fake.CallsOf("FindFirstUrlCacheEntryA").empty());
  EXPECT_EQ(Fake.CallsOf("CoCreateInstance").size(), 2u);

  Fake.StopFailing("CoCreateInstance");
  Fake.Calls.clear();
  form->Button1Click(form);
  std::vector<std::string> expected = HistorySteps();
  Append(expected, CacheSteps());
  Append(expected, DocumentSteps());
  Append(expected, TempSteps());
  Append(expected, BinSteps());
  EXPECT_EQ(StepCalls(Fake), expected);
  EXPECT_TRUE(RunFinished);
  Tick();
  ASSERT_EQ(Fake.Boxes.size(), 1u);
  EXPECT_EQ(Fake.Boxes[0].Text, Done);
}

TEST_F(CleaningRun, HistoryObjectWithoutTheInterfaceEndsTheRunAndKeepsTheHeldOne) {
  TForm1* form = Create(true, true, true);
  form->Button1Click(form);
  Tick();  // reports the first run and stops the timer
  ASSERT_EQ(Fake.Boxes.size(), 1u);
  IUrlHistoryStg2* held = HistoryInterface();
  ASSERT_NE(held, nullptr);

  Fake.Fail("QueryInterface");
  Fake.Calls.clear();
  try {
    form->Button1Click(form);
    ADD_FAILURE() << "no error escaped the run";
  } catch (const EIntfCastError& error) {
    EXPECT_EQ(error.Message(), "Interface not supported");
  }
  std::vector<std::string> expected = HistorySteps();
  expected.pop_back();  // no ClearHistory
  EXPECT_EQ(StepCalls(Fake), expected) << "no step after the failed query";
  EXPECT_TRUE(Fake.CallsOf("FindFirstUrlCacheEntryA").empty());
  EXPECT_EQ(HistoryInterface(), held);
  ASSERT_EQ(Fake.HistoryObjects.size(), 2u);
  EXPECT_EQ(Fake.HistoryObjects[0]->RefCount(), 1u);
  EXPECT_EQ(Fake.HistoryObjects[1]->RefCount(), 0u) << "the rejected object was released";
  EXPECT_FALSE(RunFinished);
  EXPECT_TRUE(form->Timer1->Enabled()) << "enabled before the error";
  Tick();
  EXPECT_EQ(Fake.Boxes.size(), 1u);

  Fake.StopFailing("QueryInterface");
  form->Button1Click(form);
  EXPECT_TRUE(RunFinished);
  Tick();
  ASSERT_EQ(Fake.Boxes.size(), 2u);
  EXPECT_EQ(Fake.Boxes[1].Text, Done);
}

TEST_F(CleaningRun, SecondRunReplacesTheHistoryObject) {
  TForm1* form = Create(false, false, false);
  form->Button1Click(form);
  ASSERT_EQ(Fake.HistoryObjects.size(), 1u);
  // The creation reference ends with the run; the History interface holds one.
  EXPECT_EQ(Fake.HistoryObjects[0]->RefCount(), 1u);
  EXPECT_EQ(HistoryInterface(), static_cast<IUrlHistoryStg2*>(Fake.HistoryObjects[0].get()));

  form->Button1Click(form);
  ASSERT_EQ(Fake.HistoryObjects.size(), 2u);
  EXPECT_EQ(Fake.HistoryObjects[0]->RefCount(), 0u);
  EXPECT_EQ(Fake.HistoryObjects[1]->RefCount(), 1u);
  EXPECT_EQ(HistoryInterface(), static_cast<IUrlHistoryStg2*>(Fake.HistoryObjects[1].get()));

  ReleaseHistory();
  EXPECT_EQ(Fake.HistoryObjects[1]->RefCount(), 0u);
  EXPECT_EQ(HistoryInterface(), nullptr);
}

// ---- failures that the run goes past ----

TEST_F(CleaningRun, UnloadableShellLibraryIsReportedAndTheRunFinishes) {
  Fake.Fail("LoadLibraryA", 0, ERROR_MOD_NOT_FOUND);
  TForm1* form = Create(true, true, true);
  form->Button1Click(form);

  ASSERT_EQ(Fake.Boxes.size(), 1u);
  const TBoxSeen& box = Fake.Boxes[0];
  EXPECT_EQ(box.Owner, nullptr) << "centred on the screen";
  EXPECT_EQ(box.Text, "Failed to load Shell32.dll.");
  EXPECT_EQ(box.Caption, "Error");
  EXPECT_EQ(box.Type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
  EXPECT_EQ(box.Type & MB_TYPEMASK, static_cast<UINT>(MB_OK));
  EXPECT_FALSE(box.RunFinishedThen) << "shown inside the run";
  std::vector<std::string> steps = StepCalls(Fake);
  ASSERT_GE(steps.size(), 2u);
  EXPECT_EQ(steps[steps.size() - 2], "LoadLibraryA(Shell32.dll)");
  EXPECT_EQ(steps.back().rfind("MessageBoxA(", 0), 0u);
  EXPECT_TRUE(Fake.CallsOf("GetProcAddress").empty());
  EXPECT_TRUE(Fake.CallsOf("FreeLibrary").empty());

  EXPECT_TRUE(RunFinished);
  Tick();
  ASSERT_EQ(Fake.Boxes.size(), 2u);
  EXPECT_EQ(Fake.Boxes[1].Text, Done);
}

TEST_F(CleaningRun, MissingRecycleFunctionIsPassedOverAndTheRunFinishes) {
  Fake.HasRecycleFunction = false;
  TForm1* form = Create(false, false, true);
  form->Button1Click(form);
  std::vector<std::string> expected = HistorySteps();
  Append(expected, CacheSteps());
  Append(expected, {"LoadLibraryA(Shell32.dll)", "GetProcAddress(SHEmptyRecycleBinA)", "FreeLibrary()"});
  EXPECT_EQ(StepCalls(Fake), expected);
  EXPECT_TRUE(Fake.Boxes.empty());
  EXPECT_EQ(Fake.OpenHandles(), 0);
  EXPECT_TRUE(RunFinished);
}

TEST_F(CleaningRun, WithoutATempFolderPathTheTempStepSearchesNothing) {
  Fake.Fail("GetTempPathW");
  TForm1* form = Create(true, true, true);
  ASSERT_EQ(TempFolderPath, L"");
  form->Button1Click(form);
  EXPECT_TRUE(Fake.CallsOf("CreateFileW").empty()) << "would open the current directory";
  EXPECT_TRUE(Fake.CallsOf("SetFileInformationByHandle").empty());
  EXPECT_TRUE(Fake.CallsOf("SHFileOperationW").empty());
  std::vector<std::string> expected = HistorySteps();
  Append(expected, CacheSteps());
  Append(expected, DocumentSteps());
  Append(expected, BinSteps());
  EXPECT_EQ(StepCalls(Fake), expected);
  EXPECT_TRUE(RunFinished);
}

TEST_F(CleaningRun, RunWhoseStepsAllFailQuietlyIsStillReported) {
  Fake.Fail("ClearHistory");
  Fake.Fail("DeleteUrlCacheEntryA");
  Fake.Fail("SetFileInformationByHandle");
  Fake.Fail("SHFileOperationW", 0, 0x7C);
  Fake.Fail("GetProcAddress", 0, ERROR_PROC_NOT_FOUND);
  TForm1* form = Create(true, true, true);
  EXPECT_NO_THROW(form->Button1Click(form));
  EXPECT_EQ(Fake.CallsOf("DeleteUrlCacheEntryA").size(), 1u);
  EXPECT_EQ(Fake.CallsOf("SHFileOperationW").size(), 1u);
  EXPECT_EQ(Fake.CallsOf("FreeLibrary").size(), 1u);
  EXPECT_TRUE(RunFinished);
  Tick();
  ASSERT_EQ(Fake.Boxes.size(), 1u);
  EXPECT_EQ(Fake.Boxes[0].Text, Done);
}

}  // namespace
