// Image lists over the common-controls image list.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "ui/Classes.h"
#include "ui/Graphics.h"

// The library's clNone, as the flat look passes it for an image's
// background and foreground colour.
constexpr COLORREF NoColor = 0x1FFFFFFF;

class TCustomImageList : public TComponent {
public:
  // Images of width x height pixels, device-dependent, with a mask.
  TCustomImageList(TComponent* owner, int width = 16, int height = 16);
  ~TCustomImageList() override;
  const char* ClassName() const override { return "TCustomImageList"; }

  HIMAGELIST Handle() const { return FHandle; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  int Count() const;
  // Adds the bitmap's cells; pixels of maskColor become transparent.
  // Returns the index of the first new image, or -1.
  int AddMasked(TBitmap& bitmap, TColor maskColor);
  // ImageList_DrawEx at the image's own size; false when there is no such
  // image (nothing is drawn then).
  bool Draw(HDC dc, int x, int y, int index, UINT style = ILD_TRANSPARENT, COLORREF background = CLR_DEFAULT,
            COLORREF foreground = CLR_DEFAULT) const;

private:
  HIMAGELIST FHandle = nullptr;
  int FWidth;
  int FHeight;
};

class TImageList : public TCustomImageList {
public:
  using TCustomImageList::TCustomImageList;
  const char* ClassName() const override { return "TImageList"; }
};
