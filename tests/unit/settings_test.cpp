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

TEST(SettingsFile, LivesBesideTheExecutable) {
  TFakePlatform fake;
  TPlatformGuard guard(fake);
  fake.ModuleName = "C:\\Program Files\\Spurwisch\\spurwisch.exe";
  EXPECT_EQ(SettingsFilePath(), "C:\\Program Files\\Spurwisch\\spurwisch.cfg");

  fake.ModuleName = "C:\\" + std::string(MAX_PATH - 10, 'a') + "\\spurwisch.exe";  // too long
  EXPECT_EQ(SettingsFilePath(), "");
  fake.ModuleName = "C:\\" + std::string(MAX_PATH - 15, 'b') + "\\x.exe";  // the .cfg would not fit
  EXPECT_EQ(SettingsFilePath(), "");

  fake.ModuleName = "C:\\Spurwisch\\spurwisch.exe";
  fake.Fail("GetModuleFileNameA");
  EXPECT_EQ(SettingsFilePath(), "");
}

TEST(SettingsFile, ReadsAndWritesRealFiles) {
  std::string folder = Sandbox("settings-rw");
  std::string path = folder + SettingsFileName;

  TOptions options;
  ReadSettingsFile(path, options);  // no file: the defaults stay
  EXPECT_EQ(Flags(options), "11100");

  WriteFileBytes(path, "0\r\n0\r\n0\r\n1\r\n1\r\nextra line\r\n");
  ReadSettingsFile(path, options);
  EXPECT_EQ(Flags(options), "00011");

  WriteSettingsFile(path, options);  // the extra line disappears
  EXPECT_EQ(ReadFileBytes(path), "0\r\n0\r\n0\r\n1\r\n1\r\n");

  WriteFileBytes(path, "1\n");  // short file, LF only
  options = TOptions{};
  options.AutoStart = true;
  ReadSettingsFile(path, options);
  EXPECT_EQ(Flags(options), "10000");
}

TEST(SettingsFile, OddFilesReadAsFarAsTheRulesAllow) {
  std::string folder = Sandbox("settings-odd");
  std::string path = folder + SettingsFileName;

  // A folder in the file's place cannot be opened: the defaults stay.
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
  TOptions options;
  options.AutoStart = true;
  ReadSettingsFile(path, options);
  EXPECT_EQ(Flags(options), "11101");
  RemoveDirectoryA(path.c_str());

  // Binary garbage: NUL bytes and high characters are just "not 1".
  WriteFileBytes(path, std::string("\0\x01\xff\n1\xfe\n\n\x80", 10));
  options = TOptions{};
  ReadSettingsFile(path, options);
  EXPECT_EQ(Flags(options), "01000");

  // A huge file: a first line of 8 MB, then the rest.
  std::string huge(8 << 20, '1');
  huge += "\n0\n1\n1\n0\n";
  huge += std::string(1 << 20, 'z');
  WriteFileBytes(path, huge);
  options = TOptions{};
  ReadSettingsFile(path, options);
  EXPECT_EQ(Flags(options), "10110");
}

TEST(SettingsFile, AFileHeldOpenByAnotherProgramKeepsTheDefaults) {
  std::string path = Sandbox("settings-lock") + SettingsFileName;
  WriteFileBytes(path, "0\r\n0\r\n0\r\n1\r\n1\r\n");
  HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  TOptions options;
  ReadSettingsFile(path, options);
  CloseHandle(holder);
  EXPECT_EQ(Flags(options), "11100");
  ReadSettingsFile(path, options);  // released: now it reads
  EXPECT_EQ(Flags(options), "00011");
}

TEST(SettingsFile, TheWriteGoesToANewFileThatReplacesTheOldInOneStep) {
  const std::string path = "C:\\Programme\\Spurwisch\\spurwisch.cfg", fresh = path + ".new";
  TOptions options;
  {
    TFakePlatform fake;
    TPlatformGuard guard(fake);
    WriteSettingsFile(path, options);
    EXPECT_EQ(fake.Calls, (std::vector<std::string>{
                              "GetFileAttributesW(" + path + ")", "CreateFileW(" + fresh + ", 0x40000000, 0x0, 0x2, 0x80)", "WriteFile(" + fresh + ", 15)",
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
      WriteSettingsFile(path, options);
      ADD_FAILURE() << "no error raised";
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.ErrorCode(), static_cast<DWORD>(ERROR_DISK_FULL));
    }
    EXPECT_EQ(fake.CallsOf("DeleteFileW"), std::vector<std::string>{"DeleteFileW(" + fresh + ")"});
    EXPECT_EQ(fake.CallsOf("MoveFileExW").size(), std::string(step) == "MoveFileExW" ? 1u : 0u);
    EXPECT_EQ(fake.OpenHandles(), 0);
  }
}

TEST(SettingsFile, AStrayNewFileIsOverwrittenAndAFailedWriteKeepsTheOldContent) {
  std::string path = Sandbox("settings-replace") + SettingsFileName;
  WriteFileBytes(path + ".new", "0\r\n0\r\n0\r\n0\r\n0\r\nleft by a crash\r\n");
  WriteFileBytes(path, "0\r\n0\r\n0\r\n1\r\n1\r\n");
  TOptions options;
  WriteSettingsFile(path, options);
  EXPECT_EQ(ReadFileBytes(path), SettingsText(options));
  EXPECT_EQ(ReadFileBytes(path + ".new"), "<missing>");

  // A read-only settings file is refused as before and keeps what it held.
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  options.AutoStart = true;
  EXPECT_THROW(WriteSettingsFile(path, options), EInOutError);
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadFileBytes(path), "1\r\n1\r\n1\r\n0\r\n0\r\n");
  EXPECT_EQ(ReadFileBytes(path + ".new"), "<missing>");
}

TEST(SettingsFile, AWriteFailureRaisesTheSystemsMessage) {
  std::string path = Sandbox("settings-fail") + SettingsFileName;
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));  // cannot be created as a file
  TOptions options;
  try {
    WriteSettingsFile(path, options);
    FAIL() << "no error raised";
  } catch (const EInOutError& e) {
    EXPECT_FALSE(e.Message().empty());
    EXPECT_EQ(e.Message(), SysErrorMessage(e.ErrorCode()));
  }
  EXPECT_EQ(ReadFileBytes(path + ".new"), "<missing>");
  RemoveDirectoryA(path.c_str());

  // An unknown executable path writes nowhere else.
  EXPECT_THROW(WriteSettingsFile("", options), EInOutError);
}
