// Test double of the platform layer. It records every call as text
// ("Name(arg, arg)"), answers from scripted data and can make any call fail.
#pragma once
#include <urlhist.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

class TFakePlatform;

// The double keeps names in UTF-8; the system's wide names convert both ways.
std::string Utf8(std::wstring_view text);
std::wstring Utf16(std::string_view text);
// A UTF-8 literal (u8"...") as the double's names are kept.
inline std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// A URL history object whose calls are recorded by its platform.
class TFakeHistory final : public IUrlHistoryStg2 {
public:
  explicit TFakeHistory(TFakePlatform& owner) : FOwner(owner) {}
  virtual ~TFakeHistory() = default;
  ULONG RefCount() const { return FRefs; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++FRefs; }
  ULONG STDMETHODCALLTYPE Release() override { return --FRefs; }
  HRESULT STDMETHODCALLTYPE AddUrl(LPCOLESTR, LPCOLESTR, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeleteUrl(LPCOLESTR, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryUrl(LPCOLESTR, DWORD, LPSTATURL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE BindToObject(LPCOLESTR, REFIID, void**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumUrls(IEnumSTATURL**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE AddUrlAndNotify(LPCOLESTR, LPCOLESTR, DWORD, WINBOOL, IOleCommandTarget*,
                                            IUnknown*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ClearHistory() override;

private:
  TFakePlatform& FOwner;
  ULONG FRefs = 0;
};

// Tests may derive from it to act at the moment a call is made.
class TFakePlatform : public TPlatform {
public:
  // One scripted URL cache entry. Size, when not 0, replaces the size the
  // record would need (the record is then cut to it). As on Windows, an
  // enumeration with a null pattern skips the entries whose URL starts with
  // "Cookie:" or "Visited:"; the patterns "cookie:" and "visited:" return those.
  struct TCacheEntry {
    std::string Url;
    bool HasUrl = true;
    DWORD Size = 0;
  };
  struct TFileEntry {
    std::string Name;
    DWORD Attributes = FILE_ATTRIBUTE_ARCHIVE;
  };
  // A captured SHFileOperationW request with its 256-character name buffer.
  struct TShellRequest {
    SHFILEOPSTRUCTW Record{};
    std::wstring From;
  };

  TFakePlatform() = default;
  ~TFakePlatform() override;

  // ---- recording and failures ----
  std::vector<std::string> Calls;
  // Calls whose text starts with the name.
  std::vector<std::string> CallsOf(const std::string& name) const;
  // Calls of the name fail once `succeeding` of them have succeeded; the
  // error goes to SetLastError, or is the HRESULT returned by COM calls.
  void Fail(const std::string& name, int succeeding = 0, DWORD error = ERROR_ACCESS_DENIED);
  // Lets calls of the name succeed again.
  void StopFailing(const std::string& name) { FFailures.erase(name); }
  // Handles handed out and not yet closed (searches, files, enumerations).
  int OpenHandles() const { return static_cast<int>(FOpen.size()); }

  // ---- scripted data ----
  std::vector<TCacheEntry> Cache;
  // The folders the temp purge sees, all names in UTF-8: folder path (as
  // opened, without a trailing backslash) -> its entries, which a listing
  // hands out after "." and "..", ListBatch to a call.
  std::map<std::string, std::vector<TFileEntry>> Folders;
  std::size_t ListBatch = 64;
  // Path -> the name the file system resolves it to (a short name, a link);
  // any other path resolves to itself.
  std::map<std::string, std::string> FinalNames;
  // Path -> attributes of the object an open finds there, where they differ
  // from the listing's (a link swapped in after the listing).
  std::map<std::string, DWORD> OpenedAttributes;
  std::string TempPath = "C:\\Users\\Test\\AppData\\Local\\Temp\\";
  std::string WindowsDir = "C:\\Windows";
  std::string ProfileDir = "C:\\Users\\Test";
  std::string ModuleName = "C:\\Programme\\Spurwisch\\spurwisch.exe";
  // Environment (kernel32): name -> value; a name that is missing is not set.
  std::map<std::string, std::string> Environment = {
      {"TMP", "C:\\Users\\Test\\AppData\\Local\\Temp"},
      {"TEMP", "C:\\Users\\Test\\AppData\\Local\\Temp"},
      {"USERPROFILE", "C:\\Users\\Test"}};
  bool HasRecycleFunction = true;
  // What SHQueryRecycleBinA finds in the bin.
  unsigned long long BinItems = 0, BinBytes = 0;
  int ShellResult = 0;
  std::vector<TShellRequest> ShellRequests;
  std::vector<std::unique_ptr<TFakeHistory>> HistoryObjects;

  // ---- scripted registry below HKEY_CURRENT_USER ----
  struct TRegValue {
    DWORD Type = REG_SZ;
    std::string Data;  // the raw bytes, NUL included where there is one
  };
  // Key path -> value name -> value. A key that is not listed does not exist
  // (and is never created); failures of the Reg calls return the error code.
  // A read fills the rest of the caller's buffer with guard bytes (0xA5), so
  // a reader that looks past the reported size finds them.
  std::map<std::string, std::map<std::string, TRegValue>> Registry;

  // ---- TPlatform ----
  HRESULT CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid,
                           LPVOID* ppv) override;
  HANDLE FindFirstUrlCacheEntryA(LPCSTR pattern, LPINTERNET_CACHE_ENTRY_INFOA info,
                                 LPDWORD size) override;
  BOOL FindNextUrlCacheEntryA(HANDLE handle, LPINTERNET_CACHE_ENTRY_INFOA info,
                              LPDWORD size) override;
  BOOL DeleteUrlCacheEntryA(LPCSTR url) override;
  BOOL FindCloseUrlCache(HANDLE handle) override;
  BOOL DeleteFileW(LPCWSTR name) override;
  HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                     DWORD disposition, DWORD flags, HANDLE templateFile) override;
  // Opens ObjectAttributes' name relative to its RootDirectory; records the
  // joined path. Fails with STATUS_ACCESS_DENIED when made to fail.
  NTSTATUS NtOpenFile(PHANDLE file, ACCESS_MASK access, POBJECT_ATTRIBUTES attributes,
                      PIO_STATUS_BLOCK status, ULONG share, ULONG options) override;
  DWORD GetFinalPathNameByHandleW(HANDLE file, LPWSTR path, DWORD size, DWORD flags) override;
  // Listings (FileFullDirectory[Restart]Info) from Folders; FileBasicInfo
  // the attributes.
  BOOL GetFileInformationByHandleEx(HANDLE file, FILE_INFO_BY_HANDLE_CLASS infoClass, LPVOID info,
                                    DWORD size) override;
  BOOL SetFileInformationByHandle(HANDLE file, FILE_INFO_BY_HANDLE_CLASS infoClass, LPVOID info,
                                  DWORD size) override;
  BOOL CloseHandle(HANDLE object) override;
  // Writes to a handle from CreateFileW are kept per path in Written.
  BOOL WriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written,
                 LPOVERLAPPED overlapped) override;
  BOOL FlushFileBuffers(HANDLE file) override;
  // From FileAttributes; a path not listed does not exist.
  DWORD GetFileAttributesW(LPCWSTR name) override;
  std::map<std::string, DWORD> FileAttributes;
  BOOL MoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags) override;
  std::map<std::string, std::string> Written;
  DWORD GetTempPathW(DWORD size, LPWSTR buffer) override;
  UINT GetWindowsDirectoryW(LPWSTR buffer, UINT size) override;
  HRESULT SHGetFolderPathW(HWND hwnd, int csidl, HANDLE token, DWORD flags, LPWSTR path) override;
  // From KnownFolders ("LocalAppData", "LocalAppDataLow" -> path, in a
  // CoTaskMemAlloc block); a folder not listed is missing. Made to fail, it
  // answers E_NOTIMPL, as the real layer does where the call is missing.
  HRESULT SHGetKnownFolderPath(REFKNOWNFOLDERID id, DWORD flags, HANDLE token, PWSTR* path) override;
  std::map<std::string, std::string> KnownFolders;
  // Environment (kernel32)
  DWORD GetEnvironmentVariableW(LPCWSTR name, LPWSTR buffer, DWORD size) override;

  int SHFileOperationW(LPSHFILEOPSTRUCTW op) override;
  void SHAddToRecentDocs(UINT flags, LPCVOID pv) override;
  // Opens nothing; answers as a started program would (a value above 32).
  HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                          INT show) override;
  HMODULE LoadLibraryA(LPCSTR name) override;
  FARPROC GetProcAddress(HMODULE module, LPCSTR name) override;
  BOOL FreeLibrary(HMODULE module) override;
  // Recorded and answered IDOK at once, unless ShowMessageBoxes passes
  // them to the system (for tests of a box's look).
  int MessageBoxA(HWND hwnd, LPCSTR text, LPCSTR caption, UINT type) override;
  bool ShowMessageBoxes = false;
  // Recorded as "Shell_NotifyIconA(NIM, cbSize, hWnd, uID, uFlags, uCallbackMessage, hIcon, tip)";
  // the records themselves are kept in NotifyRecords.
  BOOL Shell_NotifyIconA(DWORD message, PNOTIFYICONDATAA data) override;
  std::vector<NOTIFYICONDATAA> NotifyRecords;

  // Registry (advapi32)
  LSTATUS RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access,
                        PHKEY result) override;
  LSTATUS RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                           LPDWORD size) override;
  LSTATUS RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data,
                         DWORD size) override;
  LSTATUS RegCloseKey(HKEY key) override;
  // The values of Registry in the order of their names.
  LSTATUS RegEnumValueW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD reserved, LPDWORD type,
                        LPBYTE data, LPDWORD size) override;
  LSTATUS RegDeleteValueW(HKEY key, LPCWSTR name) override;

  // WinINet options
  BOOL InternetSetOptionA(HINTERNET internet, DWORD option, LPVOID buffer, DWORD length) override;

  // Windows: recorded, then passed to the system.
  BOOL SetForegroundWindow(HWND window) override;
  BOOL PostMessageA(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) override;
  // System settings: SPI_GETHIGHCONTRAST answers HighContrast (on or off,
  // as a test sets it); every other action goes to the system. Not recorded.
  BOOL SystemParametersInfoA(UINT action, UINT param, PVOID data, UINT flags) override;
  bool HighContrast = false;

  // Timers are real unless made to fail.
  UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) override;
  BOOL KillTimer(HWND hwnd, UINT_PTR id) override;

  // ---- What a path or a process really is, and names nobody uses ----
  // A file opened to read its data (GENERIC_READ, OPEN_EXISTING) is the real
  // one, so tests can put a settings file into a sandbox folder; its handle
  // is closed through the real system too. CREATE_NEW fails with
  // ERROR_FILE_EXISTS for a path listed in FileAttributes.
  // ModuleName, cut as the system cuts it (ERROR_INSUFFICIENT_BUFFER).
  DWORD GetModuleFileNameW(HMODULE module, LPWSTR name, DWORD size) override;
  // The identity of the name a path resolves to (FinalNames), without
  // regard to case; attributes as FileBasicInfo gives them.
  BOOL GetFileInformationByHandle(HANDLE file, LPBY_HANDLE_FILE_INFORMATION info) override;
  // FILE_TYPE_CHAR for the paths in Devices, FILE_TYPE_DISK for the others.
  DWORD GetFileType(HANDLE file) override;
  std::vector<std::string> Devices;
  // "<folder>\<prefix><n>.tmp", listed in FileAttributes as made.
  UINT GetTempFileNameW(LPCWSTR folder, LPCWSTR prefix, UINT unique, LPWSTR name) override;
  // Every process runs ProcessImage, or ModuleName while that is empty.
  HANDLE OpenProcess(DWORD access, BOOL inherit, DWORD id) override;
  BOOL QueryFullProcessImageNameW(HANDLE process, DWORD flags, LPWSTR name, PDWORD size) override;
  std::string ProcessImage;
  // The recycle bin cannot take what the shell deletes (as Wine's trash
  // when it cannot be reached): with FOF_WANTNUKEWARNING the shell shows a
  // question window on the calling thread and waits until it is closed
  // (QuestionsAnswered), which aborts the operation; without it the folder
  // is deleted for good and counted in DeletedForGood.
  bool BinUnreachable = false;
  int DeletedForGood = 0;
  int QuestionsAnswered = 0;

  // ---- Display scale: passed to the system unless made to fail, which
  // answers as a Windows without the function does (Fail("GetDpiForWindow")).
  // Not recorded: every paint and menu message asks them.
  UINT GetDpiForWindow(HWND hwnd) override;
  int GetSystemMetricsForDpi(int index, UINT dpi) override;
  // SPI_GETNONCLIENTMETRICS answers MenuFont as the menu font where a test
  // set one (lfFaceName not empty), for every DPI.
  BOOL SystemParametersInfoForDpi(UINT action, UINT param, PVOID data, UINT flags, UINT dpi) override;
  LOGFONTW MenuFont{};
  BOOL AdjustWindowRectExForDpi(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle, UINT dpi) override;
  HRESULT LoadIconMetric(HINSTANCE instance, PCWSTR name, int metric, HICON* icon) override;

  // Used by the fake history object and the fake recycle bin function.
  void Record(std::string call) { Calls.push_back(std::move(call)); }
  bool ShouldFail(const std::string& name);
  DWORD FailureCode(const std::string& name) const;

private:
  struct TFailure {
    int Succeeding;
    DWORD Error;
  };
  struct TOpen {
    std::string Kind, Path;
    std::size_t Next = 0;  // listings: index of the next entry
  };
  std::map<std::string, TFailure> FFailures;
  std::map<HANDLE, TOpen> FOpen;
  std::vector<HANDLE> FRealFiles;  // handles of the real system, for reading
  std::uintptr_t FNextHandle = 0x1000;

  HANDLE NewHandle(const std::string& kind, const std::string& path);
  std::string ResolvedName(const std::string& path) const;
  DWORD AttributesOf(const std::string& path) const;
  BOOL ListInto(TOpen& open, bool restart, LPVOID info, DWORD size);
  // The index-th entry that an enumeration with the pattern returns.
  const TCacheEntry* CacheEntry(LPCSTR pattern, std::size_t index) const;
  bool FetchCacheRecord(const TCacheEntry* entry, LPINTERNET_CACHE_ENTRY_INFOA info, LPDWORD size);
};
