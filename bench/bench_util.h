// Small helpers every benchmark uses: a millisecond clock, the median of a
// run's rounds, and the paths of the programs a benchmark starts.
#pragma once
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace bench_util {

inline double now_ms() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return 1000.0 * double(counter.QuadPart) / double(frequency.QuadPart);
}

inline double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A Unix path (/...) is reached through drive Z: under Wine.
inline std::string windows_path(std::string path) {
  if (path.empty() || path[0] != '/') return path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return "Z:" + path;
}

inline std::string beside_this_program(const char* name) {
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string dir = self;
  return dir.substr(0, dir.rfind('\\') + 1) + name;
}

// Copies EXE into C:\spw-bench\FOLDER as NAME and returns the copy's path, or "".
inline std::string sandbox_copy(const std::string& exe, const char* folder, const char* name) {
  CreateDirectoryA("C:\\spw-bench", nullptr);
  std::string dir = std::string("C:\\spw-bench\\") + folder;
  CreateDirectoryA(dir.c_str(), nullptr);
  std::string copy = dir + "\\" + name;
  return CopyFileA(exe.c_str(), copy.c_str(), FALSE) ? copy : "";
}

// The current environment as a CreateProcess block, with TMP and TEMP
// pointing at FOLDER: where the started program takes its temporary folder.
inline std::string environment_with_temp(const std::string& folder) {
  std::string block;
  char* strings = GetEnvironmentStringsA();
  for (const char* s = strings; *s; s += std::strlen(s) + 1)
    if (_strnicmp(s, "TMP=", 4) && _strnicmp(s, "TEMP=", 5)) block.append(s).push_back('\0');
  FreeEnvironmentStringsA(strings);
  for (const char* name : {"TMP=", "TEMP="}) block.append(name + folder).push_back('\0');
  block.push_back('\0');
  return block;
}

// The first top-level window of class CLS that process PID owns (visible
// only, or hidden too); nullptr when there is none.
inline HWND find_window(DWORD pid, const char* cls, bool visible_only) {
  struct TSearch {
    DWORD Pid;
    const char* Class;
    bool VisibleOnly;
    HWND Found;
  } search{pid, cls, visible_only, nullptr};
  EnumWindows(
      [](HWND h, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<TSearch*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        char name[128] = "";
        if (owner != s->Pid || (s->VisibleOnly && !IsWindowVisible(h)) || !GetClassNameA(h, name, sizeof name) ||
            std::string(name) != s->Class)
          return TRUE;
        s->Found = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

}  // namespace bench_util
