#include "tests/support/app_support.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/clean_wine_support.h"
#include "base/SysUtils.h"

namespace app_support {
namespace {

// One application object for the whole test program, as in the program.
class TApplicationEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    FApplication = new TApplication();
    try {
      FApplication->Initialize();
    } catch (const Exception& e) {
      FAIL() << e.Message();
    }
  }
  void TearDown() override { delete FApplication; }

private:
  TApplication* FApplication = nullptr;
};

const auto* const RegisteredEnvironment =
    ::testing::AddGlobalTestEnvironment(new TApplicationEnvironment);

std::vector<std::string>* CurrentErrors = nullptr;
void CollectError(const std::string& message) {
  if (CurrentErrors) CurrentErrors->push_back(message);
}

std::vector<std::function<void()>>& PendingActions() {
  static std::vector<std::function<void()>> actions;
  return actions;
}

void CALLBACK RunPending(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  auto actions = std::move(PendingActions());
  PendingActions().clear();
  for (auto& action : actions) action();
}

}  // namespace

int FilesIn(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  int files = 0;
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
    files += !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  return files;
}

std::string Sandbox(const std::string& name) {
  CreateDirectoryA("C:\\spw-unit", nullptr);
  std::string folder = "C:\\spw-unit\\" + name + "\\";
  // Emptied without following links, as the cleaning tests do it.
  EXPECT_TRUE(wine_support::RemoveTree(folder)) << folder;
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

std::string ReadFileBytes(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  ASSERT_TRUE(wine_support::WriteFile(path, bytes)) << path;
}

void Pump(int milliseconds) {
  DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
  do {
    Application->ProcessMessages();
    Sleep(5);
  } while (static_cast<int>(end - GetTickCount()) > 0);
}

void WhenIdle(std::function<void()> action) {
  PendingActions().push_back(std::move(action));
  SetTimer(nullptr, 0, 20, RunPending);
}

TCollectedErrors::TCollectedErrors() {
  CurrentErrors = &Messages;
  Application->OnException = CollectError;
}

TCollectedErrors::~TCollectedErrors() {
  Application->OnException = nullptr;
  CurrentErrors = nullptr;
}

namespace {

std::vector<HWND> SplashesClosed;

void CALLBACK CloseSplashes(HWND, UINT, UINT_PTR, DWORD) {
  for (HWND window : ThreadWindows("TNagForm")) {
    if (!IsWindowVisible(window) ||
        std::find(SplashesClosed.begin(), SplashesClosed.end(), window) != SplashesClosed.end())
      continue;
    SplashesClosed.push_back(window);
    PostMessageA(window, WM_CLOSE, 0, 0);
  }
}

}  // namespace

TSplashCloser::TSplashCloser() : FTimer(SetTimer(nullptr, 0, 10, CloseSplashes)) {
  SplashesClosed.clear();
  EXPECT_NE(FTimer, 0u);
}

TSplashCloser::~TSplashCloser() { KillTimer(nullptr, FTimer); }

int TSplashCloser::Closed() const { return static_cast<int>(SplashesClosed.size()); }

std::vector<HWND> ThreadWindows(const char* className) {
  struct TSearch {
    const char* ClassName;
    std::vector<HWND> Found;
  } search{className, {}};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<TSearch*>(param);
        char name[64];
        if (GetClassNameA(window, name, sizeof name) && lstrcmpA(name, s->ClassName) == 0)
          s->Found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

SIZE IconSize(HICON icon) {
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return {0, 0};
  BITMAP bitmap{};
  GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return {bitmap.bmWidth, bitmap.bmHeight};
}

}  // namespace app_support
