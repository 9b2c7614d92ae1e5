#include "app/SingleInstance.h"

namespace {

// "Local\" names live in the user's own session.
constexpr char MutexName[] = "Local\\Spurwisch.Instance";
constexpr char MappingName[] = "Local\\Spurwisch.Window";

// A start that comes while the first program is still starting (its splash
// picture) waits this long for its window to be published.
constexpr DWORD PublishWait = 10000;
constexpr DWORD PollInterval = 50;

}  // namespace

UINT BringToUserMessage() {
  static const UINT message = RegisterWindowMessageA("Spurwisch.BringToUser");
  return message;
}

TSingleInstance::TSingleInstance() {
  SetLastError(ERROR_SUCCESS);
  FMutex = CreateMutexA(nullptr, TRUE, MutexName);
  // Without a mutex nothing can be coordinated: go on as the first.
  FFirst = !FMutex || GetLastError() != ERROR_ALREADY_EXISTS;
  FMapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(HWND), MappingName);
  if (FMapping)
    FShared = static_cast<HWND*>(MapViewOfFile(FMapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(HWND)));
}

TSingleInstance::~TSingleInstance() {
  if (FShared) {
    if (FFirst) *FShared = nullptr;
    UnmapViewOfFile(FShared);
  }
  if (FMapping) CloseHandle(FMapping);
  if (FMutex) {
    if (FFirst) ReleaseMutex(FMutex);
    CloseHandle(FMutex);
  }
}

void TSingleInstance::Publish(HWND window) {
  if (FFirst && FShared) *FShared = window;
}

bool TSingleInstance::HandOver() {
  for (DWORD waited = 0; FShared && waited < PublishWait; waited += PollInterval) {
    HWND window = *FShared;
    if (window && IsWindow(window)) {
      DWORD process = 0;
      GetWindowThreadProcessId(window, &process);
      // The first program may take the foreground from this start.
      AllowSetForegroundWindow(process);
      if (PostMessageA(window, BringToUserMessage(), 0, 0)) return true;
    }
    if (WaitForFirst(PollInterval)) return false;
  }
  return true;
}

// True when the first program ended (normally or not) and this one now
// holds the mutex.
bool TSingleInstance::WaitForFirst(DWORD milliseconds) {
  if (!FMutex) return false;
  DWORD result = WaitForSingleObject(FMutex, milliseconds);
  if (result != WAIT_OBJECT_0 && result != WAIT_ABANDONED) return false;
  FFirst = true;
  return true;
}
