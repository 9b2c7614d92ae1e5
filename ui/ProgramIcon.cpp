#include "ui/ProgramIcon.h"

#include "platform/Platform.h"
#include "ui/DisplayScale.h"

namespace {

// LoadIconMetric's LIM_SMALL and LIM_LARGE (commctrl.h, Vista and later).
constexpr int LoadIconMetricSmall = 0, LoadIconMetricLarge = 1;

}  // namespace

// LoadIconMetric picks and scales the image as the system does, but only
// for the system's DPI; another DPI (a window on a second monitor) and a
// Windows without the function get the image of that size by LoadImage.
HICON LoadProgramIcon(TIconSize size, UINT dpi) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HICON icon = nullptr;
  if (dpi == SystemDpi() &&
      Platform().LoadIconMetric(instance, L"MAINICON", size == isSmall ? LoadIconMetricSmall : LoadIconMetricLarge,
                                &icon) == S_OK &&
      icon)
    return icon;
  const int pixels = SystemMetricForDpi(size == isSmall ? SM_CXSMICON : SM_CXICON, dpi);
  icon = static_cast<HICON>(LoadImageA(instance, "MAINICON", IMAGE_ICON, pixels, pixels, LR_DEFAULTCOLOR));
  if (!icon) icon = CopyIcon(LoadIconA(nullptr, IDI_APPLICATION));  // shared: only a copy is ours
  return icon;
}

void TProgramIcons::Load(UINT dpi, HWND window) {
  HICON oldSmall = FSmall, oldLarge = FLarge;
  FSmall = LoadProgramIcon(isSmall, dpi);
  FLarge = LoadProgramIcon(isLarge, dpi);
  FDpi = dpi;
  if (window) {
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(FSmall));
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FLarge));
  }
  if (oldSmall) DestroyIcon(oldSmall);
  if (oldLarge) DestroyIcon(oldLarge);
}

void TProgramIcons::Clear() {
  if (FSmall) DestroyIcon(FSmall);
  if (FLarge) DestroyIcon(FLarge);
  FSmall = FLarge = nullptr;
  FDpi = 0;
}
