// For a run nobody watches (Task Scheduler with no one logged on, a log-on
// script): a question a system call puts on the screen would wait forever.
#pragma once
#include <windows.h>

#include <set>

// While it lives, every top-level window of this process that shows and was
// not shown when the guard began is closed at once (WM_CLOSE, then "No"),
// which declines what it asks: the shell's question whether to delete for
// good what the recycle bin cannot take, or any box a system call shows. A
// helper thread looks every PollInterval milliseconds, so a question on any
// thread of the process is seen.
class TQuestionGuard {
public:
  TQuestionGuard();
  ~TQuestionGuard();
  TQuestionGuard(const TQuestionGuard&) = delete;
  TQuestionGuard& operator=(const TQuestionGuard&) = delete;

  static constexpr DWORD PollInterval = 50;

private:
  static DWORD WINAPI Watch(LPVOID guard);
  void DeclineNewWindows();

  std::set<HWND> FShownBefore;  // filled before the helper thread starts
  std::set<HWND> FAsked;        // windows already sent WM_CLOSE
  HANDLE FStop = nullptr;
  HANDLE FThread = nullptr;
};
