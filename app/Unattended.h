// The program without its window: one cleaning (/clean) or a preview that
// counts what a cleaning would delete and deletes nothing (/preview), with
// the options of the settings file, for Task Scheduler, log-on scripts and
// shortcuts. The report goes to a file (/report PATH) or to the console the
// program was started from.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "app/Settings.h"
#include "clean/Counts.h"

enum class TCommand { Window, Clean, Preview, Usage, Invalid };

struct TCommandLine {
  TCommand Command = TCommand::Window;
  std::wstring ReportPath;
  std::string Error;  // for Invalid: the one line that says what is wrong
};

// The arguments after the program's name. Options start with "/" or "-"
// and are known without regard to case; anything else is ignored, as the
// window program always did.
TCommandLine ParseCommandLine(const std::vector<std::wstring>& arguments);

// What one run did, step by step, in the order they ran.
struct TRunReport {
  bool Preview = false;
  std::string HistoryError;  // the history object could not be used; the run ended there
  HRESULT HistoryResult = S_OK;  // what clearing the history answered
  TTypedUrlCounts TypedUrls;
  TTraceCounts Recovery;
  TCacheCounts Cache;  // with the sites' stored data
  TOptions Options;
  TFolderCounts Temp;
  TBinCounts Bin;
  TBinResult BinResult = TBinResult::Emptied;

  bool Failed() const;
};

// One "key: value" line per step, in German, CR LF line ends, Windows-1252.
std::string ReportText(const TRunReport& report);

// Exit codes: every step that ran succeeded, a step failed, a bad call.
constexpr int ExitDone = 0, ExitStepFailed = 1, ExitBadCall = 2;

// Runs a command other than Window and returns its exit code. Shows no
// window, waits for no person and writes no settings. Without a settings
// file it touches nothing and ends with ExitBadCall: a run nobody watches
// does only what the user chose in the window.
int RunCommand(const TCommandLine& command);
