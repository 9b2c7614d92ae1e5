#include "app/WholeFile.h"

#include "platform/Handles.h"

namespace {

// The error of a call that failed; never "success", which would let the
// failure pass for a write.
DWORD FailureCode() {
  DWORD error = ::GetLastError();
  return error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT;
}

// Creates or overwrites the file with the bytes and flushes it; the file is
// closed when this returns, also on failure.
DWORD WriteNewFile(TPlatform& platform, const std::wstring& path, const std::string& bytes) {
  TFileHandle file(platform, platform.CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return FailureCode();
  DWORD written = 0;
  if (!platform.WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
    return FailureCode();
  if (written != bytes.size()) return ERROR_DISK_FULL;
  if (!platform.FlushFileBuffers(file.Get())) return FailureCode();
  return ERROR_SUCCESS;
}

}  // namespace

DWORD WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  TPlatform& platform = Platform();
  DWORD attributes = platform.GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return ERROR_ACCESS_DENIED;
  std::wstring fresh = path + L".new";
  DWORD error = WriteNewFile(platform, fresh, bytes);
  if (error == ERROR_SUCCESS &&
      !platform.MoveFileExW(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    error = FailureCode();
  if (error != ERROR_SUCCESS) platform.DeleteFileW(fresh.c_str());
  return error;
}

std::wstring WidePath(const std::string& path) {
  if (path.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), wide.data(), n);
  return wide;
}
