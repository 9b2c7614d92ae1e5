#include "tests/support/FakePlatform.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <functional>

namespace {

std::string Hex(unsigned long value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%lX", value);
  return text;
}

std::string Text(LPCSTR text) { return text ? std::string(text) : "null"; }

std::string GuidText(REFGUID guid) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
                guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                guid.Data4[6], guid.Data4[7]);
  return text;
}

// "buffer=null, size=0" or "buffer, size=N, dwStructSize=M".
std::string RecordText(LPINTERNET_CACHE_ENTRY_INFOA info, LPDWORD size) {
  std::string text = info ? "buffer" : "buffer=null";
  text += ", size=" + (size ? std::to_string(*size) : std::string("null"));
  if (info && size && *size >= sizeof(DWORD)) text += ", dwStructSize=" + std::to_string(info->dwStructSize);
  return text;
}

// Calls into the recycle bin function reach the fake that handed it out.
TFakePlatform* RecycleOwner = nullptr;

HRESULT WINAPI FakeQueryRecycleBin(LPCSTR root, LPSHQUERYRBINFO info) {
  if (!RecycleOwner) return E_FAIL;
  RecycleOwner->Record("SHQueryRecycleBinA(" + Text(root) + ")");
  if (RecycleOwner->ShouldFail("SHQueryRecycleBinA")) return E_FAIL;
  info->i64NumItems = static_cast<__int64>(RecycleOwner->BinItems);
  info->i64Size = static_cast<__int64>(RecycleOwner->BinBytes);
  return S_OK;
}

HRESULT WINAPI FakeEmptyRecycleBin(HWND hwnd, LPCSTR root, DWORD flags) {
  if (RecycleOwner)
    RecycleOwner->Record("SHEmptyRecycleBinA(" + Hex(reinterpret_cast<std::uintptr_t>(hwnd)) +
                         ", " + Text(root) + ", " + Hex(flags) + ")");
  return S_OK;
}

}  // namespace

// ---- fake history object ----

HRESULT TFakeHistory::QueryInterface(REFIID riid, void** ppv) {
  FOwner.Record("QueryInterface(" + GuidText(riid) + ")");
  *ppv = nullptr;
  if (FOwner.ShouldFail("QueryInterface")) return E_NOINTERFACE;
  if (riid != IID_IUnknown && riid != IID_IUrlHistoryStg && riid != IID_IUrlHistoryStg2)
    return E_NOINTERFACE;
  *ppv = static_cast<IUrlHistoryStg2*>(this);
  AddRef();
  return S_OK;
}

HRESULT TFakeHistory::ClearHistory() {
  FOwner.Record("ClearHistory()");
  return FOwner.ShouldFail("ClearHistory") ? E_FAIL : S_OK;
}

// ---- recording and failures ----

TFakePlatform::~TFakePlatform() {
  if (RecycleOwner == this) RecycleOwner = nullptr;
}

std::vector<std::string> TFakePlatform::CallsOf(const std::string& name) const {
  std::vector<std::string> found;
  for (const std::string& call : Calls)
    if (call.rfind(name + "(", 0) == 0) found.push_back(call);
  return found;
}

void TFakePlatform::Fail(const std::string& name, int succeeding, DWORD error) {
  FFailures[name] = {succeeding, error};
}

bool TFakePlatform::ShouldFail(const std::string& name) {
  auto it = FFailures.find(name);
  if (it == FFailures.end()) return false;
  if (it->second.Succeeding > 0) {
    --it->second.Succeeding;
    return false;
  }
  ::SetLastError(it->second.Error);
  return true;
}

DWORD TFakePlatform::FailureCode(const std::string& name) const {
  auto it = FFailures.find(name);
  return it == FFailures.end() ? 0 : it->second.Error;
}

HANDLE TFakePlatform::NewHandle(const std::string& kind, const std::string& path) {
  HANDLE handle = reinterpret_cast<HANDLE>(FNextHandle += 4);
  FOpen[handle] = {kind, path, 0};
  return handle;
}

// ---- COM ----

HRESULT TFakePlatform::CoCreateInstance(REFCLSID rclsid, LPUNKNOWN outer, DWORD context,
                                        REFIID riid, LPVOID* ppv) {
  Record("CoCreateInstance(" + GuidText(rclsid) + ", " +
         Hex(reinterpret_cast<std::uintptr_t>(outer)) + ", " + Hex(context) + ", " +
         GuidText(riid) + ")");
  *ppv = nullptr;
  if (ShouldFail("CoCreateInstance")) return static_cast<HRESULT>(FailureCode("CoCreateInstance"));
  HistoryObjects.push_back(std::make_unique<TFakeHistory>(*this));
  TFakeHistory& object = *HistoryObjects.back();
  // The creation reference is the object's only one; QueryInterface adds its own.
  object.AddRef();
  *ppv = static_cast<IUnknown*>(&object);
  return S_OK;
}

// ---- URL cache ----

const TFakePlatform::TCacheEntry* TFakePlatform::CacheEntry(LPCSTR pattern, std::size_t index) const {
  auto startsWith = [](const std::string& url, const char* prefix) {
    return _strnicmp(url.c_str(), prefix, std::strlen(prefix)) == 0;
  };
  for (const TCacheEntry& entry : Cache) {
    const bool matches = pattern ? startsWith(entry.Url, pattern)
                                 : !startsWith(entry.Url, "cookie:") && !startsWith(entry.Url, "visited:");
    if (matches && index-- == 0) return &entry;
  }
  return nullptr;
}

bool TFakePlatform::FetchCacheRecord(const TCacheEntry* found, LPINTERNET_CACHE_ENTRY_INFOA info,
                                     LPDWORD size) {
  if (!found) {
    ::SetLastError(ERROR_NO_MORE_ITEMS);
    return false;
  }
  const TCacheEntry& entry = *found;
  DWORD natural = sizeof(INTERNET_CACHE_ENTRY_INFOA) + entry.Url.size() + 1;
  DWORD needed = entry.Size ? entry.Size : natural;
  if (!info || *size < needed) {
    *size = needed;
    ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return false;
  }
  if (needed >= natural) {
    DWORD structSize = info->dwStructSize;
    std::memset(info, 0, sizeof *info);
    info->dwStructSize = structSize;
    char* text = reinterpret_cast<char*>(info + 1);
    std::memcpy(text, entry.Url.c_str(), entry.Url.size() + 1);
    info->lpszSourceUrlName = entry.HasUrl ? text : nullptr;
  }
  *size = needed;
  return true;
}

HANDLE TFakePlatform::FindFirstUrlCacheEntryA(LPCSTR pattern, LPINTERNET_CACHE_ENTRY_INFOA info,
                                              LPDWORD size) {
  Record("FindFirstUrlCacheEntryA(" + Text(pattern) + ", " + RecordText(info, size) + ")");
  if (ShouldFail("FindFirstUrlCacheEntryA")) return nullptr;
  if (!FetchCacheRecord(CacheEntry(pattern, 0), info, size)) return nullptr;
  // The handle keeps the pattern; a null one is kept as "".
  return NewHandle("cache", pattern ? pattern : "");
}

BOOL TFakePlatform::FindNextUrlCacheEntryA(HANDLE handle, LPINTERNET_CACHE_ENTRY_INFOA info,
                                           LPDWORD size) {
  Record("FindNextUrlCacheEntryA(" + RecordText(info, size) + ")");
  if (!FOpen.count(handle)) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (ShouldFail("FindNextUrlCacheEntryA")) return FALSE;
  TOpen& search = FOpen[handle];
  const std::string& pattern = search.Path;
  if (!FetchCacheRecord(CacheEntry(pattern.empty() ? nullptr : pattern.c_str(), search.Next + 1), info, size))
    return FALSE;
  ++search.Next;
  return TRUE;
}

BOOL TFakePlatform::DeleteUrlCacheEntryA(LPCSTR url) {
  Record("DeleteUrlCacheEntryA(" + Text(url) + ")");
  return ShouldFail("DeleteUrlCacheEntryA") ? FALSE : TRUE;
}

BOOL TFakePlatform::FindCloseUrlCache(HANDLE handle) {
  Record(std::string("FindCloseUrlCache(") + (handle ? "handle" : "null") + ")");
  if (!FOpen.erase(handle)) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

// ---- files ----

BOOL TFakePlatform::DeleteFileW(LPCWSTR name) {
  Record("DeleteFileW(" + (name ? Utf8(name) : std::string("null")) + ")");
  return ShouldFail("DeleteFileW") ? FALSE : TRUE;
}

// ---- folders, through handles ----

namespace {

std::string Parent(const std::string& path) {
  std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? "" : path.substr(0, slash);
}

std::string LastPart(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

bool SameAscii(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

std::string WithoutTrailingBackslash(std::string path) {
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

}  // namespace

std::string Utf8(std::wstring_view text) {
  if (text.empty()) return {};  // the call would set an error for nothing to convert
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string result(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), n, nullptr, nullptr);
  return result;
}

std::wstring Utf16(std::string_view text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring result(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), n);
  return result;
}

std::string TFakePlatform::ResolvedName(const std::string& path) const {
  auto scripted = FinalNames.find(path);
  return scripted == FinalNames.end() ? path : scripted->second;
}

DWORD TFakePlatform::AttributesOf(const std::string& path) const {
  if (auto opened = OpenedAttributes.find(path); opened != OpenedAttributes.end()) return opened->second;
  if (auto parent = Folders.find(Parent(path)); parent != Folders.end())
    for (const TFileEntry& entry : parent->second)
      if (SameAscii(entry.Name, LastPart(path))) return entry.Attributes;
  return Folders.count(path) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
}

HANDLE TFakePlatform::CreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES,
                                  DWORD disposition, DWORD flags, HANDLE) {
  std::string path = name ? Utf8(name) : "null";
  Record("CreateFileW(" + path + ", " + Hex(access) + ", " + Hex(share) + ", " + Hex(disposition) + ", " +
         Hex(flags) + ")");
  if (ShouldFail("CreateFileW")) return INVALID_HANDLE_VALUE;
  if ((access & GENERIC_READ) && disposition == OPEN_EXISTING) {
    HANDLE real = ::CreateFileW(name, access, share, nullptr, disposition, flags, nullptr);
    if (real != INVALID_HANDLE_VALUE) FRealFiles.push_back(real);
    return real;
  }
  if (disposition == CREATE_NEW && FileAttributes.count(path)) {
    ::SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
  }
  if (disposition == CREATE_ALWAYS || disposition == CREATE_NEW || disposition == TRUNCATE_EXISTING) Written.erase(path);
  return NewHandle("file", WithoutTrailingBackslash(path));
}

NTSTATUS TFakePlatform::NtOpenFile(PHANDLE file, ACCESS_MASK access, POBJECT_ATTRIBUTES attributes,
                                   PIO_STATUS_BLOCK status, ULONG, ULONG options) {
  auto root = FOpen.find(attributes->RootDirectory);
  const UNICODE_STRING* name = attributes->ObjectName;
  std::string path = (root == FOpen.end() ? std::string("?") : root->second.Path) + "\\" +
                     Utf8(std::wstring_view(name->Buffer, name->Length / sizeof(wchar_t)));
  Record("NtOpenFile(" + path + ", " + Hex(access) + ", " + Hex(options) + ")");
  *file = nullptr;
  if (status) status->Status = 0;
  if (root == FOpen.end()) return static_cast<NTSTATUS>(0xC0000008L);  // STATUS_INVALID_HANDLE
  if (ShouldFail("NtOpenFile")) return static_cast<NTSTATUS>(0xC0000022L);  // STATUS_ACCESS_DENIED
  *file = NewHandle("file", path);
  return 0;
}

DWORD TFakePlatform::GetFinalPathNameByHandleW(HANDLE file, LPWSTR path, DWORD size, DWORD flags) {
  auto it = FOpen.find(file);
  std::string opened = it == FOpen.end() ? "?" : it->second.Path;
  Record("GetFinalPathNameByHandleW(" + opened + ", " + Hex(flags) + ")");
  if (it == FOpen.end()) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (ShouldFail("GetFinalPathNameByHandleW")) return 0;
  std::wstring name = Utf16("\\\\?\\" + ResolvedName(opened));
  if (name.size() >= size) return static_cast<DWORD>(name.size() + 1);
  std::memcpy(path, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
  return static_cast<DWORD>(name.size());
}

// Hands out the folder's entries after "." and "..", as many as fit the
// buffer and ListBatch; the end reports ERROR_NO_MORE_FILES.
BOOL TFakePlatform::ListInto(TOpen& open, bool restart, LPVOID info, DWORD size) {
  if (restart) open.Next = 0;
  std::vector<TFileEntry> entries = {{".", FILE_ATTRIBUTE_DIRECTORY}, {"..", FILE_ATTRIBUTE_DIRECTORY}};
  if (auto folder = Folders.find(open.Path); folder != Folders.end())
    entries.insert(entries.end(), folder->second.begin(), folder->second.end());
  auto* bytes = static_cast<char*>(info);
  std::size_t offset = 0, count = 0;
  FILE_FULL_DIR_INFO* previous = nullptr;
  while (open.Next < entries.size() && count < ListBatch) {
    std::wstring name = Utf16(entries[open.Next].Name);
    std::size_t length = (offsetof(FILE_FULL_DIR_INFO, FileName) + name.size() * sizeof(wchar_t) + 7) & ~std::size_t(7);
    if (offset + length > size) break;
    auto* record = reinterpret_cast<FILE_FULL_DIR_INFO*>(bytes + offset);
    std::memset(record, 0, length);
    record->FileAttributes = entries[open.Next].Attributes;
    record->FileNameLength = static_cast<ULONG>(name.size() * sizeof(wchar_t));
    std::memcpy(record->FileName, name.data(), name.size() * sizeof(wchar_t));
    if (previous) previous->NextEntryOffset = static_cast<ULONG>(reinterpret_cast<char*>(record) - reinterpret_cast<char*>(previous));
    previous = record;
    offset += length;
    ++count;
    ++open.Next;
  }
  if (count == 0) {
    ::SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  return TRUE;
}

BOOL TFakePlatform::GetFileInformationByHandleEx(HANDLE file, FILE_INFO_BY_HANDLE_CLASS infoClass, LPVOID info,
                                                 DWORD size) {
  auto it = FOpen.find(file);
  std::string path = it == FOpen.end() ? "?" : it->second.Path;
  Record("GetFileInformationByHandleEx(" + path + ", " + std::to_string(infoClass) + ")");
  if (it == FOpen.end()) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (ShouldFail("GetFileInformationByHandleEx")) return FALSE;
  switch (infoClass) {
    case FileFullDirectoryRestartInfo:
    case FileFullDirectoryInfo:
      return ListInto(it->second, infoClass == FileFullDirectoryRestartInfo, info, size);
    case FileBasicInfo: {
      auto* basic = static_cast<FILE_BASIC_INFO*>(info);
      *basic = FILE_BASIC_INFO{};
      basic->FileAttributes = AttributesOf(path);
      return TRUE;
    }
    default:
      ::SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
  }
}

BOOL TFakePlatform::SetFileInformationByHandle(HANDLE file, FILE_INFO_BY_HANDLE_CLASS infoClass,
                                               LPVOID info, DWORD size) {
  auto it = FOpen.find(file);
  std::string text = "SetFileInformationByHandle(" +
                     (it == FOpen.end() ? std::string("?") : it->second.Path) + ", " +
                     std::to_string(infoClass);
  if (infoClass == FileDispositionInfo && size >= sizeof(FILE_DISPOSITION_INFO))
    text += ", DeleteFile=" + std::to_string(static_cast<FILE_DISPOSITION_INFO*>(info)->DeleteFile);
  Record(text + ")");
  return ShouldFail("SetFileInformationByHandle") ? FALSE : TRUE;
}

BOOL TFakePlatform::CloseHandle(HANDLE object) {
  for (auto real = FRealFiles.begin(); real != FRealFiles.end(); ++real)
    if (*real == object) {
      FRealFiles.erase(real);
      Record("CloseHandle(real file)");
      return ::CloseHandle(object);
    }
  auto it = FOpen.find(object);
  Record("CloseHandle(" + (it == FOpen.end() ? std::string("?") : it->second.Path) + ")");
  if (it == FOpen.end()) return FALSE;
  FOpen.erase(it);
  return TRUE;
}

BOOL TFakePlatform::WriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written,
                              LPOVERLAPPED) {
  auto it = FOpen.find(file);
  std::string path = it == FOpen.end() ? std::string("?") : it->second.Path;
  Record("WriteFile(" + path + ", " + std::to_string(size) + ")");
  if (written) *written = 0;
  if (it == FOpen.end()) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (ShouldFail("WriteFile")) return FALSE;
  Written[path].append(static_cast<const char*>(data), size);
  if (written) *written = size;
  return TRUE;
}

BOOL TFakePlatform::FlushFileBuffers(HANDLE file) {
  auto it = FOpen.find(file);
  Record("FlushFileBuffers(" + (it == FOpen.end() ? std::string("?") : it->second.Path) + ")");
  return ShouldFail("FlushFileBuffers") ? FALSE : TRUE;
}

DWORD TFakePlatform::GetFileAttributesW(LPCWSTR name) {
  std::string path = name ? Utf8(name) : "null";
  Record("GetFileAttributesW(" + path + ")");
  auto it = FileAttributes.find(path);
  if (it != FileAttributes.end()) return it->second;
  ::SetLastError(ERROR_FILE_NOT_FOUND);
  return INVALID_FILE_ATTRIBUTES;
}

BOOL TFakePlatform::MoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags) {
  Record("MoveFileExW(" + (from ? Utf8(from) : std::string("null")) + ", " + (to ? Utf8(to) : std::string("null")) +
         ", " + Hex(flags) + ")");
  return ShouldFail("MoveFileExW") ? FALSE : TRUE;
}

// ---- folders ----

namespace {

// Copies a UTF-8 text out as UTF-16, as the wide calls answer.
DWORD CopyOutWide(const std::string& text, LPWSTR buffer, DWORD size) {
  std::wstring wide = Utf16(text);
  if (wide.size() >= size) return static_cast<DWORD>(wide.size() + 1);
  std::memcpy(buffer, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
  return static_cast<DWORD>(wide.size());
}

}  // namespace

DWORD TFakePlatform::GetTempPathW(DWORD size, LPWSTR buffer) {
  Record("GetTempPathW(" + std::to_string(size) + ")");
  return ShouldFail("GetTempPathW") ? 0 : CopyOutWide(TempPath, buffer, size);
}

UINT TFakePlatform::GetWindowsDirectoryW(LPWSTR buffer, UINT size) {
  Record("GetWindowsDirectoryW(" + std::to_string(size) + ")");
  return ShouldFail("GetWindowsDirectoryW") ? 0 : CopyOutWide(WindowsDir, buffer, size);
}

HRESULT TFakePlatform::SHGetFolderPathW(HWND, int csidl, HANDLE, DWORD flags, LPWSTR path) {
  Record("SHGetFolderPathW(" + Hex(csidl) + ", " + Hex(flags) + ")");
  if (ShouldFail("SHGetFolderPathW")) return E_FAIL;
  if (csidl != CSIDL_PROFILE) return E_INVALIDARG;
  return CopyOutWide(ProfileDir, path, MAX_PATH) < MAX_PATH ? S_OK : E_FAIL;
}

HRESULT TFakePlatform::SHGetKnownFolderPath(REFKNOWNFOLDERID id, DWORD flags, HANDLE, PWSTR* path) {
  std::string name = IsEqualGUID(id, FOLDERID_LocalAppData) ? "LocalAppData" : "LocalAppDataLow";
  Record("SHGetKnownFolderPath(" + name + ", " + Hex(flags) + ")");
  *path = nullptr;
  if (ShouldFail("SHGetKnownFolderPath")) return E_NOTIMPL;
  if (!KnownFolders.count(name)) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
  std::wstring wide = Utf16(KnownFolders[name]);
  *path = static_cast<PWSTR>(CoTaskMemAlloc((wide.size() + 1) * sizeof(wchar_t)));
  std::memcpy(*path, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
  return S_OK;
}

// ---- environment (kernel32) ----

DWORD TFakePlatform::GetEnvironmentVariableW(LPCWSTR name, LPWSTR buffer, DWORD size) {
  std::string text = name ? Utf8(name) : "null";
  Record("GetEnvironmentVariableW(" + text + ", " + std::to_string(size) + ")");
  if (ShouldFail("GetEnvironmentVariableW")) return 0;
  auto it = Environment.find(text);
  if (it == Environment.end()) {
    ::SetLastError(ERROR_ENVVAR_NOT_FOUND);
    return 0;
  }
  // Like the system: the length without the NUL, 0 for an empty value, the
  // size needed with the NUL when the buffer is too small.
  return CopyOutWide(it->second, buffer, size);
}

// ---- shell ----

namespace {

// A question window as the shell shows one, on the calling thread; true
// when someone closed it within 20 seconds.
bool AskAndWait() {
  HWND question = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "Confirm folder deletion", WS_POPUP | WS_VISIBLE, 100, 100,
                                  200, 80, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!question) return false;
  for (DWORD start = GetTickCount(); IsWindow(question) && GetTickCount() - start < 20000;) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  if (!IsWindow(question)) return true;
  DestroyWindow(question);
  return false;
}

}  // namespace

int TFakePlatform::SHFileOperationW(LPSHFILEOPSTRUCTW op) {
  TShellRequest request;
  request.Record = *op;
  // The cleaning steps pass a name buffer of 256 characters.
  if (op->pFrom) request.From.assign(op->pFrom, 256);
  ShellRequests.push_back(request);
  Record("SHFileOperationW(" + (op->pFrom ? Utf8(op->pFrom) : std::string("null")) + ", " + std::to_string(op->wFunc) +
         ", " + Hex(op->fFlags) + ")");
  if (ShouldFail("SHFileOperationW")) return static_cast<int>(FailureCode("SHFileOperationW"));
  if (BinUnreachable && (op->fFlags & FOF_ALLOWUNDO)) {
    if (!(op->fFlags & FOF_WANTNUKEWARNING)) {
      ++DeletedForGood;
    } else {
      // Answered or not, the question ends the operation; nobody said yes.
      QuestionsAnswered += AskAndWait();
      op->fAnyOperationsAborted = TRUE;
    }
  }
  return ShellResult;
}

void TFakePlatform::SHAddToRecentDocs(UINT flags, LPCVOID pv) {
  Record("SHAddToRecentDocs(" + Hex(flags) + ", " + (pv ? "data" : "null") + ")");
}

HINSTANCE TFakePlatform::ShellExecuteA(HWND hwnd, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                                       LPCSTR directory, INT show) {
  Record("ShellExecuteA(" + Hex(reinterpret_cast<std::uintptr_t>(hwnd)) + ", " + Text(operation) + ", " +
         Text(file) + ", " + Text(parameters) + ", " + Text(directory) + ", " + std::to_string(show) + ")");
  return reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(42));
}

HMODULE TFakePlatform::LoadLibraryA(LPCSTR name) {
  Record("LoadLibraryA(" + Text(name) + ")");
  if (ShouldFail("LoadLibraryA")) return nullptr;
  return reinterpret_cast<HMODULE>(NewHandle("library", Text(name)));
}

FARPROC TFakePlatform::GetProcAddress(HMODULE module, LPCSTR name) {
  Record("GetProcAddress(" + Text(name) + ")");
  if (!FOpen.count(reinterpret_cast<HANDLE>(module))) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  bool query = Text(name) == "SHQueryRecycleBinA";
  if (ShouldFail("GetProcAddress") || !HasRecycleFunction || (Text(name) != "SHEmptyRecycleBinA" && !query)) {
    ::SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  RecycleOwner = this;
  return query ? reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&FakeQueryRecycleBin))
               : reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&FakeEmptyRecycleBin));
}

BOOL TFakePlatform::FreeLibrary(HMODULE module) {
  Record("FreeLibrary()");
  return FOpen.erase(reinterpret_cast<HANDLE>(module)) ? TRUE : FALSE;
}

int TFakePlatform::MessageBoxA(HWND hwnd, LPCSTR text, LPCSTR caption, UINT type) {
  Record("MessageBoxA(" + Hex(reinterpret_cast<std::uintptr_t>(hwnd)) + ", " + Text(text) + ", " +
         Text(caption) + ", " + Hex(type) + ")");
  return ShowMessageBoxes ? ::MessageBoxA(hwnd, text, caption, type) : IDOK;
}

// ---- registry ----

namespace {

std::string RootText(HKEY key) {
  return key == HKEY_CURRENT_USER ? "HKCU" : Hex(reinterpret_cast<std::uintptr_t>(key));
}

}  // namespace

LSTATUS TFakePlatform::RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access,
                                     PHKEY result) {
  Record("RegOpenKeyExA(" + RootText(key) + ", " + Text(subKey) + ", " + std::to_string(options) +
         ", " + Hex(access) + ")");
  *result = nullptr;
  if (ShouldFail("RegOpenKeyExA")) return static_cast<LSTATUS>(FailureCode("RegOpenKeyExA"));
  if (key != HKEY_CURRENT_USER || !subKey || !Registry.count(subKey)) return ERROR_FILE_NOT_FOUND;
  *result = reinterpret_cast<HKEY>(NewHandle("key", subKey));
  return ERROR_SUCCESS;
}

LSTATUS TFakePlatform::RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE data,
                                        LPDWORD size) {
  auto it = FOpen.find(reinterpret_cast<HANDLE>(key));
  std::string path = it == FOpen.end() ? "?" : it->second.Path;
  Record("RegQueryValueExA(" + path + ", " + Text(name) + ", " + (type ? "type" : "null") + ", " +
         (data ? "data" : "null") + ", size=" + (size ? std::to_string(*size) : "null") + ")");
  if (it == FOpen.end() || it->second.Kind != "key") return ERROR_INVALID_HANDLE;
  if (ShouldFail("RegQueryValueExA")) return static_cast<LSTATUS>(FailureCode("RegQueryValueExA"));
  std::map<std::string, TRegValue>& values = Registry[path];
  auto value = values.find(Text(name));
  if (value == values.end()) return ERROR_FILE_NOT_FOUND;
  if (type) *type = value->second.Type;
  const std::string& bytes = value->second.Data;
  if (data && (!size || *size < bytes.size())) {
    if (size) *size = static_cast<DWORD>(bytes.size());
    return ERROR_MORE_DATA;
  }
  if (data) {
    std::memcpy(data, bytes.data(), bytes.size());
    // Guard bytes (no NUL among them) fill the rest of the caller's buffer,
    // so a reader that looks past the reported size finds them in its text.
    std::memset(data + bytes.size(), 0xA5, *size - bytes.size());
  }
  if (size) *size = static_cast<DWORD>(bytes.size());
  return ERROR_SUCCESS;
}

LSTATUS TFakePlatform::RegSetValueExA(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE* data,
                                      DWORD size) {
  auto it = FOpen.find(reinterpret_cast<HANDLE>(key));
  std::string path = it == FOpen.end() ? "?" : it->second.Path;
  Record("RegSetValueExA(" + path + ", " + Text(name) + ", " + std::to_string(type) + ", " +
         std::to_string(size) + ")");
  if (it == FOpen.end() || it->second.Kind != "key") return ERROR_INVALID_HANDLE;
  if (ShouldFail("RegSetValueExA")) return static_cast<LSTATUS>(FailureCode("RegSetValueExA"));
  Registry[path][Text(name)] = {type, std::string(reinterpret_cast<const char*>(data), size)};
  return ERROR_SUCCESS;
}

LSTATUS TFakePlatform::RegCloseKey(HKEY key) {
  auto it = FOpen.find(reinterpret_cast<HANDLE>(key));
  Record("RegCloseKey(" + (it == FOpen.end() ? std::string("?") : it->second.Path) + ")");
  if (it == FOpen.end() || it->second.Kind != "key") return ERROR_INVALID_HANDLE;
  FOpen.erase(it);
  return ShouldFail("RegCloseKey") ? static_cast<LSTATUS>(FailureCode("RegCloseKey")) : ERROR_SUCCESS;
}

LSTATUS TFakePlatform::RegEnumValueW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD, LPDWORD,
                                     LPBYTE, LPDWORD) {
  auto it = FOpen.find(reinterpret_cast<HANDLE>(key));
  if (it == FOpen.end() || it->second.Kind != "key") return ERROR_INVALID_HANDLE;
  Record("RegEnumValueW(" + it->second.Path + ", " + std::to_string(index) + ")");
  if (ShouldFail("RegEnumValueW")) return static_cast<LSTATUS>(FailureCode("RegEnumValueW"));
  const std::map<std::string, TRegValue>& values = Registry[it->second.Path];
  if (index >= values.size()) return ERROR_NO_MORE_ITEMS;
  *nameLength = CopyOutWide(std::next(values.begin(), index)->first, name, *nameLength);
  return ERROR_SUCCESS;
}

LSTATUS TFakePlatform::RegDeleteValueW(HKEY key, LPCWSTR name) {
  auto it = FOpen.find(reinterpret_cast<HANDLE>(key));
  if (it == FOpen.end() || it->second.Kind != "key") return ERROR_INVALID_HANDLE;
  Record("RegDeleteValueW(" + it->second.Path + ", " + Utf8(name) + ")");
  if (ShouldFail("RegDeleteValueW")) return static_cast<LSTATUS>(FailureCode("RegDeleteValueW"));
  return Registry[it->second.Path].erase(Utf8(name)) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

// ---- WinINet options ----

BOOL TFakePlatform::InternetSetOptionA(HINTERNET internet, DWORD option, LPVOID buffer,
                                       DWORD length) {
  Record(std::string("InternetSetOptionA(") + (internet ? "handle" : "null") + ", " +
         std::to_string(option) + ", " + (buffer ? "buffer" : "null") + ", " +
         std::to_string(length) + ")");
  return ShouldFail("InternetSetOptionA") ? FALSE : TRUE;
}

BOOL TFakePlatform::Shell_NotifyIconA(DWORD message, PNOTIFYICONDATAA data) {
  Record("Shell_NotifyIconA(" + std::to_string(message) + ", " + std::to_string(data->cbSize) + ", " +
         Hex(reinterpret_cast<std::uintptr_t>(data->hWnd)) + ", " + std::to_string(data->uID) + ", " +
         std::to_string(data->uFlags) + ", " + std::to_string(data->uCallbackMessage) + ", " +
         Hex(reinterpret_cast<std::uintptr_t>(data->hIcon)) + ", " + Text(data->szTip) + ")");
  NotifyRecords.push_back(*data);
  if (ShouldFail("Shell_NotifyIconA")) {
    SetLastError(FailureCode("Shell_NotifyIconA"));
    return FALSE;
  }
  return TRUE;
}

BOOL TFakePlatform::SetForegroundWindow(HWND window) {
  Record("SetForegroundWindow(" + Hex(reinterpret_cast<std::uintptr_t>(window)) + ")");
  return ::SetForegroundWindow(window);
}

BOOL TFakePlatform::PostMessageA(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  Record("PostMessageA(" + Hex(reinterpret_cast<std::uintptr_t>(window)) + ", " + Hex(msg) + ")");
  return ::PostMessageA(window, msg, wParam, lParam);
}

BOOL TFakePlatform::SystemParametersInfoA(UINT action, UINT param, PVOID data, UINT flags) {
  if (ShouldFail("SystemParametersInfoA")) return FALSE;
  if (action != SPI_GETHIGHCONTRAST) return ::SystemParametersInfoA(action, param, data, flags);
  auto* contrast = static_cast<HIGHCONTRASTA*>(data);
  contrast->dwFlags = HCF_AVAILABLE | (HighContrast ? HCF_HIGHCONTRASTON : 0);
  contrast->lpszDefaultScheme = nullptr;
  return TRUE;
}

UINT_PTR TFakePlatform::SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  Record("SetTimer(" + std::to_string(elapse) + ")");
  if (ShouldFail("SetTimer")) return 0;
  return ::SetTimer(hwnd, id, elapse, proc);
}

BOOL TFakePlatform::KillTimer(HWND hwnd, UINT_PTR id) {
  Record("KillTimer()");
  return ::KillTimer(hwnd, id);
}

// ---- what a path or a process really is, and names nobody uses ----

DWORD TFakePlatform::GetModuleFileNameW(HMODULE, LPWSTR name, DWORD size) {
  Record("GetModuleFileNameW(" + std::to_string(size) + ")");
  if (ShouldFail("GetModuleFileNameW")) return 0;
  std::wstring wide = Utf16(ModuleName);
  if (wide.size() >= size) {
    // As the system does: the name cut to the buffer, with its NUL.
    if (size) {
      std::memcpy(name, wide.data(), (size - 1) * sizeof(wchar_t));
      name[size - 1] = L'\0';
    }
    ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  std::memcpy(name, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
  return static_cast<DWORD>(wide.size());
}

BOOL TFakePlatform::GetFileInformationByHandle(HANDLE file, LPBY_HANDLE_FILE_INFORMATION info) {
  auto it = FOpen.find(file);
  std::string path = it == FOpen.end() ? "?" : it->second.Path;
  Record("GetFileInformationByHandle(" + path + ")");
  if (it == FOpen.end()) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (ShouldFail("GetFileInformationByHandle")) return FALSE;
  std::string name = ResolvedName(path);
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::size_t index = std::hash<std::string>{}(name);
  *info = BY_HANDLE_FILE_INFORMATION{};
  info->dwFileAttributes = AttributesOf(path);
  info->dwVolumeSerialNumber = 0x5057;
  info->nFileIndexHigh = static_cast<DWORD>(static_cast<unsigned long long>(index) >> 32);
  info->nFileIndexLow = static_cast<DWORD>(index);
  return TRUE;
}

DWORD TFakePlatform::GetFileType(HANDLE file) {
  auto it = FOpen.find(file);
  std::string path = it == FOpen.end() ? "?" : it->second.Path;
  for (const std::string& device : Devices)
    if (SameAscii(device, path)) return FILE_TYPE_CHAR;
  return it == FOpen.end() ? FILE_TYPE_UNKNOWN : FILE_TYPE_DISK;
}

UINT TFakePlatform::GetTempFileNameW(LPCWSTR folder, LPCWSTR prefix, UINT, LPWSTR name) {
  std::string base = Utf8(folder);
  Record("GetTempFileNameW(" + base + ", " + Utf8(prefix) + ")");
  if (ShouldFail("GetTempFileNameW")) return 0;
  if (!base.empty() && base.back() != '\\') base += '\\';
  static UINT counter = 0x100;
  std::string made = base + Utf8(prefix) + Hex(++counter).substr(2) + ".tmp";
  FileAttributes[made] = FILE_ATTRIBUTE_ARCHIVE;
  CopyOutWide(made, name, MAX_PATH);
  return counter;
}

HANDLE TFakePlatform::OpenProcess(DWORD access, BOOL, DWORD id) {
  Record("OpenProcess(" + Hex(access) + ", " + std::to_string(id) + ")");
  if (ShouldFail("OpenProcess")) return nullptr;
  return NewHandle("process", ProcessImage.empty() ? ModuleName : ProcessImage);
}

BOOL TFakePlatform::QueryFullProcessImageNameW(HANDLE process, DWORD, LPWSTR name, PDWORD size) {
  auto it = FOpen.find(process);
  Record("QueryFullProcessImageNameW(" + (it == FOpen.end() ? std::string("?") : it->second.Path) + ")");
  if (it == FOpen.end() || it->second.Kind != "process") {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (ShouldFail("QueryFullProcessImageNameW")) return FALSE;
  DWORD n = CopyOutWide(it->second.Path, name, *size);
  if (n >= *size) {
    ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  *size = n;
  return TRUE;
}

// ---- Display scale ----

UINT TFakePlatform::GetDpiForWindow(HWND hwnd) {
  return ShouldFail("GetDpiForWindow") ? 0 : SystemPlatform().GetDpiForWindow(hwnd);
}

int TFakePlatform::GetSystemMetricsForDpi(int index, UINT dpi) {
  return ShouldFail("GetSystemMetricsForDpi") ? 0 : SystemPlatform().GetSystemMetricsForDpi(index, dpi);
}

BOOL TFakePlatform::SystemParametersInfoForDpi(UINT action, UINT param, PVOID data, UINT flags, UINT dpi) {
  if (ShouldFail("SystemParametersInfoForDpi")) return FALSE;
  if (!SystemPlatform().SystemParametersInfoForDpi(action, param, data, flags, dpi)) return FALSE;
  if (action == SPI_GETNONCLIENTMETRICS && MenuFont.lfFaceName[0])
    static_cast<NONCLIENTMETRICSW*>(data)->lfMenuFont = MenuFont;
  return TRUE;
}

BOOL TFakePlatform::AdjustWindowRectExForDpi(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle, UINT dpi) {
  if (ShouldFail("AdjustWindowRectExForDpi")) return FALSE;
  return SystemPlatform().AdjustWindowRectExForDpi(rect, style, menu, exStyle, dpi);
}

HRESULT TFakePlatform::LoadIconMetric(HINSTANCE instance, PCWSTR name, int metric, HICON* icon) {
  if (ShouldFail("LoadIconMetric")) return E_NOTIMPL;
  return SystemPlatform().LoadIconMetric(instance, name, metric, icon);
}
