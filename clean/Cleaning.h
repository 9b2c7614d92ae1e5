// The steps of a Cleaning run and the program-wide state they share.
// The temp folder purge is in clean/TempPurge.h.
#pragma once
#include <windows.h>
#include <urlhist.h>

// Set as the last step of a run, cleared by the URL cache purge and by the
// tick that reports the run.
extern bool RunFinished;

// The URL history object of the last run, or null. Held until the next run
// replaces it or ReleaseHistory is called.
IUrlHistoryStg2* HistoryInterface();

// Releases the History interface; call at exit before CoUninitialize.
void ReleaseHistory();

// Creates the URL history object, keeps it as the History interface and
// clears the history. Throws EOleSysError when the object cannot be created
// and EIntfCastError when it lacks IUrlHistoryStg2 (the previous interface
// is then kept). The result of ClearHistory itself is ignored.
void ClearHistory();

// Clears RunFinished, then deletes every entry of the WinINet URL cache:
// the content entries, then the cookies, then the history entries.
// Never fails outward.
void PurgeUrlCache();

// Clears the shell's list of recent documents.
void ClearRecentDocuments();

// Empties the recycle bins of all drives through SHEmptyRecycleBinA, looked
// up in Shell32.dll for this call only. When the library cannot be loaded
// it shows the error dialog "Failed to load Shell32.dll." and returns; a
// missing function is passed over silently.
void EmptyRecycleBin(HWND applicationWindow);
