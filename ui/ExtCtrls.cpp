#include "ui/ExtCtrls.h"

#include <algorithm>
#include <vector>

#include "base/SysUtils.h"
#include "platform/Platform.h"

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer() {
  if (FWindow.Handle()) Platform().KillTimer(FWindow.Handle(), 1);
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  UpdateTimer();
}

void TTimer::SetInterval(UINT interval) {
  if (interval == FInterval) return;
  FInterval = interval;
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  if (FWindow.Handle()) Platform().KillTimer(FWindow.Handle(), 1);
  if (!FEnabled || FInterval == 0) return;
  if (!FWindow.Handle()) FWindow.Create(WndMethod(this, &TTimer::WndProc));
  if (!Platform().SetTimer(FWindow.Handle(), 1, FInterval, nullptr)) throw EOutOfResources("Not enough timers available");
}

void TTimer::WndProc(TMessage& message) {
  if (message.Msg != WM_TIMER) {
    FWindow.DefaultHandler(message);
    return;
  }
  if (FEnabled) OnTimer(this);
}

// ------------------------------------------------------------------ TImage

void TImage::SetPicture(const TBitmap& picture) {
  FPicture = picture;
  SetBounds(FLeft, FTop, FWidth, FHeight);
  Invalidate();
}

void TImage::SetAutoSize(bool autoSize) {
  FAutoSize = autoSize;
  SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TImage::SetStretch(bool stretch) {
  FStretch = stretch;
  Invalidate();
}

void TImage::SetBounds(int left, int top, int width, int height) {
  if (FAutoSize && !FStretch && !FPicture.Empty()) {
    width = FPicture.Width();
    height = FPicture.Height();
  }
  Invalidate();  // the old place
  TGraphicControl::SetBounds(left, top, width, height);
  Invalidate();
}

void TImage::Paint(HDC dc) {
  if (FStretch && (FWidth != FPicture.Width() || FHeight != FPicture.Height()))
    FPicture.StretchDraw(dc, {0, 0, FWidth, FHeight});
  else
    FPicture.Draw(dc, 0, 0);
}

// ------------------------------------------------------------ TCustomPanel

namespace {

// A bevel of width w inside r in the system's 3-D colours; r shrinks by w.
void DrawBevel(HDC dc, RECT& r, TBevelCut cut, int w) {
  if (cut == bvNone) return;
  COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_BTNSHADOW);
  if (cut == bvSpace) light = dark = GetSysColor(COLOR_BTNFACE);
  if (cut == bvLowered) std::swap(light, dark);
  for (int i = 0; i < w; ++i) {
    TGdiObject lightBrush(CreateSolidBrush(light)), darkBrush(CreateSolidBrush(dark));
    RECT top{r.left, r.top, r.right - 1, r.top + 1}, left{r.left, r.top, r.left + 1, r.bottom - 1};
    RECT right{r.right - 1, r.top, r.right, r.bottom}, bottom{r.left, r.bottom - 1, r.right, r.bottom};
    FillRect(dc, &top, static_cast<HBRUSH>(lightBrush.Get()));
    FillRect(dc, &left, static_cast<HBRUSH>(lightBrush.Get()));
    FillRect(dc, &right, static_cast<HBRUSH>(darkBrush.Get()));
    FillRect(dc, &bottom, static_cast<HBRUSH>(darkBrush.Get()));
    InflateRect(&r, -1, -1);
  }
}

// BeginPaint / EndPaint for one WM_PAINT.
class TPanelPaint {
public:
  explicit TPanelPaint(HWND window) : FWindow(window), FDC(BeginPaint(window, &FPaint)) {}
  ~TPanelPaint() { EndPaint(FWindow, &FPaint); }
  TPanelPaint(const TPanelPaint&) = delete;
  TPanelPaint& operator=(const TPanelPaint&) = delete;
  HDC Get() const { return FDC; }

private:
  HWND FWindow;
  PAINTSTRUCT FPaint{};
  HDC FDC;
};

}  // namespace

void TCustomPanel::SetBevelOuter(TBevelCut cut) {
  FBevelOuter = cut;
  Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut cut) {
  FBevelInner = cut;
  Invalidate();
}

void TCustomPanel::SetBorderWidth(int width) {
  FBorderWidth = width < 0 ? 0 : width;
  Invalidate();
}

void TCustomPanel::Paint(HDC dc) {
  RECT r;
  GetClientRect(FHandle, &r);
  DrawBevel(dc, r, FBevelOuter, FBevelWidth);
  InflateRect(&r, -FBorderWidth, -FBorderWidth);
  DrawBevel(dc, r, FBevelInner, FBevelWidth);
  TSelectObject font(dc, FFont.Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(FEnabled ? FFont.Color() : clGrayText));
  DrawTextA(dc, FText.c_str(), static_cast<int>(FText.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void TCustomPanel::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_PAINT: {
      TPanelPaint paint(FHandle);
      Paint(paint.Get());
      PaintControls(paint.Get());
      break;
    }
    case CM_TEXTCHANGED:
    case CM_ENABLEDCHANGED:
      TWinControl::WndProc(message);
      Invalidate();
      break;
    default:
      TWinControl::WndProc(message);
  }
}

// ------------------------------------------------------------- TControlBar

RECT TControlBar::BandRect(const TControl& control) {
  RECT r = control.BoundsRect();
  return {r.left - GrabWidth - 2, r.top - 2, r.right + 2, r.bottom + 2};
}

void TControlBar::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style |= WS_CLIPCHILDREN;
}

void TControlBar::PaintBands(HDC dc) {
  for (TControl* control : std::vector<TControl*>(FControls)) {
    if (!control->Visible()) continue;
    RECT band = BandRect(*control);
    TBandPaintOptions options = bpoGrabber | bpoFrame;
    {
      TCanvas canvas(dc);
      if (OnBandPaint.Assigned()) OnBandPaint(this, control, canvas, band, options);
    }
    if (options & bpoFrame) DrawEdge(dc, &band, BDR_RAISEDINNER, BF_RECT);
    if (options & bpoGrabber) {
      RECT grip{band.left + 3, band.top + 3, band.left + 6, band.bottom - 3};
      DrawEdge(dc, &grip, BDR_RAISEDINNER, BF_RECT);
    }
  }
}

void TControlBar::WndProc(TMessage& message) {
  if (message.Msg != WM_PAINT) {
    TWinControl::WndProc(message);
    return;
  }
  TPanelPaint paint(FHandle);
  PaintBands(paint.Get());
  PaintControls(paint.Get());
}
