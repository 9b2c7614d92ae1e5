#include "ui/ImgList.h"

#include "base/SysUtils.h"

TCustomImageList::TCustomImageList(TComponent* owner, int width, int height)
    : TComponent(owner), FWidth(width), FHeight(height) {
  FHandle = ImageList_Create(width, height, ILC_COLORDDB | ILC_MASK, 4, 4);
  if (!FHandle) throw EOutOfResources("Cannot create image list");
}

TCustomImageList::~TCustomImageList() { ImageList_Destroy(FHandle); }

int TCustomImageList::Count() const { return ImageList_GetImageCount(FHandle); }

int TCustomImageList::AddMasked(TBitmap& bitmap, TColor maskColor) {
  if (bitmap.Empty()) return -1;
  // ImageList_AddMasked blackens the masked pixels of what it is given and
  // needs it out of every DC: it gets a copy.
  TBitmap copy(bitmap);
  copy.ReleaseCanvas();
  return ImageList_AddMasked(FHandle, copy.Handle(), ColorToRGB(maskColor));
}

bool TCustomImageList::Draw(HDC dc, int x, int y, int index, UINT style, COLORREF background,
                            COLORREF foreground) const {
  return ImageList_DrawEx(FHandle, index, dc, x, y, 0, 0, background, foreground, style) != FALSE;
}
