// The browser folders against real Wine: fixture known folders below
// C:\spw-test\traces, never the prefix's own.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <set>

#include "clean/BrowserTraces.h"
#include "tests/support/clean_wine_support.h"

namespace {

using namespace wine_support;

const std::string Root = "C:\\spw-test\\traces";
const std::string Local = Root + "\\Local", Low = Root + "\\LocalLow", Outside = Root + "\\outside";

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do
    if (std::string(data.cFileName) != "." && std::string(data.cFileName) != "..") names.insert(data.cFileName);
  while (FindNextFileA(find, &data));
  FindClose(find);
  return names;
}

class BrowserTracesWine : public ::testing::Test {
protected:
  std::string Tag = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
  // The three folders filled, each with its own subfolder name in the trash.
  std::vector<std::string> Filled;

  void SetUp() override {
    std::string why;
    if (!InSandbox(why)) GTEST_FAIL() << why;
    ASSERT_TRUE(RemoveTree(Root));
    ASSERT_EQ(SHCreateDirectoryExA(nullptr, (Outside + "\\dir").c_str(), nullptr), ERROR_SUCCESS);
    ASSERT_TRUE(WriteFile(Outside + "\\dir\\inside.txt", "keep me"));
    const std::string recovery = Local + "\\Microsoft\\Internet Explorer\\Recovery";
    for (const std::string& folder : {recovery + "\\Active", Local + "\\Microsoft\\Internet Explorer\\DOMStore",
                                      Low + "\\Microsoft\\Internet Explorer\\DOMStore"})
      Fill(folder);
    ASSERT_TRUE(MakeLink(Outside + "\\dir", recovery + "\\Last Active"));
  }
  void TearDown() override {
    for (const std::string& folder : Filled) SetFileAttributesA((folder + "\\ro.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveTree(Root);
    std::string info = TrashFiles();
    info.replace(info.size() - 5, 5, "info\\");
    for (std::size_t i = 0; i < Filled.size(); ++i) {
      RemoveTree(TrashFiles() + "\\" + Sub(i));
      DeleteFileA((info + Sub(i) + ".trashinfo").c_str());
    }
  }
  std::string Sub(std::size_t i) const { return "sub" + std::to_string(i) + "-" + Tag; }
  // Two files (5 bytes), a subfolder with a file (3 bytes), a read-only
  // file and a link to a folder outside.
  void Fill(const std::string& folder) {
    ASSERT_EQ(SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr), ERROR_SUCCESS) << folder;
    std::string sub = folder + "\\" + Sub(Filled.size());
    Filled.push_back(folder);
    ASSERT_TRUE(WriteFile(folder + "\\a.txt", "abc") && WriteFile(folder + "\\b.dat", "de"));
    ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr) && WriteFile(sub + "\\inner.txt", "fgh"));
    ASSERT_TRUE(WriteFile(folder + "\\ro.txt") && SetFileAttributesA((folder + "\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(MakeLink(Outside + "\\dir", folder + "\\link"));
  }
  void Purge(TTraceCounts& recovery, TTraceCounts& siteData, TCleanMode mode) {
    auto root = [](const TTraceFolder& folder) { return Wide(folder.Root == TKnownRoot::LocalAppData ? Local : Low); };
    for (const TTraceFolder& folder : RecoveryFolders) PurgeTraceFolder(root(folder), folder.Below, recovery, mode);
    for (const TTraceFolder& folder : SiteDataFolders) PurgeTraceFolder(root(folder), folder.Below, siteData, mode);
  }
};

// Per filled folder: 2 files deleted, 1 in a subfolder to the bin (8 bytes
// in all), the read-only file and the link kept; and the files held open
// (1 byte each), which a preview counts as going and a cleaning keeps.
void ExpectCounts(const TTraceCounts& counts, int folders, int refused, int held, bool preview) {
  EXPECT_EQ(counts.Folders, folders);
  EXPECT_EQ(counts.Refused, refused);
  EXPECT_EQ(counts.Broken, 0);
  const TFolderCounts& c = counts.Contents;
  EXPECT_EQ(c.Deleted, 2 * folders + (preview ? held : 0));
  EXPECT_EQ(c.InUse, preview ? 0 : held);
  EXPECT_EQ(c.FilesToBin, folders);
  EXPECT_EQ(c.FoldersToBin, folders);
  EXPECT_EQ(c.Bytes, 8u * folders + (preview ? held : 0));
  EXPECT_EQ(c.ReadOnly, folders);
  EXPECT_EQ(c.FoldersKept.Links, folders);
  EXPECT_EQ(c.Links + c.Other + c.FoldersKept.Total() - c.FoldersKept.Links, 0);
}

TEST_F(BrowserTracesWine, PreviewCountsExactlyCleaningLeavesOnlyTheReadOnlyFileAndTheLink) {
  // A recovery record the browser holds open.
  const std::string held = Filled[0] + "\\held.dat";
  ASSERT_TRUE(WriteFile(held));
  HANDLE open = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(open, INVALID_HANDLE_VALUE);
  TTraceCounts recovery, siteData;
  Purge(recovery, siteData, TCleanMode::CountOnly);
  ExpectCounts(recovery, 1, 1, 1, true);
  ExpectCounts(siteData, 2, 0, 0, true);
  for (std::size_t i = 0; i < Filled.size(); ++i)
    EXPECT_EQ(Names(Filled[i]).size(), i == 0 ? 6u : 5u) << Filled[i];

  recovery = siteData = {};
  Purge(recovery, siteData, TCleanMode::Delete);
  CloseHandle(open);
  ExpectCounts(recovery, 1, 1, 1, false);
  ExpectCounts(siteData, 2, 0, 0, false);
  for (std::size_t i = 0; i < Filled.size(); ++i) {
    std::set<std::string> left{"link", "ro.txt"};
    if (i == 0) left.insert("held.dat");
    EXPECT_EQ(Names(Filled[i]), left) << Filled[i];
    EXPECT_TRUE(Exists(TrashFiles() + "\\" + Sub(i) + "\\inner.txt"));
  }
  // The recovery folder that is a link was not entered: it and what it
  // leads to are whole.
  EXPECT_EQ(GetFileAttributesA((Local + "\\Microsoft\\Internet Explorer\\Recovery\\Last Active").c_str()), 0x410u);
  EXPECT_EQ(Names(Outside + "\\dir"), std::set<std::string>{"inside.txt"});
}

// The real known folders, as the steps find them at run time.
TEST_F(BrowserTracesWine, TheKnownFoldersAreFound) {
  for (TKnownRoot root : {TKnownRoot::LocalAppData, TKnownRoot::LocalAppDataLow}) {
    std::wstring path = KnownFolderPath(root);
    EXPECT_TRUE(!path.empty() && Exists(path)) << Utf8Of(path);
  }
}

}  // namespace
