// Times the purge steps against the least work that gives the same result:
// the raw enumeration and deletion calls without checks. Prints
//   cache-purge ratio R ours_ms=.. base_ms=..
//   temp-purge ratio R ours_ms=.. base_ms=..
// with R the ratio of the medians over interleaved rounds. The fixtures
// live in the Wine prefix under C:\spw-bench and are removed at the end;
// the program refuses to run outside the build tree's sandbox, because the
// URL cache purge empties the whole cache.
#include <windows.h>
#include <wininet.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "clean/Cleaning.h"
#include "clean/TempPurge.h"

namespace {

const std::string Root = "C:\\spw-bench";
const std::string Temp = Root + "\\Temp\\";
constexpr int CacheEntries = 2000, TempFiles = 4000, Subfolders = 50, FilesPerSubfolder = 20;

bool InSandbox() {
  const char* prefix = std::getenv("WINEPREFIX");
  const char* xdg = std::getenv("XDG_DATA_HOME");
  return GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name") && prefix &&
         xdg && std::strstr(prefix, "/build") && std::strstr(xdg, "/build");
}

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return 1000.0 * counter.QuadPart / frequency.QuadPart;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void WriteSmallFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written;
  WriteFile(file, "bench", 5, &written, nullptr);
  CloseHandle(file);
}

// Plain recursive removal; the fixtures hold no links.
void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = folder + "\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path);
      else
        DeleteFileA(path.c_str());
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  RemoveDirectoryA(folder.c_str());
}

// ---- URL cache ----

void FillCache(int round) {
  FILETIME none{};
  for (int i = 0; i < CacheEntries; ++i) {
    std::string url = "http://bench" + std::to_string(round) + ".example/" + std::to_string(i);
    char file[MAX_PATH];
    if (!CreateUrlCacheEntryA(url.c_str(), 0, "htm", file, 0)) continue;
    WriteSmallFile(file);
    CommitUrlCacheEntryA(url.c_str(), file, none, none, NORMAL_CACHE_ENTRY, nullptr, 0, nullptr,
                         nullptr);
  }
}

// One fetch per entry into a buffer that is always large enough.
void BaselineCachePurge() {
  static std::vector<char> buffer(64 * 1024);
  auto info = reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(buffer.data());
  DWORD size = buffer.size();
  HANDLE find = FindFirstUrlCacheEntryA(nullptr, info, &size);
  if (!find) return;
  do {
    DeleteUrlCacheEntryA(info->lpszSourceUrlName);
    size = buffer.size();
  } while (FindNextUrlCacheEntryA(find, info, &size));
  FindCloseUrlCache(find);
}

// ---- temp folder ----

std::string TrashFolder() { return "Z:" + std::string(std::getenv("XDG_DATA_HOME")) + "/Trash"; }

std::string SubfolderName(int round, char side, int i) {
  return "spwbench-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(round) + side +
         std::to_string(i);
}

void BuildTemp(int round, char side) {
  CreateDirectoryA(Root.c_str(), nullptr);
  CreateDirectoryA(Temp.c_str(), nullptr);
  for (int i = 0; i < TempFiles; ++i) WriteSmallFile(Temp + "file" + std::to_string(i) + ".tmp");
  for (int s = 0; s < Subfolders; ++s) {
    std::string folder = Temp + SubfolderName(round, side, s);
    CreateDirectoryA(folder.c_str(), nullptr);
    for (int i = 0; i < FilesPerSubfolder; ++i)
      WriteSmallFile(folder + "\\f" + std::to_string(i) + ".dat");
  }
}

// Takes the round's folders back out of the sandbox trash.
void ClearTrash(int round, char side) {
  std::string trash = TrashFolder();
  for (char& c : trash)
    if (c == '/') c = '\\';
  for (int s = 0; s < Subfolders; ++s) {
    std::string name = SubfolderName(round, side, s);
    RemoveTree(trash + "\\files\\" + name);
    DeleteFileA((trash + "\\info\\" + name + ".trashinfo").c_str());
  }
}

// Unchecked DeleteFileA on every entry, then the same shell delete of each
// plain subfolder.
void BaselineTempPurge() {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((Temp + "*.*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do DeleteFileA((Temp + data.cFileName).c_str());
    while (FindNextFileA(find, &data));
    FindClose(find);
  }
  std::vector<std::string> folders;
  find = FindFirstFileA((Temp + "*.*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do
      if (data.cFileName[0] != '.' && data.dwFileAttributes == FILE_ATTRIBUTE_DIRECTORY)
        folders.push_back(Temp + data.cFileName);
    while (FindNextFileA(find, &data));
    FindClose(find);
  }
  for (const std::string& folder : folders) {
    char from[256] = {};
    std::memcpy(from, folder.c_str(), std::min<std::size_t>(folder.size(), 254));
    SHFILEOPSTRUCTA operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from;
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION;
    SHFileOperationA(&operation);
  }
}

int CountEntries(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do count += std::strcmp(data.cFileName, ".") && std::strcmp(data.cFileName, "..");
  while (FindNextFileA(find, &data));
  FindClose(find);
  return count;
}

template <class Action>
double Timed(Action action) {
  double start = Now();
  action();
  return Now() - start;
}

void Report(const char* what, const std::vector<double>& ours, const std::vector<double>& base) {
  double o = Median(ours), b = Median(base);
  std::printf("%s ratio %.2f ours_ms=%.0f base_ms=%.0f\n", what, b > 0 ? o / b : 0.0, o, b);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (!InSandbox()) {
    std::fprintf(stderr, "bench_purge: run it under Wine after '. scripts/env.sh'\n");
    return 2;
  }
  int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  CoInitialize(nullptr);
  std::vector<double> cacheOurs, cacheBase, tempOurs, tempBase;
  bool leftovers = false;
  for (int round = 0; round < rounds; ++round) {
    // Alternate which side goes first so drift does not favour either.
    for (int turn = 0; turn < 2; ++turn) {
      bool ours = (round + turn) % 2 == 0;
      FillCache(round * 2 + turn);
      double ms = ours ? Timed(PurgeUrlCache) : Timed(BaselineCachePurge);
      (ours ? cacheOurs : cacheBase).push_back(ms);
    }
    for (int turn = 0; turn < 2; ++turn) {
      bool ours = (round + turn) % 2 == 0;
      char side = ours ? 'o' : 'b';
      BuildTemp(round, side);
      double ms = ours ? Timed([] { PurgeTempFolder(Temp); }) : Timed(BaselineTempPurge);
      (ours ? tempOurs : tempBase).push_back(ms);
      leftovers |= CountEntries(Temp) != 0;
      ClearTrash(round, side);
      RemoveTree(Root);
    }
  }
  Report("cache-purge", cacheOurs, cacheBase);
  Report("temp-purge", tempOurs, tempBase);
  if (leftovers) std::printf("warning: a purge left entries in the temp folder\n");
  CoUninitialize();
  return leftovers ? 1 : 0;
}
