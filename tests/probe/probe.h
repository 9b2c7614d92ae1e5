// The probe that a driver puts into spurwisch.exe's GUI thread with a message
// hook (SetWindowsHookExA with this DLL): it counts the WM_TIMER messages the
// thread takes from its queue and, on request, tries to create GDI objects
// there or measures the captions of a window's controls in their own fonts
// (fonts cannot be read from another process). The results lie in a named
// shared block that the driver creates.
#pragma once
#include <windows.h>

constexpr const char* ProbeMappingName = "Local\\SpwProbeResults";
// Registered message posted to one of the program's windows: with wParam 0,
// create and free ProbeObjectsPerKind objects of each kind and count the
// successes; with wParam 1, count the GDI objects the process holds.
constexpr const char* ProbeCreateMessage = "SpwProbeCreateObjects";
constexpr int ProbeObjectsPerKind = 200;
constexpr int ProbeObjectKinds = 5;  // pens, brushes, fonts, memory DCs, bitmaps

// Registered message posted to a window of the program: measure the caption
// of each of its child windows (all descendants) in the font the child
// draws with, and the program's menu font.
constexpr const char* ProbeMeasureMessage = "SpwProbeMeasureCaptions";
constexpr int ProbeMaxCaptions = 48;

struct TProbeCaption {
  UINT64 Window;     // the child window
  LONG TextWidth;    // its caption as DrawText lays it out in one line ("&" marks no width)
  LONG TextHeight;
};

struct TProbeResults {
  volatile LONG TimerTicks;       // WM_TIMER and system timer messages removed from the queue
  volatile LONG Attached;         // the DLL is loaded in the program
  volatile LONG CreateRounds;     // object-creation requests answered
  volatile LONG ObjectsCreated;   // successes of the last request
  volatile LONG GdiObjects;       // result of the last count of GDI objects
  volatile LONG MeasureRounds;    // measuring requests answered
  LONG CaptionCount;
  TProbeCaption Captions[ProbeMaxCaptions];
  LONG MenuTextHeight;            // the height of a line in the system menu font, as the program sees it
  LONG Dpi;                       // the program's screen DPI (LOGPIXELSY)
};

// The hook procedure exported by the DLL, for SetWindowsHookExA(WH_GETMESSAGE).
extern "C" __declspec(dllexport) LRESULT CALLBACK SpwProbeGetMessage(int code, WPARAM wparam, LPARAM lparam);
