#include "clean/Cleaning.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "clean/BrowserTraces.h"
#include "platform/Handles.h"
#include "ui/Responsive.h"
#include "base/SysUtils.h"

bool RunFinished = false;

namespace {

TComRef<IUrlHistoryStg2> History;

}  // namespace

IUrlHistoryStg2* HistoryInterface() { return History.Get(); }

void ReleaseHistory() { History.Reset(); }

void ClearHistory() {
  TTypedUrlCounts typedUrls;
  TTraceCounts recovery;
  ClearHistory(TCleanMode::Delete, typedUrls, recovery);
}

HRESULT ClearHistory(TCleanMode mode, TTypedUrlCounts& typedUrls, TTraceCounts& recovery) {
  HRESULT result = ClearHistory(mode);
  ClearTypedUrls(typedUrls, mode);
  PurgeTraceFolders(RecoveryFolders, recovery, mode);
  return result;
}

HRESULT ClearHistory(TCleanMode mode) {
  TComRef<IUnknown> object;
  HRESULT result = Platform().CoCreateInstance(CLSID_CUrlHistory, nullptr,
                                               CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                               IID_IUnknown, object.Put());
  if (FAILED(result)) throw EOleSysError(result);
  if (!object) throw EOleSysError(E_POINTER);
  IUrlHistoryStg2* history = nullptr;
  if (FAILED(object->QueryInterface(IID_IUrlHistoryStg2, reinterpret_cast<void**>(&history))) ||
      !history)
    throw EIntfCastError();
  History.Reset(history);
  return mode == TCleanMode::CountOnly ? S_OK : History->ClearHistory();
}

// ---- URL cache ----

namespace {

// The record buffer of a purge, kept across entries: it starts at a few KB
// and grows when an entry does not fit, keeping the larger size, so the
// common entry costs one call to fetch it and one to delete it. Of each
// record only the size the system reports for it is ever read.
class TCacheRecord {
public:
  LPINTERNET_CACHE_ENTRY_INFOA Info() { return reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(FData.data()); }
  DWORD Capacity() const { return static_cast<DWORD>(FData.size() * sizeof(LONGLONG)); }
  // Makes room for SIZE bytes; the record's size field says how many there are.
  void Reserve(DWORD size) {
    if (size > Capacity()) FData.resize((size + sizeof(LONGLONG) - 1) / sizeof(LONGLONG));
    Info()->dwStructSize = Capacity();
  }
  // The size of the entry's cached file, 0 unless the field lies inside the
  // SIZE bytes the system reported for the record.
  unsigned long long FileSize(DWORD size) {
    if (size > Capacity() || size < offsetof(INTERNET_CACHE_ENTRY_INFOA, dwSizeHigh) + sizeof(DWORD)) return 0;
    return (static_cast<unsigned long long>(Info()->dwSizeHigh) << 32) | Info()->dwSizeLow;
  }
  // The record's URL, or null unless the URL pointer and its whole text lie
  // inside the SIZE bytes the system reported for the record.
  const char* Url(DWORD size) {
    constexpr std::size_t field = offsetof(INTERNET_CACHE_ENTRY_INFOA, lpszSourceUrlName);
    if (size > Capacity() || size < field + sizeof(LPSTR)) return nullptr;
    auto* bytes = reinterpret_cast<const char*>(FData.data());
    LPSTR url;
    std::memcpy(&url, bytes + field, sizeof url);
    auto begin = reinterpret_cast<std::uintptr_t>(bytes), at = reinterpret_cast<std::uintptr_t>(url);
    if (!url || at < begin || at >= begin + size) return nullptr;
    return std::memchr(url, 0, begin + size - at) ? url : nullptr;
  }

private:
  std::vector<LONGLONG> FData = std::vector<LONGLONG>(4096 / sizeof(LONGLONG));  // aligned for the record
};

// One fetch into the buffer; asked again, larger, when the record did not
// fit (the enumeration stays on that record). SIZE receives the record's size.
template <class TFetch>
bool FetchInto(TCacheRecord& record, DWORD& size, TFetch fetch) {
  record.Reserve(0);
  size = record.Capacity();
  if (fetch(record.Info(), &size)) return true;
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= record.Capacity()) return false;
  record.Reserve(size);
  size = record.Capacity();
  return fetch(record.Info(), &size);
}

// An entry in use stays marked for deletion and goes once it is released.
void DeleteEntry(TPlatform& platform, const char* url, unsigned long long bytes, TCacheCounts& counts,
                 TCleanMode mode) {
  if (mode == TCleanMode::CountOnly || platform.DeleteUrlCacheEntryA(url)) {
    ++counts.Deleted;
    counts.Bytes += bytes;
  } else if (GetLastError() == ERROR_ACCESS_DENIED) {
    ++counts.Pending;
  } else {
    ++counts.Kept;
  }
}

// Deletes every entry that one enumeration of the cache returns for the
// pattern.
void PurgeCacheEntries(TPlatform& platform, TCacheRecord& record, const char* pattern, TCacheCounts& counts,
                       TCleanMode mode) {
  DWORD size = 0;
  HANDLE first = nullptr;
  FetchInto(record, size, [&](LPINTERNET_CACHE_ENTRY_INFOA info, LPDWORD length) {
    first = platform.FindFirstUrlCacheEntryA(pattern, info, length);
    return first != nullptr;
  });
  TUrlCacheFind find(platform, first);
  if (!find.Get()) return;
  for (bool fetched = true; fetched;) {
    KeepPainting();
    if (const char* url = record.Url(size)) DeleteEntry(platform, url, record.FileSize(size), counts, mode);
    fetched = FetchInto(record, size, [&](LPINTERNET_CACHE_ENTRY_INFOA info, LPDWORD length) {
      return platform.FindNextUrlCacheEntryA(find.Get(), info, length) != FALSE;
    });
  }
}

}  // namespace

// Windows enumerates only the content entries for a null pattern; cookies
// and history entries each need their own pass.
void PurgeUrlCache() {
  TCacheCounts counts;
  PurgeUrlCache(counts, TCleanMode::Delete);
}

void PurgeUrlCache(TCacheCounts& counts, TCleanMode mode) {
  RunFinished = false;
  TPlatform& platform = Platform();
  TCacheRecord record;
  for (const char* pattern : {static_cast<const char*>(nullptr), "cookie:", "visited:"})
    PurgeCacheEntries(platform, record, pattern, counts, mode);
  PurgeTraceFolders(SiteDataFolders, counts.SiteData, mode);
}

// ---- Shell steps ----

void ClearRecentDocuments() { ClearRecentDocuments(TCleanMode::Delete); }

void ClearRecentDocuments(TCleanMode mode) {
  if (mode != TCleanMode::CountOnly) Platform().SHAddToRecentDocs(0, nullptr);
}

namespace {

using TEmptyRecycleBin = HRESULT(WINAPI*)(HWND, LPCSTR, DWORD);
using TQueryRecycleBin = HRESULT(WINAPI*)(LPCSTR, LPSHQUERYRBINFO);

constexpr DWORD EmptyQuietly = SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND;

// A function of the shell library, looked up by name; null when missing.
template <class TFunction>
TFunction ShellFunction(TPlatform& platform, HMODULE shell, const char* name) {
  return reinterpret_cast<TFunction>(reinterpret_cast<void*>(platform.GetProcAddress(shell, name)));
}

}  // namespace

void EmptyRecycleBin(HWND applicationWindow) {
  TPlatform& platform = Platform();
  TLibraryHandle shell(platform, platform.LoadLibraryA("Shell32.dll"));
  if (!shell.Get()) {
    // Without an owner the box is centred on the screen; task-modal keeps
    // the program's windows disabled while it is open.
    platform.MessageBoxA(nullptr, "Failed to load Shell32.dll.", "Error",
                         MB_OK | MB_ICONERROR | MB_TASKMODAL);
    return;
  }
  auto empty = ShellFunction<TEmptyRecycleBin>(platform, shell.Get(), "SHEmptyRecycleBinA");
  if (empty) empty(applicationWindow, nullptr, EmptyQuietly);
}

TBinResult EmptyRecycleBinReported(TBinCounts& counts, TCleanMode mode) {
  TPlatform& platform = Platform();
  TLibraryHandle shell(platform, platform.LoadLibraryA("Shell32.dll"));
  if (!shell.Get()) return TBinResult::LibraryMissing;
  auto empty = ShellFunction<TEmptyRecycleBin>(platform, shell.Get(), "SHEmptyRecycleBinA");
  auto query = ShellFunction<TQueryRecycleBin>(platform, shell.Get(), "SHQueryRecycleBinA");
  if (!empty || !query) return TBinResult::FunctionMissing;
  SHQUERYRBINFO info{};
  info.cbSize = sizeof info;
  // Without the count an empty bin and an unreadable one look alike.
  if (FAILED(query(nullptr, &info))) return TBinResult::QueryFailed;
  counts.Items = static_cast<unsigned long long>(info.i64NumItems);
  counts.Bytes = static_cast<unsigned long long>(info.i64Size);
  // Some systems answer an empty bin's emptying with an error.
  if (mode == TCleanMode::CountOnly || counts.Items == 0) return TBinResult::Emptied;
  return SUCCEEDED(empty(nullptr, nullptr, EmptyQuietly)) ? TBinResult::Emptied : TBinResult::Failed;
}
