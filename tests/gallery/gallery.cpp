// The gallery program: shows the gallery form with the flat look, puts it
// into each state through real input (mouse, focus, button press, disabled
// controls), captures the window from the screen after each one into
// ARTIFACTS/gallery-<state>.png and checks a few pixels of those captures.
// With --scaled it checks the gallery at the screen's DPI instead.
// Exits 1 when a check fails. Runs only in the build tree's Wine prefix.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <string>

#include "GalleryForm.h"
#include "base/SysUtils.h"
#include "caption_room.h"
#include "png.h"
#include "ui/DisplayScale.h"
#include "xpstyle/Primitives.h"

namespace {

int failures = 0;

bool InSandbox() {
  const char* prefix = std::getenv("WINEPREFIX");
  return GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name") && prefix &&
         std::strstr(prefix, "/build");
}

// Handles messages for about ms milliseconds.
void Settle(int ms) {
  DWORD end = GetTickCount() + ms;
  do {
    Application->ProcessMessages();
    Sleep(5);
  } while (static_cast<int>(end - GetTickCount()) > 0);
}

// The window as the screen shows it.
Image Capture(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  Image image;
  image.width = r.right - r.left;
  image.height = r.bottom - r.top;
  TWindowDC screen(nullptr);
  TMemoryDC memory(screen.Get());
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, image.width, -image.height, 1, 32, BI_RGB};
  void* bits = nullptr;
  TGdiObject dib(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dib.Get() || !bits) return {};
  {
    TSelectObject select(memory.Get(), dib.Get());
    BitBlt(memory.Get(), 0, 0, image.width, image.height, screen.Get(), r.left, r.top, SRCCOPY);
    GdiFlush();
  }
  const auto* pixels = static_cast<const uint32_t*>(bits);
  image.pixels.assign(pixels, pixels + size_t(image.width) * image.height);
  for (auto& p : image.pixels) p &= 0xFFFFFF;
  return image;
}

// The capture's pixel at a control's client point, as a COLORREF.
COLORREF PixelAt(const Image& image, HWND form, HWND control, int x, int y) {
  RECT w;
  GetWindowRect(form, &w);
  POINT p{x, y};
  ClientToScreen(control, &p);
  int ix = p.x - w.left, iy = p.y - w.top;
  if (ix < 0 || iy < 0 || ix >= image.width || iy >= image.height) return CLR_INVALID;
  uint32_t rgb = image.pixels[size_t(iy) * image.width + ix];
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// Polls the screen until the pixel shows the colour (the look may need a
// few messages to settle), then reports.
void Check(HWND form, HWND control, int x, int y, COLORREF expected, const char* what) {
  COLORREF seen = CLR_INVALID;
  for (int i = 0; i < 100; ++i) {
    seen = PixelAt(Capture(form), form, control, x, y);
    if (seen == expected) break;
    Settle(20);
  }
  bool ok = seen == expected;
  if (!ok) ++failures;
  std::printf("%s %s (pixel %06lX, expected %06lX)\n", ok ? "ok  " : "FAIL", what, seen, expected);
}

void Shot(HWND form, const std::string& folder, const char* state) {
  Settle(100);
  std::string path = folder + "/gallery-" + state + ".png";
  if (!write_png(path, Capture(form))) {
    ++failures;
    std::printf("FAIL cannot write %s\n", path.c_str());
  }
}

// Moves the mouse there in two steps: under load Wine may deliver the first
// move before the control under it takes part, and the second move repeats it.
void MouseTo(HWND control, int x, int y) {
  POINT p{x, y};
  ClientToScreen(control, &p);
  SetCursorPos(p.x - 1, p.y);
  Settle(60);
  SetCursorPos(p.x, p.y);
  Settle(60);
}

// The gallery at the screen's DPI (the display-scale test sets another one
// than 96 in the prefix before it starts this): every caption whole in its
// control's own font, the combo box's button at its scaled place, and a
// screenshot gallery-<dpi>.png.
int RunScaled(TGalleryForm* form, const std::string& folder) {
  HWND window = form->Handle();
  const int dpi = static_cast<int>(form->Dpi());
  const bool scaled = dpi == static_cast<int>(SystemDpi());
  failures += !scaled;
  std::printf("%s the gallery is scaled for %d DPI\n", scaled ? "ok  " : "FAIL", dpi);
  TWindowDC screen(nullptr);
  TCanvas canvas(screen.Get());
  for (TControl* control : form->StyledControls()) {
    auto* windowed = dynamic_cast<TWinControl*>(control);
    if (!windowed || !has_checked_caption(control->ClassName())) continue;
    canvas.Font = control->Font();
    RECT text{0, 0, 0, 0};
    canvas.DrawText(control->Caption(), text, DT_CALCRECT | DT_SINGLELINE);
    const long room = caption_room(control->ClassName(), control->ClientRect().right, dpi,
                                   SystemMetricForDpi(SM_CXMENUCHECK, dpi));
    const bool whole = text.right <= room;
    failures += !whole;
    std::printf("%s caption of %s fits (%ld of %ld)\n", whole ? "ok  " : "FAIL", control->Name().c_str(), text.right,
                room);
  }
  const bool buttons = form->NewButton->Width() == ScaleToDpi(23, dpi) && form->NewButton->Height() == ScaleToDpi(22, dpi);
  failures += !buttons;
  std::printf("%s tool bar buttons at the scaled size (%d x %d)\n", buttons ? "ok  " : "FAIL", form->NewButton->Width(),
              form->NewButton->Height());
  SetCursorPos(0, 0);
  Check(window, form->ComboBox1->Handle(), ScaleToDpi(136, dpi), ScaleToDpi(5, dpi), GetSysColor(COLOR_BTNFACE),
        "combo box at rest: clBtnFace button at the scaled place");
  // Left of the group box's caption, below its frame's top line, nothing of
  // the system's own caption shows (the system may put it elsewhere than the
  // flat look does).
  const Image image = Capture(window);
  HWND group = form->GroupBox1->Handle();
  canvas.Font = form->GroupBox1->Font();
  const int captionHeight = canvas.TextHeight("Gruppe");
  int stray = 0;
  for (int y = captionHeight / 2 + 2; y < captionHeight; ++y)
    for (int x = 2; x < ScaleToDpi(9, dpi); ++x) stray += PixelAt(image, window, group, x, y) != ColorToRGB(clBtnFace);
  failures += stray > 0;
  std::printf("%s nothing but the face left of the group box's caption (%d other pixels)\n", stray ? "FAIL" : "ok  ",
              stray);
  Shot(window, folder, std::to_string(dpi).c_str());
  return failures;
}

// Shows the form and checks it in each state, or at the screen's DPI with
// SCALED; returns the number of failures.
int RunGallery(const std::string& folder, bool scaled) {
  Application = new TApplication();
  Application->Initialize();
  auto* form = new TGalleryForm(Application);
  form->Show();
  HWND window = form->Handle();
  SetForegroundWindow(window);
  Settle(300);
  if (scaled) {
    RunScaled(form, folder);
    form->Free();
    delete Application;
    Application = nullptr;
    return failures;
  }

  // Expected colours, from the screen's own device.
  TWindowDC screen(nullptr);
  TCanvas canvas(screen.Get());
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF selectColor = LightenColor(canvas, clHighlight, 68);
  const COLORREF focusFrame = LightenColor(canvas, clHighlight, 60);
  const COLORREF checkFill = LightenColor(canvas, clHighlight, 80);
  HWND combo = form->ComboBox1->Handle();
  HWND toolBar = form->ToolBar1->Handle();
  HWND controlBar = form->ControlBar1->Handle();
  const RECT newButton = form->NewButton->BoundsRect();
  const RECT boldButton = form->BoldButton->BoundsRect();

  RECT away;
  GetWindowRect(window, &away);
  SetCursorPos(away.right + 30, away.bottom + 30);
  form->Button2->SetFocus();
  Settle(200);
  Check(window, combo, 136, 5, face, "combo box at rest: clBtnFace button");
  Check(window, combo, 137, 12, 0, "combo box at rest: black arrow tip");
  Check(window, toolBar, boldButton.left + 2, boldButton.top + 3, checkFill, "checked tool button: CheckFillColor");
  const RECT band = TControlBar::BandRect(*form->BandEdit);
  Check(window, controlBar, band.left + 1, band.top + 1, LightenColor(canvas, clBtnFace, 6),
        "control bar band: lightened face, no frame");
  Shot(window, folder, "rest");

  MouseTo(toolBar, newButton.left + 4, newButton.top + 4);
  Check(window, toolBar, newButton.left + 2, newButton.top + 3, selectColor, "hot tool button: EffSelectColor face");
  MouseTo(combo, 60, 10);
  Check(window, combo, 136, 5, selectColor, "hot combo box: EffSelectColor button");
  Shot(window, folder, "hot");
  SetCursorPos(away.right + 30, away.bottom + 30);
  Settle(100);

  form->ComboBox1->SetFocus();
  Check(window, combo, 136, 5, checkFill, "focused combo box: CheckFillColor button");
  Check(window, combo, 0, 5, focusFrame, "focused combo box: light selection frame");
  Shot(window, folder, "focused");

  HWND button = form->Button1->Handle();
  MouseTo(button, 10, 10);
  SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  Settle(100);
  Check(window, button, 0, 10, DarkenColor(LightenColor(canvas, clHighlight, 60), 50),
        "pressed button: dark edge on the left");
  Shot(window, folder, "pressed");
  SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  SetCursorPos(away.right + 30, away.bottom + 30);
  Settle(100);

  form->Button2->SetFocus();
  for (TControl* c : form->StyledControls()) c->SetEnabled(false);
  form->ToolBar1->SetEnabled(false);
  Settle(100);
  Check(window, combo, 137, 12, 0xFFFFFF, "disabled combo box: white arrow");
  Shot(window, folder, "disabled");

  form->Free();
  delete Application;
  Application = nullptr;
  return failures;
}

}  // namespace

int main(int argc, char** argv) {
  if (!InSandbox() || argc < 2) {
    std::fprintf(stderr, "usage: gallery ARTIFACTS [--scaled] (runs only in the build tree's Wine prefix)\n");
    return 2;
  }
  // A Unix path (/...) is reached through drive Z: under Wine.
  const std::string folder = argv[1][0] == '/' ? std::string("Z:") + argv[1] : argv[1];
  CreateDirectoryA(folder.c_str(), nullptr);
  // An error that escapes is printed with its message, so a failure names
  // the creation that failed instead of ending in terminate().
  try {
    failures = RunGallery(folder, argc > 2 && std::strcmp(argv[2], "--scaled") == 0);
  } catch (const Exception& e) {
    std::printf("FAIL error escaped: %s\n", e.Message().c_str());
    return 1;
  } catch (const std::exception& e) {
    std::printf("FAIL error escaped: %s\n", e.what());
    return 1;
  }
  std::printf("%d failure(s)\n", failures);
  return failures ? 1 : 0;
}
