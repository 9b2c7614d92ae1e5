#include "app/WholeFile.h"

#include "platform/Handles.h"

namespace {

// The error of a call that failed; never "success", which would let the
// failure pass for a write.
DWORD FailureCode() {
  DWORD error = ::GetLastError();
  return error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT;
}

// A run without the window reads the settings file for a moment. Wine, and
// Windows before its replace could pass over open files, cannot replace a
// file that is open, even one shared for deletion: the replace is tried
// again for about half a second before it counts as failed.
constexpr int ReplaceTries = 20;
constexpr DWORD ReplacePause = 25;

bool NameTaken(DWORD error) { return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS; }

// Makes a new file beside PATH, for writing by this program alone: PATH.new
// when nobody uses that name, otherwise a name the system makes unique in
// the same folder. A file that already has the name (another program's, a
// leftover, a link) is never opened, let alone truncated. FRESH receives
// the name of the file made, and stays empty when none was made.
HANDLE CreateFreshFile(TPlatform& platform, const std::wstring& path, std::wstring& fresh) {
  std::wstring name = path + L".new";
  HANDLE file =
      platform.CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) fresh = name;
  if (file != INVALID_HANDLE_VALUE || !NameTaken(GetLastError())) return file;
  std::size_t slash = path.find_last_of(L'\\');
  std::wstring folder = slash == std::wstring::npos ? L"." : path.substr(0, slash + 1);
  wchar_t unique[MAX_PATH + 1] = {};
  if (!platform.GetTempFileNameW(folder.c_str(), L"spw", 0, unique)) return INVALID_HANDLE_VALUE;
  // The system made it empty an instant ago; it is this program's now.
  fresh = unique;
  return platform.CreateFileW(fresh.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
}

// Writes the bytes to a fresh file and flushes it; the file is closed when
// this returns, also on failure.
DWORD WriteFreshFile(TPlatform& platform, const std::wstring& path, const std::string& bytes, std::wstring& fresh) {
  TFileHandle file(platform, CreateFreshFile(platform, path, fresh));
  if (!file.Valid()) return FailureCode();
  DWORD written = 0;
  if (!platform.WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
    return FailureCode();
  if (written != bytes.size()) return ERROR_DISK_FULL;
  if (!platform.FlushFileBuffers(file.Get())) return FailureCode();
  return ERROR_SUCCESS;
}

bool Replace(TPlatform& platform, const std::wstring& fresh, const std::wstring& path) {
  for (int tries = 1;; ++tries) {
    if (platform.MoveFileExW(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return true;
    DWORD error = GetLastError();
    if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || tries == ReplaceTries) return false;
    Sleep(ReplacePause);
    SetLastError(error);
  }
}

}  // namespace

DWORD WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  TPlatform& platform = Platform();
  DWORD attributes = platform.GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return ERROR_ACCESS_DENIED;
  std::wstring fresh;
  DWORD error = WriteFreshFile(platform, path, bytes, fresh);
  if (error == ERROR_SUCCESS && !Replace(platform, fresh, path)) error = FailureCode();
  if (error != ERROR_SUCCESS && !fresh.empty()) platform.DeleteFileW(fresh.c_str());
  return error;
}
