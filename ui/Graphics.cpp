#include "ui/Graphics.h"

#include <cstring>

#include "ui/DisplayScale.h"

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

int ScreenPixelsPerInch() { return static_cast<int>(SystemDpi()); }

TFont::TFont() : FName("MS Sans Serif"), FHeight(-MulDiv(8, ScreenPixelsPerInch(), 72)) {
  FRecord.lfWeight = FW_NORMAL;
}

TFont::TFont(const TFont& other)
    : FName(other.FName), FHeight(other.FHeight), FStyle(other.FStyle),
      FCharset(other.FCharset), FColor(other.FColor), FRecord(other.FRecord) {}

TFont& TFont::operator=(const TFont& other) {
  if (this != &other) {
    FName = other.FName;
    FHeight = other.FHeight;
    FStyle = other.FStyle;
    FCharset = other.FCharset;
    FColor = other.FColor;
    FRecord = other.FRecord;
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
  if (!FHandle.Get()) FHandle.Reset(CreateHandle());
  return static_cast<HFONT>(FHandle.Get());
}

LOGFONTA TFont::LogFont() const {
  LOGFONTA lf = FRecord;
  lf.lfHeight = FHeight;
  lf.lfCharSet = FCharset;
  std::memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
  lstrcpynA(lf.lfFaceName, FName.c_str(), LF_FACESIZE);
  // A style bit that agrees with the record leaves its value alone, so a
  // semibold or light weight survives as long as the bold style is unchanged.
  const bool bold = FStyle & fsBold;
  if ((lf.lfWeight >= FW_BOLD) != bold) lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  auto flag = [this](BYTE& field, unsigned style) {
    if ((field != 0) != ((FStyle & style) != 0)) field = (FStyle & style) ? 1 : 0;
  };
  flag(lf.lfItalic, fsItalic);
  flag(lf.lfUnderline, fsUnderline);
  flag(lf.lfStrikeOut, fsStrikeOut);
  return lf;
}

bool TFont::SameHandleAs(const TFont& other) const {
  const LOGFONTA mine = LogFont(), theirs = other.LogFont();
  return std::memcmp(&mine, &theirs, sizeof mine) == 0;
}

HFONT TFont::CreateHandle() const {
  const LOGFONTA lf = LogFont();
  return CreateFontIndirectA(&lf);
}

void TFont::Assign(const LOGFONTA& lf) {
  FRecord = lf;
  FName = std::string(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
  FHeight = lf.lfHeight;
  FStyle = 0;
  if (lf.lfWeight >= FW_BOLD) FStyle |= fsBold;
  if (lf.lfItalic) FStyle |= fsItalic;
  if (lf.lfUnderline) FStyle |= fsUnderline;
  if (lf.lfStrikeOut) FStyle |= fsStrikeOut;
  FCharset = lf.lfCharSet;
  Changed();
}

// ------------------------------------------------------------------ TCanvas

TCanvas::TCanvas(HDC dc) : FDC(dc) {}

UINT TCanvas::Dpi() const { return FDpi ? FDpi : WindowDpi(WindowFromDC(FDC)); }

// Puts the DC's own objects back before the owned handles are deleted.
TCanvas::~TCanvas() {
  if (FOriginalPen) SelectObject(FDC, FOriginalPen);
  if (FOriginalBrush) SelectObject(FDC, FOriginalBrush);
  if (FOriginalFont) SelectObject(FDC, FOriginalFont);
}

namespace {

// Selects a new object and keeps the DC's first one for the end.
void SelectOwned(HDC dc, TGdiObject& owned, HGDIOBJ created, HGDIOBJ& original) {
  if (!created) return;  // out of GDI objects: keep drawing with the old one
  HGDIOBJ previous = SelectObject(dc, created);
  if (!original) original = previous;
  owned.Reset(created);  // the previous owned object is no longer selected
}

}  // namespace

void TCanvas::RequirePen() {
  if (FPenHandle.Get() && Pen == FSelectedPen) return;
  HGDIOBJ pen = Pen.Style == psClear ? CreatePen(PS_NULL, 0, 0)
                                     : CreatePen(Pen.Style == psInsideFrame ? PS_INSIDEFRAME : PS_SOLID, Pen.Width,
                                                 ColorToRGB(Pen.Color));
  SelectOwned(FDC, FPenHandle, pen, FOriginalPen);
  if (pen) FSelectedPen = Pen;
}

void TCanvas::RequireBrush() {
  if (FBrushHandle.Get() && Brush == FSelectedBrush) return;
  LOGBRUSH lb{Brush.Style == bsClear ? static_cast<UINT>(BS_NULL) : static_cast<UINT>(BS_SOLID),
              ColorToRGB(Brush.Color), 0};
  HGDIOBJ brush = CreateBrushIndirect(&lb);
  SelectOwned(FDC, FBrushHandle, brush, FOriginalBrush);
  if (brush) FSelectedBrush = Brush;
}

void TCanvas::RequireFont() {
  if (!FFontHandle.Get() || !Font.SameHandleAs(FSelectedFont)) {
    HGDIOBJ font = Font.CreateHandle();
    SelectOwned(FDC, FFontHandle, font, FOriginalFont);
    if (font) FSelectedFont = Font;
  }
  COLORREF color = ColorToRGB(Font.Color());
  if (color != FSelectedTextColor) {
    ::SetTextColor(FDC, color);
    FSelectedTextColor = color;
  }
}

// Text is drawn on the brush colour, or on what is there for a clear brush.
void TCanvas::SetTextBackground() {
  ::SetBkColor(FDC, ColorToRGB(Brush.Color));
  ::SetBkMode(FDC, Brush.Style == bsClear ? TRANSPARENT : OPAQUE);
}

void TCanvas::MoveTo(int x, int y) { MoveToEx(FDC, x, y, nullptr); }

void TCanvas::LineTo(int x, int y) {
  RequirePen();
  ::LineTo(FDC, x, y);
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  RequirePen();
  RequireBrush();
  ::Rectangle(FDC, left, top, right, bottom);
}

void TCanvas::RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) {
  RequirePen();
  RequireBrush();
  ::RoundRect(FDC, left, top, right, bottom, cornerWidth, cornerHeight);
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
  RequirePen();
  RequireBrush();
  ::Ellipse(FDC, left, top, right, bottom);
}

void TCanvas::FillRect(const RECT& r) {
  RequireBrush();
  ::FillRect(FDC, &r, static_cast<HBRUSH>(FBrushHandle.Get()));
}

void TCanvas::FrameRect(const RECT& r) {
  RequireBrush();
  ::FrameRect(FDC, &r, static_cast<HBRUSH>(FBrushHandle.Get()));
}

void TCanvas::TextRect(const RECT& r, int x, int y, const std::string& text, UINT extraOptions) {
  RequireFont();
  SetTextBackground();
  UINT options = ETO_CLIPPED | extraOptions;
  if (Brush.Style != bsClear) options |= ETO_OPAQUE;
  ExtTextOutA(FDC, x, y, options, &r, text.c_str(), static_cast<UINT>(text.size()), nullptr);
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  RequireFont();
  SetTextBackground();
  ExtTextOutA(FDC, x, y, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
}

int TCanvas::DrawText(const std::string& text, RECT& r, UINT format) {
  RequireFont();
  return DrawTextExA(FDC, const_cast<char*>(text.c_str()), static_cast<int>(text.size()), &r, format, nullptr);
}

SIZE TCanvas::TextExtent(const std::string& text) {
  RequireFont();
  SIZE size{};
  GetTextExtentPoint32A(FDC, text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

// ------------------------------------------------------------------ TBitmap

// The bitmap's memory DC with the bitmap selected, and a canvas on it.
// Members go in reverse: canvas, then the selection, then the DC.
struct TBitmap::TSurface {
  explicit TSurface(HBITMAP bitmap) : DC(nullptr), Selected(DC.Get(), bitmap), Canvas(DC.Get()) {}
  TMemoryDC DC;
  TSelectObject Selected;
  TCanvas Canvas;
};

TBitmap::~TBitmap() { ReleaseCanvas(); }

void TBitmap::ReleaseCanvas() {
  delete FSurface;
  FSurface = nullptr;
}

TCanvas& TBitmap::Canvas() {
  if (!FSurface) FSurface = new TSurface(Handle());
  return FSurface->Canvas;
}

TBitmap::TBitmap(const TBitmap& other) { *this = other; }

TBitmap& TBitmap::operator=(const TBitmap& other) {
  if (this == &other) return *this;
  auto& source = const_cast<TBitmap&>(other);  // only its pixels are read
  CopyFrom(source, 0, 0, source.FWidth, source.FHeight);
  return *this;
}

void TBitmap::CopyFrom(TBitmap& source, int x, int y, int width, int height) {
  SetSize(width, height);
  if (Empty() || source.Empty()) return;
  BitBlt(Canvas().Handle(), 0, 0, width, height, source.Canvas().Handle(), x, y, SRCCOPY);
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
  ReleaseCanvas();
  FHandle.Reset(handle);
  BITMAP info{};
  if (handle && GetObjectA(handle, sizeof info, &info)) {
    FWidth = info.bmWidth;
    FHeight = info.bmHeight;
  } else {
    FWidth = FHeight = 0;
  }
}

void TBitmap::Draw(HDC dc, int x, int y) {
  if (Empty()) return;
  BitBlt(dc, x, y, FWidth, FHeight, Canvas().Handle(), 0, 0, SRCCOPY);
}

// HALFTONE averages the source pixels that fall on each target pixel, so a
// picture shown larger or smaller stays smooth; it needs the brush origin set.
void TBitmap::StretchDraw(HDC dc, const RECT& target) {
  if (Empty()) return;
  const int oldMode = SetStretchBltMode(dc, HALFTONE);
  POINT oldOrigin{};
  SetBrushOrgEx(dc, 0, 0, &oldOrigin);
  StretchBlt(dc, target.left, target.top, target.right - target.left, target.bottom - target.top, Canvas().Handle(), 0,
             0, FWidth, FHeight, SRCCOPY);
  SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
  SetStretchBltMode(dc, oldMode);
}

void TBitmap::DrawTransparent(HDC dc, int x, int y) {
  if (Empty()) return;
  HDC source = Canvas().Handle();
  COLORREF transparent = GetPixel(source, 0, FHeight - 1);
  TransparentBlt(dc, x, y, FWidth, FHeight, source, 0, 0, FWidth, FHeight, transparent);
}
