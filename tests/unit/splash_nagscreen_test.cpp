// The timed splash picture: its window and picture, how it ends (timer,
// click, other means), the event order and the timer failure.
#include <gtest/gtest.h>

#include <memory>

#include "tests/support/FakePlatform.h"
#include "splash/NagScreen.h"
#include "tests/support/app_support.h"
#include "base/SysUtils.h"

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

bool SplashVisible() {
  for (HWND window : ThreadWindows("TNagForm"))
    if (IsWindowVisible(window)) return true;
  return false;
}

class Splash : public ::testing::Test, public TObject {
protected:
  void SetUp() override {
    Nag.reset(new TNagScreen(nullptr));
    Nag->SetPicture(MakePicture(40, 30));
    Nag->SetTimeToStay(300);
    Nag->OnBeforeNag = NotifyEvent(this, &Splash::Note);
    Nag->OnAfterNag = NotifyEvent(this, &Splash::Note);
  }
public:
  // Events, and whether the splash was on screen at each.
  void Note(TObject*) { Events.push_back(SplashVisible() ? "visible" : "hidden"); }
  void Throw(TObject*) { throw Exception("fails"); }

protected:

  // Runs the splash with ACTION done once it is up; returns its milliseconds,
  // after leaving time for a stray tick and checking nothing is left of it.
  DWORD Run(std::function<void(HWND splash)> action = {}) {
    HWND window = nullptr;
    WhenIdle([&] {
      auto windows = ThreadWindows("TNagForm");
      ASSERT_EQ(windows.size(), 1u);
      window = windows[0];
      if (action) action(window);
    });
    DWORD start = GetTickCount();
    EXPECT_TRUE(Nag->Execute());
    DWORD elapsed = GetTickCount() - start;
    Pump(400);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(Nag->NagForm(), nullptr);
    EXPECT_EQ(Nag->NagTimer(), nullptr);
    return elapsed;
  }

  std::unique_ptr<TNagScreen, TFree> Nag;
  std::vector<std::string> Events;
};

void Click(HWND window) {
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
}

}  // namespace

TEST(SplashComponent, DefaultsAndAnEmptyPicture) {
  TFakePlatform fake;
  TPlatformGuard guard(fake);
  std::unique_ptr<TNagScreen, TFree> nag(new TNagScreen(nullptr));
  EXPECT_TRUE(Is<TCommonDialogP>(nag.get()));
  EXPECT_EQ(nag->TimeToStay(), 5000u);
  EXPECT_TRUE(nag->DisappearOnClick());
  EXPECT_FALSE(nag->OnBeforeNag.Assigned() || nag->OnAfterNag.Assigned());
  EXPECT_TRUE(nag->Picture().Empty());
  EXPECT_FALSE(nag->Execute()) << "nothing to show";
  EXPECT_TRUE(ThreadWindows("TNagForm").empty());
  EXPECT_TRUE(fake.CallsOf("SetTimer").empty());

  TBitmap picture = MakePicture(3, 2);
  nag->SetPicture(picture);
  EXPECT_NE(nag->Picture().Handle(), picture.Handle()) << "a copy";
  EXPECT_EQ(nag->Picture().Width(), 3);
}

TEST_F(Splash, ABorderlessCentredModalWindowShowsThePictureAndAClickEndsIt) {
  std::unique_ptr<TForm, TFree> other(new TForm(Application));
  other->Show();
  RECT rect{};
  LONG style = 0;
  bool topMost = true, owned = false, active = false, otherEnabled = true, isMainForm = true;
  COLORREF corners[2] = {};
  DWORD elapsed = Run([&](HWND splash) {
    GetWindowRect(splash, &rect);
    style = GetWindowLongA(splash, GWL_STYLE);
    topMost = GetWindowLongA(splash, GWL_EXSTYLE) & WS_EX_TOPMOST;
    owned = GetWindow(splash, GW_OWNER) == Application->Handle();
    active = GetActiveWindow() == splash;
    otherEnabled = IsWindowEnabled(other->Handle());
    isMainForm = Application->MainForm() == Nag->NagForm();
    UpdateWindow(splash);
    TWindowDC dc(splash);
    corners[0] = GetPixel(dc.Get(), 0, 0);
    corners[1] = GetPixel(dc.Get(), 39, 29);
    Click(splash);  // DisappearOnClick is on by default
  });
  EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 40) / 2);
  EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 30) / 2);
  EXPECT_EQ(rect.right - rect.left, 40);
  EXPECT_EQ(rect.bottom - rect.top, 30);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER | WS_SYSMENU));
  EXPECT_FALSE(topMost);
  EXPECT_TRUE(owned && active);
  EXPECT_FALSE(isMainForm);
  EXPECT_FALSE(otherEnabled) << "modal";
  EXPECT_TRUE(IsWindowEnabled(other->Handle()));
  EXPECT_EQ(corners[0], RGB(0, 0, 200)) << "natural size from the top-left corner";
  EXPECT_EQ(corners[1], RGB(39 * 5, 29 * 5, 200));
  EXPECT_LT(elapsed, 250u) << "the click ended it";
  // OnAfterNag once, while the window is still on screen.
  EXPECT_EQ(Events, (std::vector<std::string>{"hidden", "visible"}));
}

TEST_F(Splash, WithoutDisappearOnClickOnlyTheTimerEndsIt) {
  Nag->SetDisappearOnClick(false);
  DWORD elapsed = Run(Click);
  EXPECT_GE(elapsed, 280u);
  EXPECT_EQ(Events, (std::vector<std::string>{"hidden", "visible"}));
}

TEST_F(Splash, ClosedByOtherMeansItEndsWithoutTheAfterEventAndTheTimerStaysQuiet) {
  for (UINT how : {WM_CLOSE, WM_SYSKEYDOWN}) {
    SCOPED_TRACE(how == WM_CLOSE ? "WM_CLOSE" : "Alt+F4");
    Events.clear();
    app_support::TCollectedErrors errors;
    DWORD elapsed = Run([how](HWND splash) {
      PostMessageA(splash, how, how == WM_CLOSE ? 0 : VK_F4, how == WM_CLOSE ? 0 : 0x20000001);
    });
    EXPECT_LT(elapsed, 280u);
    EXPECT_EQ(Events, (std::vector<std::string>{"hidden"}));
    EXPECT_TRUE(errors.Messages.empty());
  }
}

TEST_F(Splash, ErrorsInsideTheEndAreSwallowed) {
  Nag->OnAfterNag = NotifyEvent<Splash>(this, &Splash::Throw);
  app_support::TCollectedErrors errors;
  Run();
  EXPECT_TRUE(errors.Messages.empty());
}

TEST_F(Splash, WithoutATimerItRaisesBeforeShowingAnything) {
  TFakePlatform fake;
  TPlatformGuard guard(fake);
  fake.Fail("SetTimer");
  std::string message;
  try {
    Nag->Execute();
  } catch (const EOutOfResources& e) {
    message = e.Message();
  }
  EXPECT_EQ(message, "Not enough timers available");
  EXPECT_TRUE(Events.empty());
  EXPECT_TRUE(ThreadWindows("TNagForm").empty());
}

TEST_F(Splash, APictureLargerThanTheScreenStartsAtItsTopLeftCorner) {
  int width = GetSystemMetrics(SM_CXSCREEN) + 100, height = GetSystemMetrics(SM_CYSCREEN) + 50;
  TBitmap big;
  big.SetSize(width, height);
  Nag->SetPicture(big);
  RECT rect{};
  Run([&](HWND splash) {
    GetWindowRect(splash, &rect);
    PostMessageA(splash, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, width);
  EXPECT_EQ(rect.bottom, height);
}
