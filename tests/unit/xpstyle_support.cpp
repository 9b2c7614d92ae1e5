#include "tests/unit/xpstyle_support.h"

namespace xp_support {

TBitmap Filled(int width, int height, COLORREF color) {
  TBitmap bitmap;
  bitmap.SetSize(width, height);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush.Color = color;
  canvas.FillRect({0, 0, width, height});
  return bitmap;
}

std::vector<std::string> Picture(TBitmap& bitmap, const std::vector<std::pair<COLORREF, char>>& key, RECT area) {
  if (area.right < 0) area = {0, 0, bitmap.Width(), bitmap.Height()};
  std::vector<std::string> rows;
  for (int y = area.top; y < area.bottom; ++y) {
    std::string row;
    for (int x = area.left; x < area.right; ++x) {
      COLORREF pixel = bitmap.Canvas().Pixel(x, y);
      char c = '?';
      for (auto& [color, mark] : key)
        if (color == pixel) {
          c = mark;
          break;
        }
      row += c;
    }
    rows.push_back(row);
  }
  return rows;
}

int CountPixels(TBitmap& bitmap, COLORREF color) {
  int count = 0;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) count += bitmap.Canvas().Pixel(x, y) == color;
  return count;
}

TSysColor::TSysColor(int index, COLORREF color) : FIndex(index), FOld(GetSysColor(index)) {
  SetSysColors(1, &FIndex, &color);
}

TSysColor::~TSysColor() { SetSysColors(1, &FIndex, &FOld); }

namespace {
void SetScrollSize(int size) {
  NONCLIENTMETRICSA m{};
  m.cbSize = sizeof m;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &m, 0);
  m.iScrollWidth = m.iScrollHeight = size;
  SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, 0, &m, 0);
}
}  // namespace

TThumbSize::TThumbSize(int size) : FOld(GetSystemMetrics(SM_CXHTHUMB)) { SetScrollSize(size); }

TThumbSize::~TThumbSize() { SetScrollSize(FOld); }

}  // namespace xp_support
