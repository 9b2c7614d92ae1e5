// History clearing and the URL cache purge against the recording platform.
#include <gtest/gtest.h>

#include "clean/Cleaning.h"
#include "tests/support/FakePlatform.h"
#include "base/SysUtils.h"

namespace {

class CleanHistory : public ::testing::Test {
protected:
  TFakePlatform Fake;
  TPlatformGuard Guard{Fake};
  // The History interface may hold a fake object; drop it before the fake goes.
  void TearDown() override { ReleaseHistory(); }
};

TEST_F(CleanHistory, CreatesTheHistoryObjectAndClearsIt) {
  ClearHistory();
  std::vector<std::string> expected = {
      "CoCreateInstance({3C374A40-BAE4-11CF-BF7D-00AA006946EE}, 0x0, 0x5, "
      "{00000000-0000-0000-C000-000000000046})",
      "QueryInterface({AFA0DC11-C313-11D0-831A-00C04FD5AE38})", "ClearHistory()",
      // Then the typed addresses and the recovery records (none here).
      "RegOpenKeyExA(HKCU, Software\\Microsoft\\Internet Explorer\\TypedURLs, 0, 0xF003F)",
      "RegOpenKeyExA(HKCU, Software\\Microsoft\\Internet Explorer\\TypedURLsTime, 0, 0xF003F)",
      "SHGetKnownFolderPath(LocalAppData, 0x0)", "SHGetKnownFolderPath(LocalAppData, 0x0)"};
  EXPECT_EQ(Fake.Calls, expected);
  ASSERT_EQ(Fake.HistoryObjects.size(), 1u);
  EXPECT_EQ(HistoryInterface(), static_cast<IUrlHistoryStg2*>(Fake.HistoryObjects[0].get()));
  // The creation reference is gone; the History interface holds the only one.
  EXPECT_EQ(Fake.HistoryObjects[0]->RefCount(), 1u);
}

TEST_F(CleanHistory, FailedCreationRaisesTheOleErrorAndCallsNothingElse) {
  Fake.Fail("CoCreateInstance", 0, static_cast<DWORD>(REGDB_E_CLASSNOTREG));
  try {
    ClearHistory();
    FAIL() << "no error raised";
  } catch (const EOleSysError& error) {
    EXPECT_EQ(error.ErrorCode(), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(error.Message(), EOleSysError(REGDB_E_CLASSNOTREG).Message());
    EXPECT_FALSE(error.Message().empty());
  }
  EXPECT_EQ(Fake.Calls.size(), 1u);
  EXPECT_EQ(HistoryInterface(), nullptr);
}

TEST_F(CleanHistory, UnknownCodeReadsAsOleError) {
  Fake.Fail("CoCreateInstance", 0, 0x8FFF1234);
  try {
    ClearHistory();
    FAIL() << "no error raised";
  } catch (const EOleSysError& error) {
    EXPECT_EQ(error.Message(), "OLE error 8fff1234");
  }
}

TEST_F(CleanHistory, MissingInterfaceRaisesAndKeepsThePreviousOne) {
  ClearHistory();
  IUrlHistoryStg2* first = HistoryInterface();
  Fake.Fail("QueryInterface");
  Fake.Calls.clear();
  try {
    ClearHistory();
    FAIL() << "no error raised";
  } catch (const EIntfCastError& error) {
    EXPECT_EQ(error.Message(), "Interface not supported");
  }
  EXPECT_EQ(Fake.CallsOf("ClearHistory").size(), 0u);
  EXPECT_EQ(Fake.Calls.size(), 2u);  // CoCreateInstance, QueryInterface
  EXPECT_EQ(HistoryInterface(), first);
  // The object that lacked the interface was released again.
  EXPECT_EQ(Fake.HistoryObjects[1]->RefCount(), 0u);
}

TEST_F(CleanHistory, FailingClearHistoryIsIgnored) {
  Fake.Fail("ClearHistory");
  EXPECT_NO_THROW(ClearHistory());
  EXPECT_NE(HistoryInterface(), nullptr);
}

TEST_F(CleanHistory, SecondRunReplacesTheObjectAndExitReleasesIt) {
  ClearHistory();
  ClearHistory();
  ASSERT_EQ(Fake.HistoryObjects.size(), 2u);
  EXPECT_EQ(Fake.HistoryObjects[0]->RefCount(), 0u);
  EXPECT_EQ(Fake.HistoryObjects[1]->RefCount(), 1u);
  EXPECT_EQ(HistoryInterface(), static_cast<IUrlHistoryStg2*>(Fake.HistoryObjects[1].get()));
  ReleaseHistory();
  EXPECT_EQ(Fake.HistoryObjects[1]->RefCount(), 0u);
  EXPECT_EQ(HistoryInterface(), nullptr);
}

class CleanUrlCache : public ::testing::Test {
protected:
  TFakePlatform Fake;
  TPlatformGuard Guard{Fake};

  // A fetch into the purge's buffer of SIZE bytes.
  static std::string Fetch(const std::string& call, std::size_t size) {
    return call + "buffer, size=" + std::to_string(size) + ", dwStructSize=" + std::to_string(size) + ")";
  }
  // The calls of an enumeration that finds nothing.
  static std::vector<std::string> EmptyPass(const std::string& pattern) {
    return {Fetch("FindFirstUrlCacheEntryA(" + pattern + ", ", 4096), "FindCloseUrlCache(null)"};
  }
  static void Append(std::vector<std::string>& to, const std::vector<std::string>& calls) {
    to.insert(to.end(), calls.begin(), calls.end());
  }
};

// One call fetches an entry into the kept buffer; an entry that does not
// fit is asked for again with the size it needs, and the larger buffer stays.
TEST_F(CleanUrlCache, FetchesEachEntryInOneCallGrowingTheBufferOnlyWhenOneDoesNotFit) {
  const std::string large = "http://large.example/" + std::string(5000, 'x');
  Fake.Cache = {{"http://a.example/"}, {large}, {"http://bb.example/x"}};
  RunFinished = true;
  PurgeUrlCache();
  EXPECT_FALSE(RunFinished);
  const std::size_t needed = sizeof(INTERNET_CACHE_ENTRY_INFOA) + large.size() + 1;
  const std::size_t grown = (needed + 7) / 8 * 8;
  std::vector<std::string> expected = {
      Fetch("FindFirstUrlCacheEntryA(null, ", 4096), "DeleteUrlCacheEntryA(http://a.example/)",
      Fetch("FindNextUrlCacheEntryA(", 4096),        Fetch("FindNextUrlCacheEntryA(", grown),
      "DeleteUrlCacheEntryA(" + large + ")",         Fetch("FindNextUrlCacheEntryA(", grown),
      "DeleteUrlCacheEntryA(http://bb.example/x)",   Fetch("FindNextUrlCacheEntryA(", grown),
      "FindCloseUrlCache(handle)",                   Fetch("FindFirstUrlCacheEntryA(cookie:, ", grown),
      "FindCloseUrlCache(null)",                     Fetch("FindFirstUrlCacheEntryA(visited:, ", grown),
      "FindCloseUrlCache(null)",
      // Then the sites' stored data (no known folders here).
      "SHGetKnownFolderPath(LocalAppData, 0x0)",     "SHGetKnownFolderPath(LocalAppDataLow, 0x0)"};
  EXPECT_EQ(Fake.Calls, expected);
  EXPECT_EQ(Fake.OpenHandles(), 0);
}

TEST_F(CleanUrlCache, EmptyCacheClosesTheNullHandle) {
  RunFinished = true;
  PurgeUrlCache();
  EXPECT_FALSE(RunFinished);
  std::vector<std::string> expected = EmptyPass("null");
  Append(expected, EmptyPass("cookie:"));
  Append(expected, EmptyPass("visited:"));
  Append(expected, {"SHGetKnownFolderPath(LocalAppData, 0x0)", "SHGetKnownFolderPath(LocalAppDataLow, 0x0)"});
  EXPECT_EQ(Fake.Calls, expected);
}

// Windows returns content entries only for a null pattern: cookies and
// history entries are enumerated after them with their own patterns, and a
// failing deletion in any pass goes on with the next entry.
TEST_F(CleanUrlCache, ContentThenCookiesThenHistoryEachDeleted) {
  Fake.Cache = {{"Visited: user@http://a.example/"}, {"Cookie:user@a.example/"},
                {"Cookie:user@b.example/"}, {"http://a.example/"}};
  Fake.Fail("DeleteUrlCacheEntryA", 1, ERROR_SHARING_VIOLATION);
  PurgeUrlCache();
  std::vector<std::string> enumerations;
  for (const std::string& call : Fake.CallsOf("FindFirstUrlCacheEntryA"))
    if (call.find("buffer=null") == std::string::npos) enumerations.push_back(call.substr(0, call.find(',')));
  EXPECT_EQ(enumerations, (std::vector<std::string>{"FindFirstUrlCacheEntryA(null", "FindFirstUrlCacheEntryA(cookie:",
                                                    "FindFirstUrlCacheEntryA(visited:"}));
  EXPECT_EQ(Fake.CallsOf("DeleteUrlCacheEntryA"),
            (std::vector<std::string>{"DeleteUrlCacheEntryA(http://a.example/)",
                                      "DeleteUrlCacheEntryA(Cookie:user@a.example/)",
                                      "DeleteUrlCacheEntryA(Cookie:user@b.example/)",
                                      "DeleteUrlCacheEntryA(Visited: user@http://a.example/)"}));
  EXPECT_EQ(Fake.OpenHandles(), 0);
}

TEST_F(CleanUrlCache, FailingFetchEndsTheEnumeration) {
  Fake.Cache = {{"http://1/"}, {"http://2/"}, {"http://3/"}, {"http://4/"}};
  // The fetch of the second record succeeds, the fetch of the third fails.
  Fake.Fail("FindNextUrlCacheEntryA", 1, ERROR_FILE_NOT_FOUND);
  PurgeUrlCache();
  std::vector<std::string> deleted = {"DeleteUrlCacheEntryA(http://1/)",
                                      "DeleteUrlCacheEntryA(http://2/)"};
  EXPECT_EQ(Fake.CallsOf("DeleteUrlCacheEntryA"), deleted);
  EXPECT_EQ(Fake.CallsOf("FindCloseUrlCache").front(), "FindCloseUrlCache(handle)");
  EXPECT_EQ(Fake.OpenHandles(), 0);
}

TEST_F(CleanUrlCache, FailingDeletionGoesOnWithTheNextEntry) {
  Fake.Cache = {{"http://1/"}, {"http://2/"}, {"http://3/"}};
  Fake.Fail("DeleteUrlCacheEntryA", 1, ERROR_SHARING_VIOLATION);
  PurgeUrlCache();
  EXPECT_EQ(Fake.CallsOf("DeleteUrlCacheEntryA").size(), 3u);
}

TEST_F(CleanUrlCache, RecordWithoutUrlIsSkipped) {
  TFakePlatform::TCacheEntry noUrl{"http://hidden/"};
  noUrl.HasUrl = false;
  Fake.Cache = {{"http://1/"}, noUrl, {"http://3/"}};
  PurgeUrlCache();
  std::vector<std::string> deleted = {"DeleteUrlCacheEntryA(http://1/)",
                                      "DeleteUrlCacheEntryA(http://3/)"};
  EXPECT_EQ(Fake.CallsOf("DeleteUrlCacheEntryA"), deleted);
}

TEST_F(CleanUrlCache, RecordSmallerThanItsFieldsIsNotRead) {
  // Sizes below the URL field and below dwStructSize itself.
  TFakePlatform::TCacheEntry tiny{"http://tiny/"}, short_{"http://short/"};
  tiny.Size = 2;
  short_.Size = 16;
  Fake.Cache = {tiny, short_, {"http://3/"}};
  PurgeUrlCache();
  std::vector<std::string> deleted = {"DeleteUrlCacheEntryA(http://3/)"};
  EXPECT_EQ(Fake.CallsOf("DeleteUrlCacheEntryA"), deleted);
}

}  // namespace
