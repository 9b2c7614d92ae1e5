// Compares a window's child windows with a table of expected controls: class, caption,
// position, tab stop and tab order (the z-order of the siblings).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "report.h"

struct ExpectedControl {
  const char* name;     // the control's name in its form, for the messages
  const char* cls;      // its window class
  const char* caption;  // nullptr: identified by class and order only (edits)
  int left, top, width, height;  // relative to the parent's client area
  bool tab_stop;
};

// Finds each expected control among PARENT's children (by class and caption),
// checks its position and tab stop, and that the z-order follows the table's
// order. Returns the windows in the table's order (nullptr for a missing one).
std::vector<HWND> check_controls(Report& report, const std::string& scope, HWND parent,
                                 const std::vector<ExpectedControl>& table);

// PARENT's children matched to the table's entries (nullptr for a missing one).
std::vector<HWND> match_controls(HWND parent, const std::vector<ExpectedControl>& table);

// The window of the named control in the result of check_controls.
HWND control(const std::vector<ExpectedControl>& table, const std::vector<HWND>& found, const std::string& name);
