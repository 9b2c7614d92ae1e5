// A small file written whole or not at all.
#pragma once
#include <windows.h>

#include <string>

// Writes the bytes to a new file beside PATH (PATH.new, or a name the system
// makes unique there when PATH.new exists: a file of that name is never
// truncated), flushes it to the disk and puts it in PATH's place in one
// step, so a crash, a kill or a full disk never leaves a short file. On any
// failure PATH keeps what it held and the new file is removed. A read-only
// file at PATH is refused (ERROR_ACCESS_DENIED): a replace would pass over
// the mark the user set. Returns ERROR_SUCCESS or the error of the step
// that failed.
DWORD WriteWholeFile(const std::wstring& path, const std::string& bytes);
