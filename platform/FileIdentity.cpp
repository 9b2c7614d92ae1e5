#include "platform/FileIdentity.h"

#include <vector>

#include "platform/Handles.h"

bool SameName(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

namespace {

using TKind = TPathTarget::TKind;

// Opens a file or folder only to ask what it is: no access to its data, so
// the open never conflicts with another program's lock.
HANDLE OpenToAsk(TPlatform& platform, const std::wstring& path) {
  return platform.CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, ShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// A file or folder on a disk, with its identity, or a device.
TKind Describe(TPlatform& platform, HANDLE handle, TFileIdentity& identity) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (platform.GetFileType(handle) != FILE_TYPE_DISK || !platform.GetFileInformationByHandle(handle, &info))
    return TKind::Device;
  identity = {info.dwVolumeSerialNumber, (static_cast<ULONGLONG>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
  return info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? TKind::Folder : TKind::File;
}

// A drive's root keeps its backslash: "C:" alone is the current directory
// on C:, and "\\?\C:" the volume itself.
std::wstring AsFolder(std::wstring path) {
  if (!path.empty() && path.back() == L':') path += L'\\';
  return path;
}

std::wstring ParentOf(const std::wstring& full) {
  std::size_t slash = full.find_last_of(L'\\');
  return slash == std::wstring::npos ? std::wstring() : AsFolder(full.substr(0, slash));
}

// The path and every folder above it, deepest first, down to the root.
std::vector<std::wstring> UpwardPaths(std::wstring path) {
  std::vector<std::wstring> paths;
  for (;;) {
    while (path.size() > 1 && path.back() == L'\\') path.pop_back();
    if (path.empty()) break;
    paths.push_back(AsFolder(path));
    std::size_t slash = path.find_last_of(L'\\');
    // "\\server" and "\\?" are no folders; nothing above them either.
    if (slash == std::wstring::npos || slash < 2) break;
    path.resize(slash);
  }
  return paths;
}

}  // namespace

std::wstring OwnModulePath(TPlatform& platform) {
  constexpr std::size_t longest = 32768;  // characters in the longest path Windows knows
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = platform.GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    // The name was cut to the buffer: asked again with a larger one.
    if (path.size() >= longest) return {};
    path.resize(path.size() * 2);
  }
}

std::wstring FullPath(const std::wstring& path) {
  if (path.empty()) return {};
  std::wstring full(MAX_PATH, L'\0');
  for (int tries = 0; tries < 2; ++tries) {
    DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0) return {};
    if (n < full.size()) {
      full.resize(n);
      return full;
    }
    full.resize(n);  // the size the first answer asked for, with its NUL
  }
  return {};
}

TPathTarget ResolvePathTarget(TPlatform& platform, const std::wstring& path) {
  TPathTarget target;
  std::wstring full = FullPath(path);
  if (full.empty()) {
    target.Error = ERROR_INVALID_NAME;
    return target;
  }
  target.Folder = ParentOf(full);
  TFileHandle object(platform, OpenToAsk(platform, full));
  if (object.Valid()) {
    target.Kind = Describe(platform, object.Get(), target.Identity);
    return target;
  }
  DWORD error = GetLastError();
  // Only a missing last part leads on to a folder; "C:\missing\" does not.
  if (error != ERROR_FILE_NOT_FOUND || full.back() == L'\\' || target.Folder.empty()) {
    target.Error = error;
    return target;
  }
  TFileHandle folder(platform, OpenToAsk(platform, target.Folder));
  if (!folder.Valid()) {
    target.Error = GetLastError();
    return target;
  }
  switch (Describe(platform, folder.Get(), target.Identity)) {
    case TKind::Folder: target.Kind = TKind::NewFile; break;
    case TKind::Device: target.Kind = TKind::Device; break;
    default: target.Error = ERROR_DIRECTORY; break;
  }
  return target;
}

bool IdentityOf(TPlatform& platform, const std::wstring& path, TFileIdentity& identity) {
  TFileHandle handle(platform, path.empty() ? INVALID_HANDLE_VALUE : OpenToAsk(platform, path));
  return handle.Valid() && Describe(platform, handle.Get(), identity) != TKind::Device;
}

bool SameFileObject(TPlatform& platform, const std::wstring& a, const std::wstring& b) {
  TFileIdentity first, second;
  return IdentityOf(platform, a, first) && IdentityOf(platform, b, second) && first == second;
}

bool IsWithinFolder(TPlatform& platform, const std::wstring& folder, const TFileIdentity& ancestor) {
  std::vector<std::wstring> candidates = UpwardPaths(folder);
  {
    TFileHandle handle(platform, folder.empty() ? INVALID_HANDLE_VALUE : OpenToAsk(platform, folder));
    std::wstring resolved = handle.Valid() ? ObjectName(platform, handle.Get()) : L"";
    for (std::wstring& path : UpwardPaths(resolved)) candidates.push_back(std::move(path));
  }
  for (const std::wstring& candidate : candidates) {
    TFileIdentity identity;
    if (IdentityOf(platform, candidate, identity) && identity == ancestor) return true;
  }
  return false;
}

std::wstring ObjectName(TPlatform& platform, HANDLE handle) {
  wchar_t buffer[1024];
  DWORD n = platform.GetFinalPathNameByHandleW(handle, buffer, 1024, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  std::wstring name;
  if (n > 0 && n < 1024) {
    name.assign(buffer, n);
  } else if (n >= 1024) {
    // A long path: asked again with the size the first answer gave.
    name.resize(n);
    DWORD again = platform.GetFinalPathNameByHandleW(handle, name.data(), n, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    name.resize(again < n ? again : 0);
  }
  if (name.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + name.substr(8);
  if (name.rfind(L"\\\\?\\", 0) == 0) return name.substr(4);
  return name;
}
