#include "tests/unit/app_support.h"

#include <gtest/gtest.h>

#include "ui/SysUtils.h"

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

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    std::string path = folder + name;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      RemoveTree(path + "\\");
      RemoveDirectoryA(path.c_str());
    } else {
      DeleteFileA(path.c_str());
    }
  } while (FindNextFileA(find, &data));
  FindClose(find);
}

}  // namespace

std::string Sandbox(const std::string& name) {
  CreateDirectoryA("C:\\spw-unit", nullptr);
  std::string folder = "C:\\spw-unit\\" + name + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  RemoveTree(folder);
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
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
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

}  // namespace app_support
