// What a path really leads to. Two paths can name one file in many ways
// ("\\?\" and "\\.\" prefixes, short names, case, "." and "..", trailing
// dots and blanks, another drive letter for the same folder, a share, a
// link or junction); only the file system can tell, through an open handle.
#pragma once
#include <string>

#include "platform/Platform.h"

// Opened this way, a file or folder never stands in another program's way.
constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Names as the file system compares them: ordinal, without regard to case.
bool SameName(const std::wstring& a, const std::wstring& b);

// One file or folder, whatever path led to it: the serial number of its
// volume and its index there (GetFileInformationByHandle).
struct TFileIdentity {
  DWORD Volume = 0;
  ULONGLONG Index = 0;
  bool operator==(const TFileIdentity&) const = default;
};

// Where a path leads. An existing object is a file, a folder or a device
// (anything the system does not report as a file on a disk: NUL, CON, a
// pipe). A path to nothing yet leads to the folder it would be made in.
struct TPathTarget {
  enum class TKind { Unreachable, File, Folder, Device, NewFile };
  TKind Kind = TKind::Unreachable;
  DWORD Error = ERROR_SUCCESS;  // why it is unreachable
  TFileIdentity Identity;       // of the object; for a new file, of its folder
  std::wstring Folder;          // the folder it is or would be in, as written (full path)
};

// Resolves the path through handles, following links as any open does.
TPathTarget ResolvePathTarget(TPlatform& platform, const std::wstring& path);

// The identity of an existing file or folder; false when it cannot be
// opened or is no file on a disk.
bool IdentityOf(TPlatform& platform, const std::wstring& path, TFileIdentity& identity);

// True when both paths lead to one existing object.
bool SameFileObject(TPlatform& platform, const std::wstring& a, const std::wstring& b);

// True when FOLDER (a full path) is the folder ANCESTOR or lies anywhere
// inside it. Every folder on the way up is compared by identity, both as
// written and as the file system resolved FOLDER.
bool IsWithinFolder(TPlatform& platform, const std::wstring& folder, const TFileIdentity& ancestor);

// The name of the object behind a handle as the file system resolved it
// ("C:\Users\x\Temp\a.txt", "\\server\share\..."), without a "\\?\"
// prefix; empty when it cannot tell.
std::wstring ObjectName(TPlatform& platform, HANDLE handle);

// The program's own file from its wide name, however long its path and
// whatever script its folders are named in; empty when the call fails.
std::wstring OwnModulePath(TPlatform& platform);

// The path made absolute against the current directory as the system makes
// it (GetFullPathNameW); "\\?\" paths stay as they are. Empty on failure.
std::wstring FullPath(const std::wstring& path);
