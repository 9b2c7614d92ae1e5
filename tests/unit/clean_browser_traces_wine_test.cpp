// The browser folders against real Wine, below fixture known folders in
// C:\spw-test\traces, never the prefix's own.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <set>

#include "clean/BrowserTraces.h"
#include "tests/support/clean_wine_support.h"

namespace {

using namespace wine_support;

const std::string Root = "C:\\spw-test\\traces", Local = Root + "\\Local", Outside = Root + "\\outside";
const std::string Ie = "\\Microsoft\\Internet Explorer\\";

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &data))
    if (data.cFileName[0] != '.') names.insert(data.cFileName);
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
  return names;
}

class BrowserTracesWine : public ::testing::Test {
protected:
  std::string Tag = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
  std::vector<std::string> Filled = {Local + Ie + "Recovery\\Active", Local + Ie + "DOMStore", Root + "\\LocalLow" + Ie + "DOMStore"};

  // Each folder: two files (5 bytes), a subfolder with a file (3 bytes), a
  // read-only file and a link to a folder outside; "Last Active" a link.
  void SetUp() override {
    std::string why;
    if (!InSandbox(why)) GTEST_FAIL() << why;
    ASSERT_TRUE(RemoveTree(Root));
    ASSERT_EQ(SHCreateDirectoryExA(nullptr, (Outside + "\\dir").c_str(), nullptr), ERROR_SUCCESS);
    ASSERT_TRUE(WriteFile(Outside + "\\dir\\inside.txt", "keep me"));
    for (std::size_t i = 0; i < Filled.size(); ++i) {
      const std::string& f = Filled[i];
      ASSERT_EQ(SHCreateDirectoryExA(nullptr, (f + "\\" + Sub(i)).c_str(), nullptr), ERROR_SUCCESS);
      ASSERT_TRUE(WriteFile(f + "\\a.txt", "abc") && WriteFile(f + "\\b.dat", "de") && WriteFile(f + "\\ro.txt"));
      ASSERT_TRUE(WriteFile(f + "\\" + Sub(i) + "\\inner.txt", "fgh"));
      ASSERT_TRUE(SetFileAttributesA((f + "\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY));
      ASSERT_TRUE(MakeLink(Outside + "\\dir", f + "\\link"));
    }
    ASSERT_TRUE(MakeLink(Outside + "\\dir", Local + Ie + "Recovery\\Last Active"));
  }
  void TearDown() override {
    std::string info = TrashFiles().substr(0, TrashFiles().size() - 5) + "info\\";
    for (std::size_t i = 0; i < Filled.size(); ++i) {
      SetFileAttributesA((Filled[i] + "\\ro.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
      RemoveTree(TrashFiles() + "\\" + Sub(i));
      DeleteFileA((info + Sub(i) + ".trashinfo").c_str());
    }
    RemoveTree(Root);
  }
  std::string Sub(std::size_t i) const { return "sub" + std::to_string(i) + "-" + Tag; }
  void Purge(TTraceCounts& recovery, TTraceCounts& siteData, TCleanMode mode) {
    for (auto [folders, counts] : {std::pair{std::span{RecoveryFolders}, &recovery}, std::pair{std::span{SiteDataFolders}, &siteData}})
      for (const TTraceFolder& f : folders)
        PurgeTraceFolder(Wide(f.Root == TKnownRoot::LocalAppData ? Local : Root + "\\LocalLow"), f.Below, *counts, mode);
  }
};

// Per folder 2 files deleted and 1 with its subfolder to the bin (8 bytes),
// the read-only file and the link kept; a file held open (1 byte) counts as
// going in a preview and as in use in a cleaning.
void ExpectCounts(const TTraceCounts& counts, int folders, int refused, int held, bool preview) {
  const TFolderCounts& c = counts.Contents;
  EXPECT_TRUE(counts.Folders == folders && counts.Refused == refused && counts.Broken == 0);
  EXPECT_EQ(c.Deleted, 2 * folders + (preview ? held : 0));
  EXPECT_EQ(c.InUse, preview ? 0 : held);
  EXPECT_TRUE(c.FilesToBin == folders && c.FoldersToBin == folders && c.ReadOnly == folders);
  EXPECT_EQ(c.Bytes, 8u * folders + (preview ? held : 0));
  EXPECT_EQ(c.FoldersKept.Links, folders);
  EXPECT_EQ(c.Links + c.Other + c.FoldersKept.Total() - c.FoldersKept.Links, 0);
}

TEST_F(BrowserTracesWine, PreviewCountsExactlyCleaningLeavesOnlyTheReadOnlyFileAndTheLink) {
  const std::string held = Filled[0] + "\\held.dat";
  ASSERT_TRUE(WriteFile(held));
  HANDLE open = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  TTraceCounts recovery, siteData;
  Purge(recovery, siteData, TCleanMode::CountOnly);
  ExpectCounts(recovery, 1, 1, 1, true);
  ExpectCounts(siteData, 2, 0, 0, true);
  for (std::size_t i = 0; i < Filled.size(); ++i) EXPECT_EQ(Names(Filled[i]).size(), i == 0 ? 6u : 5u);

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
  // The recovery folder that is a link was not entered.
  EXPECT_EQ(GetFileAttributesA((Local + Ie + "Recovery\\Last Active").c_str()), 0x410u);
  EXPECT_EQ(Names(Outside + "\\dir"), std::set<std::string>{"inside.txt"});
}

TEST_F(BrowserTracesWine, TheRealKnownFoldersAreFound) {
  for (TKnownRoot root : {TKnownRoot::LocalAppData, TKnownRoot::LocalAppDataLow})
    EXPECT_TRUE(Exists(KnownFolderPath(root))) << Utf8Of(KnownFolderPath(root));
}

}  // namespace
