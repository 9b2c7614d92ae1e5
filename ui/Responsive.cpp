#include "ui/Responsive.h"

#include <windows.h>

namespace {

constexpr DWORD PaintInterval = 100;
// A window whose paint handler never validates would come back at once.
constexpr int MaxPaintsPerLook = 64;

DWORD LastLook = 0;

}  // namespace

void KeepPainting() {
  DWORD now = GetTickCount();
  if (now - LastLook < PaintInterval) return;
  LastLook = now;
  MSG msg;
  for (int i = 0; i < MaxPaintsPerLook && PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i)
    DispatchMessageA(&msg);
}
