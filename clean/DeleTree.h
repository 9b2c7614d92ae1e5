// Folders worked through open handles: a folder's entries are listed in
// large batches, and each entry is opened relative to its folder's handle,
// so no path is looked up again while a purge works through a folder.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "platform/FileIdentity.h"
#include "platform/Handles.h"

// Every kind of entry: read-only, hidden, system, volume label, folder, archive.
constexpr DWORD AnyEntry = 63;

// The mask rule: an entry is passed over when it carries hidden, system,
// volume-label or directory bits that the mask lacks. Other bits never count.
bool PassesMask(DWORD attributes, DWORD mask);

struct TDirEntry {
  DWORD Attributes = 0;
  unsigned long long Size = 0;  // of a file's data
  std::wstring Name;
};

// A subfolder the purge hands to the shell: it passes the mask
// FILE_ATTRIBUTE_DIRECTORY, its attribute word is exactly that bit (equality,
// not a bit test: any further bit keeps it) and its name does not begin
// with ".".
bool IsPlainSubfolder(const TDirEntry& entry);

// False for a name that a Win32 path cannot carry as it stands: one that
// ends in a dot or a blank, which the system drops from a path, so the
// shell, which takes paths, would act on another entry.
bool ShellCanName(const std::wstring& name);

// The entries of the folder behind a handle, "." and ".." left out, many
// entries to a call.
class TFolderListing {
public:
  TFolderListing(TPlatform& platform, HANDLE folder);
  // The next entry; false at the end, or when a batch could not be read or
  // holds a record that does not lie whole inside it, which Failed() then
  // tells.
  bool Next(TDirEntry& entry);
  bool Failed() const { return FFailed; }

private:
  bool ReadBatch();

  TPlatform& FPlatform;
  HANDLE FFolder;
  std::vector<LONGLONG> FBuffer;  // the batch, aligned for the records in it
  std::size_t FOffset = 0;        // of the next record; npos: batch used up
  bool FFirst = true;
  bool FFailed = false;
};

// Opens an entry relative to its folder's handle, asking not to follow a
// link in its place; OPTIONS adds FILE_DIRECTORY_FILE or
// FILE_NON_DIRECTORY_FILE. An invalid handle when it cannot be opened, the
// reason in GetLastError (ERROR_SHARING_VIOLATION for a file in use).
HANDLE OpenRelative(TPlatform& platform, HANDLE folder, const std::wstring& name, ACCESS_MASK access,
                    ULONG options);

// True when the handle leads to the object of that name and not to a link
// (a link opened as itself carries the reparse-point bit). The names are
// compared exactly: both are the file system's own spelling, and on a disk
// that tells case apart a link to a sibling spelled in other case would
// otherwise pass.
bool IsObject(TPlatform& platform, HANDLE handle, const std::wstring& expected);
