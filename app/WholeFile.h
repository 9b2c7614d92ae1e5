// A small file written whole or not at all.
#pragma once
#include <windows.h>

#include <string>

// Writes the bytes to a new file beside PATH, flushes it to the disk and
// puts it in PATH's place in one step, so a crash, a kill or a full disk
// never leaves a short file. On any failure PATH keeps what it held and the
// new file is removed; a new file left by an earlier crash is overwritten,
// never read. A read-only file at PATH is refused (ERROR_ACCESS_DENIED): a
// replace would pass over the mark the user set. Returns ERROR_SUCCESS or
// the error of the step that failed.
DWORD WriteWholeFile(const std::wstring& path, const std::string& bytes);

// A path in the program's code page as the wide calls take it.
std::wstring WidePath(const std::string& path);
