// The temp folder purge against real Wine, on a fixture folder inside the
// test prefix (C:\spw-test\purge), never the prefix's own Temp folder.
#include <gtest/gtest.h>

#include "clean/TempPurge.h"
#include "tests/support/clean_wine_support.h"

namespace {

using namespace wine_support;

const std::string Root = "C:\\spw-test\\purge";
const std::string Temp = Root + "\\Temp\\";
const std::string Outside = Root + "\\outside";

class CleanTempPurgeWine : public ::testing::Test {
protected:
  // Folder names carry a suffix of this run so the shared trash never
  // holds an older entry of the same name.
  std::string Tag = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());

  void SetUp() override {
    std::string why;
    if (!InSandbox(why)) GTEST_FAIL() << why;
    ASSERT_TRUE(RemoveTree(Root));
    ASSERT_TRUE(CreateDirectoryA("C:\\spw-test", nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(CreateDirectoryA(Root.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(Temp.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(Outside.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((Outside + "\\dir").c_str(), nullptr));
    ASSERT_TRUE(WriteFile(Outside + "\\target.txt", "keep me"));
    ASSERT_TRUE(WriteFile(Outside + "\\dir\\inside.txt", "keep me too"));
  }
  void TearDown() override {
    for (const std::string& name : {"hidden", "system", "readonly"})
      SetFileAttributesA((Temp + name + Tag).c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesA((Temp + "ro.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveTree(Root);
    // Take this test's folders back out of the sandbox trash.
    std::string info = TrashFiles();
    info.replace(info.size() - 5, 5, "info\\");
    for (const std::string& name : {"plain", "second", "clean", "readonly"}) {
      RemoveTree(InTrash(name + Tag));
      DeleteFileA((info + name + Tag + ".trashinfo").c_str());
    }
  }

  std::string Folder(const std::string& name, DWORD attributes = 0) {
    std::string path = Temp + name + Tag;
    EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
    EXPECT_TRUE(WriteFile(path + "\\content.txt")) << path;
    if (attributes) EXPECT_TRUE(SetFileAttributesA(path.c_str(), attributes)) << path;
    return path;
  }
  static std::string InTrash(const std::string& name) { return TrashFiles() + "\\" + name; }
};

TEST_F(CleanTempPurgeWine, FixtureEndsExactlyAsTheRulesSay) {
  for (const char* name : {"a.txt", "b.dat", "noextension", "~wrd0001.tmp"})
    ASSERT_TRUE(WriteFile(Temp + name));
  ASSERT_TRUE(WriteFile(Temp + "ro.txt"));
  ASSERT_TRUE(SetFileAttributesA((Temp + "ro.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(WriteFile(Temp + "inuse.txt"));
  HANDLE inUse = CreateFileA((Temp + "inuse.txt").c_str(), GENERIC_READ, 0, nullptr,
                             OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(inUse, INVALID_HANDLE_VALUE);

  std::string plain = Folder("plain");
  ASSERT_TRUE(CreateDirectoryA((plain + "\\nested").c_str(), nullptr));
  ASSERT_TRUE(WriteFile(plain + "\\nested\\deep.txt"));
  std::string second = Folder("second");
  std::string hidden = Folder("hidden", FILE_ATTRIBUTE_HIDDEN);
  std::string system = Folder("system", FILE_ATTRIBUTE_SYSTEM);
  std::string readOnly = Folder("readonly", FILE_ATTRIBUTE_READONLY);
  std::string dotted = Folder(".dotted");
  // A plain folder holding links to a folder and a file outside Temp.
  std::string withLinks = Folder("withlinks");
  ASSERT_TRUE(MakeLink(Outside + "\\dir", withLinks + "\\dirlink"));
  ASSERT_TRUE(MakeLink(Outside + "\\target.txt", withLinks + "\\filelink.txt"));
  // Links directly in Temp.
  ASSERT_TRUE(MakeLink(Outside + "\\dir", Temp + "dirlink"));
  ASSERT_TRUE(MakeLink(Outside + "\\target.txt", Temp + "filelink.txt"));
  // A folder whose path does not fit the shell's 256-byte name buffer.
  std::string longName = Temp + std::string(255 - Temp.size(), 'L');
  ASSERT_EQ(longName.size(), 255u);
  ASSERT_TRUE(CreateDirectoryA(longName.c_str(), nullptr));

  // Wine's view of the fixture, as the rules depend on it.
  EXPECT_EQ(GetFileAttributesA((Temp + "dirlink").c_str()), 0x410u);
  EXPECT_EQ(GetFileAttributesA((Temp + "filelink.txt").c_str()), 0x20u);
  EXPECT_EQ(GetFileAttributesA(hidden.c_str()), 0x12u);
  EXPECT_EQ(GetFileAttributesA(system.c_str()), 0x14u);
  // Wine ignores the read-only attribute on a folder: it stays a plain one.
  DWORD readOnlyAttributes = GetFileAttributesA(readOnly.c_str());
  EXPECT_TRUE(readOnlyAttributes == 0x11u || readOnlyAttributes == 0x10u) << readOnlyAttributes;
  EXPECT_EQ(GetFileAttributesA(plain.c_str()), 0x10u);

  PurgeTempFolder(Wide(Temp));
  CloseHandle(inUse);

  for (const char* name : {"a.txt", "b.dat", "noextension", "~wrd0001.tmp"})
    EXPECT_FALSE(Exists(Temp + name)) << name;
  EXPECT_TRUE(Exists(Temp + "ro.txt"));
  EXPECT_TRUE(Exists(Temp + "inuse.txt"));
  // Plain subfolders went to the trash with their contents.
  EXPECT_FALSE(Exists(plain));
  EXPECT_FALSE(Exists(second));
  EXPECT_TRUE(Exists(InTrash("plain" + Tag) + "\\nested\\deep.txt"));
  EXPECT_TRUE(Exists(InTrash("second" + Tag) + "\\content.txt"));
  // Everything the listing rule passes over stays with its contents.
  for (const std::string& kept : {hidden, system, dotted, withLinks})
    EXPECT_TRUE(Exists(kept + "\\content.txt")) << kept;
  EXPECT_EQ(Exists(readOnly + "\\content.txt"), readOnlyAttributes != FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_TRUE(Exists(longName));
  // Links stay, and nothing outside Temp was touched.
  EXPECT_TRUE(Exists(Temp + "dirlink"));
  EXPECT_TRUE(Exists(Temp + "filelink.txt"));
  EXPECT_TRUE(Exists(withLinks + "\\dirlink"));
  EXPECT_TRUE(Exists(Outside + "\\target.txt"));
  EXPECT_TRUE(Exists(Outside + "\\dir\\inside.txt"));
}

TEST_F(CleanTempPurgeWine, ShellDeletesALinkFreeFolderOnly) {
  std::string clean = Folder("clean");
  std::string linked = Folder("linked");
  ASSERT_TRUE(MakeLink(Outside + "\\dir", linked + "\\deeper"));
  EXPECT_TRUE(IsSelfContained(Wide(clean)));
  EXPECT_FALSE(IsSelfContained(Wide(linked)));
  EXPECT_FALSE(IsSelfContained(Wide(Temp + "missing")));
  EXPECT_TRUE(ShellDeleteFolder(Wide(clean), false, true));
  EXPECT_FALSE(Exists(clean));
  EXPECT_TRUE(Exists(InTrash("clean" + Tag) + "\\content.txt"));
}

TEST_F(CleanTempPurgeWine, PathTooLongForTheShellBufferStays) {
  std::string longName = Temp + std::string(255 - Temp.size(), 'M');
  ASSERT_TRUE(CreateDirectoryA(longName.c_str(), nullptr));
  EXPECT_FALSE(ShellDeleteFolder(Wide(longName), false, true));
  EXPECT_TRUE(Exists(longName));
}

TEST_F(CleanTempPurgeWine, RelativeTmpKeepsTheCurrentDirectoryAnEmptyOneIsPassedOver) {
  char tmp[1024] = {}, temp[1024] = {}, current[MAX_PATH] = {}, path[MAX_PATH + 1] = {};
  bool hadTmp = GetEnvironmentVariableA("TMP", tmp, sizeof tmp) > 0;
  bool hadTemp = GetEnvironmentVariableA("TEMP", temp, sizeof temp) > 0;
  GetCurrentDirectoryA(MAX_PATH, current);
  ASSERT_TRUE(SetCurrentDirectoryA(Temp.c_str()));
  ASSERT_TRUE(WriteFile(Temp + "stays.txt"));
  std::string kept = Folder("clean");
  // GetTempPathA gives the current directory; the purge leaves it alone.
  SetEnvironmentVariableA("TMP", ".");
  GetTempPathA(sizeof path, path);
  PurgeTempFolder(Wide(path));
  EXPECT_EQ(_stricmp(path, Temp.c_str()), 0) << path;
  EXPECT_TRUE(Exists(Temp + "stays.txt") && Exists(kept + "\\content.txt"));
  // An empty TMP is passed over; the fully qualified TEMP behind it counts.
  SetEnvironmentVariableA("TMP", "");
  SetEnvironmentVariableA("TEMP", Temp.c_str());
  GetTempPathA(sizeof path, path);
  PurgeTempFolder(Wide(path));
  SetEnvironmentVariableA("TMP", hadTmp ? tmp : nullptr);
  SetEnvironmentVariableA("TEMP", hadTemp ? temp : nullptr);
  SetCurrentDirectoryA(current);
  EXPECT_FALSE(Exists(Temp + "stays.txt") || Exists(kept));
}

TEST_F(CleanTempPurgeWine, UnsafeOrMissingFolderDeletesNothing) {
  ASSERT_TRUE(WriteFile(Temp + "stays.txt"));
  char current[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, current);
  ASSERT_TRUE(SetCurrentDirectoryA(Temp.c_str()));
  PurgeTempFolder(L"");
  PurgeTempFolder(L".\\");
  PurgeTempFolder(L"stays.txt\\");
  PurgeTempFolder(Wide(Temp + "does-not-exist\\"));
  SetCurrentDirectoryA(current);
  EXPECT_TRUE(Exists(Temp + "stays.txt"));
}

// Names the code page cannot spell: the purge works on the real names.
TEST_F(CleanTempPurgeWine, NamesOutsideTheCodePageAreReachedAndTheRulesStillHold) {
  // Names in variables: a test macro spells its condition in the code page.
  const std::wstring temp = Wide(Temp), outside = Wide(Outside), link = L"ссылка.txt", readOnly = L"только.txt";
  for (const wchar_t* name : {L"Привет.txt", L"日本語.log", L"smile😀.tmp", L"plain.txt"})
    ASSERT_TRUE(WriteFile(temp + name)) << Utf8Of(name);
  const std::wstring tag = Wide(Tag), omega = L"Ordner-Ω" + tag, papka = L"папка" + tag;
  for (const std::wstring& folder : {omega, papka}) {
    ASSERT_TRUE(CreateDirectoryW((temp + folder).c_str(), nullptr));
    ASSERT_TRUE(WriteFile(temp + folder + L"\\inhalt.txt"));
  }
  // Kept: a link with such a name, a read-only file with one, and a plain
  // folder of the same length as "папка" that holds a link ("?????" as a
  // pattern would have caught it).
  ASSERT_TRUE(MakeLink(outside + L"\\target.txt", temp + link));
  ASSERT_TRUE(WriteFile(temp + readOnly));
  ASSERT_TRUE(SetFileAttributesW((temp + readOnly).c_str(), FILE_ATTRIBUTE_READONLY));
  const std::wstring abcde = L"abcde" + tag;  // as long as papka
  ASSERT_TRUE(CreateDirectoryW((temp + abcde).c_str(), nullptr));
  ASSERT_TRUE(MakeLink(outside + L"\\dir", temp + abcde + L"\\link"));

  PurgeTempFolder(temp);
  SetFileAttributesW((temp + readOnly).c_str(), FILE_ATTRIBUTE_NORMAL);
  for (const std::wstring& gone : {std::wstring(L"Привет.txt"), std::wstring(L"日本語.log"),
                                   std::wstring(L"smile😀.tmp"), std::wstring(L"plain.txt"), omega, papka})
    EXPECT_FALSE(Exists(temp + gone)) << Utf8Of(gone);
  const std::wstring trash = Wide(TrashFiles()) + L"\\";
  EXPECT_TRUE(Exists(trash + omega + L"\\inhalt.txt") && Exists(trash + papka + L"\\inhalt.txt"));
  EXPECT_TRUE(Exists(temp + link));
  EXPECT_TRUE(Exists(Outside + "\\target.txt"));
  EXPECT_TRUE(Exists(temp + readOnly));
  EXPECT_TRUE(Exists(temp + abcde + L"\\link"));
  EXPECT_TRUE(Exists(Outside + "\\dir\\inside.txt"));
  for (const std::wstring& folder : {omega, papka}) {
    RemoveTree(trash + folder);
    DeleteFileW((trash + L"..\\info\\" + folder + L".trashinfo").c_str());
  }
}

TEST_F(CleanTempPurgeWine, ATempFolderWhosePathTheCodePageCannotSpellIsPurged) {
  const std::wstring temp = Wide(Root) + L"\\Временные\\", file = L"файл.txt";
  ASSERT_TRUE(CreateDirectoryW(temp.c_str(), nullptr));
  ASSERT_TRUE(WriteFile(temp + file));
  ASSERT_TRUE(WriteFile(temp + L"plain.txt"));
  PurgeTempFolder(temp);
  EXPECT_FALSE(Exists(temp + file));
  EXPECT_FALSE(Exists(temp + L"plain.txt"));
  EXPECT_TRUE(Exists(temp)) << "the folder itself stays";
}

}  // namespace
