// The timed splash picture: its window, its picture control, how it ends
// (timer, click, other means), the event order and the timer failure.
#include <gtest/gtest.h>

#include <memory>

#include "platform/FakePlatform.h"
#include "splash/NagScreen.h"
#include "tests/unit/app_support.h"
#include "ui/SysUtils.h"

using app_support::Pump;
using app_support::ThreadWindows;
using app_support::WhenIdle;

namespace {

struct TFree {
  void operator()(TComponent* component) const { component->Free(); }
};

// A picture whose pixel (x, y) is RGB(x * 5, y * 5, 200).
TBitmap MakePicture(int width, int height) {
  TBitmap picture;
  picture.SetSize(width, height);
  TMemoryDC dc(nullptr);
  TSelectObject selected(dc.Get(), picture.Handle());
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) SetPixel(dc.Get(), x, y, RGB(x * 5, y * 5, 200));
  return picture;
}

// Writes down the events and what could be seen when each came.
class TJournal : public TObject {
public:
  std::vector<std::string> Events;
  void BeforeNag(TObject*) { Events.push_back(SplashVisible() ? "before, visible" : "before, hidden"); }
  void AfterNag(TObject*) { Events.push_back(SplashVisible() ? "after, visible" : "after, hidden"); }
  void ThrowingAfter(TObject*) { throw Exception("fails"); }
  static bool SplashVisible() {
    for (HWND window : ThreadWindows("TNagForm"))
      if (IsWindowVisible(window)) return true;
    return false;
  }
};

class Splash : public ::testing::Test {
protected:
  void SetUp() override {
    Nag.reset(new TNagScreen(nullptr));
    Nag->SetPicture(MakePicture(40, 30));
    Nag->SetTimeToStay(300);
    Nag->OnBeforeNag = NotifyEvent(&Journal, &TJournal::BeforeNag);
    Nag->OnAfterNag = NotifyEvent(&Journal, &TJournal::AfterNag);
  }
  // Runs the splash with ACTION done once it is up; returns its milliseconds.
  DWORD Run(std::function<void(HWND splash)> action = {}) {
    WhenIdle([this, action] {
      auto windows = ThreadWindows("TNagForm");
      ASSERT_EQ(windows.size(), 1u);
      Window = windows[0];
      if (action) action(Window);
    });
    DWORD start = GetTickCount();
    EXPECT_TRUE(Nag->Execute());
    return GetTickCount() - start;
  }
  // Leaves time for a stray tick, then checks the splash left nothing behind.
  void ExpectGoneForGood() {
    Pump(400);
    EXPECT_TRUE(ThreadWindows("TNagForm").empty());
    EXPECT_FALSE(IsWindow(Window));
    EXPECT_EQ(Nag->NagForm(), nullptr);
    EXPECT_EQ(Nag->NagTimer(), nullptr);
  }
  static void Click(HWND splash, int x, int y) {
    SendMessageA(splash, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(splash, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }

  std::unique_ptr<TNagScreen, TFree> Nag;
  TJournal Journal;
  HWND Window = nullptr;
};

}  // namespace

TEST(SplashComponent, DefaultsAndClassChain) {
  std::unique_ptr<TNagScreen, TFree> nag(new TNagScreen(nullptr));
  EXPECT_TRUE(nag->Picture().Empty());
  EXPECT_EQ(nag->TimeToStay(), 5000u);
  EXPECT_TRUE(nag->DisappearOnClick());
  EXPECT_FALSE(nag->OnBeforeNag.Assigned());
  EXPECT_FALSE(nag->OnAfterNag.Assigned());
  EXPECT_TRUE(Is<TCommonDialogP>(nag.get()));
  EXPECT_TRUE(Is<TExtComponent>(nag.get()));

  // The picture is copied: the caller's bitmap stays the caller's.
  TBitmap picture = MakePicture(3, 2);
  nag->SetPicture(picture);
  EXPECT_NE(nag->Picture().Handle(), picture.Handle());
  EXPECT_EQ(nag->Picture().Width(), 3);
}

TEST_F(Splash, AnEmptyPictureShowsNothingAndFiresNothing) {
  TFakePlatform fake;
  TPlatformGuard guard(fake);
  Nag->SetPicture(TBitmap());
  EXPECT_FALSE(Nag->Execute());
  EXPECT_TRUE(Journal.Events.empty());
  EXPECT_TRUE(ThreadWindows("TNagForm").empty());
  EXPECT_TRUE(fake.CallsOf("SetTimer").empty());
}

TEST_F(Splash, ABorderlessCentredWindowOwnedByTheApplicationShowsThePicture) {
  RECT rect{};
  LONG style = 0, exStyle = 0;
  HWND owner = nullptr, active = nullptr;
  COLORREF pixels[3] = {};
  bool splashIsMainForm = true;
  bool otherEnabled = true;
  std::unique_ptr<TForm, TFree> other(new TForm(Application));
  other->Show();
  DWORD elapsed = Run([&](HWND splash) {
    GetWindowRect(splash, &rect);
    style = GetWindowLongA(splash, GWL_STYLE);
    exStyle = GetWindowLongA(splash, GWL_EXSTYLE);
    owner = GetWindow(splash, GW_OWNER);
    active = GetActiveWindow();
    splashIsMainForm = Application->MainForm() == Nag->NagForm();
    otherEnabled = IsWindowEnabled(other->Handle()) != FALSE;
    UpdateWindow(splash);
    TWindowDC dc(splash);
    pixels[0] = GetPixel(dc.Get(), 0, 0);
    pixels[1] = GetPixel(dc.Get(), 39, 29);
    pixels[2] = GetPixel(dc.Get(), 17, 4);
  });
  int left = (GetSystemMetrics(SM_CXSCREEN) - 40) / 2, top = (GetSystemMetrics(SM_CYSCREEN) - 30) / 2;
  EXPECT_EQ(rect.left, left);
  EXPECT_EQ(rect.top, top);
  EXPECT_EQ(rect.right - rect.left, 40);
  EXPECT_EQ(rect.bottom - rect.top, 30);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER | WS_SYSMENU));
  EXPECT_FALSE(exStyle & WS_EX_TOPMOST);
  EXPECT_EQ(owner, Application->Handle());
  EXPECT_EQ(active, Window);
  EXPECT_FALSE(splashIsMainForm);
  EXPECT_FALSE(otherEnabled) << "the display is modal";
  EXPECT_TRUE(IsWindowEnabled(other->Handle()));
  // Natural size from the top-left corner.
  EXPECT_EQ(pixels[0], RGB(0, 0, 200));
  EXPECT_EQ(pixels[1], RGB(39 * 5, 29 * 5, 200));
  EXPECT_EQ(pixels[2], RGB(17 * 5, 4 * 5, 200));
  // Ended by the timer: the events in order, the last while still on screen.
  EXPECT_GE(elapsed, 280u);
  EXPECT_EQ(Journal.Events, (std::vector<std::string>{"before, hidden", "after, visible"}));
  ExpectGoneForGood();
  EXPECT_EQ(Journal.Events.size(), 2u);
}

TEST_F(Splash, ClicksEndItOnlyWithDisappearOnClick) {
  Nag->SetDisappearOnClick(false);
  DWORD elapsed = Run([](HWND splash) { Click(splash, 10, 10); });
  EXPECT_GE(elapsed, 280u) << "the click changed nothing";
  EXPECT_EQ(Journal.Events.size(), 2u);

  Journal.Events.clear();
  Nag->SetDisappearOnClick(true);
  Nag->SetTimeToStay(2000);
  elapsed = Run([](HWND splash) { Click(splash, 10, 10); });
  EXPECT_LT(elapsed, 1500u);
  EXPECT_EQ(Journal.Events, (std::vector<std::string>{"before, hidden", "after, visible"}));
  ExpectGoneForGood();
  EXPECT_EQ(Journal.Events.size(), 2u) << "the stopped timer never fires";

  // With no stay time only a click ends it, and no timer is asked for.
  TFakePlatform fake;
  TPlatformGuard guard(fake);
  Nag->SetTimeToStay(0);
  Run([](HWND splash) { PostMessageA(splash, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
                        PostMessageA(splash, WM_LBUTTONUP, 0, MAKELPARAM(5, 5)); });
  EXPECT_TRUE(fake.CallsOf("SetTimer").empty());
}

TEST_F(Splash, ClosedByOtherMeansItEndsWithoutTheAfterEventAndTheTimerStaysQuiet) {
  Nag->SetTimeToStay(250);
  for (UINT how : {WM_CLOSE, WM_SYSKEYDOWN}) {
    SCOPED_TRACE(how == WM_CLOSE ? "WM_CLOSE" : "Alt+F4");
    Journal.Events.clear();
    DWORD elapsed = Run([how](HWND splash) {
      if (how == WM_CLOSE)
        PostMessageA(splash, WM_CLOSE, 0, 0);
      else
        PostMessageA(splash, WM_SYSKEYDOWN, VK_F4, 0x20000001);  // with Alt held
    });
    EXPECT_LT(elapsed, 230u);
    app_support::TCollectedErrors errors;
    ExpectGoneForGood();
    EXPECT_EQ(Journal.Events, (std::vector<std::string>{"before, hidden"}));
    EXPECT_TRUE(errors.Messages.empty());
  }
}

TEST_F(Splash, ErrorsInsideTheEndAreSwallowed) {
  Nag->OnAfterNag = NotifyEvent(&Journal, &TJournal::ThrowingAfter);
  app_support::TCollectedErrors errors;
  Run();
  ExpectGoneForGood();
  EXPECT_TRUE(errors.Messages.empty());
}

TEST_F(Splash, WithoutATimerItRaisesBeforeAnyWindowIsMade) {
  static int windowsMade;
  windowsMade = 0;
  HHOOK hook = SetWindowsHookExA(
      WH_CBT,
      [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
        char name[64] = {};
        if (code == HCBT_CREATEWND && GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name))
          ++windowsMade;
        return CallNextHookEx(nullptr, code, wParam, lParam);
      },
      nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  TFakePlatform fake;
  TPlatformGuard guard(fake);
  fake.Fail("SetTimer");
  std::string message;
  try {
    Nag->Execute();
  } catch (const EOutOfResources& e) {
    message = e.Message();
  }
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(message, "Not enough timers available");
  EXPECT_EQ(windowsMade, 0);
  EXPECT_TRUE(Journal.Events.empty());
  EXPECT_EQ(Nag->NagForm(), nullptr);
}

TEST(PictureControl, DrawsAtNaturalSizeFromTheTopLeftAndSizesItselfWithAutoSize) {
  std::unique_ptr<TImage, TFree> image(new TImage(nullptr));
  image->SetBounds(0, 0, 10, 8);
  image->SetPicture(MakePicture(4, 3));
  EXPECT_EQ(image->Width(), 10) << "no AutoSize yet";
  TBitmap surface;
  surface.SetSize(10, 8);
  TMemoryDC dc(nullptr);
  TSelectObject selected(dc.Get(), surface.Handle());
  RECT all{0, 0, 10, 8};
  FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  image->Paint(dc.Get());
  EXPECT_EQ(GetPixel(dc.Get(), 0, 0), RGB(0, 0, 200));
  EXPECT_EQ(GetPixel(dc.Get(), 3, 2), RGB(15, 10, 200));
  EXPECT_EQ(GetPixel(dc.Get(), 4, 2), RGB(255, 255, 255)) << "not stretched";
  EXPECT_EQ(GetPixel(dc.Get(), 9, 7), RGB(255, 255, 255));

  image->SetAutoSize(true);
  EXPECT_EQ(image->Width(), 4);
  EXPECT_EQ(image->Height(), 3);
  image->SetBounds(5, 6, 100, 100);
  EXPECT_EQ(image->Left(), 5);
  EXPECT_EQ(image->Width(), 4);
}
