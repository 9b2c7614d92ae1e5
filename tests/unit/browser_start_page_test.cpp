// The main window's "Ändere" button and the plain message dialog it uses.
#include <gtest/gtest.h>

#include <memory>

#include "app/Unit1.h"
#include "browser/StartPage.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/app_support.h"

using app_support::ThreadWindows;

namespace {

std::string TextOf(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// The main window, shown, over a scripted registry holding the start page.
class StartPageButton : public ::testing::Test {
protected:
  void SetUp() override {
    std::string folder = app_support::Sandbox("StartPageButton");
    Fake.ModuleName = folder + "spurwisch.exe";
    Fake.TempPath = folder + "Temp\\";
    Fake.Registry[StartPageKey][StartPageValue] = {REG_SZ, std::string("http://old/\0", 12)};
    Fake.ShowMessageBoxes = true;
    {
      app_support::TSplashCloser closer;
      Form.reset(new TForm1(Application));
    }
    Form->Show();
  }
  // Clicks the button with TYPED in Edit2; returns the text of the box it
  // showed ("" for none) after checking the box and closing it with OK.
  std::string Click(const std::string& typed) {
    Form->Edit2->SetText(typed);
    std::string shown;
    app_support::WhenIdle([&] {
      std::vector<HWND> boxes = ThreadWindows("#32770");
      if (boxes.size() != 1) return;
      HWND box = boxes[0];
      shown = TextOf(GetDlgItem(box, 0xFFFF));
      EXPECT_EQ(TextOf(box), Application->Title());
      EXPECT_EQ(GetWindow(box, GW_OWNER), Application->Handle());
      EXPECT_FALSE(IsWindowEnabled(Form->Handle())) << "modal to the program's windows";
      std::string buttons;
      for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[16] = {};
        GetClassNameA(child, cls, sizeof cls);
        if (!IsWindowVisible(child)) continue;
        if (lstrcmpiA(cls, "Button") == 0) buttons += "[" + TextOf(child) + "]";
        EXPECT_EQ(SendMessageA(child, STM_GETICON, 0, 0), 0) << "no icon";
      }
      EXPECT_EQ(buttons, "[OK]");
      // Centred on the screen's work area, as the system places its boxes.
      RECT r, work;
      GetWindowRect(box, &r);
      SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
      EXPECT_NEAR(r.left + r.right, work.left + work.right, 3);
      EXPECT_NEAR(r.top + r.bottom, work.top + work.bottom, 3);
      PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    SendMessageA(Form->Button2->Handle(), BM_CLICK, 0, 0);
    app_support::Pump(60);  // the idle action ran already if a box was shown
    EXPECT_TRUE(ThreadWindows("#32770").empty());
    EXPECT_TRUE(IsWindowEnabled(Form->Handle()));
    return shown;
  }
  std::string Stored() { return Fake.Registry[StartPageKey][StartPageValue].Data; }

  TFakePlatform Fake;
  TPlatformGuard Guard{Fake};
  std::unique_ptr<TForm1, TComponentFree> Form;
};

TEST_F(StartPageButton, EmptyTextAndTheMarkerShowTheirMessageAndWriteNothing) {
  EXPECT_EQ(Form->Edit2->Text(), "http://www.");
  EXPECT_EQ(Click(""), "Geben Sie eine g\xFCltige Startseite an!");
  EXPECT_EQ(Click("http://www."), "Sie m\xFCssen schon eine Startseite angeben");
  EXPECT_TRUE(Fake.CallsOf("RegSetValueExA").empty());
  EXPECT_EQ(Stored(), std::string("http://old/\0", 12));
}

TEST_F(StartPageButton, AnyOtherTextIsWrittenUnchangedWithoutAMessage) {
  for (const char* typed : {" http://www.", "HTTP://WWW.", "http://www.x", "   "}) {
    EXPECT_EQ(Click(typed), "");
    EXPECT_EQ(Stored(), std::string(typed) + '\0');
    EXPECT_EQ(Fake.Registry[StartPageKey][StartPageValue].Type, static_cast<DWORD>(REG_SZ));
  }
  EXPECT_EQ(Form->Edit1->Text(), "http://old/") << "Edit1 keeps the text read at start";
}

TEST_F(StartPageButton, AFailedWriteReachesTheErrorReport) {
  Fake.Registry.clear();
  app_support::TCollectedErrors errors;
  EXPECT_EQ(Click("http://neu/"), "");
  EXPECT_EQ(errors.Messages, std::vector<std::string>{"Failed to set data for 'Start Page'"});
  EXPECT_TRUE(Fake.Registry.empty());
}

}  // namespace
