// The settings file: five lines of "1" (on) or "0" (off) beside the program.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

struct TOptions {
  bool RecycleBin = true;      // line 1: empty the recycle bin
  bool TempFolder = true;      // line 2: purge the temporary folder
  bool Documents = true;       // line 3: clear the recent-documents list
  bool StartMinimized = false; // line 4: start in the tray
  bool AutoStart = false;      // line 5: clean at start
};

constexpr const wchar_t* SettingsFileName = L"spurwisch.cfg";
constexpr int SettingsLineCount = 5;

// Reads settings text line by line, for as many lines as the data holds.
// A line is on when its first character is "1"; lines end at LF or CR LF.
// When the data is complete (the end of the file was reached), an empty or
// missing line counts as off; when reading broke off, the lines not reached
// keep their values.
class TSettingsReader {
public:
  explicit TSettingsReader(TOptions& options) : FOptions(options) {}
  // Feeds the next piece of the file; false once five lines are read.
  bool Feed(std::string_view data);
  // The end of the file was reached: missing lines count as off.
  void Finish();
  int LinesRead() const { return FLine; }

private:
  void SetLine(int line, bool on);

  TOptions& FOptions;
  int FLine = 0;             // lines completed so far
  bool FAtLineStart = true;  // the next character is the first of a line
};

// The 15 bytes that are written: five digits, each followed by CR LF.
std::string SettingsText(const TOptions& options);

// Full path of the settings file beside the executable, from the
// executable's wide name (its folders may be named in any script, and its
// path may be longer than MAX_PATH); empty when that name is unknown.
std::wstring SettingsFilePath();

// Reads the file into the options as far as it can, sharing it for
// reading, writing and deletion, so that the window program can replace it
// meanwhile. ERROR_SUCCESS when it was read; otherwise the error that kept
// it from being read (no such file, a folder, a read that broke off), which
// the window program passes over.
DWORD ReadSettingsFile(const std::wstring& path, TOptions& options);
// Writes the file; raises EInOutError when it cannot.
void WriteSettingsFile(const std::wstring& path, const TOptions& options);
