// The settings file: five lines of "1" (on) or "0" (off) beside the program.
#pragma once
#include <string>
#include <string_view>

struct TOptions {
  bool RecycleBin = true;      // line 1: empty the recycle bin
  bool TempFolder = true;      // line 2: purge the temporary folder
  bool Documents = true;       // line 3: clear the recent-documents list
  bool StartMinimized = false; // line 4: start in the tray
  bool AutoStart = false;      // line 5: clean at start
};

constexpr const char* SettingsFileName = "spurwisch.cfg";
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

// Full path of the settings file beside the executable; empty when the
// executable's path is unknown or the result would not fit MAX_PATH.
std::string SettingsFilePath();

// Reads the file into the options as far as it can; never fails.
void ReadSettingsFile(const std::string& path, TOptions& options);
// Writes the file; raises EInOutError when it cannot.
void WriteSettingsFile(const std::string& path, const TOptions& options);
