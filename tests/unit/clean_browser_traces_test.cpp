// The browser's traces through the recording platform: the typed addresses
// in the registry, and the folders found through the known folders.
#include <gtest/gtest.h>

#include "clean/BrowserTraces.h"
#include "clean/Cleaning.h"
#include "tests/support/FakePlatform.h"

namespace {

const std::string Ie = "Software\\Microsoft\\Internet Explorer\\", Typed = Ie + "TypedURLs", Times = Ie + "TypedURLsTime";
const std::string Active = "C:\\Local\\Microsoft\\Internet Explorer\\Recovery\\Active";

class BrowserTraces : public ::testing::Test {
protected:
  void SetUp() override {
    for (const std::string& key : {Typed, Times}) Fake.Registry[key] = {{"url1", {REG_SZ, "a"}}, {"url2", {REG_SZ, "b"}}};
    Fake.KnownFolders["LocalAppData"] = "C:\\Local";
    Fake.Folders[Active] = {{"{tab}.dat"}};
  }
  void TearDown() override { ReleaseHistory(); }
  TFakePlatform Fake;
  TPlatformGuard Guard{Fake};
};

// A preview opens the keys to read; a cleaning empties both, the keys stay;
// missing keys are nothing there, and no key is made.
TEST_F(BrowserTraces, EveryValueOfBothKeysGoesTheKeysStay) {
  TTypedUrlCounts preview, counts, none;
  ClearTypedUrls(preview, TCleanMode::CountOnly);
  EXPECT_TRUE(Fake.CallsOf("RegDeleteValueW").empty());
  EXPECT_EQ(Fake.CallsOf("RegOpenKeyExA")[0], "RegOpenKeyExA(HKCU, " + Typed + ", 0, 0x1)");
  ClearTypedUrls(counts, TCleanMode::Delete);
  EXPECT_EQ(Fake.CallsOf("RegOpenKeyExA")[3], "RegOpenKeyExA(HKCU, " + Times + ", 0, 0xF003F)");
  for (const TTypedUrlCounts& c : {preview, counts})
    EXPECT_TRUE(c.Addresses == 2 && c.Times == 2 && c.Kept == 0 && !c.Unreadable);
  EXPECT_TRUE(Fake.Registry.at(Typed).empty() && Fake.Registry.at(Times).empty());
  EXPECT_EQ(Fake.OpenHandles(), 0);
  Fake.Registry.clear();
  ClearTypedUrls(none, TCleanMode::Delete);
  EXPECT_TRUE(none.Addresses + none.Times + none.Kept == 0 && !none.Unreadable && Fake.Registry.empty());
}

// A value that cannot be deleted stays, the others go, and the step goes on
// with the recovery records, also after the history object's error.
TEST_F(BrowserTraces, AValueThatCannotBeDeletedStaysAndTheStepGoesOn) {
  Fake.Fail("RegDeleteValueW", 1);
  Fake.Fail("ClearHistory", 0, ERROR_SUCCESS);
  TTypedUrlCounts typed;
  TTraceCounts recovery;
  EXPECT_TRUE(FAILED(ClearHistory(TCleanMode::Delete, typed, recovery)));
  EXPECT_TRUE(typed.Addresses == 1 && typed.Times == 0 && typed.Kept == 3);
  EXPECT_EQ(recovery.Folders, 2) << "Active, and Last Active (empty)";
  EXPECT_EQ(Fake.CallsOf("SetFileInformationByHandle"),
            std::vector<std::string>{"SetFileInformationByHandle(" + Active + "\\{tab}.dat, 4, DeleteFile=1)"});
}

// Without the call (a Windows before Vista) or the known folder, the folder
// steps open nothing; the typed addresses go all the same.
TEST_F(BrowserTraces, WithoutTheKnownFolderTheFolderStepsDoNothing) {
  for (bool callMissing : {true, false}) {
    Fake.Calls.clear();
    Fake.Registry[Typed] = {{"url1", {REG_SZ, "a"}}};
    callMissing ? Fake.Fail("SHGetKnownFolderPath") : Fake.KnownFolders.clear();
    TTypedUrlCounts typed;
    TTraceCounts recovery;
    TCacheCounts cache;
    ClearHistory(TCleanMode::Delete, typed, recovery);
    PurgeUrlCache(cache, TCleanMode::Delete);
    EXPECT_EQ(Fake.CallsOf("SHGetKnownFolderPath").size(), 4u);
    EXPECT_TRUE(Fake.CallsOf("CreateFileW").empty()) << callMissing;
    EXPECT_EQ(recovery.Folders + recovery.Refused + recovery.Broken + cache.SiteData.Folders, 0);
    EXPECT_EQ(typed.Addresses, 1);
    Fake.StopFailing("SHGetKnownFolderPath");
  }
}

}  // namespace
