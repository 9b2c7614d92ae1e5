// One program per user session. The first start takes a named mutex before
// any window exists and publishes its main window in a small shared block
// as soon as that window is made, before a cleaning at start; a later start
// finds the block, asks that window to come to the user and ends without
// writing anything.
#pragma once
#include <windows.h>

#include <string>

// Registered message posted to the first program's main window.
UINT BringToUserMessage();

class TSingleInstance {
public:
  // A start that comes while the first program is still starting (its
  // splash picture) waits this long for its window to be published.
  static constexpr DWORD PublishWait = 10000;

  // Takes the session's mutex when no other program holds it. MAINCLASS is
  // the window class of the main window that later starts hand over to.
  explicit TSingleInstance(const char* mainClass);
  ~TSingleInstance();
  TSingleInstance(const TSingleInstance&) = delete;
  TSingleInstance& operator=(const TSingleInstance&) = delete;

  bool First() const { return FFirst; }
  // The first program: the window that later starts ask for.
  void Publish(HWND window);
  // The window the block holds now (any program in the session can write it).
  HWND Published() const { return FShared ? *FShared : nullptr; }
  // A later start: asks the first program's main window to come to the user
  // and returns true. Returns false when this start is to go on as a
  // program of its own: the first program ended meanwhile (this one is the
  // first now), no window was published within WAIT, or the block holds a
  // window that is not the first program's main window (another program's,
  // or one of another class).
  bool HandOver(DWORD wait = PublishWait);

private:
  bool WaitForFirst(DWORD milliseconds);

  std::string FMainClass;
  HANDLE FMutex = nullptr;
  HANDLE FMapping = nullptr;
  HWND* FShared = nullptr;  // the published window, in the mapping
  bool FFirst = false;
};

// Publishes the main window when this process is the session's first
// program (TSingleInstance of WinMain); does nothing otherwise.
void PublishMainWindow(HWND window);
