#include "app/Unattended.h"

#include <windows.h>
#include <objbase.h>

#include <cwctype>

#include <cstdio>

#include "app/ReportTarget.h"
#include "app/WholeFile.h"
#include "base/Cp1252.h"
#include "base/SysUtils.h"
#include "clean/Cleaning.h"
#include "clean/TempPurge.h"
#include "platform/FileIdentity.h"
#include "platform/QuestionGuard.h"
#include "ui/Forms.h"

// ---- The command line ----

namespace {

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

bool IsOption(const std::wstring& argument, const wchar_t* name) {
  return argument.size() > 1 && (argument[0] == L'/' || argument[0] == L'-') && Lower(argument.substr(1)) == name;
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::wstring>& arguments) {
  bool clean = false, preview = false, report = false, usage = false;
  TCommandLine result;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::wstring& argument = arguments[i];
    if (IsOption(argument, L"clean")) {
      clean = true;
    } else if (IsOption(argument, L"preview")) {
      preview = true;
    } else if (IsOption(argument, L"?")) {
      usage = true;
    } else if (IsOption(argument, L"report")) {
      report = true;
      if (i + 1 < arguments.size() && !arguments[i + 1].empty()) result.ReportPath = arguments[++i];
    }
  }
  auto invalid = [&](const char* why) {
    result.Command = TCommand::Invalid;
    result.Error = why;
    return result;
  };
  if (usage) {
    result.Command = TCommand::Usage;
    return result;
  }
  if (clean && preview) return invalid(u8"/clean und /preview schließen einander aus."_cp1252);
  if (report && result.ReportPath.empty()) return invalid("/report braucht den Namen der Berichtsdatei.");
  if (report && !clean && !preview) return invalid("/report gilt nur mit /clean oder /preview.");
  result.Command = clean ? TCommand::Clean : preview ? TCommand::Preview : TCommand::Window;
  return result;
}

// ---- The report ----

namespace {

std::string Number(unsigned long long value) { return std::to_string(value); }

std::string Kilobytes(unsigned long long bytes) { return Number((bytes + 1023) / 1024) + " KB"; }

std::string CacheLine(const TRunReport& report) {
  const TCacheCounts& cache = report.Cache;
  if (report.Preview) return "Cache: " + Number(cache.Deleted) + u8" Einträge würden gelöscht, "_cp1252 + Kilobytes(cache.Bytes);
  return "Cache: " + Number(cache.Deleted) + u8" Einträge gelöscht, "_cp1252 + Number(cache.Pending) +
         u8" in Gebrauch (beim nächsten Start), "_cp1252 + Number(cache.Kept) + " behalten, " + Kilobytes(cache.Bytes);
}

// The reasons that occurred: " (Verknüpfung 2, ...)".
std::string Reasons(std::initializer_list<std::pair<int, const char*>> reasons) {
  std::string text;
  for (const auto& [count, reason] : reasons)
    if (count > 0) text += (text.empty() ? " (" : ", ") + std::string(reason) + " " + Number(count);
  return text.empty() ? text : text + ")";
}

// The reasons folders stayed, those that occurred.
std::string FolderReasons(const TFoldersKept& kept) {
  return Reasons({{kept.Marked, "markiert"},
                  {kept.Links, u8"Verknüpfung"_cp1252},
                  {kept.OddNames, "Name mit Punkt oder Leerzeichen am Ende"},
                  {kept.TooLong, "Pfad zu lang"},
                  {kept.BinUnreachable, "Papierkorb nicht erreichbar"},
                  {kept.Refused, "abgelehnt"},
                  {kept.Other, "sonstige"}});
}

std::string TypedUrlLine(const TRunReport& report) {
  const TTypedUrlCounts& typed = report.TypedUrls;
  std::string unreadable = typed.Unreadable ? ", Liste nicht lesbar" : "";
  if (typed.Addresses + typed.Times + typed.Kept == 0)
    return typed.Unreadable ? "Adressleiste: Fehler" + unreadable : "Adressleiste: nichts vorhanden";
  std::string line = "Adressleiste: " + Number(typed.Addresses) +
                     (report.Preview ? u8" Adressen würden gelöscht"_cp1252 : u8" Adressen gelöscht"_cp1252);
  if (typed.Kept > 0) line += ", " + Number(typed.Kept) + (report.Preview ? " blieben" : " behalten");
  return line + unreadable;
}

// One kind of browser folder: the files that went (those inside folders
// handed to the recycle bin included), and what stayed, by its reason.
std::string TraceLine(const char* kind, const TTraceCounts& trace, bool preview, bool withSize) {
  const TFolderCounts& c = trace.Contents;
  int filesKept = c.ReadOnly + c.Links + c.InUse + c.Other;
  int seen = c.Deleted + c.FilesToBin + filesKept + c.FoldersToBin + c.FoldersKept.Total();
  std::string line = std::string(kind) + ": ";
  if (seen == 0 && trace.Refused == 0 && trace.Broken == 0) return line + "nichts vorhanden";
  line += Number(c.Deleted + c.FilesToBin) +
          (preview ? u8" Dateien würden gelöscht"_cp1252 : u8" Dateien gelöscht"_cp1252);
  if (withSize) line += " (" + Kilobytes(c.Bytes) + ")";
  if (filesKept > 0)
    line += ", " + Number(filesKept) + (preview ? " blieben" : " behalten") +
            Reasons({{c.ReadOnly, u8"schreibgeschützt"_cp1252},
                     {c.Links, u8"Verknüpfung"_cp1252},
                     {c.InUse, "in Gebrauch"},
                     {c.Other, "sonstige"}});
  if (c.FoldersToBin > 0)
    line += ", " + Number(c.FoldersToBin) +
            (preview ? u8" Ordner kämen in den Papierkorb"_cp1252 : " Ordner in den Papierkorb");
  if (c.FoldersKept.Total() > 0)
    line += ", " + Number(c.FoldersKept.Total()) + (preview ? " Ordner blieben" : " Ordner behalten") +
            FolderReasons(c.FoldersKept);
  if (trace.Refused > 0) line += ", " + Number(trace.Refused) + " Ordner nicht sicher";
  return trace.Broken > 0 ? line + ", Liste abgebrochen" : line;
}

std::string TempLine(const TRunReport& report) {
  const TFolderCounts& temp = report.Temp;
  if (!temp.Approved) return "Temp: nicht geleert, der Ordner ist nicht sicher";
  int kept = temp.ReadOnly + temp.Links + temp.InUse + temp.Other;
  std::string reasons = u8" (schreibgeschützt "_cp1252 + Number(temp.ReadOnly) + u8", Verknüpfung "_cp1252 + Number(temp.Links) +
                        ", in Gebrauch " + Number(temp.InUse) + ", sonstige " + Number(temp.Other) + "), ";
  std::string line = "Temp: " + Number(temp.Deleted) +
                     (report.Preview ? u8" Dateien würden gelöscht ("_cp1252 : u8" Dateien gelöscht ("_cp1252) + Kilobytes(temp.Bytes) +
                     "), " + Number(kept) + (report.Preview ? " blieben" : " behalten") + reasons +
                     Number(temp.FoldersToBin) +
                     (report.Preview ? u8" Ordner kämen in den Papierkorb, "_cp1252 : " Ordner in den Papierkorb, ") +
                     Number(temp.FoldersKept.Total()) + (report.Preview ? " Ordner blieben" : " Ordner behalten") +
                     FolderReasons(temp.FoldersKept);
  return temp.Complete ? line : line + ", Liste abgebrochen";
}

std::string BinLine(const TRunReport& report) {
  switch (report.BinResult) {
    case TBinResult::LibraryMissing: return "Papierkorb: Fehler, Shell32.dll nicht geladen";
    case TBinResult::FunctionMissing: return "Papierkorb: Fehler, Shell32.dll kann ihn nicht leeren";
    case TBinResult::QueryFailed: return "Papierkorb: Fehler, sein Inhalt ist nicht lesbar";
    case TBinResult::Failed: return "Papierkorb: Fehler beim Leeren, " + Number(report.Bin.Items) + " Objekte";
    case TBinResult::Emptied: break;
  }
  return "Papierkorb: " + Number(report.Bin.Items) + (report.Preview ? u8" Objekte würden geleert, "_cp1252 : " Objekte geleert, ") +
         Kilobytes(report.Bin.Bytes);
}

std::string HistoryLine(const TRunReport& report) {
  if (FAILED(report.HistoryResult)) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(report.HistoryResult));
    return std::string("Verlauf: Fehler ") + code;
  }
  return report.Preview ? u8"Verlauf: würde geleert"_cp1252 : "Verlauf: geleert";
}

}  // namespace

bool TRunReport::Failed() const {
  return !HistoryError.empty() || FAILED(HistoryResult) || TypedUrls.Unreadable || Recovery.Broken > 0 ||
         Cache.SiteData.Broken > 0 || (Options.TempFolder && (!Temp.Approved || !Temp.Complete)) ||
         (Options.RecycleBin && BinResult != TBinResult::Emptied);
}

std::string ReportText(const TRunReport& report) {
  const bool preview = report.Preview;
  std::vector<std::string> lines;
  if (!report.HistoryError.empty()) {
    lines.push_back("Verlauf: Fehler, " + report.HistoryError);
  } else {
    lines.push_back(HistoryLine(report));
    lines.push_back(TypedUrlLine(report));
    lines.push_back(TraceLine("Wiederherstellung", report.Recovery, preview, false));
    lines.push_back(CacheLine(report));
    lines.push_back(TraceLine("Webseiten-Daten", report.Cache.SiteData, preview, true));
    const char* off = u8": nicht gewählt"_cp1252;
    lines.push_back(report.Options.Documents ? (preview ? u8"Dokumente: Liste würde geleert"_cp1252 : "Dokumente: Liste geleert")
                                             : std::string("Dokumente") + off);
    lines.push_back(report.Options.TempFolder ? TempLine(report) : std::string("Temp") + off);
    lines.push_back(report.Options.RecycleBin ? BinLine(report) : std::string("Papierkorb") + off);
  }
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// ---- The run ----

namespace {

// The steps of a cleaning in the window's order; a history object that
// cannot be used ends the run there, as it does in the window.
TRunReport RunSteps(const TOptions& options, const std::wstring& tempFolder, TCleanMode mode) {
  TRunReport report;
  report.Preview = mode == TCleanMode::CountOnly;
  report.Options = options;
  try {
    report.HistoryResult = ClearHistory(mode, report.TypedUrls, report.Recovery);
  } catch (const Exception& error) {
    report.HistoryError = error.Message();
    return report;
  }
  PurgeUrlCache(report.Cache, mode);
  if (options.Documents) ClearRecentDocuments(mode);
  if (options.TempFolder) PurgeTempFolder(tempFolder, report.Temp, mode);
  if (options.RecycleBin) report.BinResult = EmptyRecycleBinReported(report.Bin, mode);
  return report;
}

// The one line of a run without settings: it would have to guess what the
// user chose.
std::string NoSettingsLine(const std::wstring& settings, DWORD error) {
  if (settings.empty()) return "keine Einstellungen: der Ordner des Programms ist unbekannt";
  return "keine Einstellungen: " + AnsiText(settings) + " (" + SysErrorMessage(error) + ")";
}

// Writes the text where the user who started the program sees it: a
// redirected standard output gets the Windows-1252 bytes as they are, the
// console of the parent process the text as UTF-16. Started from Explorer
// or Task Scheduler there is neither, and nothing is written.
bool WriteToConsole(const std::string& text) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  HANDLE opened = INVALID_HANDLE_VALUE;
  if (!out || out == INVALID_HANDLE_VALUE) {
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return false;
    out = opened = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
  }
  DWORD mode = 0, written = 0;
  BOOL ok;
  if (GetConsoleMode(out, &mode)) {
    const std::wstring wide = WideText(text);
    ok = WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  } else {
    ok = WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  }
  if (opened != INVALID_HANDLE_VALUE) CloseHandle(opened);
  return ok != FALSE;
}

const char* const UsageText =
    u8"Spurwisch entfernt die Spuren des Internet Explorers.\r\n"
    u8"\r\n"
    u8"spurwisch                das Programm mit seinem Fenster\r\n"
    u8"spurwisch /clean         eine Reinigung ohne Fenster, mit den gespeicherten Optionen\r\n"
    u8"spurwisch /preview       zählt, was eine Reinigung löschen würde, und löscht nichts\r\n"
    u8"  /report DATEI          schreibt den Bericht (zu /clean oder /preview) in DATEI\r\n"
    u8"\r\n"
    u8"Rückgabewert: 0 alles erledigt, 1 ein Schritt ist fehlgeschlagen, 2 falscher Aufruf.\r\n"_cp1252;

int ShowUsage() {
  if (!WriteToConsole(UsageText)) {
    Platform().MessageBoxA(nullptr, UsageText, ProgramTitle().c_str(), MB_OK | MB_ICONINFORMATION);
  }
  return ExitDone;
}

// COM for the URL history object, for the length of a run.
struct TComScope {
  bool Initialized = SUCCEEDED(CoInitialize(nullptr));
  ~TComScope() {
    ReleaseHistory();
    if (Initialized) CoUninitialize();
  }
};

}  // namespace

int RunCommand(const TCommandLine& command) {
  if (command.Command == TCommand::Usage) return ShowUsage();
  if (command.Command == TCommand::Invalid) {
    WriteToConsole(command.Error + "\r\n");
    return ExitBadCall;
  }
  std::wstring settings = SettingsFilePath();
  TOptions options;
  if (DWORD error = ReadSettingsFile(settings, options); error != ERROR_SUCCESS) {
    WriteToConsole(NoSettingsLine(settings, error) + "\r\n");
    return ExitBadCall;
  }
  std::wstring tempFolder = QueryTempFolderPath();
  if (!command.ReportPath.empty()) {
    std::string problem =
        ReportTargetProblem(command.ReportPath, settings, options.TempFolder ? tempFolder : std::wstring());
    if (!problem.empty()) {
      WriteToConsole(problem + "\r\n");
      return ExitBadCall;
    }
  }
  TRunReport report;
  {
    TComScope com;
    // Nobody is there to answer a question a step might ask.
    TQuestionGuard guard;
    report = RunSteps(options, tempFolder,
                      command.Command == TCommand::Preview ? TCleanMode::CountOnly : TCleanMode::DeleteUnwatched);
  }
  std::string text = ReportText(report);
  if (command.ReportPath.empty())
    WriteToConsole(text);
  else if (WriteWholeFile(command.ReportPath, text) != ERROR_SUCCESS)
    return ExitStepFailed;
  return report.Failed() ? ExitStepFailed : ExitDone;
}
