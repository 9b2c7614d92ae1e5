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
  EXPECT_EQ(ReportText(report),
            u8"Verlauf: geleert\r\n"
            u8"Cache: 1834 Einträge gelöscht, 12 in Gebrauch (beim nächsten Start), 3 behalten, 48213 KB\r\n"
            u8"Dokumente: nicht gewählt\r\n"
            u8"Temp: 20311 Dateien gelöscht (1234 KB), 14 behalten (schreibgeschützt 3, Verknüpfung 2, in Gebrauch 9, "
            u8"sonstige 0), 212 Ordner in den Papierkorb, 4 Ordner behalten (markiert 4)\r\n"
            u8"Papierkorb: 57 Objekte geleert, 310 KB\r\n"_cp1252);
  EXPECT_FALSE(report.Failed());
  report.Preview = true;
  report.Options.Documents = true;
  report.Temp.Approved = false;
  report.BinResult = TBinResult::LibraryMissing;
  EXPECT_EQ(ReportText(report),
            u8"Verlauf: würde geleert\r\n"
            u8"Cache: 1834 Einträge würden gelöscht, 48213 KB\r\n"
            u8"Dokumente: Liste würde geleert\r\n"
            u8"Temp: nicht geleert, der Ordner ist nicht sicher\r\n"
            u8"Papierkorb: Fehler, Shell32.dll nicht geladen\r\n"_cp1252);
  EXPECT_TRUE(report.Failed());
  report.HistoryError = "Klasse nicht registriert";
  EXPECT_EQ(ReportText(report), "Verlauf: Fehler, Klasse nicht registriert\r\n") << "the run ended there";
}

// A preview that reaches any deleting call of the platform layer fails.
class TNoDeletingPlatform : public TFakePlatform {
public:
  std::string ReportNew;  // the report's new file: the one that may be moved or removed
  bool ReportMoves = true;
  BOOL DeleteUrlCacheEntryA(LPCSTR url) override {
    ADD_FAILURE() << "cache entry deleted: " << url;
    return TFakePlatform::DeleteUrlCacheEntryA(url);
  }
  BOOL SetFileInformationByHandle(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID info, DWORD size) override {
    ADD_FAILURE() << "file information set";
    return TFakePlatform::SetFileInformationByHandle(file, kind, info, size);
  }
  int SHFileOperationW(LPSHFILEOPSTRUCTW op) override {
    ADD_FAILURE() << "shell file operation";
    return TFakePlatform::SHFileOperationW(op);
  }
  void SHAddToRecentDocs(UINT flags, LPCVOID pv) override {
    ADD_FAILURE() << "recent documents cleared";
    TFakePlatform::SHAddToRecentDocs(flags, pv);
  }
  LSTATUS RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) override {
    ADD_FAILURE() << "registry value written";
    return TFakePlatform::RegSetValueExA(key, name, reserved, type, data, size);
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
    TCommandLine line;
    line.Command = command;
    line.ReportPath = Utf16(Report);
    return RunCommand(line);
  }

  std::string Folder, Report;
  TNoDeletingPlatform Fake;
  TPlatformGuard Guard{Fake};
};

TEST_F(Unattended, APreviewCountsFromTheCleaningsOwnPathsAndDeletesNothing) {
  EXPECT_EQ(Run(TCommand::Preview), ExitDone);
  EXPECT_TRUE(Fake.CallsOf("ClearHistory").empty());
  EXPECT_TRUE(Fake.CallsOf("SHEmptyRecycleBinA").empty());
  EXPECT_EQ(Fake.Written[Fake.ReportNew],
            u8"Verlauf: würde geleert\r\n"
            u8"Cache: 2 Einträge würden gelöscht, 0 KB\r\n"
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

}  // namespace
