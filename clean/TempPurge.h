// The temp folder purge: the files directly in the folder are deleted for
// good, its plain subfolders go to the recycle bin through the shell. It
// works on the folder's real names (UTF-16), whatever the code page can
// spell, and through open handles, so a name swapped for a link during the
// purge cannot redirect it.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "clean/Counts.h"
#include "platform/Platform.h"

// True when the path may be purged: an absolute path (drive or UNC), not a
// root, holding no "." or ".." part, and neither the Windows folder nor the
// profile folder nor an ancestor of either. Compared part by part, without
// regard to case (as the file system compares names), "/" and repeated
// separators. Pure; touches no file.
bool IsSafeTempFolder(const std::wstring& path, const std::wstring& windowsDir, const std::wstring& profileDir);

// Empties the temporary folder (as GetTempPathW gives it, ending with a
// backslash): deletes its files, then hands each plain subfolder that holds
// no link, and that the shell can name, to the shell. Deletes nothing unless the folder passes
// IsSafeTempFolder, both as given and as resolved by the file system, and
// the environment value the system took it from (TMP, TEMP or USERPROFILE,
// the first that is set and not empty) is fully qualified as written:
// "X:\..." or "\\server\share...". A relative value would make the folder
// follow the current directory. Links are never followed: a file is deleted
// only when it is the object its name says, and a folder holding a link
// stays whole. Never fails outward.
void PurgeTempFolder(const std::wstring& tempFolderPath);
// The same purge, counting what goes and what stays and why; with
// CountOnly nothing is deleted, nothing is handed to the shell and no file
// is opened for more than its attributes.
void PurgeTempFolder(const std::wstring& tempFolderPath, TFolderCounts& counts, TCleanMode mode);

// ---- The walk both folder purges share ----

// True for "X:\..." and "\\server\share...": names that mean the same folder
// whatever the current directory and drive. "/" counts as "\".
bool IsFullyQualifiedPath(const std::wstring& path);

// Opens a folder for listing, following links on the way to it, which is
// why its step checks the name the handle resolves to before anything in
// it is touched.
HANDLE OpenFolderToWalk(TPlatform& platform, const std::wstring& folder);

// Empties FOLDER, a handle from OpenFolderToWalk that its step approved:
// its files are deleted for good through handles opened relative to it,
// each checked to be the object its name says (read-only files and links
// are kept), and its plain subfolders that hold no link, and that the shell
// can name, are handed to the shell by PATH (the folder as its step found
// it). Everything below is checked against the name the handle resolves to.
void PurgeApprovedFolder(TPlatform& platform, HANDLE folder, const std::wstring& path, TFolderCounts& counts,
                         TCleanMode mode);

// The temporary folder as GetTempPathW gives it (a buffer of 261
// characters), with its real name however the code page could spell it;
// empty when the call fails or its answer does not fit.
std::wstring QueryTempFolderPath();

// True when nothing below the folder leads outside it: no entry carries the
// reparse-point bit and every file is the object its name says. False also
// when any part of the tree cannot be opened or listed, or lies past the
// walk's limits (depth, path length, names ending in a dot or a blank).
bool IsSelfContained(const std::wstring& folder);

// How the shell ended with one folder: into the recycle bin; kept because
// the bin cannot take it (the question whether to delete it for good was
// answered "No"); kept because the shell refused or failed.
enum class TShellOutcome { ToBin, BinUnreachable, Refused };

// Deletes one folder with its contents through SHFileOperationW with the
// flags, the name exactly as given (never a pattern). A path longer than
// 254 characters does not fit the 256-character name buffer and is not
// attempted (Refused).
TShellOutcome ShellDeleteFolder(const std::wstring& path, FILEOP_FLAGS flags);
// The same into the recycle bin (FOF_ALLOWUNDO), with FOF_NOCONFIRMATION
// unless CONFIRM and FOF_SILENT unless SHOWPROGRESS. True when the shell
// returned 0 and nothing was aborted.
bool ShellDeleteFolder(const std::wstring& path, bool confirm, bool showProgress);
