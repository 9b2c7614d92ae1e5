// Helpers for the cleaning tests that run against real Wine in the build
// tree's prefix: fixture folders below C:\spw-test, Unix links and clean-up
// that never follows a link.
#pragma once
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace wine_support {

inline std::wstring Convert(const std::string& text, UINT codePage) {
  int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

// A path in the program's code page as the purge takes it.
inline std::wstring Wide(const std::string& path) { return Convert(path, CP_ACP); }

inline std::string Utf8Of(const std::wstring& text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string result(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), n, nullptr, nullptr);
  return result;
}

// The Unix name of a Windows path (Wine's own kernel32 export); Wine knows
// only existing paths and their direct children.
inline std::string UnixName(const std::string& windowsPath) {
  using TUnixName = char*(CDECL*)(LPCWSTR);
  auto unixName = reinterpret_cast<TUnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!unixName) return "";
  wchar_t wide[MAX_PATH * 2];
  if (!MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH * 2)) return "";
  char* name = unixName(wide);
  std::string result = name ? name : "";
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

// The Unix name (UTF-8) of a drive path "X:\...", existing or not.
inline std::string UnixPath(const std::wstring& windowsPath) {
  if (windowsPath.size() < 3 || windowsPath[1] != L':' || windowsPath[2] != L'\\') return "";
  std::string root = UnixName(std::string(windowsPath.begin(), windowsPath.begin() + 3));
  if (root.empty()) return "";
  if (root.back() != '/') root += '/';
  std::string rest = Utf8Of(windowsPath.substr(3));
  for (char& c : rest)
    if (c == '\\') c = '/';
  return root + rest;
}

inline std::string UnixPath(const std::string& windowsPath) { return UnixPath(Wide(windowsPath)); }

// The Windows name (on Z:) of a Unix path.
inline std::string FromUnix(std::string unixPath) {
  for (char& c : unixPath)
    if (c == '/') c = '\\';
  return "Z:" + unixPath;
}

// Starts a Unix program: Wine executes ELF files directly, splitting the
// command line by Windows rules, but hands back no process handle that can
// be waited for, so callers poll for the result.
inline bool StartUnix(const std::string& program, const std::string& arguments) {
  // Wide, so that names the code page cannot spell reach the program whole.
  std::wstring command = Convert(program + " " + arguments, CP_UTF8);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(Convert(FromUnix(program), CP_UTF8).c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, nullptr, &startup, &process))
    return false;
  // For a Unix program Wine gives no process handle and leaves a stray
  // value in hThread: closing that would close some other handle of ours.
  if (process.hProcess) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  return true;
}

inline bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline bool Exists(const std::string& path) { return Exists(Wide(path)); }

// Waits up to ten seconds for a path to appear or to vanish.
inline bool WaitFor(const std::wstring& path, bool present) {
  for (int i = 0; i < 1000; ++i) {
    if (Exists(path) == present) return true;
    Sleep(10);
  }
  return false;
}

inline std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// A Unix symbolic link to an existing target (Wine's CreateSymbolicLinkA
// reports success and creates nothing).
inline bool MakeLink(const std::wstring& windowsTarget, const std::wstring& windowsLink) {
  std::string target = UnixPath(windowsTarget), link = UnixPath(windowsLink);
  return !target.empty() && !link.empty() &&
         StartUnix("/bin/ln", "-s " + Quoted(target) + " " + Quoted(link)) &&
         WaitFor(windowsLink, true);
}

inline bool MakeLink(const std::string& windowsTarget, const std::string& windowsLink) {
  return MakeLink(Wide(windowsTarget), Wide(windowsLink));
}

// Removes a tree with rm -rf, which deletes links rather than their targets.
inline bool RemoveTree(const std::wstring& windowsPath) {
  std::string path = UnixPath(windowsPath);
  if (path.size() < 10) return false;
  if (!Exists(windowsPath)) return true;
  return StartUnix("/bin/rm", "-rf " + Quoted(path)) && WaitFor(windowsPath, false);
}

inline bool RemoveTree(const std::string& windowsPath) { return RemoveTree(Wide(windowsPath)); }

inline bool WriteFile(const std::wstring& path, const std::string& text = "x") {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == text.size();
}

inline bool WriteFile(const std::string& path, const std::string& text = "x") { return WriteFile(Wide(path), text); }

// The sandbox trash (XDG_DATA_HOME of the build tree) as a Windows path.
inline std::string TrashFiles() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  return xdg && *xdg ? FromUnix(std::string(xdg) + "/Trash/files") : "";
}

}  // namespace wine_support

namespace wine_support {

// True under Wine with the prefix and the XDG data folder inside a build
// tree, as scripts/env.sh sets them; the shell steps must never reach the
// user's own trash.
inline bool InSandbox(std::string& why) {
  const char* prefix = std::getenv("WINEPREFIX");
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (!GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"))
    why = "not running under Wine";
  else if (!prefix || !xdg || !std::strstr(prefix, "/build") || !std::strstr(xdg, "/build"))
    why = "WINEPREFIX and XDG_DATA_HOME must point into the build tree (. scripts/env.sh)";
  else
    return true;
  return false;
}

}  // namespace wine_support
