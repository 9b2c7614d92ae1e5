// The program without its window: its command line, its report, and a
// preview that reaches no deleting call of the platform layer.
#include <gtest/gtest.h>

#include "app/Unattended.h"
#include "base/Cp1252.h"
#include "clean/Cleaning.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/app_support.h"

namespace {

TEST(CommandLine, KnownOptionsAndTheirBadCombinations) {
  struct TCase {
    std::vector<std::wstring> Arguments;
    TCommand Command;
    std::wstring Report;
  } cases[] = {
      {{}, TCommand::Window, L""},
      {{L"/unknown", L"word"}, TCommand::Window, L""},
      {{L"/CLEAN"}, TCommand::Clean, L""},
      {{L"-preview", L"/report", L"C:\\r.txt"}, TCommand::Preview, L"C:\\r.txt"},
      {{L"/report", L"D:\\x y.txt", L"/clean"}, TCommand::Clean, L"D:\\x y.txt"},
      {{L"/?", L"/clean", L"/preview"}, TCommand::Usage, L""},
      {{L"/clean", L"/preview"}, TCommand::Invalid, L""},
      {{L"/clean", L"/report"}, TCommand::Invalid, L""},
      {{L"/report", L"r.txt"}, TCommand::Invalid, L"r.txt"},
  };
  for (const TCase& c : cases) {
    TCommandLine line = ParseCommandLine(c.Arguments);
    EXPECT_EQ(line.Command, c.Command) << c.Arguments.size();
    EXPECT_EQ(line.ReportPath, c.Report);
    EXPECT_EQ(line.Error.empty(), c.Command != TCommand::Invalid);
  }
}

TEST(RunReport, OneLinePerStepSayingWhatWentWhatStayedAndWhy) {
  TRunReport report;
  report.Cache = {1834, 12, 3, 48213 * 1024ull};
  report.Options.Documents = false;
  report.Temp = {true, true, 20311, 1234 * 1024ull, 3, 2, 9, 0, 212, 4};
  report.Bin = {57, 310 * 1024ull};
  report.TypedUrls = {14, 14, 0, false};
  report.Recovery.Folders = 2;
  report.Recovery.Contents.Deleted = 3;
  report.Cache.SiteData.Folders = 1;
  report.Cache.SiteData.Contents.Deleted = 2;
  report.Cache.SiteData.Contents.FilesToBin = 210;
  report.Cache.SiteData.Contents.Bytes = 96 * 1024;
  EXPECT_EQ(ReportText(report),
            u8"Verlauf: geleert\r\n"
            u8"Adressleiste: 14 Adressen gelöscht\r\n"
            u8"Wiederherstellung: 3 Dateien gelöscht\r\n"
            u8"Cache: 1834 Einträge gelöscht, 12 in Gebrauch (beim nächsten Start), 3 behalten, 48213 KB\r\n"
            u8"Webseiten-Daten: 212 Dateien gelöscht (96 KB)\r\n"
            u8"Dokumente: nicht gewählt\r\n"
            u8"Temp: 20311 Dateien gelöscht (1234 KB), 14 behalten (schreibgeschützt 3, Verknüpfung 2, in Gebrauch 9, "
            u8"sonstige 0), 212 Ordner in den Papierkorb, 4 Ordner behalten (markiert 4)\r\n"
            u8"Papierkorb: 57 Objekte geleert, 310 KB\r\n"_cp1252);
  EXPECT_FALSE(report.Failed());
  report.Preview = true;
  report.Options.Documents = true;
  report.Temp.Approved = false;
  report.BinResult = TBinResult::LibraryMissing;
  // Files in use and a folder that leads outside stay, by their reasons.
  report.TypedUrls = {};
  report.Recovery.Contents = {};
  report.Recovery.Contents.InUse = 2;
  report.Recovery.Refused = 1;
  report.Cache.SiteData.Contents.ReadOnly = 1;
  report.Cache.SiteData.Contents.FoldersToBin = 4;
  report.Cache.SiteData.Contents.FoldersKept.Links = 1;
  EXPECT_EQ(ReportText(report),
            u8"Verlauf: würde geleert\r\n"
            u8"Adressleiste: nichts vorhanden\r\n"
            u8"Wiederherstellung: 0 Dateien würden gelöscht, 2 blieben (in Gebrauch 2), 1 Ordner nicht sicher\r\n"
            u8"Cache: 1834 Einträge würden gelöscht, 48213 KB\r\n"
            u8"Webseiten-Daten: 212 Dateien würden gelöscht (96 KB), 1 blieben (schreibgeschützt 1), "
            u8"4 Ordner kämen in den Papierkorb, 1 Ordner blieben (Verknüpfung 1)\r\n"
            u8"Dokumente: Liste würde geleert\r\n"
            u8"Temp: nicht geleert, der Ordner ist nicht sicher\r\n"
            u8"Papierkorb: Fehler, Shell32.dll nicht geladen\r\n"_cp1252);
  EXPECT_TRUE(report.Failed());
  report.HistoryError = "Klasse nicht registriert";
  EXPECT_EQ(ReportText(report), "Verlauf: Fehler, Klasse nicht registriert\r\n") << "the run ended there";
}

// A preview that reaches any deleting call of the platform layer, or opens
// anything for writing or deletion, fails; a cleaning (MayDelete) may.
class TNoDeletingPlatform : public TFakePlatform {
public:
  std::string ReportNew;  // the report's new file: the one that may be moved or removed
  bool ReportMoves = true;
  bool MayDelete = false;
  void Forbidden(const std::string& what) {
    if (!MayDelete) ADD_FAILURE() << what;
  }
  BOOL DeleteUrlCacheEntryA(LPCSTR url) override {
    Forbidden("cache entry deleted: " + std::string(url));
    return TFakePlatform::DeleteUrlCacheEntryA(url);
  }
  BOOL SetFileInformationByHandle(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID info, DWORD size) override {
    Forbidden("file information set");
    return TFakePlatform::SetFileInformationByHandle(file, kind, info, size);
  }
  NTSTATUS NtOpenFile(PHANDLE file, ACCESS_MASK access, POBJECT_ATTRIBUTES attributes, PIO_STATUS_BLOCK status,
                      ULONG share, ULONG options) override {
    if (access & ~(FILE_READ_ATTRIBUTES | FILE_LIST_DIRECTORY | SYNCHRONIZE)) Forbidden("opened for more than asking");
    return TFakePlatform::NtOpenFile(file, access, attributes, status, share, options);
  }
  HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                     DWORD flags, HANDLE templateFile) override {
    if ((access & (GENERIC_WRITE | DELETE)) && Utf8(name) != ReportNew) Forbidden("opened for writing: " + Utf8(name));
    return TFakePlatform::CreateFileW(name, access, share, security, disposition, flags, templateFile);
  }
  int SHFileOperationW(LPSHFILEOPSTRUCTW op) override {
    Forbidden("shell file operation");
    return TFakePlatform::SHFileOperationW(op);
  }
  void SHAddToRecentDocs(UINT flags, LPCVOID pv) override {
    Forbidden("recent documents cleared");
    TFakePlatform::SHAddToRecentDocs(flags, pv);
  }
  LSTATUS RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) override {
    ADD_FAILURE() << "registry value written";
    return TFakePlatform::RegSetValueExA(key, name, reserved, type, data, size);
  }
  LSTATUS RegDeleteValueW(HKEY key, LPCWSTR name) override {
    Forbidden("registry value deleted: " + Utf8(name));
    return TFakePlatform::RegDeleteValueW(key, name);
  }
  BOOL DeleteFileW(LPCWSTR name) override {
    if (Utf8(name) != ReportNew) ADD_FAILURE() << "file deleted: " << Utf8(name);
    return TFakePlatform::DeleteFileW(name);
  }
  BOOL MoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags) override {
    if (Utf8(from) != ReportNew || !ReportMoves) ADD_FAILURE() << "file moved: " << Utf8(from);
    return TFakePlatform::MoveFileExW(from, to, flags);
  }
};

class Unattended : public ::testing::Test {
protected:
  void SetUp() override {
    Folder = app_support::Sandbox("Unattended");
    Fake.ModuleName = Folder + "spurwisch.exe";
    app_support::WriteFileBytes(Folder + "spurwisch.cfg", "1\r\n1\r\n1\r\n0\r\n0\r\n");
    Fake.TempPath = Folder + "Temp\\";
    Fake.Folders[Folder + "Temp"] = {{"a.tmp", 0x20}, {"ro.tmp", 0x21}, {"sub", 0x10}, {".keep", 0x10}};
    Fake.Cache = {{"http://a.example/"}, {"Cookie:user@a.example/"}};
    Fake.BinItems = 4;
    Fake.BinBytes = 8192;
    Report = Folder + "report.txt";
    Fake.ReportNew = Report + ".new";
  }
  void TearDown() override { ReleaseHistory(); }
  int Run(TCommand command) {
    Fake.MayDelete = command == TCommand::Clean;
    TCommandLine line;
    line.Command = command;
    line.ReportPath = Utf16(Report);
    return RunCommand(line);
  }
  std::string Line(const std::string& key) {
    const std::string& text = Fake.Written[Fake.ReportNew];
    std::size_t at = text.find(key + ": ");
    return at == std::string::npos ? "" : text.substr(at, text.find("\r\n", at) - at);
  }

  std::string Folder, Report;
  TNoDeletingPlatform Fake;
  TPlatformGuard Guard{Fake};
};

TEST_F(Unattended, APreviewCountsFromTheCleaningsOwnPathsAndDeletesNothing) {
  Fake.Registry["Software\\Microsoft\\Internet Explorer\\TypedURLs"] = {{"url1", {REG_SZ, "http://a.example/"}}};
  Fake.KnownFolders["LocalAppDataLow"] = Folder + "LocalLow";
  Fake.Folders[Folder + "LocalLow\\Microsoft\\Internet Explorer\\DOMStore"] = {{"site.xml", 0x20}};
  EXPECT_EQ(Run(TCommand::Preview), ExitDone);
  EXPECT_TRUE(Fake.CallsOf("ClearHistory").empty());
  EXPECT_TRUE(Fake.CallsOf("SHEmptyRecycleBinA").empty());
  EXPECT_EQ(Fake.Written[Fake.ReportNew],
            u8"Verlauf: würde geleert\r\n"
            u8"Adressleiste: 1 Adressen würden gelöscht\r\n"
            u8"Wiederherstellung: nichts vorhanden\r\n"
            u8"Cache: 2 Einträge würden gelöscht, 0 KB\r\n"
            u8"Webseiten-Daten: 1 Dateien würden gelöscht (0 KB)\r\n"
            u8"Dokumente: Liste würde geleert\r\n"
            u8"Temp: 1 Dateien würden gelöscht (0 KB), 1 blieben (schreibgeschützt 1, Verknüpfung 0, in Gebrauch 0, "
            u8"sonstige 0), 1 Ordner kämen in den Papierkorb, 1 Ordner blieben (markiert 1)\r\n"
            u8"Papierkorb: 4 Objekte würden geleert, 8 KB\r\n"_cp1252);
  EXPECT_EQ(Fake.OpenHandles(), 0);
}

TEST_F(Unattended, AReportThatCannotBeWrittenLeavesNoPartOfIt) {
  Fake.Fail("WriteFile", 0, ERROR_DISK_FULL);
  Fake.ReportMoves = false;
  EXPECT_EQ(Run(TCommand::Preview), ExitStepFailed);
  EXPECT_TRUE(Fake.CallsOf("MoveFileExW").empty());
  // The half-written new file is removed.
  EXPECT_EQ(Fake.CallsOf("DeleteFileW"), std::vector<std::string>{"DeleteFileW(" + Fake.ReportNew + ")"});
}

// Nobody can answer a question: every shell call is silent, and a folder
// the bin cannot take is kept rather than deleted for good.
TEST_F(Unattended, ARunNobodyWatchesAsksNothingAndKeepsWhatTheBinCannotTake) {
  Fake.BinUnreachable = true;
  EXPECT_EQ(Run(TCommand::Clean), ExitDone) << "a folder kept for a known reason is no failure";
  ASSERT_EQ(Fake.ShellRequests.size(), 1u);
  EXPECT_EQ(Fake.ShellRequests[0].Record.fFlags,
            FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI | FOF_WANTNUKEWARNING);
  EXPECT_EQ(Fake.CallsOf("SHEmptyRecycleBinA"), std::vector<std::string>{"SHEmptyRecycleBinA(0x0, null, 0x7)"});
  EXPECT_EQ(Fake.QuestionsAnswered, 1) << "the shell's question was answered";
  EXPECT_EQ(Fake.DeletedForGood, 0);
  EXPECT_NE(Line("Temp").find("0 Ordner in den Papierkorb, 2 Ordner behalten (markiert 1, Papierkorb nicht erreichbar 1)"),
            std::string::npos) << Line("Temp");
  // A folder the shell refuses stays too, with its reason.
  Fake.BinUnreachable = false;
  Fake.ShellResult = ERROR_SHARING_VIOLATION;
  EXPECT_EQ(Run(TCommand::Clean), ExitDone);
  EXPECT_NE(Line("Temp").find("2 Ordner behalten (markiert 1, abgelehnt 1)"), std::string::npos) << Line("Temp");
}

// What the window passes over, a run that reports must not: a failing
// ClearHistory and a bin that cannot be counted end with exit code 1.
TEST_F(Unattended, FailuresTheWindowPassesOverEndWithOne) {
  Fake.Fail("ClearHistory", 0, ERROR_SUCCESS);
  EXPECT_EQ(Run(TCommand::Clean), ExitStepFailed);
  EXPECT_EQ(Line("Verlauf"), "Verlauf: Fehler 0x80004005");
  EXPECT_EQ(Fake.CallsOf("SHAddToRecentDocs").size(), 1u) << "the other steps ran";
  Fake.StopFailing("ClearHistory");
  Fake.Fail("SHQueryRecycleBinA");
  EXPECT_EQ(Run(TCommand::Clean), ExitStepFailed);
  EXPECT_EQ(Line("Papierkorb"), "Papierkorb: Fehler, sein Inhalt ist nicht lesbar");
  EXPECT_EQ(Fake.CallsOf("SHEmptyRecycleBinA").size(), 1u) << "only the first run emptied it";
}

// A scheduled run does only what the user chose in the window.
TEST_F(Unattended, WithoutSettingsNothingIsTouched) {
  DeleteFileA((Folder + "spurwisch.cfg").c_str());
  EXPECT_EQ(Run(TCommand::Clean), ExitBadCall);
  Fake.Fail("GetModuleFileNameW");
  EXPECT_EQ(Run(TCommand::Preview), ExitBadCall);
  for (const char* call : {"CoCreateInstance", "FindFirstUrlCacheEntryA", "SHAddToRecentDocs", "NtOpenFile", "LoadLibraryA"})
    EXPECT_TRUE(Fake.CallsOf(call).empty()) << call;
  EXPECT_TRUE(Fake.Written.empty());
}

// Spellings Wine cannot make: the UNC path of a local share, a junction, a
// device the file system reports; each resolves to what it leads to.
TEST_F(Unattended, AReportTargetIsJudgedByWhatItLeadsTo) {
  const std::string share = "\\\\localhost\\C$\\spw-unit\\Unattended\\";
  Fake.FinalNames[share + "spurwisch.cfg"] = Folder + "spurwisch.cfg";
  Fake.FinalNames["C:\\Junction\\spurwisch.cfg"] = Folder + "spurwisch.cfg";
  Fake.FinalNames[share + "Temp"] = Folder + "Temp";
  Fake.Devices = {"C:\\Geraete\\drucker"};
  for (const std::string report : {share + "spurwisch.cfg", std::string("C:\\Junction\\spurwisch.cfg"),
                                   share + "Temp\\bericht.txt", std::string("C:\\Geraete\\drucker")}) {
    Report = report;
    EXPECT_EQ(Run(TCommand::Clean), ExitBadCall) << report;
  }
  EXPECT_TRUE(Fake.CallsOf("CoCreateInstance").empty());
  Report = share + "bericht.txt";
  Fake.ReportNew = Report + ".new";
  EXPECT_EQ(Run(TCommand::Preview), ExitDone);
}

}  // namespace
