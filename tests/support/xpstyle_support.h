// Helpers of the drawing tests: filled bitmaps read back as pictures, and a
// system colour or scroll bar size set for one scope.
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

inline TBitmap Filled(int width, int height, COLORREF color) {
  TBitmap bitmap;
  bitmap.SetSize(width, height);
  bitmap.Canvas().Brush.Color = color;
  bitmap.Canvas().FillRect({0, 0, width, height});
  return bitmap;
}

// Rows of the area, one character per pixel: the key's mark, or '?'.
inline std::vector<std::string> Picture(TBitmap& bitmap, const std::vector<std::pair<COLORREF, char>>& key,
                                        RECT area = {0, 0, -1, -1}) {
  if (area.right < 0) area = {0, 0, bitmap.Width(), bitmap.Height()};
  std::vector<std::string> rows;
  for (int y = area.top; y < area.bottom; ++y) {
    rows.emplace_back();
    for (int x = area.left; x < area.right; ++x) {
      char mark = '?';
      for (auto& [color, c] : key)
        if (color == bitmap.Canvas().Pixel(x, y)) mark = c;
      rows.back() += mark;
    }
  }
  return rows;
}

inline int CountPixels(TBitmap& bitmap, COLORREF color) {
  int count = 0;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) count += bitmap.Canvas().Pixel(x, y) == color;
  return count;
}

// SetSysColors for one scope.
class TSysColor {
public:
  TSysColor(int index, COLORREF color) : FIndex(index), FOld(GetSysColor(index)) { SetSysColors(1, &FIndex, &color); }
  ~TSysColor() { SetSysColors(1, &FIndex, &FOld); }

private:
  int FIndex;
  COLORREF FOld;
};

// The scroll bar size, which SM_CXHTHUMB follows, for one scope.
class TThumbSize {
public:
  explicit TThumbSize(int size) : FOld(GetSystemMetrics(SM_CXHTHUMB)) { Set(size); }
  ~TThumbSize() { Set(FOld); }

private:
  static void Set(int size) {
    NONCLIENTMETRICSA m{};
    m.cbSize = sizeof m;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &m, 0);
    m.iScrollWidth = m.iScrollHeight = size;
    SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, 0, &m, 0);
  }
  int FOld;
};

}  // namespace xp_support
