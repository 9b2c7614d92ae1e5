#include "clean/TempPurge.h"

#include <cwchar>
#include <vector>

#include "clean/DeleTree.h"
#include "platform/Handles.h"
#include "ui/Responsive.h"

// ---- Path rules (pure) ----

namespace {

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// The system drops trailing dots and blanks of a path part ("Windows." is
// "Windows"); a part left empty was ".", ".." or the like.
bool CleanPart(std::wstring& part) {
  while (!part.empty() && (part.back() == L'.' || part.back() == L' ')) part.pop_back();
  return !part.empty() && part.find_first_of(L":*?\"<>|") == std::wstring::npos;
}

// The root of an absolute path whose "/" already read "\": "X:" of
// "X:\...", or "\\server\share" of "\\server\share..." ("\\?\" and
// "\\.\" name devices, not shares). Sets end to where the rest begins;
// false when the path has no such root.
bool AbsoluteRoot(const std::wstring& path, std::wstring& root, std::size_t& end) {
  if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && path[2] == L'\\') {
    root = path.substr(0, 2);
    end = 3;
    return true;
  }
  if (path.size() < 5 || path[0] != L'\\' || path[1] != L'\\') return false;
  std::size_t server = path.find(L'\\', 2);
  if (server == std::wstring::npos || server == 2) return false;
  std::size_t share = path.find(L'\\', server + 1);
  if (share == std::wstring::npos) share = path.size();
  std::wstring host = path.substr(2, server - 2);
  if (share == server + 1 || host == L"?" || host == L".") return false;
  root = path.substr(0, share);
  end = share;
  return true;
}

std::wstring SlashesAsBackslashes(std::wstring path) {
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  return path;
}

// Splits an absolute path into its root ("C:" or "\\server\share") and its
// parts. False for a relative or malformed path.
bool SplitAbsolute(const std::wstring& text, std::vector<std::wstring>& parts) {
  parts.clear();
  const std::wstring path = SlashesAsBackslashes(text);
  std::wstring root;
  std::size_t pos;
  if (!AbsoluteRoot(path, root, pos)) return false;
  if (root.size() > 2) {
    const std::size_t shareStart = root.find(L'\\', 2) + 1;
    std::wstring share = root.substr(shareStart);
    if (!CleanPart(share)) return false;
    root = root.substr(0, shareStart) + share;
  }
  parts.push_back(root);
  while (pos < path.size()) {
    std::size_t end = path.find(L'\\', pos);
    if (end == std::wstring::npos) end = path.size();
    std::wstring part = path.substr(pos, end - pos);
    if (!part.empty()) {
      if (!CleanPart(part)) return false;
      parts.push_back(part);
    }
    pos = end + 1;
  }
  return true;
}

// True when a is b or one of b's ancestors.
bool IsSameOrAncestor(const std::vector<std::wstring>& a, const std::vector<std::wstring>& b) {
  if (a.size() > b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (!SameName(a[i], b[i])) return false;
  return true;
}

}  // namespace

bool IsSafeTempFolder(const std::wstring& path, const std::wstring& windowsDir, const std::wstring& profileDir) {
  std::vector<std::wstring> folder, windows, profile;
  if (!SplitAbsolute(path, folder) || folder.size() < 2) return false;
  // Without both reference folders nothing can be shown to be safe.
  if (!SplitAbsolute(windowsDir, windows) || !SplitAbsolute(profileDir, profile)) return false;
  return !IsSameOrAncestor(folder, windows) && !IsSameOrAncestor(folder, profile);
}

HANDLE OpenFolderToWalk(TPlatform& platform, const std::wstring& folder) {
  return platform.CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE, ShareAll,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// ---- Where the folder came from ----

namespace {

// How one environment variable reads for GetTempPathW.
enum class TVariable { Unset, Set, Unreadable };

// GetTempPathW passes over a variable that is not set or empty; anything
// else that stops the reading leaves the source of the folder unknown.
TVariable ReadVariable(TPlatform& platform, const wchar_t* name, std::wstring& value) {
  wchar_t buffer[1024];
  ::SetLastError(ERROR_SUCCESS);
  DWORD n = platform.GetEnvironmentVariableW(name, buffer, 1024);
  if (n >= 1024) return TVariable::Unreadable;
  if (n > 0) {
    value.assign(buffer, n);
    return TVariable::Set;
  }
  DWORD error = ::GetLastError();
  return error == ERROR_SUCCESS || error == ERROR_ENVVAR_NOT_FOUND ? TVariable::Unset : TVariable::Unreadable;
}

// GetTempPathW makes a relative TMP (".", "rel", "C:x", "\x") absolute
// against the current directory, so its answer alone cannot show that the
// folder is the one the user meant. The value it came from must be fully
// qualified as written: the first of TMP, TEMP and USERPROFILE that is set
// and not empty. With none of them the system takes the Windows folder.
bool TempSourceIsFullyQualified(TPlatform& platform) {
  for (const wchar_t* name : {L"TMP", L"TEMP", L"USERPROFILE"}) {
    std::wstring value;
    switch (ReadVariable(platform, name, value)) {
      case TVariable::Unset:
        continue;
      case TVariable::Set:
        return IsFullyQualifiedPath(value);
      case TVariable::Unreadable:
        return false;
    }
  }
  return false;
}

// ---- The folders it must never be ----

std::wstring WindowsFolder(TPlatform& platform) {
  wchar_t buffer[MAX_PATH + 1];
  UINT n = platform.GetWindowsDirectoryW(buffer, MAX_PATH + 1);
  return n > 0 && n <= MAX_PATH ? std::wstring(buffer, n) : L"";
}

std::wstring ProfileFolder(TPlatform& platform) {
  wchar_t buffer[MAX_PATH + 1] = {};
  if (FAILED(platform.SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, buffer))) return L"";
  return buffer;
}

// A reference folder as the file system resolves it, or as given when it
// cannot be opened.
std::wstring Resolved(TPlatform& platform, const std::wstring& folder) {
  if (folder.empty()) return folder;
  TFileHandle handle(platform, OpenFolderToWalk(platform, folder));
  std::wstring resolved = handle.Valid() ? ObjectName(platform, handle.Get()) : L"";
  return resolved.empty() ? folder : resolved;
}

// Opens the temporary folder when it may be purged: its source in the
// environment, the path as given (relative names, roots) and the folder the
// open handle resolves to (short names and links that lead to the Windows
// or profile folder). Everything after works through this one handle.
HANDLE OpenApprovedFolder(TPlatform& platform, const std::wstring& path) {
  if (!TempSourceIsFullyQualified(platform)) return INVALID_HANDLE_VALUE;
  std::wstring windows = WindowsFolder(platform), profile = ProfileFolder(platform);
  if (!IsSafeTempFolder(path, windows, profile)) return INVALID_HANDLE_VALUE;
  TFileHandle folder(platform, OpenFolderToWalk(platform, path));
  if (!folder.Valid()) return INVALID_HANDLE_VALUE;
  std::wstring resolved = ObjectName(platform, folder.Get());
  if (!IsSafeTempFolder(resolved, Resolved(platform, windows), Resolved(platform, profile)))
    return INVALID_HANDLE_VALUE;
  return folder.Release();
}

}  // namespace

// ---- The walk ----

namespace {

// The shell takes the folder's path in a buffer of 256 characters, followed
// by two zeros; it names everything below it by longer paths, which must stay
// short of MAX_PATH. The walk goes no deeper than MaxDepth levels below the
// folder: a tree deeper than that (any program can make one of thousands of
// levels) is kept whole rather than followed.
constexpr std::size_t ShellNameLimit = 254;
constexpr int MaxDepth = 64;

// Why a walk stopped short of approving a folder.
enum class TWalkStop { None, Link, OddName, TooLong, Unreadable };

// What the walk through a subfolder carries: the platform, the files it saw
// and their bytes, which go with the folder, and why it stopped.
struct TWalk {
  TPlatform& Platform;
  int Files = 0;
  unsigned long long Bytes = 0;
  TWalkStop Stop = TWalkStop::None;
  bool Refuse(TWalkStop why) {
    Stop = why;
    return false;
  }
};

// Where the walk is: a folder's name as the file system resolved it, the
// length of the path by which the shell will name it, and how many levels it
// lies below the folder handed to the shell.
struct TPlace {
  std::wstring Name;
  std::size_t ShellLength = 0;
  int Depth = 0;
};

TPlace Below(const TPlace& folder, const std::wstring& entry) {
  return {folder.Name + L"\\" + entry, folder.ShellLength + 1 + entry.size(), folder.Depth + 1};
}

bool ContentsAreContained(TWalk& walk, HANDLE folder, const TPlace& place);

// The subfolder NAME of PARENT, opened through the parent's handle: where
// the listing saw it and not a link (one swapped in since would lead
// elsewhere, or be a reparse point itself), and nothing below it leads out.
bool SubfolderIsContained(TWalk& walk, HANDLE parent, const std::wstring& name, const TPlace& place) {
  if (!ShellCanName(name)) return walk.Refuse(TWalkStop::OddName);
  if (place.Depth > MaxDepth) return walk.Refuse(TWalkStop::TooLong);
  TFileHandle folder(walk.Platform, OpenRelative(walk.Platform, parent, name,
                                                 FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, FILE_DIRECTORY_FILE));
  if (!folder.Valid()) return walk.Refuse(TWalkStop::Unreadable);
  if (!IsObject(walk.Platform, folder.Get(), place.Name)) return walk.Refuse(TWalkStop::Link);
  return ContentsAreContained(walk, folder.Get(), place);
}

// Wine shows a link to a file as a plain file and opens what it points to,
// even when asked not to; the opened object's name then lies elsewhere.
bool FileIsContained(TWalk& walk, HANDLE parent, const std::wstring& name, const std::wstring& expected) {
  TFileHandle file(walk.Platform,
                   OpenRelative(walk.Platform, parent, name, FILE_READ_ATTRIBUTES, FILE_NON_DIRECTORY_FILE));
  if (!file.Valid()) return walk.Refuse(TWalkStop::Unreadable);
  return ObjectName(walk.Platform, file.Get()) == expected || walk.Refuse(TWalkStop::Link);
}

bool ContentsAreContained(TWalk& walk, HANDLE folder, const TPlace& place) {
  TFolderListing listing(walk.Platform, folder);
  TDirEntry entry;
  while (listing.Next(entry)) {
    KeepPainting();
    if (entry.Attributes & FILE_ATTRIBUTE_REPARSE_POINT) return walk.Refuse(TWalkStop::Link);
    if (!ShellCanName(entry.Name)) return walk.Refuse(TWalkStop::OddName);
    TPlace below = Below(place, entry.Name);
    if (below.ShellLength >= MAX_PATH || below.Name.size() >= MAX_PATH) return walk.Refuse(TWalkStop::TooLong);
    bool contained = entry.Attributes & FILE_ATTRIBUTE_DIRECTORY
                         ? SubfolderIsContained(walk, folder, entry.Name, below)
                         : FileIsContained(walk, folder, entry.Name, below.Name);
    if (!contained) return false;
    if (!(entry.Attributes & FILE_ATTRIBUTE_DIRECTORY)) ++walk.Files;
    walk.Bytes += entry.Size;
  }
  return !listing.Failed() || walk.Refuse(TWalkStop::Unreadable);
}

enum class TFileOutcome { Deleted, ReadOnly, Link, InUse, Other };

// Deletes a file through the handle that was checked, so the name cannot be
// swapped between the check and the deletion. With CountOnly it opens the
// file only to ask for its name, which breaks no other program's lock and
// looks like no deletion, and stops there. Read-only files and links are
// kept without a try.
TFileOutcome DeleteOwnFile(TPlatform& platform, HANDLE folder, const TDirEntry& entry, const std::wstring& expected,
                           TCleanMode mode) {
  if (entry.Attributes & FILE_ATTRIBUTE_REPARSE_POINT) return TFileOutcome::Link;
  if (entry.Attributes & FILE_ATTRIBUTE_READONLY) return TFileOutcome::ReadOnly;
  ACCESS_MASK access = mode == TCleanMode::CountOnly ? FILE_READ_ATTRIBUTES : DELETE;
  TFileHandle file(platform, OpenRelative(platform, folder, entry.Name, access, FILE_NON_DIRECTORY_FILE));
  if (!file.Valid())
    return GetLastError() == ERROR_SHARING_VIOLATION ? TFileOutcome::InUse : TFileOutcome::Other;
  if (ObjectName(platform, file.Get()) != expected) return TFileOutcome::Link;
  if (mode == TCleanMode::CountOnly) return TFileOutcome::Deleted;
  FILE_DISPOSITION_INFO disposition{TRUE};
  if (platform.SetFileInformationByHandle(file.Get(), FileDispositionInfo, &disposition, sizeof disposition))
    return TFileOutcome::Deleted;
  return GetLastError() == ERROR_SHARING_VIOLATION ? TFileOutcome::InUse : TFileOutcome::Other;
}

void Count(TFolderCounts& counts, TFileOutcome outcome, unsigned long long size) {
  switch (outcome) {
    case TFileOutcome::Deleted:
      ++counts.Deleted;
      counts.Bytes += size;
      break;
    case TFileOutcome::ReadOnly: ++counts.ReadOnly; break;
    case TFileOutcome::Link: ++counts.Links; break;
    case TFileOutcome::InUse: ++counts.InUse; break;
    case TFileOutcome::Other: ++counts.Other; break;
  }
}

void CountKept(TFoldersKept& kept, TWalkStop stop) {
  switch (stop) {
    case TWalkStop::Link: ++kept.Links; break;
    case TWalkStop::OddName: ++kept.OddNames; break;
    case TWalkStop::TooLong: ++kept.TooLong; break;
    case TWalkStop::None:
    case TWalkStop::Unreadable: ++kept.Other; break;
  }
}

std::wstring WithBackslash(std::wstring path) {
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  return path;
}

// The shell's flags for a subfolder: into the recycle bin, with no question
// whether to delete it, but with one before it would delete it for good
// because the bin cannot take it (Wine, too, deletes for good without a
// word otherwise). Unattended also without progress or error windows; the
// run answers that one question "No" (see TQuestionGuard).
FILEOP_FLAGS PurgeFlags(TCleanMode mode) {
  FILEOP_FLAGS flags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_WANTNUKEWARNING;
  if (mode == TCleanMode::DeleteUnwatched) flags |= FOF_SILENT | FOF_NOERRORUI;
  return flags;
}

// Hands each plain subfolder that holds no link to the shell; the others,
// and those the shell refuses, are counted as kept, by their reason.
void PurgeSubfolders(TPlatform& platform, HANDLE folder, const std::wstring& name, const std::wstring& path,
                     const std::vector<std::wstring>& subfolders, TFolderCounts& counts, TCleanMode mode) {
  for (const std::wstring& subfolder : subfolders) {
    KeepPainting();
    // Wine's shell deletes for good when it cannot reach the trash, and then
    // follows links; a subfolder holding one is left alone. The shell takes
    // a name, so the check and its work are not one step: the window
    // between them is as short as the program can make it.
    TWalk walk{platform};
    TPlace place{name + L"\\" + subfolder, path.size() + subfolder.size(), 0};
    if (place.ShellLength > ShellNameLimit) walk.Refuse(TWalkStop::TooLong);
    if (walk.Stop != TWalkStop::None || !SubfolderIsContained(walk, folder, subfolder, place)) {
      CountKept(counts.FoldersKept, walk.Stop);
      continue;
    }
    switch (mode == TCleanMode::CountOnly ? TShellOutcome::ToBin : ShellDeleteFolder(path + subfolder, PurgeFlags(mode))) {
      case TShellOutcome::ToBin:
        ++counts.FoldersToBin;
        counts.FilesToBin += walk.Files;
        counts.Bytes += walk.Bytes;
        break;
      case TShellOutcome::BinUnreachable: ++counts.FoldersKept.BinUnreachable; break;
      case TShellOutcome::Refused: ++counts.FoldersKept.Refused; break;
    }
  }
}

}  // namespace

std::wstring QueryTempFolderPath() {
  constexpr DWORD size = 261;
  wchar_t buffer[size] = {};
  DWORD length = Platform().GetTempPathW(size, buffer);
  if (length == 0 || length >= size) return {};
  return std::wstring(buffer, length);
}

bool IsSelfContained(const std::wstring& folder) {
  TPlatform& platform = Platform();
  TFileHandle handle(platform, folder.empty() ? INVALID_HANDLE_VALUE : OpenFolderToWalk(platform, folder));
  if (!handle.Valid()) return false;
  TWalk walk{platform};
  TPlace place{ObjectName(platform, handle.Get()), folder.size(), 0};
  return !place.Name.empty() && ContentsAreContained(walk, handle.Get(), place);
}

TShellOutcome ShellDeleteFolder(const std::wstring& path, FILEOP_FLAGS flags) {
  // The path, then at least two zeros: a list of one name.
  wchar_t from[ShellNameLimit + 2] = {};
  if (path.empty() || path.size() > ShellNameLimit) return TShellOutcome::Refused;
  std::wmemcpy(from, path.data(), path.size());
  SHFILEOPSTRUCTW operation{};
  operation.hwnd = nullptr;
  operation.wFunc = FO_DELETE;
  operation.pFrom = from;
  operation.pTo = nullptr;
  operation.fFlags = flags;
  try {
    int result = Platform().SHFileOperationW(&operation);
    // With FOF_NOCONFIRMATION the only question left is whether to delete
    // for good what the bin cannot take; a "No" aborts the operation.
    if (operation.fAnyOperationsAborted) return TShellOutcome::BinUnreachable;
    return result == 0 ? TShellOutcome::ToBin : TShellOutcome::Refused;
  } catch (...) {
    return TShellOutcome::Refused;
  }
}

bool ShellDeleteFolder(const std::wstring& path, bool confirm, bool showProgress) {
  FILEOP_FLAGS flags = FOF_ALLOWUNDO;
  if (!confirm) flags |= FOF_NOCONFIRMATION;
  if (!showProgress) flags |= FOF_SILENT;
  return ShellDeleteFolder(path, flags) == TShellOutcome::ToBin;
}

bool IsFullyQualifiedPath(const std::wstring& path) {
  std::wstring root;
  std::size_t end;
  return AbsoluteRoot(SlashesAsBackslashes(path), root, end);
}

void PurgeTempFolder(const std::wstring& tempFolderPath) {
  TFolderCounts counts;
  PurgeTempFolder(tempFolderPath, counts, TCleanMode::Delete);
}

void PurgeTempFolder(const std::wstring& tempFolderPath, TFolderCounts& counts, TCleanMode mode) {
  TPlatform& platform = Platform();
  TFileHandle folder(platform, OpenApprovedFolder(platform, tempFolderPath));
  if (folder.Valid()) PurgeApprovedFolder(platform, folder.Get(), tempFolderPath, counts, mode);
}

void PurgeApprovedFolder(TPlatform& platform, HANDLE folder, const std::wstring& path, TFolderCounts& counts,
                         TCleanMode mode) {
  std::wstring name = ObjectName(platform, folder);
  if (name.empty()) return;
  counts.Approved = true;
  // The files first, for good; the plain subfolders after, to the shell.
  std::vector<std::wstring> subfolders;
  TFolderListing listing(platform, folder);
  TDirEntry entry;
  while (listing.Next(entry)) {
    KeepPainting();
    if (!(entry.Attributes & FILE_ATTRIBUTE_DIRECTORY))
      Count(counts, DeleteOwnFile(platform, folder, entry, name + L"\\" + entry.Name, mode), entry.Size);
    else if (IsPlainSubfolder(entry))
      subfolders.push_back(entry.Name);
    else if (entry.Attributes & FILE_ATTRIBUTE_REPARSE_POINT)
      ++counts.FoldersKept.Links;
    else
      ++counts.FoldersKept.Marked;
  }
  // A listing that broke off leaves the folder as it is from there on.
  if (listing.Failed()) return;
  counts.Complete = true;
  PurgeSubfolders(platform, folder, name, WithBackslash(path), subfolders, counts, mode);
}
