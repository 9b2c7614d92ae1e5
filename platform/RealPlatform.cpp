// The real platform: each method forwards to the system function.
#include "platform/Platform.h"

namespace {

class TRealPlatform final : public TPlatform {
public:
  HRESULT CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid,
                           LPVOID* ppv) override {
    return ::CoCreateInstance(rclsid, pUnkOuter, dwClsContext, riid, ppv);
  }

  HANDLE FindFirstUrlCacheEntryA(LPCSTR pattern, LPINTERNET_CACHE_ENTRY_INFOA info,
                                 LPDWORD size) override {
    return ::FindFirstUrlCacheEntryA(pattern, info, size);
  }
  BOOL FindNextUrlCacheEntryA(HANDLE handle, LPINTERNET_CACHE_ENTRY_INFOA info,
                              LPDWORD size) override {
    return ::FindNextUrlCacheEntryA(handle, info, size);
  }
  BOOL DeleteUrlCacheEntryA(LPCSTR url) override { return ::DeleteUrlCacheEntryA(url); }
  BOOL FindCloseUrlCache(HANDLE handle) override { return ::FindCloseUrlCache(handle); }

  HANDLE FindFirstFileA(LPCSTR name, LPWIN32_FIND_DATAA data) override {
    return ::FindFirstFileA(name, data);
  }
  BOOL FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA data) override {
    return ::FindNextFileA(find, data);
  }
  BOOL FindClose(HANDLE find) override { return ::FindClose(find); }
  BOOL DeleteFileA(LPCSTR name) override { return ::DeleteFileA(name); }
  HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                     DWORD disposition, DWORD flags, HANDLE templateFile) override {
    return ::CreateFileA(name, access, share, security, disposition, flags, templateFile);
  }
  DWORD GetFinalPathNameByHandleA(HANDLE file, LPSTR path, DWORD size, DWORD flags) override {
    return ::GetFinalPathNameByHandleA(file, path, size, flags);
  }
  BOOL SetFileInformationByHandle(HANDLE file, FILE_INFO_BY_HANDLE_CLASS infoClass, LPVOID info,
                                  DWORD size) override {
    return ::SetFileInformationByHandle(file, infoClass, info, size);
  }
  BOOL CloseHandle(HANDLE object) override { return ::CloseHandle(object); }
  BOOL WriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written,
                 LPOVERLAPPED overlapped) override {
    return ::WriteFile(file, data, size, written, overlapped);
  }
  BOOL FlushFileBuffers(HANDLE file) override { return ::FlushFileBuffers(file); }
  DWORD GetFileAttributesA(LPCSTR name) override { return ::GetFileAttributesA(name); }
  BOOL MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags) override {
    return ::MoveFileExA(from, to, flags);
  }

  DWORD GetTempPathA(DWORD size, LPSTR buffer) override { return ::GetTempPathA(size, buffer); }
  DWORD GetModuleFileNameA(HMODULE module, LPSTR name, DWORD size) override {
    return ::GetModuleFileNameA(module, name, size);
  }
  UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) override {
    return ::GetWindowsDirectoryA(buffer, size);
  }
  HRESULT SHGetFolderPathA(HWND hwnd, int csidl, HANDLE token, DWORD flags, LPSTR path) override {
    return ::SHGetFolderPathA(hwnd, csidl, token, flags, path);
  }

  // Environment (kernel32)
  DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size) override {
    return ::GetEnvironmentVariableA(name, buffer, size);
  }

  int SHFileOperationA(LPSHFILEOPSTRUCTA op) override { return ::SHFileOperationA(op); }
  void SHAddToRecentDocs(UINT flags, LPCVOID pv) override { ::SHAddToRecentDocs(flags, pv); }
  HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                          INT show) override {
    return ::ShellExecuteA(hwnd, operation, file, parameters, directory, show);
  }

  HMODULE LoadLibraryA(LPCSTR name) override { return ::LoadLibraryA(name); }
  FARPROC GetProcAddress(HMODULE module, LPCSTR name) override {
    return ::GetProcAddress(module, name);
  }
  BOOL FreeLibrary(HMODULE module) override { return ::FreeLibrary(module); }

  int MessageBoxA(HWND hwnd, LPCSTR text, LPCSTR caption, UINT type) override {
    return ::MessageBoxA(hwnd, text, caption, type);
  }

  // Registry (advapi32)
  LSTATUS RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access,
                        PHKEY result) override {
    return ::RegOpenKeyExA(key, subKey, options, access, result);
  }
  LSTATUS RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                           LPDWORD size) override {
    return ::RegQueryValueExA(key, name, reserved, type, data, size);
  }
  LSTATUS RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data,
                         DWORD size) override {
    return ::RegSetValueExA(key, name, reserved, type, data, size);
  }
  LSTATUS RegCloseKey(HKEY key) override { return ::RegCloseKey(key); }

  // WinINet options
  BOOL InternetSetOptionA(HINTERNET internet, DWORD option, LPVOID buffer, DWORD length) override {
    return ::InternetSetOptionA(internet, option, buffer, length);
  }

  BOOL Shell_NotifyIconA(DWORD message, PNOTIFYICONDATAA data) override {
    return ::Shell_NotifyIconA(message, data);
  }

  BOOL SetForegroundWindow(HWND window) override { return ::SetForegroundWindow(window); }
  BOOL PostMessageA(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) override {
    return ::PostMessageA(window, msg, wParam, lParam);
  }

  UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) override {
    return ::SetTimer(hwnd, id, elapse, proc);
  }
  BOOL KillTimer(HWND hwnd, UINT_PTR id) override { return ::KillTimer(hwnd, id); }
};

TRealPlatform RealPlatform;
TPlatform* Current = &RealPlatform;

}  // namespace

TPlatform& Platform() { return *Current; }

TPlatformGuard::TPlatformGuard(TPlatform& platform) : FPrevious(Current) { Current = &platform; }

TPlatformGuard::~TPlatformGuard() { Current = FPrevious; }
