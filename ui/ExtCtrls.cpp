#include "ui/ExtCtrls.h"

#include "ui/Forms.h"
#include "ui/SysUtils.h"

namespace {

// A hidden window per timer receives its WM_TIMER messages.
HWND CreateTimerWindow(TTimer* timer, WNDPROC proc) {
  static const char* const className = "TPUtilWindow";
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  if (!GetClassInfoExA(instance, className, &wc)) {
    wc = WNDCLASSEXA{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.lpszClassName = className;
    RegisterClassExA(&wc);
  }
  HWND window = CreateWindowExA(0, className, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  if (window) SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(timer));
  return window;
}

}  // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer() {
  if (FWindow) {
    KillTimer(FWindow, 1);
    DestroyWindow(FWindow);
  }
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
  if (FWindow) KillTimer(FWindow, 1);
  if (!FEnabled || FInterval == 0) return;
  if (!FWindow) FWindow = CreateTimerWindow(this, TimerWndProc);
  if (!FWindow || !SetTimer(FWindow, 1, FInterval, nullptr))
    throw EOutOfResources("Not enough timers available");
}

LRESULT CALLBACK TTimer::TimerWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* timer = reinterpret_cast<TTimer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (msg != WM_TIMER || !timer) return DefWindowProcA(window, msg, wParam, lParam);
  try {
    if (timer->FEnabled) timer->OnTimer(timer);
  } catch (...) {
    HandleCurrentException();
  }
  return 0;
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
