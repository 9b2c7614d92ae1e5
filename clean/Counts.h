// What a cleaning step may do, and what it counts as it goes: the same code
// path deletes or, for a preview, only counts what it would delete.
#pragma once

enum class TCleanMode {
  Delete,     // delete what the step deletes
  CountOnly,  // touch nothing; count what would go
};

// The URL cache: entries deleted (or that would be), entries in use that the
// system deletes once they are released, entries that stayed, and the bytes
// of the cached files of the entries that went.
struct TCacheCounts {
  int Deleted = 0;
  int Pending = 0;
  int Kept = 0;
  unsigned long long Bytes = 0;
};

// The temporary folder. Approved is false when the folder failed its checks
// and nothing in it was looked at; Complete is false when its listing broke
// off. Files kept are counted by their reason.
struct TTempCounts {
  bool Approved = false;
  bool Complete = false;
  int Deleted = 0;
  unsigned long long Bytes = 0;  // of the files and the folders that went
  int ReadOnly = 0;
  int Links = 0;
  int InUse = 0;
  int Other = 0;
  int FoldersToBin = 0;
  int FoldersKept = 0;
};

// The recycle bin before it was emptied.
struct TBinCounts {
  unsigned long long Items = 0;
  unsigned long long Bytes = 0;
};

enum class TBinResult { Emptied, LibraryMissing, FunctionMissing, Failed };
