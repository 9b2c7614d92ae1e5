#include "clean/DeleTree.h"

#include "ui/Responsive.h"

namespace {

constexpr DWORD MaskedBits = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | 8 /* volume label */ |
                             FILE_ATTRIBUTE_DIRECTORY;

}  // namespace

bool PassesMask(DWORD attributes, DWORD mask) { return (attributes & MaskedBits & ~mask) == 0; }

TDirSearch::TDirSearch(const std::string& pattern, DWORD mask)
    : FPlatform(Platform()),
      FFind(FPlatform, FPlatform.FindFirstFileA(pattern.c_str(), &FData)),
      FMask(mask),
      FPending(FFind.Valid()) {}

bool TDirSearch::Next(TDirEntry& entry) {
  while (FPending) {
    bool passes = PassesMask(FData.dwFileAttributes, FMask);
    if (passes) {
      entry.Attributes = FData.dwFileAttributes;
      entry.Name = FData.cFileName;
    }
    FPending = FPlatform.FindNextFileA(FFind.Get(), &FData) != FALSE;
    if (passes) return true;
  }
  return false;
}

void ListSubfolders(const std::string& folder, std::vector<std::string>& list) {
  list.clear();
  // "" would become "\", the root of the current drive.
  if (folder.empty()) return;
  std::string prefix = folder;
  if (prefix.back() != '\\') prefix += '\\';
  TDirSearch search(prefix + "*.*", FILE_ATTRIBUTE_DIRECTORY);
  TDirEntry entry;
  while (search.Next(entry)) {
    KeepPainting();
    if (entry.Name.empty() || entry.Name[0] == '.') continue;
    // Equality, not a bit test: a folder with any further bit stays.
    if (entry.Attributes != FILE_ATTRIBUTE_DIRECTORY) continue;
    list.push_back(prefix + entry.Name);
  }
}
