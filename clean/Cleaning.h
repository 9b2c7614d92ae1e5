// The steps of a Cleaning run and the program-wide state they share.
// The temp folder purge is in clean/TempPurge.h.
#pragma once
#include <windows.h>
#include <urlhist.h>

#include "clean/Counts.h"

// Set as the last step of a run, cleared by the URL cache purge and by the
// tick that reports the run.
extern bool RunFinished;

// The URL history object of the last run, or null. Held until the next run
// replaces it or ReleaseHistory is called.
IUrlHistoryStg2* HistoryInterface();

// Releases the History interface; call at exit before CoUninitialize.
void ReleaseHistory();

// Creates the URL history object, keeps it as the History interface and
// clears the history; then, whatever that answered, deletes the address
// bar's typed addresses and the tabs' recovery records (clean/BrowserTraces.h).
// Throws EOleSysError when the object cannot be created and EIntfCastError
// when it lacks IUrlHistoryStg2 (the previous interface is then kept), and
// nothing else is deleted. The result of ClearHistory itself is ignored.
void ClearHistory();
// The same, counting the typed addresses and recovery records, and
// returning what ClearHistory answered.
HRESULT ClearHistory(TCleanMode mode, TTypedUrlCounts& typedUrls, TTraceCounts& recovery);
// The URL history object alone, returning what ClearHistory answered; with
// CountOnly the object is made and asked for the interface, so its failures
// show, but the history is left as it is (S_OK).
HRESULT ClearHistory(TCleanMode mode);

// Clears RunFinished, then deletes every entry of the WinINet URL cache:
// the content entries, then the cookies, then the history entries; then
// the contents of the sites' stored data folders (clean/BrowserTraces.h).
// Never fails outward.
void PurgeUrlCache();
// The same purge, counting what goes; with CountOnly nothing is deleted.
void PurgeUrlCache(TCacheCounts& counts, TCleanMode mode);

// Clears the shell's list of recent documents.
void ClearRecentDocuments();
void ClearRecentDocuments(TCleanMode mode);

// Empties the recycle bins of all drives through SHEmptyRecycleBinA, looked
// up in Shell32.dll for this call only. When the library cannot be loaded
// it shows the error dialog "Failed to load Shell32.dll." and returns; a
// missing function is passed over silently.
void EmptyRecycleBin(HWND applicationWindow);

// The same step without a window: shows no dialog, says how it ended, and
// counts the bin's items and bytes first (SHQueryRecycleBinA); a bin that
// cannot be counted is not emptied (QueryFailed). An empty bin is not
// emptied again; with CountOnly nothing is emptied.
TBinResult EmptyRecycleBinReported(TBinCounts& counts, TCleanMode mode);
