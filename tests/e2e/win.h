// Working another process's windows from outside: start it, find its windows,
// read them and send them input. Every wait is bounded.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "handles.h"
#include "png.h"

struct Process {
  UniqueHandle handle;
  DWORD id = 0;
};

// This process's environment as a CreateProcess block, with TMP and TEMP set
// to the values given (an empty one leaves the variable out).
std::string environment_with_temp(const std::string& tmp, const std::string& temp);

// EXE, CWD and ARGUMENTS are UTF-8 (ASCII paths are the same in every code
// page). ARGUMENTS go after the program's name.
Process start_process(const std::string& exe, const std::string& cwd, const std::string& environment = "",
                      int show = -1, const std::string& arguments = "");
std::wstring utf16(const std::string& utf8);
// Waits up to TIMEOUT_MS for the process to end.
bool wait_exit(const Process& p, DWORD timeout_ms);
bool is_running(const Process& p);
// Ends the process if it still runs.
void kill_if_running(const Process& p);

// Polls COND every 20 ms until it holds or TIMEOUT_MS have passed.
bool wait_until(const std::function<bool()>& cond, DWORD timeout_ms);

// The visible top-level window of class CLS owned by process PID (0: any process).
HWND find_window(DWORD pid, const std::string& cls);
// The top-level window of class CLS owned by process PID, visible or hidden.
HWND find_any_window(DWORD pid, const std::string& cls);
// Waits for find_window to give a window; nullptr on timeout.
HWND wait_window(DWORD pid, const std::string& cls, DWORD timeout_ms);

std::string class_of(HWND h);
// The window's text through WM_GETTEXT (the system copies it across processes).
std::string text_of(HWND h);
// The child windows of PARENT in z-order (GW_CHILD, then GW_HWNDNEXT).
std::vector<HWND> children_of(HWND parent);
// The first child of PARENT with that class and text.
HWND find_child(HWND parent, const std::string& cls, const std::string& caption);
// The window's rectangle relative to its parent's client area.
RECT rect_in_parent(HWND h);
RECT window_rect(HWND h);
LONG style_of(HWND h);
LONG ex_style_of(HWND h);
// BM_GETCHECK; -1 when the window does not answer.
int check_state(HWND h);
// The window that has the keyboard focus in THREAD, or nullptr.
HWND focus_of(DWORD thread);

// A click as a user's: posted, so that a modal loop it opens does not block us.
void post_click(HWND button);

// Copies the window's screen area with GDI.
Image capture_window(HWND h);
// Number of distinct colours in the image, counted up to LIMIT.
int distinct_colours(const Image& image, int limit);

// Formats "L,T WxH".
std::string describe_rect(const RECT& r);
