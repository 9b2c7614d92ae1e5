#include "clean/DeleTree.h"

#include <cstddef>

namespace {

constexpr DWORD MaskedBits = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | 8 /* volume label */ |
                             FILE_ATTRIBUTE_DIRECTORY;
constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr std::size_t BatchBytes = 64 * 1024;
constexpr std::size_t UsedUp = static_cast<std::size_t>(-1);

}  // namespace

bool PassesMask(DWORD attributes, DWORD mask) { return (attributes & MaskedBits & ~mask) == 0; }

bool IsPlainSubfolder(const TDirEntry& entry) {
  return PassesMask(entry.Attributes, FILE_ATTRIBUTE_DIRECTORY) && !entry.Name.empty() && entry.Name[0] != L'.' &&
         entry.Attributes == FILE_ATTRIBUTE_DIRECTORY;
}

bool SameName(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

TFolderListing::TFolderListing(TPlatform& platform, HANDLE folder)
    : FPlatform(platform), FFolder(folder), FBuffer(BatchBytes / sizeof(LONGLONG)), FOffset(UsedUp) {}

// The first call starts the listing from the beginning, whatever an earlier
// reader of the handle left behind.
bool TFolderListing::ReadBatch() {
  FILE_INFO_BY_HANDLE_CLASS kind = FFirst ? FileFullDirectoryRestartInfo : FileFullDirectoryInfo;
  FFirst = false;
  if (FPlatform.GetFileInformationByHandleEx(FFolder, kind, FBuffer.data(), BatchBytes)) {
    FOffset = 0;
    return true;
  }
  FFailed = GetLastError() != ERROR_NO_MORE_FILES;
  return false;
}

bool TFolderListing::Next(TDirEntry& entry) {
  for (;;) {
    if (FOffset == UsedUp && !ReadBatch()) return false;
    auto* bytes = reinterpret_cast<const char*>(FBuffer.data());
    auto* record = reinterpret_cast<const FILE_FULL_DIR_INFO*>(bytes + FOffset);
    std::size_t length = record->FileNameLength / sizeof(wchar_t);
    // A record must lie inside the batch, or the batch counts as failed.
    if (FOffset + offsetof(FILE_FULL_DIR_INFO, FileName) + record->FileNameLength > BatchBytes) {
      FFailed = true;
      return false;
    }
    FOffset = record->NextEntryOffset ? FOffset + record->NextEntryOffset : UsedUp;
    std::wstring name(record->FileName, length);
    if (name == L"." || name == L"..") continue;
    entry.Attributes = record->FileAttributes;
    entry.Size = static_cast<unsigned long long>(record->EndOfFile.QuadPart);
    entry.Name = std::move(name);
    return true;
  }
}

HANDLE OpenRelative(TPlatform& platform, HANDLE folder, const std::wstring& name, ACCESS_MASK access,
                    ULONG options) {
  UNICODE_STRING text;
  text.Buffer = const_cast<PWSTR>(name.c_str());
  text.Length = text.MaximumLength = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, folder, nullptr);
  IO_STATUS_BLOCK status{};
  HANDLE handle = nullptr;
  // Synchronous, so that the handle can be listed and read like CreateFile's.
  NTSTATUS result =
      platform.NtOpenFile(&handle, access | SYNCHRONIZE, &attributes, &status, ShareAll,
                          options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT);
  if (NT_SUCCESS(result) && handle) return handle;
  SetLastError(RtlNtStatusToDosError(result));
  return INVALID_HANDLE_VALUE;
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

bool IsObject(TPlatform& platform, HANDLE handle, const std::wstring& expected) {
  FILE_BASIC_INFO basic{};
  if (!platform.GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic)) return false;
  if (basic.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return false;
  std::wstring name = ObjectName(platform, handle);
  return !name.empty() && SameName(name, expected);
}
