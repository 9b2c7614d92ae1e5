// Where a report may go, against Wine's real file system: every spelling of
// the settings file and of a place inside the temporary folder is refused
// with exit code 2, and the settings file stays byte for byte.
#include <gtest/gtest.h>

#include "app/Unattended.h"
#include "clean/Cleaning.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/app_support.h"
#include "tests/support/clean_wine_support.h"

namespace {

using namespace wine_support;
using app_support::FilesIn;

// Every file call goes to the real system; the cleaning's other steps stay
// with the double, so a run touches nothing but the sandbox.
class TRealFiles : public TFakePlatform {
public:
  HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                     DWORD flags, HANDLE templateFile) override {
    return ::CreateFileW(name, access, share, security, disposition, flags, templateFile);
  }
  NTSTATUS NtOpenFile(PHANDLE file, ACCESS_MASK access, POBJECT_ATTRIBUTES attributes, PIO_STATUS_BLOCK status,
                      ULONG share, ULONG options) override {
    return ::NtOpenFile(file, access, attributes, status, share, options);
  }
  BOOL GetFileInformationByHandleEx(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID info, DWORD size) override {
    return ::GetFileInformationByHandleEx(file, kind, info, size);
  }
  BOOL GetFileInformationByHandle(HANDLE file, LPBY_HANDLE_FILE_INFORMATION info) override {
    return ::GetFileInformationByHandle(file, info);
  }
  DWORD GetFinalPathNameByHandleW(HANDLE file, LPWSTR path, DWORD size, DWORD flags) override {
    return ::GetFinalPathNameByHandleW(file, path, size, flags);
  }
  DWORD GetFileType(HANDLE file) override { return ::GetFileType(file); }
  BOOL CloseHandle(HANDLE object) override { return ::CloseHandle(object); }
  BOOL WriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) override {
    return ::WriteFile(file, data, size, written, overlapped);
  }
  BOOL FlushFileBuffers(HANDLE file) override { return ::FlushFileBuffers(file); }
  BOOL MoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags) override { return ::MoveFileExW(from, to, flags); }
  BOOL DeleteFileW(LPCWSTR name) override { return ::DeleteFileW(name); }
  DWORD GetFileAttributesW(LPCWSTR name) override { return ::GetFileAttributesW(name); }
  UINT GetTempFileNameW(LPCWSTR folder, LPCWSTR prefix, UINT unique, LPWSTR name) override {
    return ::GetTempFileNameW(folder, prefix, unique, name);
  }
};

std::wstring ShortName(const std::wstring& path) {
  wchar_t buffer[MAX_PATH];
  DWORD n = GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::wstring(buffer, n) : L"";
}

std::wstring Upper(std::wstring text) {
  CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

// Another drive letter for a folder, as subst makes one: a link in the
// prefix's dosdevices folder. Removed with the object.
class TDriveFor {
public:
  explicit TDriveFor(const std::string& folder) {
    std::string devices = UnixName("C:\\");  // ".../dosdevices/c:/"
    devices = devices.substr(0, devices.find_last_of('/', devices.size() - 2) + 1);
    DWORD used = GetLogicalDrives();
    for (char letter = 'S'; letter <= 'Y' && !FLetter; ++letter)
      if (!(used & (1u << (letter - 'A')))) FLetter = letter;
    FLink = devices + static_cast<char>(FLetter + 'a' - 'A') + ":";
    if (FLetter && StartUnix("/bin/ln", "-s " + Quoted(UnixName(folder)) + " " + Quoted(FLink)))
      WaitFor(Root(), true);
  }
  ~TDriveFor() {
    if (FLetter) StartUnix("/bin/rm", Quoted(FLink)) && WaitFor(Root(), false);
  }
  std::wstring Root() const { return std::wstring(1, FLetter) + L":\\"; }

private:
  wchar_t FLetter = 0;
  std::string FLink;
};

TEST(ReportTargetWine, EverySpellingOfTheSettingsFileOrOfThePurgedFolderIsRefused) {
  std::string why;
  if (!InSandbox(why)) GTEST_FAIL() << why;
  const std::string root = app_support::Sandbox("ReportTargets"), prog = root + "prog\\", temp = root + "Temp\\";
  ASSERT_TRUE(CreateDirectoryA(prog.c_str(), nullptr) && CreateDirectoryA(temp.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((temp + "sub").c_str(), nullptr));
  ASSERT_TRUE(MakeLink(prog, root + "proglink") && MakeLink(temp, root + "templink"));
  const std::string settings = prog + "spurwisch.cfg", chosen = "1\r\n1\r\n1\r\n0\r\n0\r\n";
  app_support::WriteFileBytes(settings, chosen);
  TRealFiles files;
  files.ModuleName = prog + "spurwisch.exe";
  files.TempPath = temp;
  files.Environment["TMP"] = files.Environment["TEMP"] = temp;
  TPlatformGuard guard(files);
  TDriveFor drive(prog);
  ASSERT_TRUE(Exists(drive.Root() + L"spurwisch.cfg"));

  const std::wstring s = Wide(settings), t = Wide(temp);
  const std::wstring refused[] = {
      s, L"\\\\?\\" + s, L"\\\\.\\" + s, Upper(s), Wide(prog + ".\\..\\prog\\spurwisch.cfg"), s + L".", s + L" ",
      ShortName(s), Wide(root + "proglink\\spurwisch.cfg"), drive.Root() + L"spurwisch.cfg",
      t + L"bericht.txt", t + L"sub\\bericht.txt", L"\\\\?\\" + t + L"sub\\bericht.txt", Upper(t) + L"BERICHT.TXT",
      ShortName(t) + L"bericht.txt", Wide(root + "templink\\bericht.txt"), Wide(root + "templink\\sub\\..\\x.txt"),
      L"NUL", L"CON", L"COM1", L"COM9", L"PRN", Wide(prog + "nul.txt"), Wide(prog + "lpt3.log"), L"\\\\.\\pipe\\spurwisch", Wide(prog), t,
      Wide(root + "missing\\bericht.txt")};
  for (const std::wstring& report : refused) {
    SCOPED_TRACE(Utf8Of(report));
    ASSERT_FALSE(report.empty());
    TCommandLine line{TCommand::Clean, report};
    EXPECT_EQ(RunCommand(line), ExitBadCall);
    EXPECT_EQ(app_support::ReadFileBytes(settings), chosen);
    EXPECT_EQ(FilesIn(prog), 1) << "no new file left beside it";
    EXPECT_EQ(FilesIn(temp), 0);
  }
  EXPECT_TRUE(files.CallsOf("CoCreateInstance").empty()) << "nothing ran";

  // Beside the settings file a report may go; into the temporary folder
  // only while the cleaning leaves it alone.
  TCommandLine beside{TCommand::Preview, Wide(prog + "bericht.txt")};
  EXPECT_EQ(RunCommand(beside), ExitDone);
  app_support::WriteFileBytes(settings, "1\r\n0\r\n1\r\n0\r\n0\r\n");
  TCommandLine inTemp{TCommand::Preview, t + L"bericht.txt"};
  EXPECT_EQ(RunCommand(inTemp), ExitDone);
  EXPECT_EQ(FilesIn(prog), 2);
  EXPECT_EQ(FilesIn(temp), 1);
  ReleaseHistory();
}

}  // namespace
