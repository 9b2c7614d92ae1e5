#include "app/Settings.h"

#include <windows.h>

#include "app/WholeFile.h"
#include "platform/Platform.h"
#include "base/SysUtils.h"

namespace {

// A handle of the real system for the reading, closed on every path.
class TReadHandle {
public:
  explicit TReadHandle(HANDLE handle) : FHandle(handle) {}
  ~TReadHandle() {
    if (Valid()) CloseHandle(FHandle);
  }
  TReadHandle(const TReadHandle&) = delete;
  TReadHandle& operator=(const TReadHandle&) = delete;
  bool Valid() const { return FHandle != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return FHandle; }

private:
  HANDLE FHandle;
};

}  // namespace

void TSettingsReader::SetLine(int line, bool on) {
  switch (line) {
    case 0: FOptions.RecycleBin = on; break;
    case 1: FOptions.TempFolder = on; break;
    case 2: FOptions.Documents = on; break;
    case 3: FOptions.StartMinimized = on; break;
    case 4: FOptions.AutoStart = on; break;
  }
}

bool TSettingsReader::Feed(std::string_view data) {
  for (char c : data) {
    if (FLine >= SettingsLineCount) break;
    // Only a line's first character counts; for an empty line that is the
    // line end itself (LF, or the CR of CR LF), which reads as off.
    if (FAtLineStart) {
      SetLine(FLine, c == '1');
      FAtLineStart = false;
    }
    if (c == '\n') {
      ++FLine;
      FAtLineStart = true;
    }
  }
  return FLine < SettingsLineCount;
}

void TSettingsReader::Finish() {
  if (!FAtLineStart) ++FLine;  // a last line without a line end
  FAtLineStart = true;
  for (; FLine < SettingsLineCount; ++FLine) SetLine(FLine, false);
}

std::string SettingsText(const TOptions& options) {
  std::string text;
  for (bool on : {options.RecycleBin, options.TempFolder, options.Documents, options.StartMinimized,
                  options.AutoStart})
    text += on ? "1\r\n" : "0\r\n";
  return text;
}

std::string SettingsFilePath() {
  char path[MAX_PATH + 1] = {};
  DWORD length = Platform().GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  std::string folder(path, length);
  size_t slash = folder.find_last_of('\\');
  if (slash == std::string::npos) return {};
  folder.resize(slash + 1);
  std::string full = folder + SettingsFileName;
  if (full.size() >= MAX_PATH) return {};
  return full;
}

void ReadSettingsFile(const std::string& path, TOptions& options) {
  if (path.empty()) return;
  TReadHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return;
  TSettingsReader reader(options);
  char buffer[4096];
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr)) return;  // lines not reached keep their defaults
    if (read == 0) {
      reader.Finish();
      return;
    }
    if (!reader.Feed(std::string_view(buffer, read))) return;
  }
}

void WriteSettingsFile(const std::string& path, const TOptions& options) {
  if (path.empty()) throw EInOutError(ERROR_FILENAME_EXCED_RANGE);
  // Written whole or not at all: a short file would read as every option off.
  DWORD error = WriteWholeFile(WidePath(path), SettingsText(options));
  if (error != ERROR_SUCCESS) throw EInOutError(error);
}
