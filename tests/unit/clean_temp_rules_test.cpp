// The safety rule for the temporary folder, the subfolder listing rule and
// the purge's refusals, checked without touching any file.
#include <gtest/gtest.h>

#include "clean/DeleTree.h"
#include "clean/TempPurge.h"
#include "tests/support/FakePlatform.h"

namespace {

const std::string Win = "C:\\Windows", Profile = "C:\\Users\\Jörg";

TEST(CleanTempRules, OrdinaryTempFoldersAreSafe) {
  EXPECT_TRUE(IsSafeTempFolder("C:\\Users\\Jörg\\AppData\\Local\\Temp\\", Win, Profile));
  EXPECT_TRUE(IsSafeTempFolder("C:\\Windows\\Temp\\", Win, Profile));
  EXPECT_TRUE(IsSafeTempFolder("D:\\tmp", Win, Profile));
  EXPECT_TRUE(IsSafeTempFolder("\\\\server\\share\\temp\\", Win, Profile));
  EXPECT_TRUE(IsSafeTempFolder("C:\\Users\\Jörgen\\", Win, Profile));  // a sibling, not the profile
}

TEST(CleanTempRules, EmptyAndRelativePathsAreRefused) {
  for (const char* path : {"", ".\\", ".", "Temp\\", "\\Temp\\", "C:Temp\\", "C:", "\\\\",
                           "\\\\server", "\\\\?\\C:\\Temp\\", "\\\\.\\C:\\Temp\\"})
    EXPECT_FALSE(IsSafeTempFolder(path, Win, Profile)) << path;
}

TEST(CleanTempRules, RootsAndSystemFoldersAreRefused) {
  for (const char* path :
       {"C:\\", "D:\\", "c:/", "\\\\server\\share\\", "\\\\server\\share", "C:\\Windows\\",
        "c:\\WINDOWS", "C:/Windows/", "C:\\\\Windows\\\\", "C:\\Windows.\\", "C:\\Windows \\",
        "C:\\Users\\", "C:\\users", "C:\\Users\\Jörg\\", "C:\\USERS\\JÖRG"})
    EXPECT_FALSE(IsSafeTempFolder(path, Win, Profile)) << path;
}

TEST(CleanTempRules, DotPartsAndOddNamesAreRefused) {
  // "C:\Windows\Temp\.." is the Windows folder, "...\Temp\..\.." the profile's parent.
  for (const char* path : {"C:\\Windows\\Temp\\..\\", "C:\\Users\\Jörg\\AppData\\..\\..\\",
                           "C:\\Temp\\.\\", "C:\\Temp\\*", "C:\\Temp\\a?b", "C:\\Temp:stream"})
    EXPECT_FALSE(IsSafeTempFolder(path, Win, Profile)) << path;
}

TEST(CleanTempRules, UnknownReferenceFoldersRefuseEverything) {
  EXPECT_FALSE(IsSafeTempFolder("C:\\Temp\\", "", Profile));
  EXPECT_FALSE(IsSafeTempFolder("C:\\Temp\\", Win, ""));
}

TEST(CleanTempRules, MaskPassesOverHiddenSystemLabelAndFolderBitsItLacks) {
  EXPECT_TRUE(PassesMask(0x20, FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_TRUE(PassesMask(0x01, FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_TRUE(PassesMask(0x10, FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_TRUE(PassesMask(0x410, FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_FALSE(PassesMask(0x12, FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_FALSE(PassesMask(0x14, FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_FALSE(PassesMask(0x08, FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_FALSE(PassesMask(0x10, 0));
  for (DWORD bits : {0x01u, 0x02u, 0x04u, 0x08u, 0x10u, 0x20u, 0x3Fu}) EXPECT_TRUE(PassesMask(bits, AnyEntry));
}

class CleanTempListing : public ::testing::Test {
protected:
  TFakePlatform Fake;
  TPlatformGuard Guard{Fake};
};

TEST_F(CleanTempListing, OnlyPlainFoldersWithoutLeadingDotAreListed) {
  Fake.Searches["C:\\T\\*.*"] = {{".", 0x10},        {"..", 0x10},       {"plain", 0x10},
                                 {"archive", 0x30},  {"readonly", 0x11}, {"hidden", 0x12},
                                 {"system", 0x14},   {"link", 0x410},    {".dot", 0x10},
                                 {"file.txt", 0x20}, {"noidx", 0x2010},  {"second", 0x10}};
  std::vector<std::string> list = {"stale entry"};
  ListSubfolders("C:\\T", list);
  std::vector<std::string> expected = {"C:\\T\\plain", "C:\\T\\second"};
  EXPECT_EQ(list, expected);
  ListSubfolders("C:\\T\\", list);
  EXPECT_EQ(list, expected);
  EXPECT_EQ(Fake.OpenHandles(), 0);
}

TEST_F(CleanTempListing, EmptyFolderNameSearchesNothing) {
  std::vector<std::string> list = {"stale"};
  ListSubfolders("", list);
  EXPECT_TRUE(list.empty());
  EXPECT_TRUE(Fake.Calls.empty());
}

TEST_F(CleanTempListing, PurgeOfUnsafeFolderTouchesNoFile) {
  for (const char* path : {"", ".\\", "C:\\", "C:\\Windows\\", "C:\\Users\\Test\\", "C:\\Users\\"}) {
    Fake.Calls.clear();
    PurgeTempFolder(path);
    EXPECT_TRUE(Fake.CallsOf("FindFirstFileA").empty()) << path;
    EXPECT_TRUE(Fake.CallsOf("CreateFileA").empty()) << path;
    EXPECT_TRUE(Fake.CallsOf("SHFileOperationA").empty()) << path;
  }
}

TEST_F(CleanTempListing, PurgeOfFolderThatResolvesToTheProfileTouchesNothing) {
  // A short name or a link that leads to the profile folder.
  Fake.FinalNames["C:\\PROFIL~1"] = "C:\\Users\\Test";
  PurgeTempFolder("C:\\PROFIL~1\\");
  EXPECT_TRUE(Fake.CallsOf("FindFirstFileA").empty());
  EXPECT_TRUE(Fake.CallsOf("SetFileInformationByHandle").empty());
}

TEST_F(CleanTempListing, PurgeWithoutKnownWindowsFolderTouchesNothing) {
  Fake.Fail("GetWindowsDirectoryA");
  PurgeTempFolder(Fake.TempPath);
  EXPECT_TRUE(Fake.CallsOf("FindFirstFileA").empty());
}

TEST_F(CleanTempListing, PurgeDeletesCheckedFilesThenShellDeletesPlainFolders) {
  const std::string t = "C:\\Users\\Test\\AppData\\Local\\Temp\\";
  Fake.Searches[t + "*.*"] = {{".", 0x10}, {"..", 0x10}, {"a.txt", 0x20}, {"moved.txt", 0x20},
                              {"sub", 0x10}, {"linked", 0x10}};
  Fake.FinalNames[t + "moved.txt"] = "D:\\elsewhere\\moved.txt";
  Fake.Searches[t + "sub\\*.*"] = {{".", 0x10}, {"..", 0x10}, {"in.txt", 0x20}};
  Fake.Searches[t + "linked\\*.*"] = {{".", 0x10}, {"..", 0x10}, {"out", 0x410}};
  PurgeTempFolder(t);
  std::vector<std::string> deleted = {
      "SetFileInformationByHandle(" + t + "a.txt, 4, DeleteFile=1)"};
  EXPECT_EQ(Fake.CallsOf("SetFileInformationByHandle"), deleted);
  EXPECT_TRUE(Fake.CallsOf("DeleteFileA").empty());
  std::vector<std::string> shell = {"SHFileOperationA(" + t + "sub, 3, 0x50)"};
  EXPECT_EQ(Fake.CallsOf("SHFileOperationA"), shell);
  EXPECT_EQ(Fake.OpenHandles(), 0);
}

// GetTempPathA turns a relative TMP into a folder below the current
// directory, so the purge decides by the value the folder came from.
class CleanTempSource : public CleanTempListing {
protected:
  const std::string Temp = "C:\\Users\\Test\\AppData\\Local\\Temp\\";
  void SetUp() override {
    Fake.Searches[Temp + "*.*"] = {{".", 0x10}, {"..", 0x10}, {"a.txt", 0x20}, {"sub", 0x10}};
    Fake.Searches[Temp + "sub\\*.*"] = {{".", 0x10}, {"..", 0x10}};
  }
  // Sets the variable the folder comes from; the ones GetTempPathA reads
  // before it are unset, the ones after it stay fully qualified.
  void SetSource(const std::string& name, const std::string& value) {
    for (const char* before : {"TMP", "TEMP", "USERPROFILE"}) {
      if (name == before) break;
      Fake.Environment.erase(before);
    }
    Fake.Environment[name] = value;
  }
  // Purges; true when any call but the environment reading was made.
  bool PurgeTouches() {
    Fake.Calls.clear();
    PurgeTempFolder(Temp);
    for (const std::string& call : Fake.Calls)
      if (call.rfind("GetEnvironmentVariableA(", 0) != 0) return true;
    return false;
  }
};

TEST_F(CleanTempSource, PurgeRunsOnlyForAFullyQualifiedSourceValueAndTouchesNoFileOtherwise) {
  // Relative, drive-relative, root-relative and device forms; then fully qualified ones.
  const std::vector<std::pair<const char*, bool>> values = {
      {".", false}, {".\\", false}, {"..\\x", false}, {"rel", false}, {"rel\\Temp", false},
      {"C:x", false}, {"C:", false}, {"c:Temp\\", false}, {"\\x", false}, {"/x", false},
      {"\\\\server", false}, {"\\\\server\\", false}, {"\\\\?\\C:\\Temp", false},
      {"\\\\.\\C:\\Temp", false}, {" C:\\Temp", false}, {"%TEMP%", false},
      {"C:\\Users\\Test\\AppData\\Local\\Temp", true}, {"d:/tmp", true}, {"E:\\", true},
      {"\\\\server\\share", true}, {"//server/share/temp", true}};
  for (const char* name : {"TMP", "TEMP", "USERPROFILE"}) {
    for (const auto& [value, purges] : values) {
      SetSource(name, value);
      EXPECT_EQ(PurgeTouches(), purges) << name << "=" << value;
      EXPECT_EQ(Fake.CallsOf("SetFileInformationByHandle").size(), purges ? 1u : 0u) << name << "=" << value;
      EXPECT_EQ(Fake.CallsOf("SHFileOperationA").size(), purges ? 1u : 0u) << name << "=" << value;
    }
  }
}

TEST_F(CleanTempSource, FirstSetNonEmptyVariableDecidesAndAnUnknownSourceStopsThePurge) {
  // An empty variable is passed over, as GetTempPathA does.
  Fake.Environment["TMP"] = "";
  Fake.Environment["TEMP"] = "rel";
  EXPECT_FALSE(PurgeTouches());
  Fake.Environment["TEMP"] = "D:\\Temp";
  EXPECT_TRUE(PurgeTouches());
  // A relative TMP is not saved by a fully qualified TEMP behind it.
  Fake.Environment["TMP"] = ".";
  EXPECT_FALSE(PurgeTouches());
  // None set: the system takes the Windows folder.
  Fake.Environment.clear();
  EXPECT_FALSE(PurgeTouches());
  std::vector<std::string> read = {"GetEnvironmentVariableA(TMP, 1024)",
                                   "GetEnvironmentVariableA(TEMP, 1024)",
                                   "GetEnvironmentVariableA(USERPROFILE, 1024)"};
  EXPECT_EQ(Fake.Calls, read);
  // TMP cannot be read, or does not fit: what GetTempPathA used is unknown,
  // and a fully qualified TEMP behind it does not count.
  Fake.Environment["TEMP"] = "C:\\Temp";
  Fake.Environment["TMP"] = "C:\\Temp";
  Fake.Fail("GetEnvironmentVariableA", 0, ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_FALSE(PurgeTouches());
  std::vector<std::string> tmpOnly = {read[0]};
  EXPECT_EQ(Fake.Calls, tmpOnly);
  Fake.StopFailing("GetEnvironmentVariableA");
  Fake.Environment["TMP"] = "C:\\" + std::string(1100, 'x');
  EXPECT_FALSE(PurgeTouches());
}

}  // namespace
