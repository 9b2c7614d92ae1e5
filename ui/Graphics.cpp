#include "ui/Graphics.h"

#include <cstring>

COLORREF ColorToRGB(TColor color) {
  if (color & clSystemColor) return GetSysColor(static_cast<int>(color & 0xFF));
  return color & 0x00FFFFFF;
}

TGdiObject& TGdiObject::operator=(TGdiObject&& other) noexcept {
  if (this != &other) Reset(other.Release());
  return *this;
}

HGDIOBJ TGdiObject::Release() {
  HGDIOBJ handle = FHandle;
  FHandle = nullptr;
  return handle;
}

void TGdiObject::Reset(HGDIOBJ handle) {
  if (FHandle) DeleteObject(FHandle);
  FHandle = handle;
}

int ScreenPixelsPerInch() {
  TWindowDC screen(nullptr);
  return GetDeviceCaps(screen.Get(), LOGPIXELSY);
}

TFont::TFont() : FName("MS Sans Serif"), FHeight(-MulDiv(8, ScreenPixelsPerInch(), 72)) {}

TFont::TFont(const TFont& other)
    : FName(other.FName), FHeight(other.FHeight), FStyle(other.FStyle),
      FCharset(other.FCharset), FColor(other.FColor) {}

TFont& TFont::operator=(const TFont& other) {
  if (this != &other) {
    FName = other.FName;
    FHeight = other.FHeight;
    FStyle = other.FStyle;
    FCharset = other.FCharset;
    FColor = other.FColor;
    Changed();
  }
  return *this;
}

void TFont::SetName(const std::string& name) {
  if (name != FName) {
    FName = name;
    Changed();
  }
}

void TFont::SetHeight(int height) {
  if (height != FHeight) {
    FHeight = height;
    Changed();
  }
}

int TFont::Size() const { return -MulDiv(FHeight, 72, ScreenPixelsPerInch()); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, ScreenPixelsPerInch(), 72)); }

void TFont::SetStyle(unsigned style) {
  if (style != FStyle) {
    FStyle = style;
    Changed();
  }
}

void TFont::SetCharset(BYTE charset) {
  if (charset != FCharset) {
    FCharset = charset;
    Changed();
  }
}

HFONT TFont::Handle() const {
  if (!FHandle.Get()) {
    LOGFONTA lf{};
    lf.lfHeight = FHeight;
    lf.lfWeight = (FStyle & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (FStyle & fsItalic) ? 1 : 0;
    lf.lfUnderline = (FStyle & fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = (FStyle & fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = FCharset;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    lstrcpynA(lf.lfFaceName, FName.c_str(), LF_FACESIZE);
    FHandle.Reset(CreateFontIndirectA(&lf));
  }
  return static_cast<HFONT>(FHandle.Get());
}

void TFont::Assign(const LOGFONTA& lf) {
  FName = lf.lfFaceName;
  FHeight = lf.lfHeight;
  FStyle = 0;
  if (lf.lfWeight >= FW_BOLD) FStyle |= fsBold;
  if (lf.lfItalic) FStyle |= fsItalic;
  if (lf.lfUnderline) FStyle |= fsUnderline;
  if (lf.lfStrikeOut) FStyle |= fsStrikeOut;
  FCharset = lf.lfCharSet;
  Changed();
}

TBitmap::TBitmap(const TBitmap& other) { *this = other; }

TBitmap& TBitmap::operator=(const TBitmap& other) {
  if (this == &other) return *this;
  if (other.Empty()) {
    FHandle.Reset();
    FWidth = FHeight = 0;
    return *this;
  }
  Adopt(static_cast<HBITMAP>(CopyImage(other.Handle(), IMAGE_BITMAP, 0, 0, 0)));
  return *this;
}

bool TBitmap::LoadFromResource(HINSTANCE instance, int id) {
  Adopt(static_cast<HBITMAP>(
      LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
  return !Empty();
}

void TBitmap::SetSize(int width, int height) {
  TWindowDC screen(nullptr);
  Adopt(width > 0 && height > 0 ? CreateCompatibleBitmap(screen.Get(), width, height) : nullptr);
}

void TBitmap::Adopt(HBITMAP handle) {
  FHandle.Reset(handle);
  BITMAP info{};
  if (handle && GetObjectA(handle, sizeof info, &info)) {
    FWidth = info.bmWidth;
    FHeight = info.bmHeight;
  } else {
    FWidth = FHeight = 0;
  }
}

void TBitmap::Draw(HDC dc, int x, int y) const {
  if (Empty()) return;
  TMemoryDC source(dc);
  TSelectObject bitmap(source.Get(), FHandle.Get());
  BitBlt(dc, x, y, FWidth, FHeight, source.Get(), 0, 0, SRCCOPY);
}

void TBitmap::DrawTransparent(HDC dc, int x, int y) const {
  if (Empty()) return;
  TMemoryDC source(dc);
  TSelectObject bitmap(source.Get(), FHandle.Get());
  COLORREF transparent = GetPixel(source.Get(), 0, FHeight - 1);
  TransparentBlt(dc, x, y, FWidth, FHeight, source.Get(), 0, 0, FWidth, FHeight, transparent);
}
