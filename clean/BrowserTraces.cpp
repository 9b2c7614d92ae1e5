#include "clean/BrowserTraces.h"

#include <objbase.h>
#include <shlobj.h>

#include <vector>

#include "clean/TempPurge.h"
#include "platform/FileIdentity.h"
#include "platform/Handles.h"

// ---- Typed addresses ----

namespace {

constexpr const char* TypedUrlsKey = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
constexpr const char* TypedUrlTimesKey = "Software\\Microsoft\\Internet Explorer\\TypedURLsTime";
constexpr DWORD LongestValueName = 16383;  // characters, as the registry allows

// The names of every value of the key, read before any is deleted, since a
// deletion moves the indices of those after it. False when the reading
// broke off.
bool ValueNames(TPlatform& platform, HKEY key, std::vector<std::wstring>& names) {
  std::vector<wchar_t> buffer(LongestValueName + 1);
  for (DWORD index = 0;; ++index) {
    DWORD length = LongestValueName + 1;
    LSTATUS status =
        platform.RegEnumValueW(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) return true;
    if (status != ERROR_SUCCESS) return false;
    names.emplace_back(buffer.data(), length);
  }
}

// Deletes the values of one key and returns how many went (or would go).
int ClearValues(TPlatform& platform, const char* path, TTypedUrlCounts& counts, TCleanMode mode) {
  HKEY opened = nullptr;
  REGSAM access = mode == TCleanMode::CountOnly ? KEY_QUERY_VALUE : KEY_ALL_ACCESS;
  LSTATUS status = platform.RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, access, &opened);
  if (status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND) return 0;
  if (status != ERROR_SUCCESS) {
    counts.Unreadable = true;
    return 0;
  }
  TRegKeyHandle key(platform, opened);
  std::vector<std::wstring> names;
  if (!ValueNames(platform, key.Get(), names)) counts.Unreadable = true;
  int deleted = 0;
  for (const std::wstring& name : names) {
    if (mode == TCleanMode::CountOnly || platform.RegDeleteValueW(key.Get(), name.c_str()) == ERROR_SUCCESS)
      ++deleted;
    else
      ++counts.Kept;
  }
  return deleted;
}

}  // namespace

void ClearTypedUrls(TTypedUrlCounts& counts, TCleanMode mode) {
  TPlatform& platform = Platform();
  counts.Addresses += ClearValues(platform, TypedUrlsKey, counts, mode);
  counts.Times += ClearValues(platform, TypedUrlTimesKey, counts, mode);
}

// ---- Browser folders ----

const TTraceFolder RecoveryFolders[2] = {
    {TKnownRoot::LocalAppData, L"Microsoft\\Internet Explorer\\Recovery\\Active"},
    {TKnownRoot::LocalAppData, L"Microsoft\\Internet Explorer\\Recovery\\Last Active"}};
const TTraceFolder SiteDataFolders[2] = {{TKnownRoot::LocalAppData, L"Microsoft\\Internet Explorer\\DOMStore"},
                                         {TKnownRoot::LocalAppDataLow, L"Microsoft\\Internet Explorer\\DOMStore"}};

std::wstring KnownFolderPath(TKnownRoot root) {
  PWSTR path = nullptr;
  HRESULT result = Platform().SHGetKnownFolderPath(
      root == TKnownRoot::LocalAppData ? FOLDERID_LocalAppData : FOLDERID_LocalAppDataLow, 0, nullptr, &path);
  std::wstring text = SUCCEEDED(result) && path ? path : L"";
  CoTaskMemFree(path);
  return text;
}

namespace {

// True when NAME, as the file system resolved it, lies below the folder
// KNOWN: one of the folders above it is that very folder.
bool LiesInside(TPlatform& platform, const std::wstring& name, const TFileIdentity& known) {
  // Down to "C:\" or "\\server\share"; "\" alone would be the current drive.
  for (std::size_t slash = name.find_last_of(L'\\'); slash != std::wstring::npos && slash >= 2;
       slash = name.find_last_of(L'\\', slash - 1)) {
    std::wstring parent = name.substr(0, slash);
    if (parent.back() == L':') parent += L'\\';
    TFileIdentity identity;
    if (IdentityOf(platform, parent, identity) && identity == known) return true;
  }
  return false;
}

}  // namespace

void PurgeTraceFolder(const std::wstring& root, const std::wstring& below, TTraceCounts& counts, TCleanMode mode) {
  TPlatform& platform = Platform();
  TFileIdentity known;
  if (!IsFullyQualifiedPath(root) || !IdentityOf(platform, root, known)) return;
  std::wstring path = root.back() == L'\\' ? root + below : root + L"\\" + below;
  TFileHandle folder(platform, OpenFolderToWalk(platform, path));
  if (!folder.Valid()) {
    DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) ++counts.Broken;
    return;
  }
  if (!LiesInside(platform, ObjectName(platform, folder.Get()), known)) {
    ++counts.Refused;
    return;
  }
  // The walk only adds to its counts, so each folder's adds to the run's;
  // Approved and Complete say how this one went.
  TFolderCounts& contents = counts.Contents;
  contents.Approved = contents.Complete = false;
  PurgeApprovedFolder(platform, folder.Get(), path, contents, mode);
  ++(contents.Approved && contents.Complete ? counts.Folders : counts.Broken);
}

void PurgeTraceFolders(std::span<const TTraceFolder> folders, TTraceCounts& counts, TCleanMode mode) {
  for (const TTraceFolder& folder : folders) {
    std::wstring root = KnownFolderPath(folder.Root);
    if (!root.empty()) PurgeTraceFolder(root, folder.Below, counts, mode);
  }
}
