// Modal displays disable the thread's other windows for their duration.
#pragma once
#include <windows.h>
#include <vector>

// Disables the thread's other enabled top-level windows for a modal display
// and enables them again at the end of it, on every path.
class TTaskWindowsDisabler {
public:
  explicit TTaskWindowsDisabler(HWND except) : FExcept(except) {
    EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(this));
    for (HWND window : FWindows) EnableWindow(window, FALSE);
  }
  ~TTaskWindowsDisabler() {
    for (HWND window : FWindows)
      if (IsWindow(window)) EnableWindow(window, TRUE);
  }
  TTaskWindowsDisabler(const TTaskWindowsDisabler&) = delete;
  TTaskWindowsDisabler& operator=(const TTaskWindowsDisabler&) = delete;

private:
  static BOOL CALLBACK Collect(HWND window, LPARAM param) {
    auto* self = reinterpret_cast<TTaskWindowsDisabler*>(param);
    if (window != self->FExcept && IsWindowVisible(window) && IsWindowEnabled(window))
      self->FWindows.push_back(window);
    return TRUE;
  }

  HWND FExcept;
  std::vector<HWND> FWindows;
};
