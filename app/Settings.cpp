#include "app/Settings.h"

#include <windows.h>

#include "app/WholeFile.h"
#include "base/SysUtils.h"
#include "platform/FileIdentity.h"
#include "platform/Handles.h"

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

std::wstring SettingsFilePath() {
  std::wstring folder = OwnModulePath(Platform());
  std::size_t slash = folder.find_last_of(L'\\');
  if (slash == std::wstring::npos) return {};
  folder.resize(slash + 1);
  return folder + SettingsFileName;
}

DWORD ReadSettingsFile(const std::wstring& path, TOptions& options) {
  if (path.empty()) return ERROR_INVALID_NAME;
  TPlatform& platform = Platform();
  TFileHandle file(platform, platform.CreateFileW(path.c_str(), GENERIC_READ,
                                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return GetLastError();
  TSettingsReader reader(options);
  char buffer[4096];
  for (;;) {
    DWORD read = 0;
    // Lines not reached keep their defaults.
    if (!ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr)) return GetLastError();
    if (read == 0) {
      reader.Finish();
      return ERROR_SUCCESS;
    }
    if (!reader.Feed(std::string_view(buffer, read))) return ERROR_SUCCESS;
  }
}

void WriteSettingsFile(const std::wstring& path, const TOptions& options) {
  if (path.empty()) throw EInOutError(ERROR_FILENAME_EXCED_RANGE);
  // Written whole or not at all: a short file would read as every option off.
  DWORD error = WriteWholeFile(path, SettingsText(options));
  if (error != ERROR_SUCCESS) throw EInOutError(error);
}
