// Directory searches with an attribute mask, and the listing of the plain
// subfolders of a folder.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "platform/Handles.h"

// Every kind of entry: read-only, hidden, system, volume label, folder, archive.
constexpr DWORD AnyEntry = 63;

// The mask rule: an entry is passed over when it carries hidden, system,
// volume-label or directory bits that the mask lacks. Other bits never count.
bool PassesMask(DWORD attributes, DWORD mask);

struct TDirEntry {
  DWORD Attributes = 0;
  std::string Name;
};

// A FindFirstFileA/FindNextFileA search that applies the mask rule.
class TDirSearch {
public:
  TDirSearch(const std::string& pattern, DWORD mask);
  bool Valid() const { return FFind.Valid(); }
  // The next entry that passes the mask; false at the end of the search.
  bool Next(TDirEntry& entry);

private:
  TPlatform& FPlatform;
  WIN32_FIND_DATAA FData{};
  TFindHandle FFind;
  DWORD FMask;
  bool FPending;
};

// Clears the list and fills it with the full paths of the folder's plain
// subfolders: those whose attribute word is exactly FILE_ATTRIBUTE_DIRECTORY
// and whose name does not begin with ".". The folder may end with a
// backslash or not; an empty folder name lists nothing.
void ListSubfolders(const std::string& folder, std::vector<std::string>& list);
