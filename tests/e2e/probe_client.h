// The driver's side of the probe DLL (tests/probe): hooks it into the GUI
// thread of a program's window and asks it for what only that process can
// see (GDI objects, the fonts its controls draw with).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "../probe/probe.h"
#include "handles.h"

class TProbe {
 public:
  TProbe();
  ~TProbe();
  TProbe(const TProbe&) = delete;
  TProbe& operator=(const TProbe&) = delete;

  // Hooks the thread that owns WINDOW with the DLL at that path.
  bool Attach(HWND window, const std::string& dll);
  // Objects the program's thread could create of the probe's 1,000; -1 when it did not answer.
  long CreateObjects(HWND window);
  // GDI objects the program holds; -1 when it did not answer.
  long GdiObjects(HWND window);
  LONG TimerTicks() const { return FResults ? FResults->TimerTicks : -1; }

  struct Measured {
    bool ok = false;
    std::vector<TProbeCaption> captions;  // one per child window of the window asked about
    long menuTextHeight = 0;              // a line of the system menu font
    long dpi = 0;                         // the program's screen DPI
  };
  // The captions of WINDOW's child windows, measured in the program.
  Measured MeasureCaptions(HWND window);

 private:
  bool Ask(HWND window, WPARAM what);

  UniqueHandle FMapping;
  TProbeResults* FResults = nullptr;
  HMODULE FLibrary = nullptr;
  HHOOK FHook = nullptr;
};

// The probe DLL's path in the build tree, seen from the program running now
// (tests/<dir>/driver.exe).
std::string probe_dll_path();
