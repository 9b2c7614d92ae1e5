#include "platform/QuestionGuard.h"

#include <vector>

namespace {

// The visible top-level windows of this process.
std::vector<HWND> OwnVisibleWindows() {
  std::vector<HWND> windows;
  EnumWindows(
      [](HWND window, LPARAM found) -> BOOL {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId() && IsWindowVisible(window))
          reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

}  // namespace

TQuestionGuard::TQuestionGuard() {
  for (HWND window : OwnVisibleWindows()) FShownBefore.insert(window);
  FStop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (FStop) FThread = CreateThread(nullptr, 0, &TQuestionGuard::Watch, this, 0, nullptr);
}

TQuestionGuard::~TQuestionGuard() {
  if (FThread) {
    SetEvent(FStop);
    WaitForSingleObject(FThread, INFINITE);
    CloseHandle(FThread);
  }
  if (FStop) CloseHandle(FStop);
}

DWORD WINAPI TQuestionGuard::Watch(LPVOID guard) {
  auto* self = static_cast<TQuestionGuard*>(guard);
  while (WaitForSingleObject(self->FStop, PollInterval) == WAIT_TIMEOUT) self->DeclineNewWindows();
  return 0;
}

// A dialog takes WM_CLOSE as its Cancel button; one that is still there at
// the next look is answered with its "No" button.
void TQuestionGuard::DeclineNewWindows() {
  for (HWND window : OwnVisibleWindows()) {
    if (FShownBefore.count(window)) continue;
    if (FAsked.insert(window).second)
      PostMessageW(window, WM_CLOSE, 0, 0);
    else
      PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
  }
}
