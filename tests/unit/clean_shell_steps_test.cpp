// Recycle bin, recent documents and the shell folder delete against the
// recording platform.
#include <gtest/gtest.h>

#include <cstring>

#include "clean/Cleaning.h"
#include "clean/TempPurge.h"
#include "tests/support/FakePlatform.h"

namespace {

class CleanShellSteps : public ::testing::Test {
protected:
  TFakePlatform Fake;
  TPlatformGuard Guard{Fake};
};

TEST_F(CleanShellSteps, RecycleBinIsEmptiedThroughTheRunTimeLookup) {
  HWND application = reinterpret_cast<HWND>(0x1234);
  EmptyRecycleBin(application);
  std::vector<std::string> expected = {"LoadLibraryA(Shell32.dll)",
                                       "GetProcAddress(SHEmptyRecycleBinA)",
                                       "SHEmptyRecycleBinA(0x1234, null, 0x7)", "FreeLibrary()"};
  EXPECT_EQ(Fake.Calls, expected);
  EXPECT_EQ(Fake.OpenHandles(), 0);
}

TEST_F(CleanShellSteps, MissingLibraryShowsTheErrorDialogOnly) {
  Fake.Fail("LoadLibraryA", 0, ERROR_MOD_NOT_FOUND);
  EmptyRecycleBin(nullptr);
  std::vector<std::string> expected = {
      "LoadLibraryA(Shell32.dll)",
      "MessageBoxA(0x0, Failed to load Shell32.dll., Error, 0x2010)"};  // MB_ICONERROR|MB_TASKMODAL
  EXPECT_EQ(Fake.Calls, expected);
}

TEST_F(CleanShellSteps, MissingFunctionIsPassedOverSilently) {
  Fake.HasRecycleFunction = false;
  EmptyRecycleBin(nullptr);
  std::vector<std::string> expected = {"LoadLibraryA(Shell32.dll)",
                                       "GetProcAddress(SHEmptyRecycleBinA)", "FreeLibrary()"};
  EXPECT_EQ(Fake.Calls, expected);
  EXPECT_EQ(Fake.OpenHandles(), 0);
}

TEST_F(CleanShellSteps, RecentDocumentsAreClearedWithANullEntry) {
  ClearRecentDocuments();
  std::vector<std::string> expected = {"SHAddToRecentDocs(0x0, null)"};
  EXPECT_EQ(Fake.Calls, expected);
}

TEST_F(CleanShellSteps, ShellDeleteFillsTheRequestAsSpecified) {
  std::wstring path = L"C:\\Temp\\sub";
  EXPECT_TRUE(ShellDeleteFolder(path, false, true));
  ASSERT_EQ(Fake.ShellRequests.size(), 1u);
  const auto& request = Fake.ShellRequests[0];
  EXPECT_EQ(request.Record.hwnd, nullptr);
  EXPECT_EQ(request.Record.wFunc, static_cast<UINT>(FO_DELETE));
  EXPECT_EQ(request.Record.pTo, nullptr);
  EXPECT_EQ(request.Record.fFlags, 0x50);
  EXPECT_FALSE(request.Record.fAnyOperationsAborted);
  EXPECT_EQ(request.Record.hNameMappings, nullptr);
  EXPECT_EQ(request.Record.lpszProgressTitle, nullptr);
  // The path, then zeros up to the end of the 256-character buffer.
  EXPECT_EQ(request.From.substr(0, path.size()), path);
  EXPECT_EQ(request.From.find_first_not_of(L'\0', path.size()), std::wstring::npos);
}

TEST_F(CleanShellSteps, ShellDeleteFlagsFollowConfirmAndProgress) {
  ShellDeleteFolder(L"C:\\a", true, true);
  ShellDeleteFolder(L"C:\\a", false, false);
  ShellDeleteFolder(L"C:\\a", true, false);
  ASSERT_EQ(Fake.ShellRequests.size(), 3u);
  EXPECT_EQ(Fake.ShellRequests[0].Record.fFlags, 0x40);
  EXPECT_EQ(Fake.ShellRequests[1].Record.fFlags, 0x54);
  EXPECT_EQ(Fake.ShellRequests[2].Record.fFlags, 0x44);
}

TEST_F(CleanShellSteps, ShellDeleteReportsTheShellsResult) {
  Fake.ShellResult = ERROR_ACCESS_DENIED;
  EXPECT_FALSE(ShellDeleteFolder(L"C:\\a", false, true));
}

TEST_F(CleanShellSteps, PathTooLongForTheBufferIsNotAttempted) {
  std::wstring fits = L"C:\\" + std::wstring(251, L'x');  // 254 characters
  std::wstring tooLong = fits + L"y";
  EXPECT_FALSE(ShellDeleteFolder(tooLong, false, true));
  EXPECT_TRUE(Fake.ShellRequests.empty());
  EXPECT_TRUE(ShellDeleteFolder(fits, false, true));
  ASSERT_EQ(Fake.ShellRequests.size(), 1u);
  EXPECT_EQ(Fake.ShellRequests[0].From.substr(0, 254), fits);
  EXPECT_EQ(Fake.ShellRequests[0].From.substr(254), std::wstring(2, L'\0'));
}

}  // namespace
