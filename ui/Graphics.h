// Colours, GDI object ownership, fonts, bitmaps and the drawing surface.
#pragma once
#include <windows.h>
#include <string>
#include "ui/Classes.h"

// An RGB value 0x00BBGGRR, or 0x80000000 + a GetSysColor index.
using TColor = DWORD;
constexpr TColor clSystemColor = 0x80000000;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
constexpr TColor clMenuText = clSystemColor | COLOR_MENUTEXT;
constexpr TColor clInactiveCaption = clSystemColor | COLOR_INACTIVECAPTION;
constexpr TColor clBlack = 0x000000;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clOlive = 0x008080;

// Resolves a system colour reference; RGB values pass unchanged.
COLORREF ColorToRGB(TColor color);

// Owns one GDI object (pen, brush, font, bitmap, region) and deletes it.
class TGdiObject {
public:
  TGdiObject() = default;
  explicit TGdiObject(HGDIOBJ handle) : FHandle(handle) {}
  ~TGdiObject() { Reset(); }
  TGdiObject(TGdiObject&& other) noexcept : FHandle(other.Release()) {}
  TGdiObject& operator=(TGdiObject&& other) noexcept;
  TGdiObject(const TGdiObject&) = delete;
  TGdiObject& operator=(const TGdiObject&) = delete;

  HGDIOBJ Get() const { return FHandle; }
  HGDIOBJ Release();
  void Reset(HGDIOBJ handle = nullptr);

private:
  HGDIOBJ FHandle = nullptr;
};

// Keeps an object selected into a DC for one scope, then puts the old one back.
class TSelectObject {
public:
  TSelectObject(HDC dc, HGDIOBJ object) : FDC(dc), FOld(SelectObject(dc, object)) {}
  ~TSelectObject() { SelectObject(FDC, FOld); }
  TSelectObject(const TSelectObject&) = delete;
  TSelectObject& operator=(const TSelectObject&) = delete;

private:
  HDC FDC;
  HGDIOBJ FOld;
};

// Restores a DC's state (selected objects, colours, modes) at the end of a scope.
class TSavedDC {
public:
  explicit TSavedDC(HDC dc) : FDC(dc), FState(SaveDC(dc)) {}
  ~TSavedDC() { RestoreDC(FDC, FState); }
  TSavedDC(const TSavedDC&) = delete;
  TSavedDC& operator=(const TSavedDC&) = delete;

private:
  HDC FDC;
  int FState;
};

// A window DC (GetDC / GetWindowDC) released on every path.
class TWindowDC {
public:
  explicit TWindowDC(HWND window, bool wholeWindow = false)
      : FWindow(window), FDC(wholeWindow ? GetWindowDC(window) : GetDC(window)) {}
  ~TWindowDC() {
    if (FDC) ReleaseDC(FWindow, FDC);
  }
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  HDC Get() const { return FDC; }

private:
  HWND FWindow;
  HDC FDC;
};

// A memory DC deleted on every path.
class TMemoryDC {
public:
  explicit TMemoryDC(HDC compatible) : FDC(CreateCompatibleDC(compatible)) {}
  ~TMemoryDC() {
    if (FDC) DeleteDC(FDC);
  }
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;
  HDC Get() const { return FDC; }

private:
  HDC FDC;
};

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A logical font described by name, height in pixels (negative: character
// height), style, charset and colour; the handle is made on demand.
class TFont {
public:
  TFont();
  TFont(const TFont& other);
  TFont& operator=(const TFont& other);

  const std::string& Name() const { return FName; }
  void SetName(const std::string& name);
  int Height() const { return FHeight; }
  void SetHeight(int height);
  // Point size at the screen's resolution.
  int Size() const;
  void SetSize(int points);
  unsigned Style() const { return FStyle; }
  void SetStyle(unsigned style);
  void SetCharset(BYTE charset);
  TColor Color() const { return FColor; }
  void SetColor(TColor color) { FColor = color; }

  HFONT Handle() const;
  // Takes the whole record: its weight, width, quality and the rest stay in
  // the handles made from it until a property changes what it covers.
  void Assign(const LOGFONTA& logFont);
  // The record the handles are made from.
  LOGFONTA LogFont() const;
  // Same record (the colour is not part of a handle).
  bool SameHandleAs(const TFont& other) const;
  // A new handle the caller owns.
  HFONT CreateHandle() const;

private:
  void Changed() { FHandle.Reset(); }

  std::string FName;
  int FHeight;
  unsigned FStyle = 0;
  BYTE FCharset = DEFAULT_CHARSET;
  TColor FColor = clWindowText;
  LOGFONTA FRecord{};  // the last record assigned; the properties above are written over it
  mutable TGdiObject FHandle;
};

int ScreenPixelsPerInch();

// psInsideFrame: a pen wider than one pixel outlines a rectangle, rounded
// rectangle or ellipse inside its bounds (at one pixel it draws as psSolid).
enum TPenStyle { psSolid, psClear, psInsideFrame };
enum TBrushStyle { bsSolid, bsClear };

// What a canvas draws lines with. The canvas makes and owns the handle.
struct TPen {
  TColor Color = clBlack;
  TPenStyle Style = psSolid;
  int Width = 1;
  bool operator==(const TPen&) const = default;
};

// What a canvas fills with. The canvas makes and owns the handle.
struct TBrush {
  TColor Color = clWhite;
  TBrushStyle Style = bsSolid;
  bool operator==(const TBrush&) const = default;
};

// Drawing on a device context it does not own, with a current pen, brush
// and font. Before each operation the canvas selects handles matching them;
// it owns every object it selects and puts the DC's own objects back when it
// is destroyed, so whoever owns the DC must outlive the canvas.
class TCanvas {
public:
  explicit TCanvas(HDC dc);
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  HDC Handle() const { return FDC; }

  TPen Pen;
  TBrush Brush;
  TFont Font;

  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Rectangle(int left, int top, int right, int bottom);
  void Rectangle(const RECT& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
  void RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
  void Ellipse(int left, int top, int right, int bottom);
  void Ellipse(const RECT& r) { Ellipse(r.left, r.top, r.right, r.bottom); }
  // Fills with the brush colour (a clear brush fills nothing).
  void FillRect(const RECT& r);
  // A one-pixel border in the brush colour.
  void FrameRect(const RECT& r);
  // Text at (x, y) clipped to r; the background is filled with the brush
  // unless the brush is clear.
  void TextRect(const RECT& r, int x, int y, const std::string& text, UINT extraOptions = 0);
  void TextOut(int x, int y, const std::string& text);
  int DrawText(const std::string& text, RECT& r, UINT format);
  SIZE TextExtent(const std::string& text);
  int TextWidth(const std::string& text) { return TextExtent(text).cx; }
  int TextHeight(const std::string& text) { return TextExtent(text).cy; }
  COLORREF Pixel(int x, int y) const { return GetPixel(FDC, x, y); }
  void SetPixel(int x, int y, TColor color) { ::SetPixelV(FDC, x, y, ColorToRGB(color)); }
  int BitsPerPixel() const { return GetDeviceCaps(FDC, BITSPIXEL); }
  // The DPI the drawing is for: the one set by whoever knows the window it
  // serves, else that of the DC's window (the system's for a memory DC).
  UINT Dpi() const;
  void SetDpi(UINT dpi) { FDpi = dpi; }

  // Brings the DC in line with Pen, Brush and Font (each operation does it).
  void RequirePen();
  void RequireBrush();
  void RequireFont();

private:
  void SetTextBackground();

  HDC FDC;
  TGdiObject FPenHandle, FBrushHandle, FFontHandle;
  TPen FSelectedPen;
  TBrush FSelectedBrush;
  TFont FSelectedFont;
  HGDIOBJ FOriginalPen = nullptr, FOriginalBrush = nullptr, FOriginalFont = nullptr;
  COLORREF FSelectedTextColor = CLR_INVALID;
  UINT FDpi = 0;
};

// A device-dependent bitmap (compatible with the screen) with its own
// memory DC and canvas, made when first asked for.
class TBitmap {
public:
  TBitmap() = default;
  ~TBitmap();
  TBitmap(const TBitmap& other);
  TBitmap& operator=(const TBitmap& other);

  bool LoadFromResource(HINSTANCE instance, int id);
  // A new bitmap of that size; its pixels are undefined until drawn.
  void SetSize(int width, int height);
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  bool Empty() const { return FWidth == 0 || FHeight == 0; }
  HBITMAP Handle() const { return static_cast<HBITMAP>(FHandle.Get()); }
  TCanvas& Canvas();
  // Takes the bitmap out of its memory DC (for calls that need it free).
  void ReleaseCanvas();
  // Copies the part (x, y, w, h) of source into a new bitmap of size w x h.
  void CopyFrom(TBitmap& source, int x, int y, int width, int height);
  // Draws the bitmap at (x, y), leaving out pixels of its bottom-left colour.
  void DrawTransparent(HDC dc, int x, int y);
  void Draw(HDC dc, int x, int y);
  // Draws the bitmap filling target, smoothly (HALFTONE).
  void StretchDraw(HDC dc, const RECT& target);

private:
  struct TSurface;
  void Adopt(HBITMAP handle);

  TGdiObject FHandle;
  int FWidth = 0;
  int FHeight = 0;
  TSurface* FSurface = nullptr;
};
