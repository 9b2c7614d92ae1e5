#include "clean/TempPurge.h"

#include <cctype>
#include <cstring>
#include <vector>

#include "clean/DeleTree.h"
#include "platform/Handles.h"
#include "ui/Responsive.h"

// ---- Path rules (pure) ----

namespace {

// Upper case for Windows-1252 letters, so "ä" and "Ä" compare equal.
char FoldCase(char c) {
  auto u = static_cast<unsigned char>(c);
  if (u >= 'a' && u <= 'z') return static_cast<char>(u - 32);
  if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<char>(u - 32);
  if (u == 0x9A || u == 0x9C || u == 0x9E) return static_cast<char>(u - 16);
  if (u == 0xFF) return static_cast<char>(0x9F);
  return c;
}

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  return true;
}

// The system drops trailing dots and blanks of a path part ("Windows." is
// "Windows"); a part left empty was ".", ".." or the like.
bool CleanPart(std::string& part) {
  while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
  return !part.empty() && part.find_first_of(":*?\"<>|") == std::string::npos;
}

// Splits an absolute path into its root ("C:" or "\\server\share") and its
// parts. False for a relative or malformed path.
bool SplitAbsolute(std::string path, std::vector<std::string>& parts) {
  parts.clear();
  for (char& c : path)
    if (c == '/') c = '\\';
  std::size_t pos;
  if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
      path[2] == '\\') {
    parts.push_back(path.substr(0, 2));
    pos = 3;
  } else if (path.size() > 2 && path[0] == '\\' && path[1] == '\\') {
    std::size_t server = path.find('\\', 2);
    if (server == std::string::npos) return false;
    std::size_t share = path.find('\\', server + 1);
    if (share == std::string::npos) share = path.size();
    std::string host = path.substr(2, server - 2), name = path.substr(server + 1, share - server - 1);
    // "\\?\" and "\\.\" name devices, not shares.
    if (host.empty() || host == "?" || host == "." || !CleanPart(name)) return false;
    parts.push_back("\\\\" + host + "\\" + name);
    pos = share;
  } else {
    return false;
  }
  while (pos < path.size()) {
    std::size_t end = path.find('\\', pos);
    if (end == std::string::npos) end = path.size();
    std::string part = path.substr(pos, end - pos);
    if (!part.empty()) {
      if (!CleanPart(part)) return false;
      parts.push_back(part);
    }
    pos = end + 1;
  }
  return true;
}

// True when a is b or one of b's ancestors.
bool IsSameOrAncestor(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  if (a.size() > b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (!SameText(a[i], b[i])) return false;
  return true;
}

}  // namespace

bool IsSafeTempFolder(const std::string& path, const std::string& windowsDir,
                      const std::string& profileDir) {
  std::vector<std::string> folder, windows, profile;
  if (!SplitAbsolute(path, folder) || folder.size() < 2) return false;
  // Without both reference folders nothing can be shown to be safe.
  if (!SplitAbsolute(windowsDir, windows) || !SplitAbsolute(profileDir, profile)) return false;
  return !IsSameOrAncestor(folder, windows) && !IsSameOrAncestor(folder, profile);
}

// ---- Resolved names ----

namespace {

std::string WithBackslash(std::string path) {
  if (!path.empty() && path.back() != '\\') path += '\\';
  return path;
}

// The name the file system gives an open handle, without the "\\?\" prefix
// (and "\\?\UNC\" turned back into "\\"); empty when it cannot tell.
std::string FinalName(TPlatform& platform, HANDLE handle) {
  char buffer[1024];
  DWORD n = platform.GetFinalPathNameByHandleA(handle, buffer, sizeof buffer,
                                               FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (n == 0 || n >= sizeof buffer) return "";
  std::string name(buffer, n);
  if (name.rfind("\\\\?\\UNC\\", 0) == 0) return "\\\\" + name.substr(8);
  if (name.rfind("\\\\?\\", 0) == 0) return name.substr(4);
  return name;
}

constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The resolved name of a folder, links followed; empty when it cannot be opened.
std::string ResolvedFolder(TPlatform& platform, const std::string& folder) {
  TFileHandle handle(platform,
                     platform.CreateFileA(folder.c_str(), FILE_READ_ATTRIBUTES, ShareAll, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return handle.Valid() ? FinalName(platform, handle.Get()) : "";
}

// Opens a file itself, not what a link in its place points to.
HANDLE OpenEntry(TPlatform& platform, const std::string& path, DWORD access) {
  return platform.CreateFileA(path.c_str(), access, ShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

// Wine shows a link to a file as a plain file and opens its target even with
// FILE_FLAG_OPEN_REPARSE_POINT; the resolved name then lies elsewhere.
bool ResolvesTo(TPlatform& platform, HANDLE handle, const std::string& expected) {
  std::string name = FinalName(platform, handle);
  return !name.empty() && SameText(name, expected);
}

// Deletes the file through the handle that was checked, so the name cannot
// be swapped between the check and the deletion.
void DeleteOwnFile(TPlatform& platform, const std::string& path, const std::string& expected) {
  TFileHandle file(platform, OpenEntry(platform, path, DELETE));
  if (!file.Valid() || !ResolvesTo(platform, file.Get(), expected)) return;
  FILE_DISPOSITION_INFO disposition{TRUE};
  platform.SetFileInformationByHandle(file.Get(), FileDispositionInfo, &disposition,
                                      sizeof disposition);
}

bool TreeIsSelfContained(TPlatform& platform, const std::string& folder,
                         const std::string& resolved) {
  TDirSearch search(folder + "*.*", AnyEntry);
  if (!search.Valid()) return false;
  TDirEntry entry;
  while (search.Next(entry)) {
    KeepPainting();
    if (entry.Name == "." || entry.Name == "..") continue;
    if (entry.Attributes & FILE_ATTRIBUTE_REPARSE_POINT) return false;
    std::string path = folder + entry.Name;
    std::string expected = resolved + entry.Name;
    if (entry.Attributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (!TreeIsSelfContained(platform, path + "\\", expected + "\\")) return false;
    } else {
      TFileHandle file(platform, OpenEntry(platform, path, FILE_READ_ATTRIBUTES));
      if (!file.Valid() || !ResolvesTo(platform, file.Get(), expected)) return false;
    }
  }
  return true;
}

}  // namespace

void DeleteMatchingFiles(const std::string& folder, const std::string& pattern) {
  // An empty name would search the current directory.
  if (folder.empty()) return;
  TPlatform& platform = Platform();
  std::string resolved = WithBackslash(ResolvedFolder(platform, folder));
  if (resolved.empty()) return;
  TDirSearch search(folder + pattern, AnyEntry);
  TDirEntry entry;
  while (search.Next(entry)) {
    KeepPainting();
    if (entry.Attributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    DeleteOwnFile(platform, folder + entry.Name, resolved + entry.Name);
  }
}

bool IsSelfContained(const std::string& folder) {
  if (folder.empty()) return false;
  TPlatform& platform = Platform();
  std::string resolved = WithBackslash(ResolvedFolder(platform, folder));
  if (resolved.empty()) return false;
  return TreeIsSelfContained(platform, WithBackslash(folder), resolved);
}

bool ShellDeleteFolder(const std::string& path, bool confirm, bool showProgress) {
  // The path, then at least two zero bytes: a list of one name.
  char from[256] = {};
  if (path.empty() || path.size() > sizeof from - 2) return false;
  std::memcpy(from, path.data(), path.size());
  SHFILEOPSTRUCTA operation{};
  operation.hwnd = nullptr;
  operation.wFunc = FO_DELETE;
  operation.pFrom = from;
  operation.pTo = nullptr;
  operation.fFlags = FOF_ALLOWUNDO;
  if (!confirm) operation.fFlags |= FOF_NOCONFIRMATION;
  if (!showProgress) operation.fFlags |= FOF_SILENT;
  try {
    return Platform().SHFileOperationA(&operation) == 0;
  } catch (...) {
    return false;
  }
}

// ---- The purge ----

namespace {

std::string WindowsFolder(TPlatform& platform) {
  char buffer[MAX_PATH + 1];
  UINT n = platform.GetWindowsDirectoryA(buffer, sizeof buffer);
  return n > 0 && n < sizeof buffer ? std::string(buffer, n) : "";
}

std::string ProfileFolder(TPlatform& platform) {
  char buffer[MAX_PATH + 1] = {};
  if (FAILED(platform.SHGetFolderPathA(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT,
                                       buffer)))
    return "";
  return buffer;
}

// How one environment variable reads for GetTempPathA.
enum class TVariable { Unset, Set, Unreadable };

// GetTempPathA passes over a variable that is not set or empty; anything
// else that stops the reading leaves the source of the folder unknown.
TVariable ReadVariable(TPlatform& platform, const char* name, std::string& value) {
  char buffer[1024];
  ::SetLastError(ERROR_SUCCESS);
  DWORD n = platform.GetEnvironmentVariableA(name, buffer, sizeof buffer);
  if (n >= sizeof buffer) return TVariable::Unreadable;
  if (n > 0) {
    value.assign(buffer, n);
    return TVariable::Set;
  }
  DWORD error = ::GetLastError();
  return error == ERROR_SUCCESS || error == ERROR_ENVVAR_NOT_FOUND ? TVariable::Unset
                                                                    : TVariable::Unreadable;
}

// True for "X:\..." and "\\server\share...": names that mean the same folder
// whatever the current directory and drive. "/" counts as "\".
bool IsFullyQualified(std::string value) {
  for (char& c : value)
    if (c == '/') c = '\\';
  if (value.size() >= 3 && std::isalpha(static_cast<unsigned char>(value[0])) && value[1] == ':' &&
      value[2] == '\\')
    return true;
  if (value.size() < 5 || value[0] != '\\' || value[1] != '\\') return false;
  std::size_t server = value.find('\\', 2);
  if (server == std::string::npos || server == 2) return false;
  std::string host = value.substr(2, server - 2);
  // "\\?\" and "\\.\" name devices, not shares.
  return host != "?" && host != "." && server + 1 < value.size() && value[server + 1] != '\\';
}

// GetTempPathA makes a relative TMP (".", "rel", "C:x", "\x") absolute
// against the current directory, so its answer alone cannot show that the
// folder is the one the user meant. The value it came from must be fully
// qualified as written: the first of TMP, TEMP and USERPROFILE that is set
// and not empty. With none of them the system takes the Windows folder.
bool TempSourceIsFullyQualified(TPlatform& platform) {
  for (const char* name : {"TMP", "TEMP", "USERPROFILE"}) {
    std::string value;
    switch (ReadVariable(platform, name, value)) {
    case TVariable::Unset:
      continue;
    case TVariable::Set:
      return IsFullyQualified(value);
    case TVariable::Unreadable:
      return false;
    }
  }
  return false;
}

// A reference folder as the file system resolves it, or as given when it
// cannot be opened.
std::string Resolved(TPlatform& platform, const std::string& folder) {
  std::string resolved = folder.empty() ? "" : ResolvedFolder(platform, folder);
  return resolved.empty() ? folder : resolved;
}

// The folder to purge, ending with a backslash, or empty when it must not be
// touched. Checked for its source in the environment, as given (relative
// names, roots) and as resolved (short names and links that lead to the
// Windows or profile folder).
std::string ApprovedTempFolder(TPlatform& platform, const std::string& path) {
  if (!TempSourceIsFullyQualified(platform)) return "";
  std::string windows = WindowsFolder(platform), profile = ProfileFolder(platform);
  if (!IsSafeTempFolder(path, windows, profile)) return "";
  std::string resolved = ResolvedFolder(platform, path);
  if (!IsSafeTempFolder(resolved, Resolved(platform, windows), Resolved(platform, profile)))
    return "";
  return WithBackslash(path);
}

}  // namespace

void PurgeTempFolder(const std::string& tempFolderPath) {
  std::string folder = ApprovedTempFolder(Platform(), tempFolderPath);
  if (folder.empty()) return;
  DeleteMatchingFiles(folder, "*.*");
  std::vector<std::string> subfolders;
  ListSubfolders(folder, subfolders);
  for (const std::string& subfolder : subfolders) {
    KeepPainting();
    // Wine's shell deletes for good when it cannot reach the trash, and then
    // follows links; a subfolder holding one is left alone.
    if (IsSelfContained(subfolder)) ShellDeleteFolder(subfolder, false, true);
  }
}
