#include "clean/Cleaning.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

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
  History->ClearHistory();
}

// ---- URL cache ----

namespace {

// One cache record: a block of exactly the size WinINet asked for.
struct TCacheRecord {
  std::unique_ptr<char[]> Data;
  DWORD Size = 0;

  LPINTERNET_CACHE_ENTRY_INFOA Info() const {
    return reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(Data.get());
  }
};

// Allocates the record for a reported size (none for 0) and writes the size
// into dwStructSize when the block is large enough to hold that field.
void AllocateRecord(TCacheRecord& record, DWORD size) {
  record.Data.reset(size ? new char[size]() : nullptr);
  record.Size = size;
  if (size >= sizeof(DWORD)) std::memcpy(record.Data.get(), &size, sizeof size);
}

// The record's URL, or null unless the URL pointer and its whole text lie
// inside the block that was handed to WinINet.
const char* RecordUrl(const TCacheRecord& record) {
  constexpr std::size_t field = offsetof(INTERNET_CACHE_ENTRY_INFOA, lpszSourceUrlName);
  if (!record.Data || record.Size < field + sizeof(LPSTR)) return nullptr;
  LPSTR url;
  std::memcpy(&url, record.Data.get() + field, sizeof url);
  auto begin = reinterpret_cast<std::uintptr_t>(record.Data.get());
  auto at = reinterpret_cast<std::uintptr_t>(url);
  if (!url || at < begin || at >= begin + record.Size) return nullptr;
  if (!std::memchr(url, 0, begin + record.Size - at)) return nullptr;
  return url;
}

// Deletes every entry that one enumeration of the cache returns for the
// pattern, fetching each record with its size question first.
void PurgeCacheEntries(TPlatform& platform, const char* pattern) {
  TCacheRecord record;
  DWORD size = 0;
  // With no buffer the call only reports the size of the first record.
  if (HANDLE stray = platform.FindFirstUrlCacheEntryA(pattern, nullptr, &size))
    platform.FindCloseUrlCache(stray);
  AllocateRecord(record, size);
  TUrlCacheFind find(platform, platform.FindFirstUrlCacheEntryA(pattern, record.Info(), &size));
  if (!find.Get()) return;
  for (;;) {
    KeepPainting();
    if (const char* url = RecordUrl(record)) platform.DeleteUrlCacheEntryA(url);
    AllocateRecord(record, 0);
    size = 0;
    platform.FindNextUrlCacheEntryA(find.Get(), nullptr, &size);
    AllocateRecord(record, size);
    if (!platform.FindNextUrlCacheEntryA(find.Get(), record.Info(), &size)) break;
  }
}

}  // namespace

// Windows enumerates only the content entries for a null pattern; cookies
// and history entries each need their own pass.
void PurgeUrlCache() {
  RunFinished = false;
  TPlatform& platform = Platform();
  PurgeCacheEntries(platform, nullptr);
  PurgeCacheEntries(platform, "cookie:");
  PurgeCacheEntries(platform, "visited:");
}

// ---- Shell steps ----

void ClearRecentDocuments() { Platform().SHAddToRecentDocs(0, nullptr); }

namespace {

using TEmptyRecycleBin = HRESULT(WINAPI*)(HWND, LPCSTR, DWORD);

constexpr DWORD EmptyQuietly = SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND;

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
  auto empty = reinterpret_cast<TEmptyRecycleBin>(
      reinterpret_cast<void*>(platform.GetProcAddress(shell.Get(), "SHEmptyRecycleBinA")));
  if (empty) empty(applicationWindow, nullptr, EmptyQuietly);
}
