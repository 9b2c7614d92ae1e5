// The browser's traces beside its history and cache, through the recording
// platform: the typed addresses in the registry, and the recovery and site
// data folders found through the known folders.
#include <gtest/gtest.h>

#include "clean/BrowserTraces.h"
#include "clean/Cleaning.h"
#include "tests/support/FakePlatform.h"

namespace {

const std::string Typed = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
const std::string Times = "Software\\Microsoft\\Internet Explorer\\TypedURLsTime";
const std::string Local = "C:\\Users\\Test\\AppData\\Local";
const std::string Active = Local + "\\Microsoft\\Internet Explorer\\Recovery\\Active";

class BrowserTraces : public ::testing::Test {
protected:
  void SetUp() override {
    Fake.Registry[Typed] = {{"url1", {REG_SZ, "http://a.example/"}}, {"url2", {REG_SZ, "http://b.example/"}}};
    Fake.Registry[Times] = {{"url1", {REG_BINARY, "12345678"}}, {"url2", {REG_BINARY, "87654321"}}};
    Fake.Registry["Software\\Microsoft\\Internet Explorer\\Main"] = {{"Start Page", {REG_SZ, "about:blank"}}};
    Fake.KnownFolders["LocalAppData"] = Local;
    Fake.Folders[Active] = {{"{tab}.dat", FILE_ATTRIBUTE_ARCHIVE}};
  }
  void TearDown() override { ReleaseHistory(); }
  std::vector<std::string> Opens() const { return Fake.CallsOf("RegOpenKeyExA"); }

  TFakePlatform Fake;
  TPlatformGuard Guard{Fake};
};

TEST_F(BrowserTraces, EveryValueOfBothKeysGoesTheKeysStay) {
  TTypedUrlCounts preview;
  ClearTypedUrls(preview, TCleanMode::CountOnly);
  EXPECT_EQ(preview.Addresses, 2);
  EXPECT_EQ(preview.Times, 2);
  EXPECT_TRUE(Fake.CallsOf("RegDeleteValueW").empty());
  EXPECT_EQ(Fake.Registry[Typed].size(), 2u);
  EXPECT_EQ(Opens(), (std::vector<std::string>{"RegOpenKeyExA(HKCU, " + Typed + ", 0, 0x1)",
                                               "RegOpenKeyExA(HKCU, " + Times + ", 0, 0x1)"}))
      << "a preview opens to read only";

  Fake.Calls.clear();
  TTypedUrlCounts counts;
  ClearTypedUrls(counts, TCleanMode::Delete);
  EXPECT_EQ(counts.Addresses, 2);
  EXPECT_EQ(counts.Times, 2);
  EXPECT_EQ(counts.Kept, 0);
  EXPECT_FALSE(counts.Unreadable);
  EXPECT_EQ(Opens(), (std::vector<std::string>{"RegOpenKeyExA(HKCU, " + Typed + ", 0, 0xF003F)",
                                               "RegOpenKeyExA(HKCU, " + Times + ", 0, 0xF003F)"}));
  ASSERT_TRUE(Fake.Registry.count(Typed) && Fake.Registry.count(Times)) << "the keys stay";
  EXPECT_TRUE(Fake.Registry[Typed].empty());
  EXPECT_TRUE(Fake.Registry[Times].empty());
  EXPECT_EQ(Fake.Registry["Software\\Microsoft\\Internet Explorer\\Main"].size(), 1u);
  EXPECT_EQ(Fake.OpenHandles(), 0);
}

TEST_F(BrowserTraces, MissingKeysAreNothingAndNoKeyIsMade) {
  Fake.Registry.clear();
  TTypedUrlCounts counts;
  ClearTypedUrls(counts, TCleanMode::Delete);
  EXPECT_EQ(counts.Addresses + counts.Times + counts.Kept, 0);
  EXPECT_FALSE(counts.Unreadable);
  EXPECT_TRUE(Fake.Registry.empty());
  EXPECT_EQ(Opens().size(), 2u);
  // A key that is there but cannot be opened is told apart.
  Fake.Registry[Typed] = {};
  Fake.Fail("RegOpenKeyExA", 0, ERROR_ACCESS_DENIED);
  ClearTypedUrls(counts, TCleanMode::Delete);
  EXPECT_TRUE(counts.Unreadable);
}

// A value that cannot be deleted stays, the others go, and the history step
// goes on with the recovery records; a history object that answers with an
// error does not stop either.
TEST_F(BrowserTraces, AValueThatCannotBeDeletedStaysAndTheStepGoesOn) {
  Fake.Fail("RegDeleteValueW", 1);
  Fake.Fail("ClearHistory", 0, ERROR_SUCCESS);
  TTypedUrlCounts typed;
  TTraceCounts recovery;
  EXPECT_TRUE(FAILED(ClearHistory(TCleanMode::Delete, typed, recovery)));
  EXPECT_EQ(typed.Addresses, 1);
  EXPECT_EQ(typed.Times, 0);
  EXPECT_EQ(typed.Kept, 3);
  EXPECT_EQ(Fake.Registry[Typed].size(), 1u);
  EXPECT_EQ(recovery.Folders, 2) << "Active, and Last Active (empty)";
  EXPECT_EQ(recovery.Contents.Deleted, 1);
  EXPECT_EQ(Fake.CallsOf("SetFileInformationByHandle"),
            std::vector<std::string>{"SetFileInformationByHandle(" + Active + "\\{tab}.dat, 4, DeleteFile=1)"});
}

// Without the known folder, or without the call itself (a Windows before
// Vista), the folder steps open nothing.
TEST_F(BrowserTraces, WithoutTheKnownFolderTheFolderStepsDoNothing) {
  for (bool callMissing : {true, false}) {
    Fake.Calls.clear();
    Fake.Registry[Typed] = {{"url1", {REG_SZ, "http://a.example/"}}, {"url2", {REG_SZ, "http://b.example/"}}};
    if (callMissing)
      Fake.Fail("SHGetKnownFolderPath");
    else
      Fake.KnownFolders.clear();
    TTypedUrlCounts typed;
    TTraceCounts recovery;
    TCacheCounts cache;
    ClearHistory(TCleanMode::Delete, typed, recovery);
    PurgeUrlCache(cache, TCleanMode::Delete);
    EXPECT_EQ(Fake.CallsOf("SHGetKnownFolderPath").size(), 4u);
    EXPECT_TRUE(Fake.CallsOf("CreateFileW").empty()) << callMissing;
    EXPECT_EQ(recovery.Folders + recovery.Refused + recovery.Broken + cache.SiteData.Folders, 0);
    EXPECT_EQ(typed.Addresses, 2) << "the typed addresses go all the same";
    Fake.StopFailing("SHGetKnownFolderPath");
  }
}

// A recovery folder whose name resolves outside the known folder (a link,
// a junction) is refused before anything in it is listed.
TEST_F(BrowserTraces, AFolderThatLeadsOutsideItsKnownFolderIsNotEntered) {
  Fake.FinalNames[Active] = "D:\\Elsewhere";
  Fake.Folders["D:\\Elsewhere"] = {{"precious.txt", FILE_ATTRIBUTE_ARCHIVE}};
  TTraceCounts recovery;
  PurgeTraceFolders(RecoveryFolders, recovery, TCleanMode::Delete);
  EXPECT_EQ(recovery.Refused, 1);
  EXPECT_EQ(recovery.Folders, 1);
  EXPECT_TRUE(Fake.CallsOf("NtOpenFile").empty());
  EXPECT_TRUE(Fake.CallsOf("GetFileInformationByHandleEx(" + Active).empty());
}

}  // namespace
