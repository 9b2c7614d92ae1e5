// The tray-menu baseline: the least a Win32 program does to open a nine-item,
// system-drawn popup menu from a tray icon's right-button callback. A hidden
// window receives the callback (WM_USER + 1 with WM_RBUTTONUP), builds the
// menu and tracks it at the cursor, as the program's tray component does,
// with the two steps every notification-icon menu needs to close on a click
// elsewhere: its owner made the foreground window first, a message posted to
// it after.
#include <windows.h>

#include "base/Cp1252.h"

namespace {

const char kClassName[] = "SpwBaselineTray";
const UINT kTrayCallback = WM_USER + 1;

void open_menu(HWND hwnd) {
  POINT point{};
  GetCursorPos(&point);
  SetActiveWindow(hwnd);
  HMENU menu = CreatePopupMenu();
  const char* items[] = {"&Wiederherstellen", u8"&Säubern"_cp1252, "&About", "-", "&Proxy ausschalten",
                         "P&roxy einschalten", "-", "-", "Pr&ogramm beenden"};
  UINT id = 100;
  for (const char* item : items)
    AppendMenuA(menu, item[0] == '-' ? MF_SEPARATOR : MF_STRING, id++, item[0] == '-' ? nullptr : item);
  SetForegroundWindow(hwnd);
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0, hwnd, nullptr);
  PostMessageA(hwnd, WM_NULL, 0, 0);
  DestroyMenu(menu);
}

LRESULT CALLBACK baseline_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == kTrayCallback && lparam == WM_RBUTTONUP) {
    open_menu(hwnd);
    return 0;
  }
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wparam, lparam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = baseline_proc;
  wc.hInstance = instance;
  wc.lpszClassName = kClassName;
  if (!RegisterClassA(&wc)) return 1;
  HWND hwnd = CreateWindowExA(0, kClassName, "Baseline", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  if (!hwnd) return 1;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
