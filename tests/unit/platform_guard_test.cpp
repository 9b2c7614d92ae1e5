// Installing the test double, and the double's failure injection that other
// tests rely on.
#include <gtest/gtest.h>

#include "tests/support/FakePlatform.h"

namespace {

TEST(PlatformGuard, InstallsAndRestoresNestedDoubles) {
  TPlatform* real = &Platform();
  EXPECT_EQ(dynamic_cast<TFakePlatform*>(real), nullptr);
  {
    TFakePlatform outer, inner;
    TPlatformGuard outerGuard(outer);
    EXPECT_EQ(&Platform(), &outer);
    {
      TPlatformGuard innerGuard(inner);
      EXPECT_EQ(&Platform(), &inner);
    }
    EXPECT_EQ(&Platform(), &outer);
  }
  EXPECT_EQ(&Platform(), real);
}

TEST(PlatformFake, FailsANamedCallAfterTheGivenSuccesses) {
  TFakePlatform fake;
  fake.Fail("DeleteFileW", 2, ERROR_SHARING_VIOLATION);
  EXPECT_TRUE(fake.DeleteFileW(L"a"));
  EXPECT_TRUE(fake.DeleteFileW(L"b"));
  EXPECT_FALSE(fake.DeleteFileW(L"c"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_FALSE(fake.DeleteFileW(L"d"));
  EXPECT_TRUE(fake.MessageBoxA(nullptr, "t", "c", MB_OK) == IDOK);  // other calls unaffected
  std::vector<std::string> expected = {"DeleteFileW(a)", "DeleteFileW(b)", "DeleteFileW(c)",
                                       "DeleteFileW(d)"};
  EXPECT_EQ(fake.CallsOf("DeleteFileW"), expected);
}

TEST(PlatformFake, ScriptedFoldersAnswerLikeTheSystem) {
  TFakePlatform fake;
  wchar_t buffer[8];
  fake.TempPath = "C:\\Temp\\";
  EXPECT_EQ(fake.GetTempPathW(8, buffer), 9u);  // too small: size with the NUL
  wchar_t large[MAX_PATH];
  EXPECT_EQ(fake.GetTempPathW(MAX_PATH, large), 8u);
  EXPECT_STREQ(large, L"C:\\Temp\\");
  fake.Fail("GetTempPathW");
  EXPECT_EQ(fake.GetTempPathW(MAX_PATH, large), 0u);
  EXPECT_EQ(fake.GetWindowsDirectoryW(large, MAX_PATH), 10u);
  EXPECT_STREQ(large, L"C:\\Windows");
}

}  // namespace
