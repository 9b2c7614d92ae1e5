// The application object: its hidden window, the title and error-report
// rules, observers, and the minimise and restore operations.
#include <gtest/gtest.h>

#include "tests/support/FakePlatform.h"
#include "tests/support/app_support.h"
#include "ui/Forms.h"
#include "ui/Responsive.h"
#include "base/Cp1252.h"
#include "base/SysUtils.h"

using app_support::Pump;

TEST(ApplicationTitle, FileNameWithoutExtensionInLowerCaseAfterTheFirst) {
  EXPECT_EQ(ApplicationTitleFromPath("C:\\Programme\\spurwisch.exe"), "Spurwisch");
  EXPECT_EQ(ApplicationTitleFromPath("C:\\x\\SPURWISCH.EXE"), "Spurwisch");
  EXPECT_EQ(ApplicationTitleFromPath("D:\\Tools\\MyTool.v2.exe"), "Mytool.v2");  // only the extension goes
  EXPECT_EQ(ApplicationTitleFromPath("D:\\Tools.d\\spurwisch"), "Spurwisch");
  EXPECT_EQ(ApplicationTitleFromPath(u8"C:\\Ä\\ÖLSPUR.exe"_cp1252), u8"Ölspur"_cp1252);
  EXPECT_EQ(ApplicationTitleFromPath(""), "");
}

TEST(ErrorReport, AFullStopFollowsTextsEndingAfterIt) {
  EXPECT_EQ(ErrorReportText("Interface not supported"), "Interface not supported.");
  EXPECT_EQ(ErrorReportText("Failed to set data for 'Start Page'"), "Failed to set data for 'Start Page'");
  EXPECT_EQ(ErrorReportText("Done."), "Done.");
  EXPECT_EQ(ErrorReportText("Zugriff verweigert!"), "Zugriff verweigert!");
  EXPECT_EQ(ErrorReportText("Fehler 5"), "Fehler 5.");
  EXPECT_EQ(ErrorReportText(u8"Datei ö"_cp1252), u8"Datei ö."_cp1252);  // bytes above 127 sort after "."
  EXPECT_EQ(ErrorReportText(""), "");
}

TEST(ErrorReport, OleErrorsUseTheSystemTextOrTheCode) {
  EXPECT_EQ(EOleSysError(0x8ABCDEF1).Message(), "OLE error 8abcdef1");
  EXPECT_EQ(EOleSysError(E_OUTOFMEMORY).Message(), SysErrorMessage(E_OUTOFMEMORY));
  EXPECT_FALSE(EOleSysError(E_OUTOFMEMORY).Message().empty());
  EXPECT_EQ(EIntfCastError().Message(), "Interface not supported");
}

TEST(ApplicationWindow, IsAHiddenZeroSizeWindowInTheMiddleOfTheScreen) {
  HWND window = Application->Handle();
  ASSERT_TRUE(IsWindow(window));
  char name[64];
  GetClassNameA(window, name, sizeof name);
  EXPECT_STREQ(name, "TApplication");
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & ~WS_VISIBLE, 0x84CA0000u);
  RECT r;
  GetWindowRect(window, &r);
  EXPECT_EQ(r.right - r.left, 0);
  EXPECT_EQ(r.bottom - r.top, 0);
  EXPECT_EQ(r.left, GetSystemMetrics(SM_CXSCREEN) / 2);
  EXPECT_EQ(r.top, GetSystemMetrics(SM_CYSCREEN) / 2);
  char caption[64];
  GetWindowTextA(window, caption, sizeof caption);
  EXPECT_EQ(std::string(caption), Application->Title());
  EXPECT_EQ(Application->Title(), "Unit_tests");
  EXPECT_NE(Application->Icon(), nullptr);

  HMENU menu = GetSystemMenu(window, FALSE);
  EXPECT_EQ(GetMenuState(menu, SC_MAXIMIZE, MF_BYCOMMAND), static_cast<UINT>(-1));
  EXPECT_EQ(GetMenuState(menu, SC_SIZE, MF_BYCOMMAND), static_cast<UINT>(-1));
  EXPECT_EQ(GetMenuState(menu, SC_MOVE, MF_BYCOMMAND), static_cast<UINT>(-1));
  EXPECT_NE(GetMenuState(menu, SC_MINIMIZE, MF_BYCOMMAND), static_cast<UINT>(-1));
}

namespace {

// Records what reaches the Application window's observers.
class TObserver : public TObject {
public:
  std::vector<UINT> Seen;
  std::vector<WPARAM> SizeKinds;
  bool Swallow = false;
  bool Hook(TMessage& message) {
    Seen.push_back(message.Msg);
    if (message.Msg == WM_SIZE) SizeKinds.push_back(message.WParam);
    return Swallow && message.Msg == WM_USER + 7;
  }
};

}  // namespace

TEST(ApplicationWindow, ObserversSeeMessagesFirstInOrderAndMayEndTheHandling) {
  TObserver first, second;
  Application->HookMainWindow(WindowHook(&first, &TObserver::Hook));
  Application->HookMainWindow(WindowHook(&second, &TObserver::Hook));
  first.Swallow = true;
  SendMessageA(Application->Handle(), WM_USER + 7, 0, 0);
  SendMessageA(Application->Handle(), WM_USER + 8, 0, 0);
  Application->UnhookMainWindow(WindowHook(&first, &TObserver::Hook));
  Application->UnhookMainWindow(WindowHook(&first, &TObserver::Hook));  // twice does nothing
  SendMessageA(Application->Handle(), WM_USER + 9, 0, 0);
  Application->UnhookMainWindow(WindowHook(&second, &TObserver::Hook));

  auto count = [](const TObserver& o, UINT msg) { return std::count(o.Seen.begin(), o.Seen.end(), msg); };
  EXPECT_EQ(count(first, WM_USER + 7), 1);
  EXPECT_EQ(count(second, WM_USER + 7), 0) << "the first observer handled it";
  EXPECT_EQ(count(second, WM_USER + 8), 1);
  EXPECT_EQ(count(first, WM_USER + 9), 0);
  EXPECT_EQ(count(second, WM_USER + 9), 1);
}

TEST(ApplicationWindow, MinimiseAndRestoreOperations) {
  TObserver observer;
  Application->HookMainWindow(WindowHook(&observer, &TObserver::Hook));
  HWND window = Application->Handle();
  ASSERT_EQ(Application->MainForm(), nullptr);

  Application->Minimize();
  Pump(50);
  EXPECT_TRUE(IsIconic(window));
  ASSERT_FALSE(observer.SizeKinds.empty());
  EXPECT_EQ(observer.SizeKinds.back(), static_cast<WPARAM>(SIZE_MINIMIZED));
  size_t sizes = observer.SizeKinds.size();
  Application->Minimize();  // already minimised: nothing happens
  EXPECT_EQ(observer.SizeKinds.size(), sizes);

  // A restore command to the window runs the restore operation.
  SendMessageA(window, WM_SYSCOMMAND, SC_RESTORE, 0);
  Pump(50);
  EXPECT_FALSE(IsIconic(window));
  RECT r;
  GetWindowRect(window, &r);
  EXPECT_EQ(r.right - r.left, 0);
  EXPECT_EQ(r.left, GetSystemMetrics(SM_CXSCREEN) / 2);
  sizes = observer.SizeKinds.size();
  Application->Restore();  // not minimised: nothing happens
  EXPECT_EQ(observer.SizeKinds.size(), sizes);
  ShowWindow(window, SW_HIDE);
  Application->UnhookMainWindow(WindowHook(&observer, &TObserver::Hook));
}

// Between application objects (the reporter still set up, none standing)
// an error is not lost: the plain box shows it.
TEST(ApplicationWindow, WithoutAnApplicationObjectThePlainBoxShowsTheError) {
  TFakePlatform fake;
  TPlatformGuard guard{fake};
  TApplication* shared = Application;
  Application = nullptr;
  try {
    throw EIntfCastError();
  } catch (...) {
    HandleCurrentException();
  }
  Application = shared;
  const std::vector<std::string> boxes = fake.CallsOf("MessageBoxA");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find("Interface not supported., Error,"), std::string::npos) << boxes[0];
}

TEST(ApplicationWindow, ErrorsEscapingAHandlerReachTheErrorReport) {
  class TThrowing : public TObject {
  public:
    bool Hook(TMessage& message) {
      if (message.Msg == WM_USER + 20) throw EIntfCastError();
      return false;
    }
  } thrower;
  app_support::TCollectedErrors errors;
  Application->HookMainWindow(WindowHook(&thrower, &TThrowing::Hook));
  SendMessageA(Application->Handle(), WM_USER + 20, 0, 0);
  Application->UnhookMainWindow(WindowHook(&thrower, &TThrowing::Hook));
  ASSERT_EQ(errors.Messages.size(), 1u);
  EXPECT_EQ(errors.Messages[0], "Interface not supported");
}

// ---- a long loop on the GUI thread ----

namespace {

struct TSeen {
  int Paints = 0, Posted = 0, Timers = 0, Sent = 0;
};
TSeen Seen;

LRESULT CALLBACK CountingProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      ++Seen.Paints;
      return 0;
    }
    case WM_APP: ++Seen.Posted; return 0;
    case WM_APP + 1: ++Seen.Sent; return 0;
    case WM_TIMER: ++Seen.Timers; return 0;
  }
  return DefWindowProcA(window, msg, wParam, lParam);
}

}  // namespace

TEST(KeepPainting, DispatchesPaintsAndSentMessagesOnlyAboutEveryTenthOfASecond) {
  WNDCLASSA cls{};
  cls.lpfnWndProc = CountingProc;
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.lpszClassName = "TKeepPaintingTest";
  RegisterClassA(&cls);
  HWND window = CreateWindowA(cls.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                              cls.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  Pump(50);
  Seen = {};
  Sleep(110);
  InvalidateRect(window, nullptr, FALSE);
  PostMessageA(window, WM_APP, 0, 0);
  SetTimer(window, 1, 1, nullptr);
  Sleep(20);
  KeepPainting();
  EXPECT_EQ(Seen.Paints, 1);
  EXPECT_EQ(Seen.Posted, 0) << "a posted message could start anything";
  EXPECT_EQ(Seen.Timers, 0);
  InvalidateRect(window, nullptr, FALSE);
  KeepPainting();  // too soon: the loop goes on at full speed
  EXPECT_EQ(Seen.Paints, 1);

  // Another thread's sent message is answered while the loop runs.
  HANDLE sender = CreateThread(
      nullptr, 0,
      [](LPVOID target) -> DWORD {
        DWORD_PTR result;
        SendMessageTimeoutA(static_cast<HWND>(target), WM_APP + 1, 0, 0, SMTO_NORMAL, 2000, &result);
        return 0;
      },
      window, 0, nullptr);
  for (DWORD start = GetTickCount(); GetTickCount() - start < 400;) KeepPainting();
  WaitForSingleObject(sender, 3000);
  CloseHandle(sender);
  EXPECT_EQ(Seen.Sent, 1);
  EXPECT_EQ(Seen.Paints, 2);
  MSG posted;
  EXPECT_TRUE(PeekMessageA(&posted, window, WM_APP, WM_APP, PM_REMOVE)) << "the posted message still waits";
  KillTimer(window, 1);
  DestroyWindow(window);
}
