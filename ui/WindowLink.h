// The one frame of the library's window procedures: a window is linked to
// its object once, at WM_NCCREATE (the object comes as the creation
// parameter and is kept in GWLP_USERDATA), each message reaches the object
// inside one error guard, and the link is cut at WM_NCDESTROY, the last
// message a window receives.
#pragma once
#include <windows.h>
#include "ui/Classes.h"

struct TWindowLink {
  // The object now owns the window; it no longer does.
  void (*Linked)(void* object, HWND window);
  void (*Unlinked)(void* object, HWND window);
  // Handles one message and sets its Result.
  void (*Dispatch)(void* object, TMessage& message);
  // Handles what comes before WM_NCCREATE (WM_GETMINMAXINFO) and every
  // message of a window created without an object.
  WNDPROC Unowned;
};

LRESULT LinkedWindowProc(const TWindowLink& link, HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
