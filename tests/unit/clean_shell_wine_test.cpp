// URL cache, history, recent documents and recycle bin against real Wine in
// the build tree's prefix and XDG data folder.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "clean/Cleaning.h"
#include "clean/TempPurge.h"
#include "tests/support/clean_wine_support.h"
#include "platform/Platform.h"  // windows.h with wininet.h and shlobj.h

namespace {

using namespace wine_support;

class CleanShellWine : public ::testing::Test {
protected:
  void SetUp() override {
    std::string why;
    if (!InSandbox(why)) GTEST_FAIL() << why;
  }
};

// Adds an entry to the URL cache with a small local file.
bool AddCacheEntry(const std::string& url) {
  char file[MAX_PATH];
  if (!CreateUrlCacheEntryA(url.c_str(), 0, "html", file, 0)) return false;
  if (!WriteFile(file, "<p>" + url + "</p>")) return false;
  FILETIME none{};
  return CommitUrlCacheEntryA(url.c_str(), file, none, none, NORMAL_CACHE_ENTRY, nullptr, 0,
                              nullptr, nullptr) != FALSE;
}

// Counts the cache's entries that an enumeration with the pattern returns
// and whose URL starts with the prefix.
int CountCacheEntries(const char* pattern = nullptr, const char* prefix = "") {
  std::vector<char> buffer(64 * 1024);
  auto info = reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(buffer.data());
  DWORD size = buffer.size();
  HANDLE find = FindFirstUrlCacheEntryA(pattern, info, &size);
  if (!find) return 0;
  int count = 0;
  do {
    count += _strnicmp(info->lpszSourceUrlName, prefix, std::strlen(prefix)) == 0;
    size = buffer.size();
  } while (FindNextUrlCacheEntryA(find, info, &size));
  FindCloseUrlCache(find);
  return count;
}

// The cookie entries: Windows returns them for "cookie:" only; Wine returns
// them for a null pattern, and of the patterns matches "Cookie:" only.
int CountCookies() { return CountCacheEntries(nullptr, "Cookie:") + CountCacheEntries("cookie:", "Cookie:"); }

TEST_F(CleanShellWine, UrlCacheIsEmptyAfterThePurge) {
  for (int i = 0; i < 300; ++i)
    ASSERT_TRUE(AddCacheEntry("http://cache.example/" + std::to_string(i) + "/page.html")) << i;
  ASSERT_GE(CountCacheEntries(), 300);
  RunFinished = true;
  PurgeUrlCache();
  EXPECT_FALSE(RunFinished);
  EXPECT_EQ(CountCacheEntries(), 0);
  PurgeUrlCache();  // an empty cache is purged without trouble
  EXPECT_EQ(CountCacheEntries(), 0);
}

TEST_F(CleanShellWine, PersistentCookiesAreGoneAfterThePurge) {
  for (const char* site : {"http://one.example/", "http://two.example/"})
    ASSERT_TRUE(InternetSetCookieA(site, "spw", "1; expires=Fri, 01-Jan-2038 00:00:00 GMT")) << site;
  ASSERT_GE(CountCookies(), 2);
  PurgeUrlCache();
  EXPECT_EQ(CountCookies(), 0);
}

TEST_F(CleanShellWine, HistoryObjectIsCreatedAndHeld) {
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  EXPECT_NO_THROW(ClearHistory());
  EXPECT_NE(HistoryInterface(), nullptr);
  ReleaseHistory();
  EXPECT_EQ(HistoryInterface(), nullptr);
  CoUninitialize();
}

TEST_F(CleanShellWine, RecentDocumentsKeyIsCleared) {
  const char* key = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs";
  ASSERT_TRUE(CreateDirectoryA("C:\\spw-test", nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  ASSERT_TRUE(WriteFile("C:\\spw-test\\recent.txt"));
  SHAddToRecentDocs(SHARD_PATHA, "C:\\spw-test\\recent.txt");
  HKEY opened;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened), ERROR_SUCCESS);
  RegCloseKey(opened);
  ClearRecentDocuments();
  LONG result = RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened);
  if (result == ERROR_SUCCESS) RegCloseKey(opened);
  EXPECT_EQ(result, ERROR_FILE_NOT_FOUND);
  DeleteFileA("C:\\spw-test\\recent.txt");
}

TEST_F(CleanShellWine, FileInTheBinIsGoneAfterEmptying) {
  std::string trash = TrashFiles();
  ASSERT_FALSE(trash.empty());
  std::string name = "binned-" + std::to_string(GetCurrentProcessId()) + "-" +
                     std::to_string(GetTickCount()) + ".txt";
  ASSERT_TRUE(CreateDirectoryA("C:\\spw-test", nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  std::string file = "C:\\spw-test\\" + name;
  ASSERT_TRUE(WriteFile(file));
  // The shell delete works on files as well; it puts this one into the bin.
  ASSERT_TRUE(ShellDeleteFolder(Wide(file), false, false));
  ASSERT_TRUE(Exists(trash + "\\" + name));
  EmptyRecycleBin(nullptr);
  EXPECT_FALSE(Exists(trash + "\\" + name));
}

}  // namespace
