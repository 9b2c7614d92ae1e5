// The settings file: the reading rules line by line, the 15 bytes written,
// and what happens when the file is odd, missing, locked or unwritable.
#include <gtest/gtest.h>

#include "app/Settings.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/app_support.h"
#include "base/SysUtils.h"

using app_support::ReadFileBytes;
using app_support::Sandbox;
using app_support::WriteFileBytes;

namespace {

const std::string CfgName = "spurwisch.cfg";

std::string Flags(const TOptions& o) {
  std::string s;
  for (bool on : {o.RecycleBin, o.TempFolder, o.Documents, o.StartMinimized, o.AutoStart}) s += on ? '1' : '0';
  return s;
}

// Options after reading the whole text, starting from the defaults.
std::string Read(const std::string& text) {
  TOptions options;
  TSettingsReader reader(options);
  if (reader.Feed(text)) reader.Finish();
  return Flags(options);
}

// The same text fed one byte at a time, as a file read in tiny pieces.
std::string ReadBytewise(const std::string& text) {
  TOptions options;
  TSettingsReader reader(options);
  bool more = true;
  for (char c : text)
    if (more) more = reader.Feed(std::string_view(&c, 1));
  if (more) reader.Finish();
  return Flags(options);
}

}  // namespace

TEST(SettingsCodec, OnlyALeadingOneSwitchesAnOptionOn) {
  EXPECT_EQ(Read("1\r\n0\r\n1\r\n0\r\n1\r\n"), "10101");
  EXPECT_EQ(Read("10\r\n01\r\n1 \r\n 1\r\n2\r\n"), "10100");
  EXPECT_EQ(Read("1\n1\n0\n1\n1\n"), "11011");  // LF alone ends a line too
  EXPECT_EQ(Read("x\r\nA\r\n1abc\r\n-\r\n1"), "00101");
}

TEST(SettingsCodec, EmptyAndMissingLinesCountAsOff) {
  EXPECT_EQ(Read(""), "00000");
  EXPECT_EQ(Read("1\r\n"), "10000");
  EXPECT_EQ(Read("1\r\n\r\n1\r\n\n1\r\n"), "10101");
  EXPECT_EQ(Read("1\r\n1\r\n1"), "11100");  // last line without its line end
  EXPECT_EQ(Read("\r1\r\n1\r\n1\r\n1\r\n1\r\n"), "01111");  // a line starting with a lone CR
}

TEST(SettingsCodec, LinesAfterTheFifthAreIgnored) {
  EXPECT_EQ(Read("0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n1\r\n"), "00000");
  TOptions options;
  TSettingsReader reader(options);
  EXPECT_FALSE(reader.Feed("1\n1\n1\n1\n1\n"));  // five lines: nothing more is wanted
  EXPECT_EQ(reader.LinesRead(), 5);
}

TEST(SettingsCodec, PiecesGiveTheSameResultAsOneBlock) {
  for (const char* text : {"1\r\n0\r\n1\r\n0\r\n1\r\n", "\r\n1\r\n\n0\r\n11", "0\r\r\n1\n", ""})
    EXPECT_EQ(ReadBytewise(text), Read(text)) << text;
}

TEST(SettingsCodec, ReadingThatBreaksOffKeepsTheLinesNotReached) {
  TOptions options;  // defaults: 11100
  options.AutoStart = true;
  TSettingsReader reader(options);
  reader.Feed("0\r\n0");  // line 2 has its first character, line 3 not yet
  EXPECT_EQ(Flags(options), "00101");
}

TEST(SettingsCodec, WritesFifteenBytes) {
  TOptions options;
  EXPECT_EQ(SettingsText(options), "1\r\n1\r\n1\r\n0\r\n0\r\n");
  options = {false, true, false, true, false};
  EXPECT_EQ(SettingsText(options), "0\r\n1\r\n0\r\n1\r\n0\r\n");
  EXPECT_EQ(Read(SettingsText(options)), "01010");
}

TEST(SettingsFile, LivesBesideTheExecutableWhateverItsFoldersAreNamed) {
  TFakePlatform fake;
  TPlatformGuard guard(fake);
  struct TCase {
    std::string Module, Settings;
  } cases[] = {
      {"C:\\Program Files\\Spurwisch\\spurwisch.exe", "C:\\Program Files\\Spurwisch\\spurwisch.cfg"},
      // Characters the code page cannot spell; "?" from the ANSI call would lose them.
      {Utf8(u8"C:\\Программы 日本\\spurwisch.exe"), Utf8(u8"C:\\Программы 日本\\spurwisch.cfg")},
      // Longer than MAX_PATH: the buffer grows until the name fits.
      {"C:\\" + std::string(3 * MAX_PATH, 'a') + "\\x.exe", "C:\\" + std::string(3 * MAX_PATH, 'a') + "\\spurwisch.cfg"},
      {"spurwisch.exe", ""},  // no folder at all
  };
  for (const TCase& c : cases) {
    fake.ModuleName = c.Module;
    EXPECT_EQ(Utf8(SettingsFilePath()), c.Settings);
  }
  fake.Fail("GetModuleFileNameW");
  EXPECT_EQ(SettingsFilePath(), L"");
}

TEST(SettingsFile, ReadsAndWritesRealFiles) {
  std::string folder = Sandbox("settings-rw");
  std::string path = folder + CfgName;

  TOptions options;
  ReadSettingsFile(Utf16(path), options);  // no file: the defaults stay
  EXPECT_EQ(Flags(options), "11100");

  WriteFileBytes(path, "0\r\n0\r\n0\r\n1\r\n1\r\nextra line\r\n");
  ReadSettingsFile(Utf16(path), options);
  EXPECT_EQ(Flags(options), "00011");

  WriteSettingsFile(Utf16(path), options);  // the extra line disappears
  EXPECT_EQ(ReadFileBytes(path), "0\r\n0\r\n0\r\n1\r\n1\r\n");

  WriteFileBytes(path, "1\n");  // short file, LF only
  options = TOptions{};
  options.AutoStart = true;
  ReadSettingsFile(Utf16(path), options);
  EXPECT_EQ(Flags(options), "10000");
}

TEST(SettingsFile, OddFilesReadAsFarAsTheRulesAllow) {
  std::string folder = Sandbox("settings-odd");
  std::string path = folder + CfgName;

  // A folder in the file's place cannot be opened: the defaults stay.
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
  TOptions options;
  options.AutoStart = true;
  ReadSettingsFile(Utf16(path), options);
  EXPECT_EQ(Flags(options), "11101");
  RemoveDirectoryA(path.c_str());

  // Binary garbage: NUL bytes and high characters are just "not 1".
  WriteFileBytes(path, std::string("\0\x01\xff\n1\xfe\n\n\x80", 10));
  options = TOptions{};
  ReadSettingsFile(Utf16(path), options);
  EXPECT_EQ(Flags(options), "01000");

  // A huge file: a first line of 8 MB, then the rest.
  std::string huge(8 << 20, '1');
  huge += "\n0\n1\n1\n0\n";
  huge += std::string(1 << 20, 'z');
  WriteFileBytes(path, huge);
  options = TOptions{};
  ReadSettingsFile(Utf16(path), options);
  EXPECT_EQ(Flags(options), "10110");
}

TEST(SettingsFile, AFileHeldOpenByAnotherProgramKeepsTheDefaults) {
  std::string path = Sandbox("settings-lock") + CfgName;
  WriteFileBytes(path, "0\r\n0\r\n0\r\n1\r\n1\r\n");
  HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  TOptions options;
  ReadSettingsFile(Utf16(path), options);
  CloseHandle(holder);
  EXPECT_EQ(Flags(options), "11100");
  ReadSettingsFile(Utf16(path), options);  // released: now it reads
  EXPECT_EQ(Flags(options), "00011");
}

TEST(SettingsFile, TheWriteGoesToANewFileThatReplacesTheOldInOneStep) {
  const std::string path = "C:\\Programme\\Spurwisch\\spurwisch.cfg", fresh = path + ".new";
  TOptions options;
  {
    TFakePlatform fake;
    TPlatformGuard guard(fake);
    WriteSettingsFile(Utf16(path), options);
    EXPECT_EQ(fake.Calls, (std::vector<std::string>{
                              "GetFileAttributesW(" + path + ")", "CreateFileW(" + fresh + ", 0x40000000, 0x0, 0x1, 0x80)", "WriteFile(" + fresh + ", 15)",
                              "FlushFileBuffers(" + fresh + ")", "CloseHandle(" + fresh + ")",
                              "MoveFileExW(" + fresh + ", " + path + ", 0x9)"}));
    EXPECT_EQ(fake.Written[fresh], SettingsText(options));
  }
  // Whichever step fails: its error is raised, the new file goes, the old
  // one is never replaced.
  for (const char* step : {"CreateFileW", "WriteFile", "FlushFileBuffers", "MoveFileExW"}) {
    SCOPED_TRACE(step);
    TFakePlatform fake;
    TPlatformGuard guard(fake);
    fake.Fail(step, 0, ERROR_DISK_FULL);
    try {
      WriteSettingsFile(Utf16(path), options);
      ADD_FAILURE() << "no error raised";
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.ErrorCode(), static_cast<DWORD>(ERROR_DISK_FULL));
    }
    // A new file that could not be made is no file to remove.
    std::vector<std::string> removed;
    if (std::string(step) != "CreateFileW") removed.push_back("DeleteFileW(" + fresh + ")");
    EXPECT_EQ(fake.CallsOf("DeleteFileW"), removed);
    EXPECT_EQ(fake.CallsOf("MoveFileExW").size(), std::string(step) == "MoveFileExW" ? 1u : 0u);
    EXPECT_EQ(fake.OpenHandles(), 0);
  }
}

// A file that already has the new file's name may be another program's, or
// a link: the write goes to a name the system makes in the same folder, and
// only that file is removed when a later step fails.
TEST(SettingsFile, AFileNamedLikeTheNewOneIsNeverTouched) {
  const std::string path = "C:\\Programme\\Spurwisch\\spurwisch.cfg";
  for (const char* step : {"GetTempFileNameW", "WriteFile", "MoveFileExW"}) {
    SCOPED_TRACE(step);
    TFakePlatform fake;
    TPlatformGuard guard(fake);
    fake.FileAttributes[path + ".new"] = FILE_ATTRIBUTE_ARCHIVE;
    fake.Fail(step, 0, ERROR_DISK_FULL);
    EXPECT_THROW(WriteSettingsFile(Utf16(path), TOptions{}), EInOutError);
    EXPECT_EQ(fake.CallsOf("GetTempFileNameW"), std::vector<std::string>{"GetTempFileNameW(C:\\Programme\\Spurwisch\\, spw)"});
    std::vector<std::string> removed = fake.CallsOf("DeleteFileW");
    EXPECT_EQ(removed.size(), std::string(step) == "GetTempFileNameW" ? 0u : 1u);
    for (const std::string& call : removed) EXPECT_EQ(call.find(".new"), std::string::npos) << call;
    EXPECT_EQ(fake.OpenHandles(), 0);
  }
}

TEST(SettingsFile, AStrayNewFileStaysAndAFailedWriteKeepsTheOldContent) {
  std::string folder = Sandbox("settings-replace"), path = folder + CfgName;
  const std::string stray = "0\r\n0\r\n0\r\n0\r\n0\r\nleft by a crash, or another program's\r\n";
  WriteFileBytes(path + ".new", stray);
  WriteFileBytes(path, "0\r\n0\r\n0\r\n1\r\n1\r\n");
  TOptions options;
  WriteSettingsFile(Utf16(path), options);
  EXPECT_EQ(ReadFileBytes(path), SettingsText(options));
  EXPECT_EQ(ReadFileBytes(path + ".new"), stray);
  EXPECT_EQ(app_support::FilesIn(folder), 2) << "the unique file went into the settings file's place";

  // A read-only settings file is refused as before and keeps what it held.
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  options.AutoStart = true;
  EXPECT_THROW(WriteSettingsFile(Utf16(path), options), EInOutError);
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadFileBytes(path), "1\r\n1\r\n1\r\n0\r\n0\r\n");
  EXPECT_EQ(ReadFileBytes(path + ".new"), stray);
}

// The window program replaces the file while a run without the window reads
// it. The read shares the file for deletion, which a replace needs (Wine
// cannot replace an open file at all, so the test deletes it instead), and
// the replace waits out a reader that holds the file for a moment.
TEST(SettingsFile, AReadNeverKeepsTheFileFromBeingReplaced) {
  class TDeletedWhileRead : public TFakePlatform {
  public:
    BOOL Deleted = FALSE;
    HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                       DWORD flags, HANDLE templateFile) override {
      HANDLE file = TFakePlatform::CreateFileW(name, access, share, security, disposition, flags, templateFile);
      if (file != INVALID_HANDLE_VALUE) Deleted = ::DeleteFileW(name);
      return file;
    }
  } reading;
  std::string path = Sandbox("settings-shared") + CfgName;
  WriteFileBytes(path, "0\r\n0\r\n0\r\n1\r\n1\r\n");
  TOptions options;
  {
    TPlatformGuard guard(reading);
    EXPECT_EQ(ReadSettingsFile(Utf16(path), options), static_cast<DWORD>(ERROR_SUCCESS));
  }
  EXPECT_TRUE(reading.Deleted) << GetLastError();
  EXPECT_EQ(Flags(options), "00011") << "the read goes on in the file it opened";

  class TBrieflyHeld : public TFakePlatform {
  public:
    int Refusals = 0;  // replaces refused while the reader holds the file
    BOOL MoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags) override {
      TFakePlatform::MoveFileExW(from, to, flags);
      if (Refusals-- <= 0) return TRUE;
      SetLastError(Refusals % 2 ? ERROR_ACCESS_DENIED : ERROR_SHARING_VIOLATION);
      return FALSE;
    }
  };
  for (int refusals : {3, 1000}) {
    TBrieflyHeld held;
    held.Refusals = refusals;
    TPlatformGuard guard(held);
    if (refusals < 10) {
      EXPECT_NO_THROW(WriteSettingsFile(L"C:\\Spurwisch\\spurwisch.cfg", options));
      EXPECT_EQ(held.CallsOf("MoveFileExW").size(), 4u);
    } else {
      EXPECT_THROW(WriteSettingsFile(L"C:\\Spurwisch\\spurwisch.cfg", options), EInOutError);
      EXPECT_EQ(held.CallsOf("DeleteFileW").size(), 1u) << "the new file goes";
    }
  }
}

TEST(SettingsFile, AWriteFailureRaisesTheSystemsMessage) {
  std::string path = Sandbox("settings-fail") + CfgName;
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));  // cannot be created as a file
  TOptions options;
  try {
    WriteSettingsFile(Utf16(path), options);
    FAIL() << "no error raised";
  } catch (const EInOutError& e) {
    EXPECT_FALSE(e.Message().empty());
    EXPECT_EQ(e.Message(), SysErrorMessage(e.ErrorCode()));
  }
  EXPECT_EQ(ReadFileBytes(path + ".new"), "<missing>");
  RemoveDirectoryA(path.c_str());

  // An unknown executable path writes nowhere else.
  EXPECT_THROW(WriteSettingsFile(L"", options), EInOutError);
}
