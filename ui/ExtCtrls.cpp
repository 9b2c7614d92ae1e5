#include "ui/ExtCtrls.h"

#include "ui/SysUtils.h"

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer() {
  if (FWindow.Handle()) KillTimer(FWindow.Handle(), 1);
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
  if (FWindow.Handle()) KillTimer(FWindow.Handle(), 1);
  if (!FEnabled || FInterval == 0) return;
  if (!FWindow.Handle()) FWindow.Create(WndMethod(this, &TTimer::WndProc));
  if (!SetTimer(FWindow.Handle(), 1, FInterval, nullptr)) throw EOutOfResources("Not enough timers available");
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

void TImage::SetBounds(int left, int top, int width, int height) {
  if (FAutoSize && !FPicture.Empty()) {
    width = FPicture.Width();
    height = FPicture.Height();
  }
  Invalidate();  // the old place
  TGraphicControl::SetBounds(left, top, width, height);
  Invalidate();
}

void TImage::Paint(HDC dc) { FPicture.Draw(dc, 0, 0); }
