// The temp folder purge: the files directly in the folder are deleted for
// good, its plain subfolders go to the recycle bin through the shell.
#pragma once
#include <string>

// True when the path may be purged: an absolute path (drive or UNC), not a
// root, holding no "." or ".." part, and neither the Windows folder nor the
// profile folder nor an ancestor of either. Compared part by part, without
// regard to case, "/" and repeated separators. Pure; touches no file.
bool IsSafeTempFolder(const std::string& path, const std::string& windowsDir,
                      const std::string& profileDir);

// Empties the temporary folder (recorded at start, ending with a backslash):
// deletes its files, then hands each plain subfolder that holds no link to
// the shell. Deletes nothing unless the folder passes IsSafeTempFolder, both
// as given and as resolved by the file system, and the environment value the
// system took it from (TMP, TEMP or USERPROFILE, the first that is set and
// not empty) is fully qualified as written: "X:\..." or "\\server\share...".
// A relative value would make the folder follow the current directory.
// Never fails outward.
void PurgeTempFolder(const std::string& tempFolderPath);

// Deletes each file directly in the folder (ending with a backslash) that
// matches the pattern. A file is deleted only when the file system resolves
// its name to that very entry of the folder, so a link is never followed.
// Folders, read-only files and files in use stay.
void DeleteMatchingFiles(const std::string& folder, const std::string& pattern);

// True when nothing below the folder leads outside it: no entry carries the
// reparse-point bit and every file resolves to its own name. False also when
// any part of the tree cannot be searched or opened.
bool IsSelfContained(const std::string& folder);

// Deletes one folder with its contents through SHFileOperationA into the
// recycle bin. True when the shell returned 0. A path longer than 254
// characters does not fit the 256-byte name buffer and is not attempted.
bool ShellDeleteFolder(const std::string& path, bool confirm, bool showProgress);
