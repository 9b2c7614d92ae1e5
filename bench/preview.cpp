// The preview against the cleaning it predicts: spurwisch.exe /preview and
// spurwisch.exe /clean over the same fixture (a temporary folder of 2,000
// files and 20 subfolders, 500 URL cache entries), interleaved, whole
// process runs timed. Prints
//   preview ratio R preview_ms=.. clean_ms=..
// with the medians over the rounds. Target: R <= 1.0.
//
//   bench_preview PROGRAM.exe [ROUNDS]
// Runs only inside the build tree's sandbox (the cleaning empties the URL
// cache and the sandbox's recycle bin).
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_util.h"

namespace {

const std::string Root = "C:\\spw-bench-preview";
const std::string Temp = Root + "\\Temp";
constexpr int Files = 2000, Subfolders = 20, CacheEntries = 500;

bool InSandbox() {
  const char* prefix = std::getenv("WINEPREFIX");
  const char* xdg = std::getenv("XDG_DATA_HOME");
  return prefix && xdg && std::strstr(prefix, "/build") && std::strstr(xdg, "/build");
}

void WriteSmall(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written;
  if (h != INVALID_HANDLE_VALUE) WriteFile(h, "bench", 5, &written, nullptr), CloseHandle(h);
}

void Fill(int round) {
  CreateDirectoryA(Root.c_str(), nullptr);
  CreateDirectoryA(Temp.c_str(), nullptr);
  for (int i = 0; i < Files; ++i) WriteSmall(Temp + "\\f" + std::to_string(i) + ".tmp");
  for (int s = 0; s < Subfolders; ++s) {
    std::string folder = Temp + "\\spwpreview-" + std::to_string(round) + "-" + std::to_string(s);
    CreateDirectoryA(folder.c_str(), nullptr);
    WriteSmall(folder + "\\inside.dat");
  }
  FILETIME none{};
  for (int i = 0; i < CacheEntries; ++i) {
    std::string url = "http://preview.example/" + std::to_string(round) + "/" + std::to_string(i);
    char file[MAX_PATH];
    if (!CreateUrlCacheEntryA(url.c_str(), 0, "htm", file, 0)) continue;
    WriteSmall(file);
    CommitUrlCacheEntryA(url.c_str(), file, none, none, NORMAL_CACHE_ENTRY, nullptr, 0, nullptr, nullptr);
  }
}


// The milliseconds of one whole run of the program, or -1.
double Timed(const std::string& exe, const char* option) {
  // The report goes nowhere: the program writes it to an output it is given.
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = si.hStdError = nul;
  PROCESS_INFORMATION pi{};
  std::string command = "\"" + exe + "\" " + option, environment = bench_util::environment_with_temp(Temp);
  double start = bench_util::now_ms();
  BOOL started =
      CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, TRUE, 0, environment.data(), "C:\\", &si, &pi);
  CloseHandle(nul);
  if (!started) return -1;
  WaitForSingleObject(pi.hProcess, 300000);
  double ms = bench_util::now_ms() - start;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || !InSandbox()) {
    std::fprintf(stderr, "usage: bench_preview PROGRAM.exe [ROUNDS], inside the build tree's sandbox\n");
    return 2;
  }
  int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  std::string copy = bench_util::sandbox_copy(bench_util::windows_path(argv[1]), "preview", "spurwisch.exe");
  std::ofstream(copy.substr(0, copy.rfind('\\')) + "\\spurwisch.cfg", std::ios::binary) << "0\r\n1\r\n0\r\n0\r\n0\r\n";
  std::vector<double> previews, cleanings;
  for (int round = 0; round < rounds; ++round) {
    Fill(round);
    previews.push_back(Timed(copy, "/preview"));
    cleanings.push_back(Timed(copy, "/clean"));
  }
  double p = bench_util::median(previews), c = bench_util::median(cleanings);
  std::printf("preview ratio %.2f preview_ms=%.0f clean_ms=%.0f\n", c > 0 ? p / c : 0.0, p, c);
  RemoveDirectoryA(Temp.c_str());
  RemoveDirectoryA(Root.c_str());
  return 0;
}
