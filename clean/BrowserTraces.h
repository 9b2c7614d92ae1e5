// The traces the browser keeps beside its history and its cache: the
// address bar's typed addresses, the open tabs' recovery records and the
// sites' stored data (DOM storage). Passwords, form entries and the
// download history are not among them and are never touched.
#pragma once
#include <windows.h>

#include <span>
#include <string>

#include "clean/Counts.h"

// Deletes every value of TypedURLs and of TypedURLsTime below
// HKCU\Software\Microsoft\Internet Explorer; the keys themselves stay, as
// the browser expects them. A missing key is nothing there; no key is ever
// created. A value that cannot be deleted stays and is counted as kept.
// With CountOnly the keys are opened only to read.
void ClearTypedUrls(TTypedUrlCounts& counts, TCleanMode mode);

// A browser folder: its place below one of the user's known folders.
enum class TKnownRoot { LocalAppData, LocalAppDataLow };
struct TTraceFolder {
  TKnownRoot Root;
  const wchar_t* Below;
};

// The recovery records of the open tabs ("Active", "Last Active") and the
// sites' stored data (one DOMStore folder in each of the two known folders).
extern const TTraceFolder RecoveryFolders[2];
extern const TTraceFolder SiteDataFolders[2];

// The known folder's path (SHGetKnownFolderPath, looked up at run time);
// empty when the call is missing or fails.
std::wstring KnownFolderPath(TKnownRoot root);

// Empties each folder of a kind below its known folder (PurgeTraceFolder);
// where the known folder cannot be found, its folders are passed over.
void PurgeTraceFolders(std::span<const TTraceFolder> folders, TTraceCounts& counts, TCleanMode mode);

// Empties the folder BELOW inside the known folder ROOT with the temp
// purge's walk (PurgeApprovedFolder); the folder itself stays. The folder
// is opened once and approved through that handle: it must resolve to a
// place inside ROOT (as the file system names both), or it is counted as
// refused and nothing in it is looked at: a link or junction there that
// leads elsewhere is never entered. A folder that is not there is nothing.
void PurgeTraceFolder(const std::wstring& root, const std::wstring& below, TTraceCounts& counts, TCleanMode mode);
