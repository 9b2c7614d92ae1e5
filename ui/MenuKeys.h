// Access keys and separator reduction of a menu: pure functions over the
// captions and flags of its items, free of window handles.
#pragma once
#include <string>
#include <vector>

// The access key of a caption: the character after its first single '&'
// ("&&" is a literal '&'); 0 when none.
char GetHotkey(const std::string& caption);

// Access keys for the captions of the items that take part (shown, not
// separators, non-empty caption), in menu order; returns the new captions
// (same count, same order). Keys come from "1234567890A...Z", a to z
// counting as capitals. A key in that set that is not yet taken is kept
// (a key outside the set always is), and later single '&'s of that caption go;
// one taken by an item above loses its '&'. Items without a key get the
// first free character of their caption; when characters run out, the
// handing out starts over with the items left without a key first, and the
// attempt that keyed the most items is applied.
std::vector<std::string> AssignAccessKeys(const std::vector<std::string>& captions);

struct TMenuLine {
  bool Visible;    // the item's own visibility
  bool Separator;  // its caption is "-"
};

// Which lines are shown after separator reduction (same count): separators
// before the first and after the last shown non-separator are hidden, and of
// separators with no shown non-separator between them only the last stays.
// Computed afresh from the items' own visibility each time, so a separator
// hidden at one opening shows again once something stands before it.
std::vector<bool> ReduceSeparators(const std::vector<TMenuLine>& lines);
