// Where the report of a run without the window may go: never in the place
// of the settings file, never onto a device or a folder, and never inside
// the temporary folder that the cleaning empties. Paths are compared by
// what they lead to, never by their text.
#pragma once
#include <string>

// The one line that says why the report may not go to REPORT, or empty
// when it may. SETTINGS is the settings file; TEMPFOLDER the temporary
// folder when the cleaning empties it, else empty.
std::string ReportTargetProblem(const std::wstring& report, const std::wstring& settings,
                                const std::wstring& tempFolder);
