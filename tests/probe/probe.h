// The probe that a driver puts into spurwisch.exe's GUI thread with a message
// hook (SetWindowsHookExA with this DLL): it counts the WM_TIMER messages the
// thread takes from its queue and, on request, tries to create GDI objects
// there. The results lie in a named shared block that the driver creates.
#pragma once
#include <windows.h>

constexpr const char* ProbeMappingName = "Local\\SpwProbeResults";
// Registered message posted to one of the program's windows: with wParam 0,
// create and free ProbeObjectsPerKind objects of each kind and count the
// successes; with wParam 1, count the GDI objects the process holds.
constexpr const char* ProbeCreateMessage = "SpwProbeCreateObjects";
constexpr int ProbeObjectsPerKind = 200;
constexpr int ProbeObjectKinds = 5;  // pens, brushes, fonts, memory DCs, bitmaps

struct TProbeResults {
  volatile LONG TimerTicks;       // WM_TIMER and system timer messages removed from the queue
  volatile LONG Attached;         // the DLL is loaded in the program
  volatile LONG CreateRounds;     // object-creation requests answered
  volatile LONG ObjectsCreated;   // successes of the last request
  volatile LONG GdiObjects;       // result of the last count of GDI objects
};

// The hook procedure exported by the DLL, for SetWindowsHookExA(WH_GETMESSAGE).
extern "C" __declspec(dllexport) LRESULT CALLBACK SpwProbeGetMessage(int code, WPARAM wparam, LPARAM lparam);
