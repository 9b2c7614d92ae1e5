#include "controls.h"

#include <algorithm>

#include "win.h"

namespace {

// A child nobody in the table claimed: described by class and text.
std::string describe_child(HWND h) { return class_of(h) + " " + quoted(text_of(h)); }

std::vector<HWND> match_children(const std::vector<HWND>& children, const std::vector<ExpectedControl>& table) {
  std::vector<HWND> found(table.size(), nullptr);
  std::vector<bool> taken(children.size(), false);
  // Controls with a caption first, so that the ones matched by class only
  // (edits) cannot take a captioned one's window.
  for (int pass = 0; pass < 2; ++pass) {
    for (size_t i = 0; i < table.size(); ++i) {
      bool by_caption = table[i].caption != nullptr;
      if (by_caption != (pass == 0)) continue;
      for (size_t c = 0; c < children.size(); ++c) {
        if (taken[c] || class_of(children[c]) != table[i].cls) continue;
        if (by_caption && text_of(children[c]) != table[i].caption) continue;
        found[i] = children[c];
        taken[c] = true;
        break;
      }
    }
  }
  return found;
}

std::string expected_rect(const ExpectedControl& e) {
  RECT r{e.left, e.top, e.left + e.width, e.top + e.height};
  return describe_rect(r);
}

}  // namespace

std::vector<HWND> check_controls(Report& report, const std::string& scope, HWND parent,
                                 const std::vector<ExpectedControl>& table) {
  std::vector<HWND> children = children_of(parent);
  std::vector<HWND> found = match_children(children, table);

  for (size_t i = 0; i < table.size(); ++i) {
    const ExpectedControl& e = table[i];
    std::string name = scope + "/" + e.name;
    std::string what = e.cls;
    if (e.caption) what.append(" ").append(quoted(e.caption));
    if (!report.check(found[i] != nullptr, name + " is a " + what, "no such child window"))
      continue;
    std::string actual = describe_rect(rect_in_parent(found[i]));
    report.check(actual == expected_rect(e), name + " at " + expected_rect(e), "is at " + actual);
    bool tab_stop = (style_of(found[i]) & WS_TABSTOP) != 0;
    report.check(tab_stop == e.tab_stop, name + (e.tab_stop ? " is a tab stop" : " is no tab stop"),
                 tab_stop ? "has WS_TABSTOP" : "lacks WS_TABSTOP");
  }

  std::string expected_order, actual_order;
  for (const ExpectedControl& e : table) expected_order += std::string(expected_order.empty() ? "" : ", ") + e.name;
  for (HWND child : children) {
    auto at = std::find(found.begin(), found.end(), child);
    std::string name = at != found.end() ? table[at - found.begin()].name : describe_child(child);
    actual_order += (actual_order.empty() ? "" : ", ") + name;
  }
  report.check(actual_order == expected_order, scope + " tab order (z-order) " + expected_order,
               "z-order is " + actual_order);
  return found;
}

std::vector<HWND> match_controls(HWND parent, const std::vector<ExpectedControl>& table) {
  return match_children(children_of(parent), table);
}

HWND control(const std::vector<ExpectedControl>& table, const std::vector<HWND>& found, const std::string& name) {
  for (size_t i = 0; i < table.size() && i < found.size(); ++i)
    if (name == table[i].name) return found[i];
  return nullptr;
}
