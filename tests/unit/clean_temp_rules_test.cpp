// The safety rule for the temporary folder, the subfolder rule and the
// purge's refusals, checked through the recording platform without touching
// any file: what is deleted, what goes to the shell, and what a link swapped
// in during the purge, or a listing that breaks off, leaves alone.
#include <gtest/gtest.h>

#include <functional>

#include "clean/DeleTree.h"
#include "clean/TempPurge.h"
#include "tests/support/FakePlatform.h"

namespace {

const std::wstring Win = L"C:\\Windows", Profile = L"C:\\Users\\Jörg";

TEST(CleanTempRules, OrdinaryTempFoldersAreSafe) {
  EXPECT_TRUE(IsSafeTempFolder(L"C:\\Users\\Jörg\\AppData\\Local\\Temp\\", Win, Profile));
  EXPECT_TRUE(IsSafeTempFolder(L"C:\\Windows\\Temp\\", Win, Profile));
  EXPECT_TRUE(IsSafeTempFolder(L"D:\\tmp", Win, Profile));
  EXPECT_TRUE(IsSafeTempFolder(L"\\\\server\\share\\temp\\", Win, Profile));
  EXPECT_TRUE(IsSafeTempFolder(L"C:\\Users\\Jörgen\\", Win, Profile));  // a sibling, not the profile
}

TEST(CleanTempRules, EmptyAndRelativePathsAreRefused) {
  for (const wchar_t* path : {L"", L".\\", L".", L"Temp\\", L"\\Temp\\", L"C:Temp\\", L"C:", L"\\\\", L"\\\\server",
                              L"\\\\?\\C:\\Temp\\", L"\\\\.\\C:\\Temp\\"})
    EXPECT_FALSE(IsSafeTempFolder(path, Win, Profile)) << Utf8(path);
}

TEST(CleanTempRules, RootsAndSystemFoldersAreRefused) {
  for (const wchar_t* path :
       {L"C:\\", L"D:\\", L"c:/", L"\\\\server\\share\\", L"\\\\server\\share", L"C:\\Windows\\", L"c:\\WINDOWS",
        L"C:/Windows/", L"C:\\\\Windows\\\\", L"C:\\Windows.\\", L"C:\\Windows \\", L"C:\\Users\\", L"C:\\users",
        L"C:\\Users\\Jörg\\", L"C:\\USERS\\JÖRG"})
    EXPECT_FALSE(IsSafeTempFolder(path, Win, Profile)) << Utf8(path);
}

// Names the code page cannot spell compare as the file system compares them.
TEST(CleanTempRules, FoldersNamedOutsideTheCodePageAreRecognised) {
  // In variables: a test macro spells its condition in the code page.
  const std::wstring cyrillicWin = L"D:\\Окна", cyrillicProfile = L"C:\\Пользователи\\Иван";
  const std::wstring inProfile = L"C:\\Пользователи\\Иван\\AppData\\Local\\Temp\\",
                     sibling = L"C:\\Пользователи\\Ивана\\";
  EXPECT_TRUE(IsSafeTempFolder(inProfile, cyrillicWin, cyrillicProfile));
  EXPECT_TRUE(IsSafeTempFolder(sibling, cyrillicWin, cyrillicProfile));
  for (const wchar_t* path : {L"C:\\ПОЛЬЗОВАТЕЛИ\\ИВАН\\", L"c:/пользователи/иван", L"C:\\Пользователи\\",
                              L"d:\\окна\\", L"D:\\ОКНА."})
    EXPECT_FALSE(IsSafeTempFolder(path, cyrillicWin, cyrillicProfile)) << Utf8(path);
}

TEST(CleanTempRules, DotPartsAndOddNamesAreRefused) {
  // "C:\Windows\Temp\.." is the Windows folder, "...\Temp\..\.." the profile's parent.
  for (const wchar_t* path : {L"C:\\Windows\\Temp\\..\\", L"C:\\Users\\Jörg\\AppData\\..\\..\\", L"C:\\Temp\\.\\",
                              L"C:\\Temp\\*", L"C:\\Temp\\a?b", L"C:\\Temp:stream"})
    EXPECT_FALSE(IsSafeTempFolder(path, Win, Profile)) << Utf8(path);
}

TEST(CleanTempRules, UnknownReferenceFoldersRefuseEverything) {
  EXPECT_FALSE(IsSafeTempFolder(L"C:\\Temp\\", L"", Profile));
  EXPECT_FALSE(IsSafeTempFolder(L"C:\\Temp\\", Win, L""));
}

TEST(CleanTempRules, MaskPassesOverHiddenSystemLabelAndFolderBitsItLacks) {
  EXPECT_TRUE(PassesMask(0x20, FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_TRUE(PassesMask(0x01, FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_TRUE(PassesMask(0x10, FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_TRUE(PassesMask(0x410, FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_FALSE(PassesMask(0x12, FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_FALSE(PassesMask(0x14, FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_FALSE(PassesMask(0x08, FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_FALSE(PassesMask(0x10, 0));
  for (DWORD bits : {0x01u, 0x02u, 0x04u, 0x08u, 0x10u, 0x20u, 0x3Fu}) EXPECT_TRUE(PassesMask(bits, AnyEntry));
}

// The purge of the double's temporary folder.
class CleanTempPurge : public ::testing::Test {
protected:
  const std::string T = "C:\\Users\\Test\\AppData\\Local\\Temp\\";
  std::string Folder() const { return T.substr(0, T.size() - 1); }
  void Purge(const std::string& path) { PurgeTempFolder(Utf16(path)); }
  std::vector<std::string> Deleted() const { return Fake.CallsOf("SetFileInformationByHandle"); }
  std::vector<std::string> Shelled() const { return Fake.CallsOf("SHFileOperationW"); }
  static std::string DeleteCall(const std::string& path) {
    return "SetFileInformationByHandle(" + path + ", 4, DeleteFile=1)";
  }
  // Into the bin, no confirmation, but a question before anything would be
  // deleted for good (FOF_WANTNUKEWARNING).
  static std::string ShellCall(const std::string& path) { return "SHFileOperationW(" + path + ", 3, 0x4050)"; }

  TFakePlatform Fake;
  TPlatformGuard Guard{Fake};
};

TEST_F(CleanTempPurge, OnlyPlainFoldersWithoutLeadingDotGoToTheShell) {
  Fake.Folders[Folder()] = {{"plain", 0x10},  {"archive", 0x30}, {"readonly", 0x11},  {"hidden", 0x12},
                            {"system", 0x14}, {"link", 0x410},   {".dot", 0x10},      {"file.txt", 0x20},
                            {"noidx", 0x2010}, {"second", 0x10}};
  Purge(T);
  EXPECT_EQ(Shelled(), (std::vector<std::string>{ShellCall(T + "plain"), ShellCall(T + "second")}));
  EXPECT_EQ(Deleted(), std::vector<std::string>{DeleteCall(T + "file.txt")});
  EXPECT_EQ(Fake.OpenHandles(), 0);
}

TEST_F(CleanTempPurge, UnsafeOrResolvedElsewhereOrUnprovableFoldersAreNeverOpened) {
  for (const char* path : {"", ".\\", "C:\\", "C:\\Windows\\", "C:\\Users\\Test\\", "C:\\Users\\"}) {
    Fake.Calls.clear();
    Purge(path);
    EXPECT_TRUE(Fake.CallsOf("CreateFileW").empty()) << path;
  }
  // A short name or a link that leads to the profile folder.
  Fake.FinalNames["C:\\PROFIL~1"] = "C:\\Users\\Test";
  Fake.Folders["C:\\PROFIL~1"] = {{"a.txt", 0x20}, {"sub", 0x10}};
  Purge("C:\\PROFIL~1\\");
  // Without a known Windows folder nothing can be shown to be safe.
  Fake.Fail("GetWindowsDirectoryW");
  Fake.Folders[Folder()] = {{"a.txt", 0x20}};
  Purge(T);
  EXPECT_TRUE(Fake.CallsOf("NtOpenFile").empty());
  EXPECT_TRUE(Deleted().empty());
  EXPECT_TRUE(Shelled().empty());
  EXPECT_EQ(Fake.OpenHandles(), 0);
}

TEST_F(CleanTempPurge, FilesThatAreNotWhatTheirNameSaysAndFoldersHoldingLinksStay) {
  Fake.Folders[Folder()] = {{"a.txt", 0x20}, {"moved.txt", 0x20}, {"sub", 0x10}, {"linked", 0x10}, {"deep", 0x10}};
  Fake.FinalNames[T + "moved.txt"] = "D:\\elsewhere\\moved.txt";
  Fake.Folders[T + "sub"] = {{"in.txt", 0x20}, {"nested", 0x10}};
  Fake.Folders[T + "sub\\nested"] = {{"more.txt", 0x20}};
  Fake.Folders[T + "linked"] = {{"out", 0x410}};
  Fake.Folders[T + "deep"] = {{"nested", 0x10}};
  Fake.Folders[T + "deep\\nested"] = {{"file.txt", 0x20}};
  Fake.FinalNames[T + "deep\\nested\\file.txt"] = "D:\\elsewhere\\file.txt";
  Purge(T);
  EXPECT_EQ(Deleted(), std::vector<std::string>{DeleteCall(T + "a.txt")});
  EXPECT_EQ(Shelled(), std::vector<std::string>{ShellCall(T + "sub")});
  EXPECT_EQ(Fake.OpenHandles(), 0);
}

// What an attacker can do between the listing and the deletion: the open
// through the folder's handle is where the double swaps a link in.
class TSwappingPlatform : public TFakePlatform {
public:
  std::string SwapAt;  // the path whose open finds a link
  std::string LinkTarget;
  DWORD LinkAttributes = 0;  // as a system that opens the link itself shows it
  NTSTATUS NtOpenFile(PHANDLE file, ACCESS_MASK access, POBJECT_ATTRIBUTES attributes, PIO_STATUS_BLOCK status,
                      ULONG share, ULONG options) override {
    NTSTATUS result = TFakePlatform::NtOpenFile(file, access, attributes, status, share, options);
    std::string opened = Calls.back().substr(11, Calls.back().find(',') - 11);
    if (opened == SwapAt) {
      if (!LinkTarget.empty()) FinalNames[opened] = LinkTarget;
      if (LinkAttributes) OpenedAttributes[opened] = LinkAttributes;
    }
    return result;
  }
};

TEST(CleanTempSwap, ALinkSwappedInAfterTheListingRedirectsNothing) {
  const std::string t = "C:\\Users\\Test\\AppData\\Local\\Temp\\";
  struct TCase {
    const char* Name;
    std::string At, Target;
    DWORD Attributes;
  } cases[] = {
      {"a file that now leads outside", t + "a.txt", "D:\\outside\\a.txt", 0},
      {"a folder that now leads outside", t + "sub", "D:\\outside", 0},
      {"a folder that is now a link itself", t + "sub", "", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT},
      {"a file deep in a folder", t + "sub\\in.txt", "D:\\outside\\in.txt", 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TSwappingPlatform fake;
    TPlatformGuard guard(fake);
    fake.Folders[t.substr(0, t.size() - 1)] = {{"a.txt", 0x20}, {"sub", 0x10}};
    fake.Folders[t + "sub"] = {{"in.txt", 0x20}};
    fake.SwapAt = c.At;
    fake.LinkTarget = c.Target;
    fake.LinkAttributes = c.Attributes;
    PurgeTempFolder(Utf16(t));
    bool fileSwapped = c.At == t + "a.txt";
    EXPECT_EQ(fake.CallsOf("SetFileInformationByHandle").size(), fileSwapped ? 0u : 1u);
    EXPECT_EQ(fake.CallsOf("SHFileOperationW").size(), fileSwapped ? 1u : 0u);
    EXPECT_EQ(fake.OpenHandles(), 0);
  }
}

// A listing batch that fails half-way ends the purge where it is.
class TBreakingListing : public TFakePlatform {
public:
  int ListingsLeft = 2;
  BOOL GetFileInformationByHandleEx(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID info, DWORD size) override {
    bool listing = kind == FileFullDirectoryInfo || kind == FileFullDirectoryRestartInfo;
    if (listing && ListingsLeft-- == 0) {
      SetLastError(ERROR_IO_DEVICE);
      return FALSE;
    }
    return TFakePlatform::GetFileInformationByHandleEx(file, kind, info, size);
  }
};

TEST(CleanTempBrokenListing, ABatchThatFailsEndsThePurgeWithTheEntriesBeforeIt) {
  const std::string t = "C:\\Users\\Test\\AppData\\Local\\Temp\\";
  TBreakingListing fake;
  TPlatformGuard guard(fake);
  fake.ListBatch = 3;  // ".", "..", "a.txt"; then "sub", "b.txt", "c.txt"; then the failure
  fake.Folders[t.substr(0, t.size() - 1)] = {{"a.txt", 0x20}, {"sub", 0x10}, {"b.txt", 0x20},
                                             {"c.txt", 0x20}, {"d.txt", 0x20}};
  PurgeTempFolder(Utf16(t));
  std::vector<std::string> deleted;
  for (const char* name : {"a.txt", "b.txt", "c.txt"})
    deleted.push_back("SetFileInformationByHandle(" + t + name + ", 4, DeleteFile=1)");
  EXPECT_EQ(fake.CallsOf("SetFileInformationByHandle"), deleted);
  EXPECT_TRUE(fake.CallsOf("SHFileOperationW").empty()) << "the subfolders come after the whole listing";
  EXPECT_EQ(fake.OpenHandles(), 0);
}

// Each record must lie whole inside the batch it came in; one that does not
// ends the listing as broken off, with nothing after it touched.
TEST(CleanTempBrokenListing, ARecordOutsideItsBatchEndsTheListing) {
  class TCorruptListing : public TFakePlatform {
  public:
    std::function<void(FILE_FULL_DIR_INFO&, DWORD size)> Corrupt;  // applied to the third record
    BOOL GetFileInformationByHandleEx(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID info, DWORD size) override {
      BOOL listed = TFakePlatform::GetFileInformationByHandleEx(file, kind, info, size);
      if (listed && kind == FileFullDirectoryRestartInfo) {
        auto* bytes = static_cast<char*>(info);
        auto* first = reinterpret_cast<FILE_FULL_DIR_INFO*>(bytes);
        auto* second = reinterpret_cast<FILE_FULL_DIR_INFO*>(bytes + first->NextEntryOffset);
        Corrupt(*reinterpret_cast<FILE_FULL_DIR_INFO*>(reinterpret_cast<char*>(second) + second->NextEntryOffset), size);
      }
      return listed;
    }
  };
  const std::string t = "C:\\Users\\Test\\AppData\\Local\\Temp\\";
  const std::function<void(FILE_FULL_DIR_INFO&, DWORD)> corruptions[] = {
      [](FILE_FULL_DIR_INFO& r, DWORD size) { r.FileNameLength = size; },          // a name past the end
      [](FILE_FULL_DIR_INFO& r, DWORD size) { r.NextEntryOffset = size; },         // the next record past it
      [](FILE_FULL_DIR_INFO& r, DWORD) { r.NextEntryOffset = 8; },                 // into its own name
      [](FILE_FULL_DIR_INFO& r, DWORD) { r.NextEntryOffset += 2; },                // misaligned
  };
  for (const auto& corrupt : corruptions) {
    TCorruptListing fake;
    fake.Corrupt = corrupt;
    TPlatformGuard guard(fake);
    fake.Folders[t.substr(0, t.size() - 1)] = {{"a.txt", 0x20}, {"b.txt", 0x20}, {"c.txt", 0x20}, {"sub", 0x10}};
    TFolderCounts counts;
    PurgeTempFolder(Utf16(t), counts, TCleanMode::Delete);
    EXPECT_TRUE(counts.Approved && !counts.Complete);
    EXPECT_EQ(counts.Deleted, 0) << "nothing from the broken record on";
    EXPECT_TRUE(fake.CallsOf("SHFileOperationW").empty());
  }
}

// The listing does not say how many bytes a batch holds: a record that
// leads past them never finds the records an earlier batch left there.
TEST(CleanTempBrokenListing, ARecordLeadingPastItsBatchFindsNoOlderOne) {
  class TStaleListing : public TFakePlatform {
  public:
    std::size_t FirstEnd = 0;  // where the first batch's records ended
    BOOL GetFileInformationByHandleEx(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID info, DWORD size) override {
      BOOL listed = TFakePlatform::GetFileInformationByHandleEx(file, kind, info, size);
      auto* bytes = static_cast<char*>(info);
      std::size_t at = 0;
      auto* record = reinterpret_cast<FILE_FULL_DIR_INFO*>(bytes);
      for (; listed && record->NextEntryOffset; record = reinterpret_cast<FILE_FULL_DIR_INFO*>(bytes + at))
        at += record->NextEntryOffset;
      if (listed && kind == FileFullDirectoryRestartInfo) FirstEnd = at;
      // The second batch's last record leads to the first batch's last one.
      else if (listed && FirstEnd > at) record->NextEntryOffset = static_cast<ULONG>(FirstEnd - at);
      return listed;
    }
  } fake;
  TPlatformGuard guard(fake);
  const std::string t = "C:\\Users\\Test\\AppData\\Local\\Temp\\", longName(120, 'L');
  fake.ListBatch = 4;
  fake.Folders[t.substr(0, t.size() - 1)] = {{longName + "1", 0x20}, {longName + "2", 0x20}, {"a", 0x20}, {"b", 0x20}};
  TFolderCounts counts;
  PurgeTempFolder(Utf16(t), counts, TCleanMode::Delete);
  EXPECT_FALSE(counts.Complete);
  EXPECT_EQ(counts.Deleted, 4) << "each file once, none again from the older batch";
}

// The walk's own limits, whatever the file system would answer: a tree
// deeper than MaxDepth levels, a path of MAX_PATH characters or more, a name
// the shell's paths would change (a trailing dot or blank), a name that
// resolves in another case. Each keeps its folder whole.
TEST_F(CleanTempPurge, TheWalksLimitsKeepAFolderWhole) {
  std::string deep = T + "deep", within = T + "within";
  for (int level = 0; level < 70; ++level, deep += "\\d") Fake.Folders[deep] = {{"d", 0x10}};
  for (int level = 0; level < 64; ++level, within += "\\d") Fake.Folders[within] = {{"d", 0x10}};
  Fake.Folders[Folder()] = {{"deep", 0x10},  {"within", 0x10}, {"long", 0x10},  {"fits", 0x10}, {"dot.", 0x10},
                            {"blank ", 0x10}, {"inner", 0x10},  {"case", 0x10},  {"file.", 0x20}};
  Fake.Folders[T + "long"] = {{std::string(MAX_PATH - T.size() - 5, 'x'), 0x20}};  // a path of MAX_PATH characters
  Fake.Folders[T + "fits"] = {{std::string(MAX_PATH - T.size() - 6, 'x'), 0x20}};
  Fake.Folders[T + "inner"] = {{"x.", 0x20}};
  Fake.FinalNames[T + "case"] = T + "CASE";
  TFolderCounts counts;
  PurgeTempFolder(Utf16(T), counts, TCleanMode::Delete);
  EXPECT_EQ(Shelled(), (std::vector<std::string>{ShellCall(T + "within"), ShellCall(T + "fits")}));
  EXPECT_EQ(Deleted(), std::vector<std::string>{DeleteCall(T + "file.")}) << "a file goes through its handle";
  EXPECT_EQ(counts.FoldersKept.TooLong, 2);
  EXPECT_EQ(counts.FoldersKept.OddNames, 3);
  EXPECT_EQ(counts.FoldersKept.Links, 1);
  std::string pastLimit = T + "deep";
  for (int level = 0; level <= 64; ++level) pastLimit += "\\d";
  for (const std::string& call : Fake.CallsOf("NtOpenFile"))
    EXPECT_EQ(call.find(pastLimit), std::string::npos) << "opened past the depth limit";
  EXPECT_EQ(Fake.OpenHandles(), 0);
}

// GetTempPathW turns a relative TMP into a folder below the current
// directory, so the purge decides by the value the folder came from.
class CleanTempSource : public CleanTempPurge {
protected:
  void SetUp() override { Fake.Folders[Folder()] = {{"a.txt", 0x20}, {"sub", 0x10}}; }
  // Sets the variable the folder comes from; the ones GetTempPathW reads
  // before it are unset, the ones after it stay fully qualified.
  void SetSource(const std::string& name, const std::string& value) {
    for (const char* before : {"TMP", "TEMP", "USERPROFILE"}) {
      if (name == before) break;
      Fake.Environment.erase(before);
    }
    Fake.Environment[name] = value;
  }
  // Purges; true when any call but the environment reading was made.
  bool PurgeTouches() {
    Fake.Calls.clear();
    Purge(T);
    for (const std::string& call : Fake.Calls)
      if (call.rfind("GetEnvironmentVariableW(", 0) != 0) return true;
    return false;
  }
};

TEST_F(CleanTempSource, PurgeRunsOnlyForAFullyQualifiedSourceValueAndTouchesNoFileOtherwise) {
  // Relative, drive-relative, root-relative and device forms; then fully qualified ones.
  const std::vector<std::pair<const char*, bool>> values = {
      {".", false}, {".\\", false}, {"..\\x", false}, {"rel", false}, {"rel\\Temp", false},
      {"C:x", false}, {"C:", false}, {"c:Temp\\", false}, {"\\x", false}, {"/x", false},
      {"\\\\server", false}, {"\\\\server\\", false}, {"\\\\?\\C:\\Temp", false},
      {"\\\\.\\C:\\Temp", false}, {" C:\\Temp", false}, {"%TEMP%", false},
      {"C:\\Users\\Test\\AppData\\Local\\Temp", true}, {"d:/tmp", true}, {"E:\\", true},
      {"\\\\server\\share", true}, {"//server/share/temp", true}};
  for (const char* name : {"TMP", "TEMP", "USERPROFILE"}) {
    for (const auto& [value, purges] : values) {
      SetSource(name, value);
      EXPECT_EQ(PurgeTouches(), purges) << name << "=" << value;
      EXPECT_EQ(Deleted().size(), purges ? 1u : 0u) << name << "=" << value;
      EXPECT_EQ(Shelled().size(), purges ? 1u : 0u) << name << "=" << value;
    }
  }
}

TEST_F(CleanTempSource, FirstSetNonEmptyVariableDecidesAndAnUnknownSourceStopsThePurge) {
  // An empty variable is passed over, as GetTempPathW does.
  Fake.Environment["TMP"] = "";
  Fake.Environment["TEMP"] = "rel";
  EXPECT_FALSE(PurgeTouches());
  Fake.Environment["TEMP"] = "D:\\Temp";
  EXPECT_TRUE(PurgeTouches());
  // A relative TMP is not saved by a fully qualified TEMP behind it.
  Fake.Environment["TMP"] = ".";
  EXPECT_FALSE(PurgeTouches());
  // None set: the system takes the Windows folder.
  Fake.Environment.clear();
  EXPECT_FALSE(PurgeTouches());
  std::vector<std::string> read = {"GetEnvironmentVariableW(TMP, 1024)", "GetEnvironmentVariableW(TEMP, 1024)",
                                   "GetEnvironmentVariableW(USERPROFILE, 1024)"};
  EXPECT_EQ(Fake.Calls, read);
  // TMP cannot be read, or does not fit: what GetTempPathW used is unknown,
  // and a fully qualified TEMP behind it does not count.
  Fake.Environment["TEMP"] = "C:\\Temp";
  Fake.Environment["TMP"] = "C:\\Temp";
  Fake.Fail("GetEnvironmentVariableW", 0, ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_FALSE(PurgeTouches());
  std::vector<std::string> tmpOnly = {read[0]};
  EXPECT_EQ(Fake.Calls, tmpOnly);
  Fake.StopFailing("GetEnvironmentVariableW");
  Fake.Environment["TMP"] = "C:\\" + std::string(1100, 'x');
  EXPECT_FALSE(PurgeTouches());
}

}  // namespace
