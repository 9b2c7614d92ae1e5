// Times the purge steps against two raw loops in the same run: the least work
// that gives the same result (enumeration and deletion without checks), and
// the safe floor, which does exactly what safety requires and nothing of
// ours around it. Prints
//   cache-purge ratio R ours_ms=.. base_ms=..
//   temp-purge ratio R ours_ms=.. base_ms=..
//   cache-purge-floor ratio R ours_ms=.. floor_ms=..
//   temp-purge-floor ratio R ours_ms=.. floor_ms=..
// with R the ratio of the medians over interleaved rounds.
//
//   bench_purge [ROUNDS]          the normal size
//   bench_purge --scale [ROUNDS]  also a hundred times as many files and ten
//                                 times the cache, and prints the cost per
//                                 1,000 entries at that size against the
//                                 normal size (for the cache also that of
//                                 the safe floor's loop), and the peak
//                                 working set.
// The fixtures
// live in the Wine prefix under C:\spw-bench and are removed at the end;
// the program refuses to run outside the build tree's sandbox, because the
// URL cache purge empties the whole cache.
#include <windows.h>
#include <wininet.h>
#include <shellapi.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "clean/Cleaning.h"
#include "clean/TempPurge.h"

#include "bench/bench_util.h"

namespace {

const std::string Root = "C:\\spw-bench";
const std::string Temp = Root + "\\Temp\\";
constexpr int FilesPerSubfolder = 20;

struct TSize {
  int CacheEntries, TempFiles, Subfolders;
  int TempEntries() const { return TempFiles + Subfolders * (1 + FilesPerSubfolder); }
};
constexpr TSize Normal{2000, 4000, 50};
constexpr TSize Scale{20000, 100000, 1000};
TSize Size = Normal;

bool InSandbox() {
  const char* prefix = std::getenv("WINEPREFIX");
  const char* xdg = std::getenv("XDG_DATA_HOME");
  return GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name") && prefix &&
         xdg && std::strstr(prefix, "/build") && std::strstr(xdg, "/build");
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
  for (int i = 0; i < Size.CacheEntries; ++i) {
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

// The two-call protocol alone: a size question without a buffer, then the
// fetch into a block of exactly that size, one record held at a time.
void FloorCachePurge() {
  DWORD size = 0;
  if (HANDLE stray = FindFirstUrlCacheEntryA(nullptr, nullptr, &size)) FindCloseUrlCache(stray);
  std::unique_ptr<char[]> record(size ? new char[size]() : nullptr);
  if (size >= sizeof(DWORD)) std::memcpy(record.get(), &size, sizeof size);
  auto info = [&] { return reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(record.get()); };
  HANDLE find = FindFirstUrlCacheEntryA(nullptr, info(), &size);
  if (!find) return;
  do {
    DeleteUrlCacheEntryA(info()->lpszSourceUrlName);
    size = 0;
    FindNextUrlCacheEntryA(find, nullptr, &size);
    record.reset(size ? new char[size]() : nullptr);
    if (size >= sizeof(DWORD)) std::memcpy(record.get(), &size, sizeof size);
  } while (FindNextUrlCacheEntryA(find, info(), &size));
  FindCloseUrlCache(find);
}

// ---- temp folder ----

std::string TrashFolder() { return "Z:" + std::string(std::getenv("XDG_DATA_HOME")) + "/Trash"; }

// A temporary folder at the large size, made beforehand by scripts/bench.sh
// from outside Wine: Wine looks up each new name by reading the whole folder,
// so making 100,000 files through it takes most of an hour. Its subfolders are
// named "spwbench-scale-N".
const std::string ScaleFixture = "C:\\spw-bench-scale\\Temp";
bool UsingFixture = false;

std::string SubfolderName(int round, char side, int i) {
  if (UsingFixture) return "spwbench-scale-" + std::to_string(i);
  return "spwbench-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(round) + side +
         std::to_string(i);
}

void BuildTemp(int round, char side) {
  CreateDirectoryA(Root.c_str(), nullptr);
  CreateDirectoryA(Temp.c_str(), nullptr);
  for (int i = 0; i < Size.TempFiles; ++i) WriteSmallFile(Temp + "file" + std::to_string(i) + ".tmp");
  for (int s = 0; s < Size.Subfolders; ++s) {
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
  for (int s = 0; s < Size.Subfolders; ++s) {
    std::string name = SubfolderName(round, side, s);
    RemoveTree(trash + "\\files\\" + name);
    DeleteFileA((trash + "\\info\\" + name + ".trashinfo").c_str());
  }
}

// Unchecked DeleteFileA on every entry, then the same shell delete of each
// plain subfolder.
// The plain subfolders of Temp, as the temp purge's listing takes them.
std::vector<std::string> PlainSubfolders() {
  std::vector<std::string> folders;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((Temp + "*.*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return folders;
  do
    if (data.cFileName[0] != '.' && data.dwFileAttributes == FILE_ATTRIBUTE_DIRECTORY)
      folders.push_back(Temp + data.cFileName);
  while (FindNextFileA(find, &data));
  FindClose(find);
  return folders;
}

void BaselineTempPurge() {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((Temp + "*.*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do DeleteFileA((Temp + data.cFileName).c_str());
    while (FindNextFileA(find, &data));
    FindClose(find);
  }
  for (const std::string& folder : PlainSubfolders()) {
    char from[256] = {};
    std::memcpy(from, folder.c_str(), std::min<std::size_t>(folder.size(), 254));
    SHFILEOPSTRUCTA operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from;
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION;
    SHFileOperationA(&operation);
  }
}

// The resolved name of an open handle, without the "\\?\" prefix.
bool FinalNameIs(HANDLE handle, const std::string& expected) {
  char name[1024];
  DWORD n = GetFinalPathNameByHandleA(handle, name, sizeof name, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (n == 0 || n >= sizeof name) return false;
  const char* start = std::strncmp(name, "\\\\?\\", 4) == 0 ? name + 4 : name;
  return lstrcmpiA(start, expected.c_str()) == 0;
}

constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// True when every file below the folder resolves to its own name and no
// entry is a reparse point: what must hold before the shell gets the folder.
bool FloorSelfContained(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool contained = true;
  do {
    if (!std::strcmp(data.cFileName, ".") || !std::strcmp(data.cFileName, "..")) continue;
    std::string path = folder + "\\" + data.cFileName;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      contained = false;
    } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      contained = FloorSelfContained(path);
    } else {
      HANDLE file = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, ShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
      contained = file != INVALID_HANDLE_VALUE && FinalNameIs(file, path);
      if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
  } while (contained && FindNextFileA(find, &data));
  FindClose(find);
  return contained;
}

// Per file one open that does not follow links, the resolved-name check and
// the deletion through that handle; then the same shell call per plain
// subfolder that holds no link.
void FloorTempPurge() {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((Temp + "*.*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      std::string path = Temp + data.cFileName;
      HANDLE file = CreateFileA(path.c_str(), DELETE, ShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
      if (file == INVALID_HANDLE_VALUE) continue;
      if (FinalNameIs(file, path)) {
        FILE_DISPOSITION_INFO disposition{TRUE};
        SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
      }
      CloseHandle(file);
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  for (const std::string& folder : PlainSubfolders()) {
    if (!FloorSelfContained(folder)) continue;
    char from[256] = {};
    if (folder.size() > sizeof from - 2) continue;
    std::memcpy(from, folder.c_str(), folder.size());
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
  double start = bench_util::now_ms();
  action();
  return bench_util::now_ms() - start;
}

void Report(const char* what, const char* other, const std::vector<double>& ours,
            const std::vector<double>& base) {
  double o = bench_util::median(ours), b = bench_util::median(base);
  std::printf("%s ratio %.2f ours_ms=%.0f %s_ms=%.0f\n", what, b > 0 ? o / b : 0.0, o, other, b);
  std::fflush(stdout);
}

int CountCacheEntries() {
  std::vector<char> buffer(64 * 1024);
  auto info = reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(buffer.data());
  DWORD size = buffer.size();
  HANDLE find = FindFirstUrlCacheEntryA(nullptr, info, &size);
  if (!find) return 0;
  int count = 0;
  do {
    ++count;
    size = buffer.size();
  } while (FindNextUrlCacheEntryA(find, info, &size));
  FindCloseUrlCache(find);
  return count;
}

enum TSide { Ours, Base, Floor, SideCount };

struct TTimes {
  std::vector<double> Cache[SideCount], Temp[SideCount];
  bool Leftovers = false;
};

// ROUNDS rounds at SIZE; in each the given sides take turns, in an order that
// rotates so that drift favours none of them. The cache and the temp folder
// may be purged by different sides.
void RunRounds(const TSize& size, int rounds, const std::vector<TSide>& cacheSides,
               const std::vector<TSide>& sides, TTimes& times, int& roundId) {
  Size = size;
  for (int round = 0; round < rounds; ++round, ++roundId) {
    for (std::size_t turn = 0; turn < cacheSides.size(); ++turn) {
      TSide side = cacheSides[(round + turn) % cacheSides.size()];
      FillCache(roundId * SideCount + side);
      void (*purge)() = side == Ours   ? static_cast<void (*)()>(PurgeUrlCache)
                        : side == Base ? BaselineCachePurge
                                       : FloorCachePurge;
      times.Cache[side].push_back(Timed(purge));
      times.Leftovers |= CountCacheEntries() != 0;
    }
    for (std::size_t turn = 0; turn < sides.size(); ++turn) {
      TSide side = sides[(round + turn) % sides.size()];
      char tag = "obf"[side];
      // The large folder comes ready-made when the script made it.
      CreateDirectoryA(Root.c_str(), nullptr);
      UsingFixture = Size.TempFiles == Scale.TempFiles &&
                     MoveFileA(ScaleFixture.c_str(), Temp.substr(0, Temp.size() - 1).c_str());
      if (!UsingFixture) BuildTemp(roundId, tag);
      double ms = side == Ours   ? Timed([] { PurgeTempFolder(std::wstring(Temp.begin(), Temp.end())); })
                  : side == Base ? Timed(BaselineTempPurge)
                                 : Timed(FloorTempPurge);
      times.Temp[side].push_back(ms);
      times.Leftovers |= CountEntries(Temp) != 0;
      ClearTrash(roundId, tag);
      UsingFixture = false;
      RemoveTree(Root);
    }
  }
}

void ReportScale(const char* what, const std::vector<double>& normal, int normalEntries,
                 const std::vector<double>& scale, int scaleEntries) {
  double n = bench_util::median(normal) * 1000 / normalEntries, s = bench_util::median(scale) * 1000 / scaleEntries;
  std::printf("%s per-1000 %.2f normal_ms_per_1000=%.1f scale_ms_per_1000=%.1f normal_entries=%d scale_entries=%d\n",
              what, n > 0 ? s / n : 0.0, n, s, normalEntries, scaleEntries);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (!InSandbox()) {
    std::fprintf(stderr, "bench_purge: run it under Wine after '. scripts/env.sh'\n");
    return 2;
  }
  bool scale = argc > 1 && std::strcmp(argv[1], "--scale") == 0;
  const char* roundsArg = argc > (scale ? 2 : 1) ? argv[scale ? 2 : 1] : nullptr;
  int rounds = roundsArg ? std::max(1, std::atoi(roundsArg)) : scale ? 2 : 5;
  CoInitialize(nullptr);
  int roundId = 0;
  bool leftovers = false;
  if (!scale) {
    TTimes times;
    RunRounds(Normal, rounds, {Ours, Base, Floor}, {Ours, Base, Floor}, times, roundId);
    Report("cache-purge", "base", times.Cache[Ours], times.Cache[Base]);
    Report("temp-purge", "base", times.Temp[Ours], times.Temp[Base]);
    Report("cache-purge-floor", "floor", times.Cache[Ours], times.Cache[Floor]);
    Report("temp-purge-floor", "floor", times.Temp[Ours], times.Temp[Floor]);
    leftovers = times.Leftovers;
  } else {
    // Normal size before and after the large one. The cache is also purged
    // by the safe floor's raw loop at both sizes: WinINet's own cost per
    // entry grows with the size of its index, and the floor shows how much.
    TTimes normal, large;
    double start = bench_util::now_ms();
    RunRounds(Normal, rounds, {Ours, Floor}, {Ours}, normal, roundId);
    RunRounds(Scale, 1, {Ours, Floor}, {Ours}, large, roundId);
    RunRounds(Normal, rounds, {Ours, Floor}, {Ours}, normal, roundId);
    ReportScale("temp-purge-scale", normal.Temp[Ours], Normal.TempEntries(), large.Temp[Ours],
                Scale.TempEntries());
    ReportScale("cache-purge-scale", normal.Cache[Ours], Normal.CacheEntries, large.Cache[Ours],
                Scale.CacheEntries);
    ReportScale("cache-purge-scale-floor", normal.Cache[Floor], Normal.CacheEntries, large.Cache[Floor],
                Scale.CacheEntries);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    double peakMb = memory.PeakWorkingSetSize / (1024.0 * 1024.0);
    std::printf("purge-scale peak-working-set-mb %.1f (limit 64; whole process, fixtures included)\n", peakMb);
    std::printf("purge-scale large_temp_ms=%.0f large_cache_ms=%.0f total_s=%.0f\n", bench_util::median(large.Temp[Ours]),
                bench_util::median(large.Cache[Ours]), (bench_util::now_ms() - start) / 1000);
    leftovers = normal.Leftovers || large.Leftovers;
    if (peakMb >= 64) std::printf("warning: peak working set over 64 MB\n");
  }
  if (leftovers) std::printf("warning: a purge left entries in the temp folder or the cache\n");
  CoUninitialize();
  return leftovers ? 1 : 0;
}
