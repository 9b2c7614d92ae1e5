#include "clean/DeleTree.h"

#include <algorithm>
#include <cstddef>

namespace {

constexpr DWORD MaskedBits = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | 8 /* volume label */ |
                             FILE_ATTRIBUTE_DIRECTORY;
constexpr std::size_t BatchBytes = 64 * 1024;
constexpr std::size_t UsedUp = static_cast<std::size_t>(-1);
constexpr std::size_t NameOffset = offsetof(FILE_FULL_DIR_INFO, FileName);
constexpr std::size_t RecordAlignment = alignof(FILE_FULL_DIR_INFO);

}  // namespace

bool PassesMask(DWORD attributes, DWORD mask) { return (attributes & MaskedBits & ~mask) == 0; }

bool IsPlainSubfolder(const TDirEntry& entry) {
  return PassesMask(entry.Attributes, FILE_ATTRIBUTE_DIRECTORY) && !entry.Name.empty() && entry.Name[0] != L'.' &&
         entry.Attributes == FILE_ATTRIBUTE_DIRECTORY;
}

bool ShellCanName(const std::wstring& name) { return !name.empty() && name.back() != L'.' && name.back() != L' '; }

TFolderListing::TFolderListing(TPlatform& platform, HANDLE folder)
    : FPlatform(platform), FFolder(folder), FBuffer(BatchBytes / sizeof(LONGLONG)), FOffset(UsedUp) {}

// The first call starts the listing from the beginning, whatever an earlier
// reader of the handle left behind. The call does not say how many bytes it
// filled; the buffer is cleared first, so that a record that leads past
// them finds an empty name and the batch counts as broken.
bool TFolderListing::ReadBatch() {
  FILE_INFO_BY_HANDLE_CLASS kind = FFirst ? FileFullDirectoryRestartInfo : FileFullDirectoryInfo;
  FFirst = false;
  std::fill(FBuffer.begin(), FBuffer.end(), 0);
  if (FPlatform.GetFileInformationByHandleEx(FFolder, kind, FBuffer.data(), BatchBytes)) {
    FOffset = 0;
    return true;
  }
  FFailed = GetLastError() != ERROR_NO_MORE_FILES;
  return false;
}

namespace {

// A record lies whole inside the batch, aligned as the system lays records
// out, with a name, and the next one starts after it and inside the batch.
bool RecordFits(const char* batch, std::size_t offset) {
  if (offset % RecordAlignment != 0 || offset + NameOffset > BatchBytes) return false;
  auto* record = reinterpret_cast<const FILE_FULL_DIR_INFO*>(batch + offset);
  std::size_t length = NameOffset + record->FileNameLength, next = record->NextEntryOffset;
  if (record->FileNameLength == 0 || record->FileNameLength % sizeof(wchar_t) != 0 || offset + length > BatchBytes)
    return false;
  return next == 0 || (next >= length && next % RecordAlignment == 0 && offset + next < BatchBytes);
}

}  // namespace

bool TFolderListing::Next(TDirEntry& entry) {
  for (;;) {
    if (FOffset == UsedUp && !ReadBatch()) return false;
    auto* bytes = reinterpret_cast<const char*>(FBuffer.data());
    if (!RecordFits(bytes, FOffset)) {
      FFailed = true;
      return false;
    }
    auto* record = reinterpret_cast<const FILE_FULL_DIR_INFO*>(bytes + FOffset);
    FOffset = record->NextEntryOffset ? FOffset + record->NextEntryOffset : UsedUp;
    std::wstring name(record->FileName, record->FileNameLength / sizeof(wchar_t));
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

bool IsObject(TPlatform& platform, HANDLE handle, const std::wstring& expected) {
  FILE_BASIC_INFO basic{};
  if (!platform.GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic)) return false;
  if (basic.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return false;
  std::wstring name = ObjectName(platform, handle);
  return !name.empty() && name == expected;
}
