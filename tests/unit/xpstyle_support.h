// Shared helpers of the style tests: a form with a style component, bitmaps
// read as pictures, a temporary system colour or scroll metric.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/Forms.h"
#include "ui/Graphics.h"
#include "xpstyle/XPStyle.h"

namespace xp_support {

struct TFree {
  void operator()(TComponent* c) const { c->Free(); }
};
template <class T>
using Owned = std::unique_ptr<T, TFree>;

TBitmap Filled(int width, int height, COLORREF color);

// Rows of characters, one per pixel: the key's mark for its colour, '?' else.
std::vector<std::string> Picture(TBitmap& bitmap, const std::vector<std::pair<COLORREF, char>>& key,
                                 RECT area = {0, 0, -1, -1});
int CountPixels(TBitmap& bitmap, COLORREF color);

// Sets one system colour for a scope (SetSysColors) and puts it back.
class TSysColor {
public:
  TSysColor(int index, COLORREF color);
  ~TSysColor();

private:
  int FIndex;
  COLORREF FOld;
};

// Sets the scroll bar size (SM_CXHTHUMB follows it) for a scope.
class TThumbSize {
public:
  explicit TThumbSize(int size);
  ~TThumbSize();

private:
  int FOld;
};

}  // namespace xp_support
