#include "app/SingleInstance.h"

#include "platform/FileIdentity.h"
#include "platform/Handles.h"

namespace {

// "Local\" names live in the user's own session.
constexpr char MutexName[] = "Local\\Spurwisch.Instance";
constexpr char MappingName[] = "Local\\Spurwisch.Window";
constexpr DWORD PollInterval = 50;

TSingleInstance* Current = nullptr;

// The image file of the process behind a window; empty when it cannot be asked.
std::wstring ImageOf(TPlatform& platform, HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (!process) return {};
  TFileHandle handle(platform, platform.OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
  if (!handle.Valid()) return {};
  std::wstring image(32768, L'\0');
  DWORD size = static_cast<DWORD>(image.size());
  if (!platform.QueryFullProcessImageNameW(handle.Get(), 0, image.data(), &size)) return {};
  image.resize(size);
  return image;
}

// A window of the class given whose process runs this program's own file
// (by identity: another copy of the program, or a program that wrote its
// own window into the block, does not count).
bool IsMainWindowOfThisProgram(HWND window, const std::string& mainClass) {
  char name[64] = {};
  if (!GetClassNameA(window, name, sizeof name) || mainClass != name) return false;
  TPlatform& platform = Platform();
  std::wstring image = ImageOf(platform, window);
  return !image.empty() && SameFileObject(platform, image, OwnModulePath(platform));
}

}  // namespace

UINT BringToUserMessage() {
  static const UINT message = RegisterWindowMessageA("Spurwisch.BringToUser");
  return message;
}

TSingleInstance::TSingleInstance(const char* mainClass) : FMainClass(mainClass) {
  SetLastError(ERROR_SUCCESS);
  FMutex = CreateMutexA(nullptr, TRUE, MutexName);
  // Without a mutex nothing can be coordinated: go on as the first.
  FFirst = !FMutex || GetLastError() != ERROR_ALREADY_EXISTS;
  FMapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(HWND), MappingName);
  if (FMapping)
    FShared = static_cast<HWND*>(MapViewOfFile(FMapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(HWND)));
  Current = this;
}

TSingleInstance::~TSingleInstance() {
  if (Current == this) Current = nullptr;
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

bool TSingleInstance::HandOver(DWORD wait) {
  for (DWORD waited = 0; FShared && waited < wait; waited += PollInterval) {
    HWND window = *FShared;
    // A window already destroyed belongs to a program that is just ending.
    if (window && IsWindow(window)) {
      if (!IsMainWindowOfThisProgram(window, FMainClass)) return false;
      DWORD process = 0;
      GetWindowThreadProcessId(window, &process);
      // The first program may take the foreground from this start.
      AllowSetForegroundWindow(process);
      if (Platform().PostMessageA(window, BringToUserMessage(), 0, 0)) return true;
    }
    if (WaitForFirst(PollInterval)) return false;
  }
  return false;
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

void PublishMainWindow(HWND window) {
  if (Current) Current->Publish(window);
}
