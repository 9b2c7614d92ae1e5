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

  BOOL DeleteFileW(LPCWSTR name) override { return ::DeleteFileW(name); }
  HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                     DWORD disposition, DWORD flags, HANDLE templateFile) override {
    return ::CreateFileW(name, access, share, security, disposition, flags, templateFile);
  }
  DWORD GetFinalPathNameByHandleW(HANDLE file, LPWSTR path, DWORD size, DWORD flags) override {
    return ::GetFinalPathNameByHandleW(file, path, size, flags);
  }
  BOOL GetFileInformationByHandleEx(HANDLE file, FILE_INFO_BY_HANDLE_CLASS infoClass, LPVOID info,
                                    DWORD size) override {
    return ::GetFileInformationByHandleEx(file, infoClass, info, size);
  }
  NTSTATUS NtOpenFile(PHANDLE file, ACCESS_MASK access, POBJECT_ATTRIBUTES attributes,
                      PIO_STATUS_BLOCK status, ULONG share, ULONG options) override {
    return ::NtOpenFile(file, access, attributes, status, share, options);
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
  DWORD GetFileAttributesW(LPCWSTR name) override { return ::GetFileAttributesW(name); }
  BOOL MoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags) override {
    return ::MoveFileExW(from, to, flags);
  }

  DWORD GetTempPathW(DWORD size, LPWSTR buffer) override { return ::GetTempPathW(size, buffer); }
  UINT GetWindowsDirectoryW(LPWSTR buffer, UINT size) override {
    return ::GetWindowsDirectoryW(buffer, size);
  }
  HRESULT SHGetFolderPathW(HWND hwnd, int csidl, HANDLE token, DWORD flags, LPWSTR path) override {
    return ::SHGetFolderPathW(hwnd, csidl, token, flags, path);
  }
  HRESULT SHGetKnownFolderPath(REFKNOWNFOLDERID id, DWORD flags, HANDLE token, PWSTR* path) override {
    using TGetKnownFolderPath = HRESULT(WINAPI*)(REFKNOWNFOLDERID, DWORD, HANDLE, PWSTR*);
    static const auto function = Lookup<TGetKnownFolderPath>("shell32.dll", "SHGetKnownFolderPath");
    if (path) *path = nullptr;
    return function ? function(id, flags, token, path) : E_NOTIMPL;
  }

  // Environment (kernel32)
  DWORD GetEnvironmentVariableW(LPCWSTR name, LPWSTR buffer, DWORD size) override {
    return ::GetEnvironmentVariableW(name, buffer, size);
  }

  int SHFileOperationW(LPSHFILEOPSTRUCTW op) override { return ::SHFileOperationW(op); }
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
  LSTATUS RegEnumValueW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD reserved, LPDWORD type,
                        LPBYTE data, LPDWORD size) override {
    return ::RegEnumValueW(key, index, name, nameLength, reserved, type, data, size);
  }
  LSTATUS RegDeleteValueW(HKEY key, LPCWSTR name) override { return ::RegDeleteValueW(key, name); }

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
  BOOL SystemParametersInfoA(UINT action, UINT param, PVOID data, UINT flags) override {
    return ::SystemParametersInfoA(action, param, data, flags);
  }

  UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) override {
    return ::SetTimer(hwnd, id, elapse, proc);
  }
  BOOL KillTimer(HWND hwnd, UINT_PTR id) override { return ::KillTimer(hwnd, id); }

  // What a path or a process really is, and names nobody uses
  DWORD GetModuleFileNameW(HMODULE module, LPWSTR name, DWORD size) override {
    return ::GetModuleFileNameW(module, name, size);
  }
  BOOL GetFileInformationByHandle(HANDLE file, LPBY_HANDLE_FILE_INFORMATION info) override {
    return ::GetFileInformationByHandle(file, info);
  }
  DWORD GetFileType(HANDLE file) override { return ::GetFileType(file); }
  UINT GetTempFileNameW(LPCWSTR folder, LPCWSTR prefix, UINT unique, LPWSTR name) override {
    return ::GetTempFileNameW(folder, prefix, unique, name);
  }
  HANDLE OpenProcess(DWORD access, BOOL inherit, DWORD id) override { return ::OpenProcess(access, inherit, id); }
  BOOL QueryFullProcessImageNameW(HANDLE process, DWORD flags, LPWSTR name, PDWORD size) override {
    return ::QueryFullProcessImageNameW(process, flags, name, size);
  }

  // ---- Display scale ----
  UINT GetDpiForWindow(HWND hwnd) override {
    static const auto function = Lookup<UINT(WINAPI*)(HWND)>("user32.dll", "GetDpiForWindow");
    return function ? function(hwnd) : 0;
  }
  int GetSystemMetricsForDpi(int index, UINT dpi) override {
    static const auto function = Lookup<int(WINAPI*)(int, UINT)>("user32.dll", "GetSystemMetricsForDpi");
    return function ? function(index, dpi) : 0;
  }
  BOOL SystemParametersInfoForDpi(UINT action, UINT param, PVOID data, UINT flags, UINT dpi) override {
    static const auto function =
        Lookup<BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT)>("user32.dll", "SystemParametersInfoForDpi");
    return function ? function(action, param, data, flags, dpi) : FALSE;
  }
  BOOL AdjustWindowRectExForDpi(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle, UINT dpi) override {
    static const auto function =
        Lookup<BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT)>("user32.dll", "AdjustWindowRectExForDpi");
    return function ? function(rect, style, menu, exStyle, dpi) : FALSE;
  }
  // Only where comctl32 is mapped already: mapping it for an icon would cost
  // a program sitting in the tray private memory that stays after
  // FreeLibrary (184 KB under Wine, measured), for the same image.
  HRESULT LoadIconMetric(HINSTANCE instance, PCWSTR name, int metric, HICON* icon) override {
    using TLoadIconMetric = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, HICON*);
    const auto function = Lookup<TLoadIconMetric>("comctl32.dll", "LoadIconMetric");  // mapped now or not
    return function ? function(instance, name, metric, icon) : E_NOTIMPL;
  }

private:
  // A function of a system DLL the process has loaded already, or nullptr.
  template <class TFunction>
  static TFunction Lookup(const char* dll, const char* name) {
    HMODULE module = GetModuleHandleA(dll);
    return module ? reinterpret_cast<TFunction>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
  }
};

TRealPlatform RealPlatform;
TPlatform* Current = &RealPlatform;

}  // namespace

TPlatform& Platform() { return *Current; }

TPlatform& SystemPlatform() { return RealPlatform; }

TPlatformGuard::TPlatformGuard(TPlatform& platform) : FPrevious(Current) { Current = &platform; }

TPlatformGuard::~TPlatformGuard() { Current = FPrevious; }
