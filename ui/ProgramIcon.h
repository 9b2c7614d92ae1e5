// The program's icon (resource MAINICON) in the image made for each size:
// the small one for title bars and the notification area, the large one for
// the taskbar and the task switcher, each at the size of its DPI.
#pragma once
#include <windows.h>

enum TIconSize { isSmall, isLarge };

// A new icon the caller destroys: MAINICON at the size the system uses for
// that kind at dpi (SM_CXSMICON, SM_CXICON), or the system's application
// icon when the program has none.
HICON LoadProgramIcon(TIconSize size, UINT dpi);

// Both images for one DPI, owned.
class TProgramIcons {
public:
  TProgramIcons() = default;
  ~TProgramIcons() { Clear(); }
  TProgramIcons(const TProgramIcons&) = delete;
  TProgramIcons& operator=(const TProgramIcons&) = delete;

  // Loads both for dpi and, when a window is given, makes them its icons
  // (ICON_SMALL, ICON_BIG) before the ones held until now are destroyed.
  void Load(UINT dpi, HWND window = nullptr);
  void Clear();
  HICON Small() const { return FSmall; }
  HICON Large() const { return FLarge; }
  UINT Dpi() const { return FDpi; }

private:
  HICON FSmall = nullptr;
  HICON FLarge = nullptr;
  UINT FDpi = 0;
};
