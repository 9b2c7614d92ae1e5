// What a cleaning step may do, and what it counts as it goes: the same code
// path deletes or, for a preview, only counts what it would delete.
#pragma once

enum class TCleanMode {
  Delete,           // delete what the step deletes; in the window the shell may ask the user
  DeleteUnwatched,  // the same with nobody to answer: no call may wait for a person, and
                    // what the shell would have to ask about stays
  CountOnly,        // touch nothing; count what would go
};

// Why subfolders of a purged folder stayed.
struct TFoldersKept {
  int Marked = 0;          // hidden, system, read-only or archive, another attribute bit, or a leading dot
  int Links = 0;           // a link somewhere inside
  int OddNames = 0;        // a name inside ends in a dot or a blank, which the shell's paths drop
  int TooLong = 0;         // deeper than the walk goes, or a path the shell cannot take
  int BinUnreachable = 0;  // the recycle bin cannot take it: the shell would delete it for good
  int Refused = 0;         // the shell did not delete it (a file in use, access denied)
  int Other = 0;           // it could not be opened or listed
  int Total() const { return Marked + Links + OddNames + TooLong + BinUnreachable + Refused + Other; }
};

// One folder emptied by the purge's walk (the temporary folder, a browser
// folder). Approved is false when the folder failed its checks and nothing
// in it was looked at; Complete is false when its listing broke off. Files
// and folders kept are counted by their reason.
struct TFolderCounts {
  bool Approved = false;
  bool Complete = false;
  int Deleted = 0;
  unsigned long long Bytes = 0;  // of the files and the folders that went
  int ReadOnly = 0;
  int Links = 0;
  int InUse = 0;
  int Other = 0;
  int FoldersToBin = 0;
  TFoldersKept FoldersKept;
  int FilesToBin = 0;  // the files inside the folders that went
};

// The typed addresses of the address bar (TypedURLs, with their times in
// TypedURLsTime): addresses and times deleted (or that would be), values
// that stayed, and whether a key that exists could not be opened.
struct TTypedUrlCounts {
  int Addresses = 0;
  int Times = 0;
  int Kept = 0;
  bool Unreadable = false;
};

// A kind of browser folder (the tabs' recovery records, the sites' stored
// data) over the folders it lives in: the folders found and approved, those
// found but refused (they lead outside their known folder) or whose listing
// broke off, and what their contents came to.
struct TTraceCounts {
  int Folders = 0;
  int Refused = 0;
  int Broken = 0;
  TFolderCounts Contents;
};

// The URL cache: entries deleted (or that would be), entries in use that the
// system deletes once they are released, entries that stayed, and the bytes
// of the cached files of the entries that went.
struct TCacheCounts {
  int Deleted = 0;
  int Pending = 0;
  int Kept = 0;
  unsigned long long Bytes = 0;
  TTraceCounts SiteData;  // the sites' stored data, purged after the cache
};

// The recycle bin before it was emptied.
struct TBinCounts {
  unsigned long long Items = 0;
  unsigned long long Bytes = 0;
};

enum class TBinResult { Emptied, LibraryMissing, FunctionMissing, QueryFailed, Failed };
