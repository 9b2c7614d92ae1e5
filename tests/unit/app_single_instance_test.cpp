// A second start hands over only to the first program's own main window;
// anything else in the shared block, or nothing there, starts it normally.
#include <gtest/gtest.h>

#include <thread>

#include "app/SingleInstance.h"
#include "tests/support/FakePlatform.h"

namespace {

struct TWindow {
  HWND Handle;
  explicit TWindow(const char* className)
      : Handle(CreateWindowExA(0, className, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleA(nullptr),
                               nullptr)) {}
  ~TWindow() { DestroyWindow(Handle); }
};

TEST(SingleInstance, ASecondStartHandsOverOnlyToTheFirstProgramsMainWindow) {
  TFakePlatform fake;
  fake.ModuleName = "C:\\Programme\\Spurwisch\\spurwisch.exe";
  TPlatformGuard guard(fake);
  WNDCLASSA mainClass{};
  mainClass.lpfnWndProc = DefWindowProcA;
  mainClass.hInstance = GetModuleHandleA(nullptr);
  mainClass.lpszClassName = "TSpwTestMain";
  RegisterClassA(&mainClass);
  TWindow main("TSpwTestMain"), foreign("STATIC");

  // The first program, on a thread of its own that holds the session's mutex.
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr), release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  TSingleInstance* first = nullptr;
  std::thread holder([&] {
    TSingleInstance instance("TSpwTestMain");
    first = &instance;
    SetEvent(ready);
    WaitForSingleObject(release, 60000);
  });
  ASSERT_EQ(WaitForSingleObject(ready, 60000), WAIT_OBJECT_0);
  TSingleInstance second("TSpwTestMain");
  EXPECT_TRUE(first->First());
  EXPECT_FALSE(second.First());
  struct TCase {
    HWND Published;
    std::string Image;  // of the process behind the window, when not this program
    bool HandsOver;
  } cases[] = {
      {nullptr, "", false},                              // nothing published within the wait
      {foreign.Handle, "", false},                       // a window of another class
      {main.Handle, "C:\\Andere\\spurwisch.exe", false},  // the class, but another program's window
      {main.Handle, "", true},
  };
  for (const TCase& c : cases) {
    fake.ProcessImage = c.Image;
    fake.Calls.clear();
    first->Publish(c.Published);
    EXPECT_EQ(second.HandOver(300), c.HandsOver) << c.Image;
    EXPECT_EQ(fake.CallsOf("PostMessageA").size(), c.HandsOver ? 1u : 0u);
  }
  // The first program ends during the wait: the second one is the first now.
  first->Publish(nullptr);
  SetEvent(release);
  EXPECT_FALSE(second.HandOver(30000));
  EXPECT_TRUE(second.First());
  holder.join();
  CloseHandle(ready);
  CloseHandle(release);
}

}  // namespace
