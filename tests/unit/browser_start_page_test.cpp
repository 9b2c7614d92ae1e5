// The main window's "Ändere" button and the plain message dialog it uses.
#include <gtest/gtest.h>

#include <memory>

#include "app/Unit1.h"
#include "browser/StartPage.h"
#include "platform/FakePlatform.h"
#include "tests/unit/app_support.h"
#include "ui/Dialogs.h"

using app_support::Sandbox;
using app_support::ThreadWindows;
using app_support::WhenIdle;

namespace {

// What a message box of this thread showed, seen while it was open.
struct TSeenBox {
  int Count = 0;  // boxes open at the moment
  std::string Caption, Text;
  std::vector<std::string> Buttons;
  bool Icon = false;
  HWND Owner = nullptr;
  POINT Centre{};
  bool FormEnabled = true;
};

std::string TextOf(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// Reads the box that the next modal loop shows and closes it with OK.
void WatchBox(TSeenBox& seen, HWND form) {
  WhenIdle([&seen, form] {
    std::vector<HWND> boxes = ThreadWindows("#32770");
    seen.Count = static_cast<int>(boxes.size());
    if (boxes.empty()) return;
    HWND box = boxes[0];
    seen.Caption = TextOf(box);
    seen.Text = TextOf(GetDlgItem(box, 0xFFFF));
    seen.Owner = GetWindow(box, GW_OWNER);
    RECT r;
    GetWindowRect(box, &r);
    seen.Centre = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    seen.FormEnabled = form && IsWindowEnabled(form);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      char cls[32] = {};
      GetClassNameA(child, cls, sizeof cls);
      if (!IsWindowVisible(child)) continue;
      if (lstrcmpiA(cls, "Button") == 0) seen.Buttons.push_back(TextOf(child));
      if (lstrcmpiA(cls, "Static") == 0 && SendMessageA(child, STM_GETICON, 0, 0) != 0) seen.Icon = true;
    }
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  });
}

TEST(PlainMessageDialog, ShowsTheTextWithOneOkNoIconAndTheTitleCentredAndModal) {
  std::unique_ptr<TForm, TComponentFree> form(new TForm(Application));
  form->SetBounds(10, 10, 200, 100);
  form->Show();
  TSeenBox seen;
  WatchBox(seen, form->Handle());
  ShowMessage("Ein Text mit \xC4 und \xDF");
  EXPECT_EQ(seen.Count, 1);
  EXPECT_EQ(seen.Text, "Ein Text mit \xC4 und \xDF");
  EXPECT_EQ(seen.Caption, Application->Title());
  EXPECT_EQ(seen.Buttons, std::vector<std::string>{"OK"});
  EXPECT_FALSE(seen.Icon);
  EXPECT_EQ(seen.Owner, Application->Handle());
  EXPECT_FALSE(seen.FormEnabled) << "the program's other windows are disabled while it is open";
  // Centred on the screen's work area, as the system places its boxes.
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_NEAR(seen.Centre.x, (work.left + work.right) / 2, 2);
  EXPECT_NEAR(seen.Centre.y, (work.top + work.bottom) / 2, 2);
  EXPECT_TRUE(IsWindowEnabled(form->Handle()));
  EXPECT_TRUE(ThreadWindows("#32770").empty());
}

// The main window over a scripted registry that holds the start page key.
class StartPageButton : public ::testing::Test {
protected:
  void SetUp() override {
    std::string folder = Sandbox("StartPageButton");
    Fake.ModuleName = folder + "spurwisch.exe";
    Fake.TempPath = folder + "Temp\\";
    Fake.Registry[StartPageKey][StartPageValue] = {REG_SZ, std::string("http://old/\0", 12)};
    Form.reset(new TForm1(Application));
  }
  TFakePlatform Fake;
  TPlatformGuard Guard{Fake};
  std::unique_ptr<TForm1, TComponentFree> Form;
};

TEST_F(StartPageButton, EmptyTextAndTheMarkerShowTheirMessageAndWriteNothing) {
  EXPECT_EQ(Form->Edit2->Text(), "http://www.");
  EXPECT_EQ(Form->Edit1->Text(), "http://old/");
  struct TCase {
    const char* Typed;
    const char* Message;
  } cases[] = {
      {"", "Geben Sie eine g\xFCltige Startseite an!"},
      {"http://www.", "Sie m\xFCssen schon eine Startseite angeben"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Typed);
    Form->Edit2->SetText(c.Typed);
    Fake.Calls.clear();
    TSeenBox seen;
    WatchBox(seen, nullptr);
    Form->Button2Click(Form->Button2);
    EXPECT_EQ(seen.Count, 1);
    EXPECT_EQ(seen.Text, c.Message);
    EXPECT_EQ(seen.Caption, Application->Title());
    EXPECT_TRUE(Fake.CallsOf("RegOpenKeyExA").empty()) << "the registry is not touched";
    EXPECT_EQ(Fake.Registry[StartPageKey][StartPageValue].Data, std::string("http://old/\0", 12));
  }
}

TEST_F(StartPageButton, AnyOtherTextIsWrittenUnchangedWithoutAMessage) {
  for (const char* typed : {" http://www.", "HTTP://WWW.", "http://www.x", "   ", "http://www.spurwisch.de"}) {
    SCOPED_TRACE(typed);
    Form->Edit2->SetText(typed);
    Form->Button2Click(Form->Button2);
    const TFakePlatform::TRegValue& stored = Fake.Registry[StartPageKey][StartPageValue];
    EXPECT_EQ(stored.Type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(stored.Data, std::string(typed) + '\0');
    EXPECT_TRUE(ThreadWindows("#32770").empty());
  }
  EXPECT_EQ(Form->Edit1->Text(), "http://old/") << "Edit1 keeps the text read at start";
  EXPECT_EQ(Fake.OpenHandles(), 0);
}

TEST_F(StartPageButton, AFailedWriteReachesTheErrorReportThroughTheClick) {
  Fake.Registry.clear();  // no key: the write fails and the key is not created
  Form->Edit2->SetText("http://neu/");
  app_support::TCollectedErrors errors;
  SendMessageA(Form->Button2->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(errors.Messages, std::vector<std::string>{"Failed to set data for 'Start Page'"});
  EXPECT_TRUE(Fake.Registry.empty());
  EXPECT_EQ(Form->Edit2->Text(), "http://neu/");
}

}  // namespace
