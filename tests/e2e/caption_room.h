// How wide a control's caption may be and still show whole: the control's
// client width less what else it draws beside the text. Shared by the
// display-scale checks from outside and the gallery's in its own process.
#pragma once
#include <windows.h>

#include <string>

// CLS is the control's class name; MENU_CHECK the system's SM_CXMENUCHECK at
// DPI, the width Wine gives a check box's or radio button's box.
inline long caption_room(const std::string& cls, long client_width, int dpi, int menu_check) {
  auto scaled = [dpi](int pixels) { return MulDiv(pixels, dpi, 96); };
  if (cls == "TCheckBox" || cls == "TRadioButton") return client_width - menu_check - scaled(4);  // box and gap
  if (cls == "TGroupBox") return client_width - 2 * scaled(9);  // the caption's indent, both sides
  if (cls == "TBitBtn") return client_width - scaled(18 + 4);   // the glyph and its spacing
  return client_width - 2 * scaled(2);                          // a button's edges
}

// The classes whose captions the checks look at.
inline bool has_checked_caption(const std::string& cls) {
  return cls == "TButton" || cls == "TBitBtn" || cls == "TCheckBox" || cls == "TRadioButton" || cls == "TGroupBox";
}
