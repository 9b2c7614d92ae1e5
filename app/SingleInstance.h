// One program per user session. The first start takes a named mutex before
// any window exists and publishes its main window in a small shared block;
// a later start finds the block, asks that window to come to the user and
// ends without writing anything.
#pragma once
#include <windows.h>

// Registered message posted to the first program's main window.
UINT BringToUserMessage();

class TSingleInstance {
public:
  // Takes the session's mutex when no other program holds it.
  TSingleInstance();
  ~TSingleInstance();
  TSingleInstance(const TSingleInstance&) = delete;
  TSingleInstance& operator=(const TSingleInstance&) = delete;

  bool First() const { return FFirst; }
  // The first program: the window that later starts ask for.
  void Publish(HWND window);
  // A later start: asks the first program's window to come to the user.
  // When that program is just ending, waits for it and becomes the first:
  // returns false then, and the caller goes on as the first program.
  bool HandOver();

private:
  bool WaitForFirst(DWORD milliseconds);

  HANDLE FMutex = nullptr;
  HANDLE FMapping = nullptr;
  HWND* FShared = nullptr;  // the published window, in the mapping
  bool FFirst = false;
};
