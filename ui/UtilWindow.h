// The library's hidden utility windows (the Application window, the timer
// windows, the menu window): one window procedure with one error guard that
// hands every message to the owner's TWndMethod.
#pragma once
#include <windows.h>
#include "ui/Classes.h"

struct TUtilWindowParams {
  const char* ClassName = "TPUtilWindow";
  const char* Caption = "";
  DWORD Style = WS_POPUP;
  int X = 0;
  int Y = 0;
  HICON Icon = nullptr;
};

// Owns one hidden window. The method receives every message from
// WM_NCCREATE on and must set Result, calling DefaultHandler for the
// messages it leaves alone.
class TUtilWindow {
public:
  TUtilWindow() = default;
  ~TUtilWindow() { Destroy(); }
  TUtilWindow(const TUtilWindow&) = delete;
  TUtilWindow& operator=(const TUtilWindow&) = delete;

  // Registers the class on first use and creates the window; raises
  // EOutOfResources when either fails.
  void Create(TWndMethod method, const TUtilWindowParams& params = {});
  void Destroy();
  HWND Handle() const { return FHandle; }
  void DefaultHandler(TMessage& message) const;

private:
  static LRESULT CALLBACK UtilWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  HWND FHandle = nullptr;
  TWndMethod FMethod;
};
