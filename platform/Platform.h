// The thin layer over the system calls of the cleaning steps, start-up and
// the browser settings, the tray icon and the splash picture.
// Every call goes through the current TPlatform, so tests can install a
// double that records the calls and makes any of them fail.
#pragma once
#include <windows.h>
#include <winternl.h>
#include <wininet.h>
#include <shellapi.h>
#include <shlobj.h>

// One virtual per system call, named and typed like the Win32 function.
class TPlatform {
public:
  virtual ~TPlatform() = default;

  // COM (ole32)
  virtual HRESULT CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext,
                                   REFIID riid, LPVOID* ppv) = 0;

  // WinINet URL cache. DeleteUrlCacheEntry is the ANSI DeleteUrlCacheEntryA.
  virtual HANDLE FindFirstUrlCacheEntryA(LPCSTR lpszUrlSearchPattern,
                                         LPINTERNET_CACHE_ENTRY_INFOA lpFirstCacheEntryInfo,
                                         LPDWORD lpcbCacheEntryInfo) = 0;
  virtual BOOL FindNextUrlCacheEntryA(HANDLE hEnumHandle,
                                      LPINTERNET_CACHE_ENTRY_INFOA lpNextCacheEntryInfo,
                                      LPDWORD lpcbCacheEntryInfo) = 0;
  virtual BOOL DeleteUrlCacheEntryA(LPCSTR lpszUrlName) = 0;
  virtual BOOL FindCloseUrlCache(HANDLE hEnumHandle) = 0;

  // Files and folders (kernel32)
  virtual BOOL DeleteFileW(LPCWSTR lpFileName) = 0;
  virtual HANDLE CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                             LPSECURITY_ATTRIBUTES lpSecurityAttributes,
                             DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes,
                             HANDLE hTemplateFile) = 0;
  virtual DWORD GetFinalPathNameByHandleW(HANDLE hFile, LPWSTR lpszFilePath, DWORD cchFilePath,
                                          DWORD dwFlags) = 0;
  virtual BOOL GetFileInformationByHandleEx(HANDLE hFile,
                                            FILE_INFO_BY_HANDLE_CLASS FileInformationClass,
                                            LPVOID lpFileInformation, DWORD dwBufferSize) = 0;
  virtual BOOL SetFileInformationByHandle(HANDLE hFile,
                                          FILE_INFO_BY_HANDLE_CLASS FileInformationClass,
                                          LPVOID lpFileInformation, DWORD dwBufferSize) = 0;
  virtual BOOL CloseHandle(HANDLE hObject) = 0;
  virtual BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                         LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped) = 0;
  virtual BOOL FlushFileBuffers(HANDLE hFile) = 0;
  virtual DWORD GetFileAttributesW(LPCWSTR lpFileName) = 0;
  virtual BOOL MoveFileExW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, DWORD dwFlags) = 0;

  // An entry opened relative to its folder's handle (ntdll); ObjectAttributes
  // carries the folder as RootDirectory and the entry's name.
  virtual NTSTATUS NtOpenFile(PHANDLE FileHandle, ACCESS_MASK DesiredAccess,
                              POBJECT_ATTRIBUTES ObjectAttributes, PIO_STATUS_BLOCK IoStatusBlock,
                              ULONG ShareAccess, ULONG OpenOptions) = 0;

  // Well-known folders and the program's own file
  virtual DWORD GetTempPathW(DWORD nBufferLength, LPWSTR lpBuffer) = 0;
  virtual UINT GetWindowsDirectoryW(LPWSTR lpBuffer, UINT uSize) = 0;
  virtual HRESULT SHGetFolderPathW(HWND hwnd, int csidl, HANDLE hToken, DWORD dwFlags,
                                   LPWSTR pszPath) = 0;
  // Windows before Vista lacks it: the real layer looks it up at run time
  // and answers E_NOTIMPL when it is missing. The caller frees the path
  // with CoTaskMemFree.
  virtual HRESULT SHGetKnownFolderPath(REFKNOWNFOLDERID rfid, DWORD dwFlags, HANDLE hToken,
                                       PWSTR* ppszPath) = 0;

  // Environment (kernel32)
  virtual DWORD GetEnvironmentVariableW(LPCWSTR lpName, LPWSTR lpBuffer, DWORD nSize) = 0;

  // Shell (shell32)
  virtual int SHFileOperationW(LPSHFILEOPSTRUCTW lpFileOp) = 0;
  virtual void SHAddToRecentDocs(UINT uFlags, LPCVOID pv) = 0;
  virtual HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters,
                                  LPCSTR lpDirectory, INT nShowCmd) = 0;

  // Libraries looked up at run time (kernel32)
  virtual HMODULE LoadLibraryA(LPCSTR lpLibFileName) = 0;
  virtual FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName) = 0;
  virtual BOOL FreeLibrary(HMODULE hLibModule) = 0;

  // Messages to the user (user32)
  virtual int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) = 0;

  // Registry (advapi32). The Reg functions return their error code.
  virtual LSTATUS RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                                PHKEY phkResult) = 0;
  virtual LSTATUS RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved,
                                   LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) = 0;
  virtual LSTATUS RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType,
                                 const BYTE* lpData, DWORD cbData) = 0;
  virtual LSTATUS RegCloseKey(HKEY hKey) = 0;
  // Value names in UTF-16, so every name is carried exactly.
  virtual LSTATUS RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcchValueName,
                                LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) = 0;
  virtual LSTATUS RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName) = 0;

  // WinINet options
  virtual BOOL InternetSetOptionA(HINTERNET hInternet, DWORD dwOption, LPVOID lpBuffer,
                                  DWORD dwBufferLength) = 0;

  // Notification area (shell32)
  virtual BOOL Shell_NotifyIconA(DWORD dwMessage, PNOTIFYICONDATAA lpData) = 0;

  // Windows (user32)
  virtual BOOL SetForegroundWindow(HWND hWnd) = 0;
  virtual BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) = 0;
  // System settings: high contrast, the non-client metrics (menu font).
  virtual BOOL SystemParametersInfoA(UINT uiAction, UINT uiParam, PVOID pvParam, UINT fWinIni) = 0;

  // Timers (user32)
  virtual UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) = 0;
  virtual BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent) = 0;

  // ---- What a path or a process really is, and names nobody uses ----
  // The program's own file, however long its path and whatever its script.
  virtual DWORD GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize) = 0;
  // Volume serial number and file index: the same object whatever path led to it.
  virtual BOOL GetFileInformationByHandle(HANDLE hFile, LPBY_HANDLE_FILE_INFORMATION lpFileInformation) = 0;
  // FILE_TYPE_DISK for a file or folder; a device or a pipe answers otherwise.
  virtual DWORD GetFileType(HANDLE hFile) = 0;
  // Creates an empty file of a new name in the folder (uUnique 0).
  virtual UINT GetTempFileNameW(LPCWSTR lpPathName, LPCWSTR lpPrefixString, UINT uUnique,
                                LPWSTR lpTempFileName) = 0;
  virtual HANDLE OpenProcess(DWORD dwDesiredAccess, BOOL bInheritHandle, DWORD dwProcessId) = 0;
  virtual BOOL QueryFullProcessImageNameW(HANDLE hProcess, DWORD dwFlags, LPWSTR lpExeName,
                                          PDWORD lpdwSize) = 0;

  // ---- Display scale (user32, comctl32) ----
  // Windows before 10 (1607) lacks the first four, Windows 7 also
  // LoadIconMetric (which the real layer uses only while comctl32 is mapped
  // anyway). The real layer looks each one up at run time; a missing one
  // answers as a failed call does (0, FALSE, E_NOTIMPL), and the callers
  // then fall back to the system's one DPI (LoadImage at the size).
  virtual UINT GetDpiForWindow(HWND hwnd) = 0;
  virtual int GetSystemMetricsForDpi(int nIndex, UINT dpi) = 0;
  virtual BOOL SystemParametersInfoForDpi(UINT uiAction, UINT uiParam, PVOID pvParam, UINT fWinIni,
                                          UINT dpi) = 0;
  virtual BOOL AdjustWindowRectExForDpi(LPRECT lpRect, DWORD dwStyle, BOOL bMenu, DWORD dwExStyle,
                                        UINT dpi) = 0;
  virtual HRESULT LoadIconMetric(HINSTANCE hinst, PCWSTR pszName, int lims, HICON* phico) = 0;
};

// The current instance: the real implementation unless a test installed
// another one.
TPlatform& Platform();

// The real implementation, for doubles that pass a call on to the system.
TPlatform& SystemPlatform();

// Installs a platform for the guard's lifetime and restores the previous one.
class TPlatformGuard {
public:
  explicit TPlatformGuard(TPlatform& platform);
  ~TPlatformGuard();
  TPlatformGuard(const TPlatformGuard&) = delete;
  TPlatformGuard& operator=(const TPlatformGuard&) = delete;

private:
  TPlatform* FPrevious;
};
