// The program at the display scales most machines run, seen from outside.
// Wine has one DPI per process, read at its start from LogPixels in
// HKCU\Control Panel\Desktop: each start here sets it in the sandbox prefix
// first. The value found before is kept aside in the registry and put back
// after every start, also when a check fails; a run stopped half-way is put
// right by restore_display_scale (the ctest cleanup entry runs it).
#include <cmath>
#include <cstdlib>

#include "caption_room.h"
#include "probe_client.h"
#include "scenario.h"

namespace {

const char kDesktopKey[] = "Control Panel\\Desktop";
const char kKeptKey[] = "Software\\SpurwischE2E\\DisplayScale";
const char kSandboxScale[] = "C:\\spw-e2e\\scale";
const int kDpis[] = {96, 120, 144, 192};
const int kShotDpi = 144;
const int kTolerance = 2;  // pixels a scaled place may be off
const int kSplashWidth = 230, kSplashHeight = 365;

int scaled(int pixels, int dpi) { return MulDiv(pixels, dpi, 96); }

// GetSystemMetricsForDpi where the system has it (Windows 10 1607, Wine 8).
int metric_for_dpi(int index, int dpi) {
  using TFunction = int(WINAPI*)(int, UINT);
  static const auto function = reinterpret_cast<TFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetSystemMetricsForDpi")));
  return function ? function(index, UINT(dpi)) : scaled(GetSystemMetrics(index), dpi);
}

bool read_dword(const char* key, const char* name, DWORD& value) {
  DWORD size = sizeof value, type = 0;
  return RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, &type, &value, &size) == ERROR_SUCCESS;
}

// Creates the key when it is missing.
LSTATUS write_dword(const char* key, const char* name, DWORD value) {
  return RegSetKeyValueA(HKEY_CURRENT_USER, key, name, REG_DWORD, &value, sizeof value);
}

// LogPixels at dpi for the programs started while it lives. The value found
// first is kept aside ("Absent" when there was none) until it is back.
class TDisplayScale {
 public:
  explicit TDisplayScale(int dpi) {
    DWORD kept = 0, found = 0;
    if (!read_dword(kKeptKey, "LogPixels", kept) && !read_dword(kKeptKey, "Absent", kept)) {
      if (read_dword(kDesktopKey, "LogPixels", found))
        write_dword(kKeptKey, "LogPixels", found);
      else
        write_dword(kKeptKey, "Absent", 1);
    }
    ok_ = write_dword(kDesktopKey, "LogPixels", DWORD(dpi)) == ERROR_SUCCESS;
  }
  ~TDisplayScale() { restore_display_scale(); }
  TDisplayScale(const TDisplayScale&) = delete;
  TDisplayScale& operator=(const TDisplayScale&) = delete;
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
};

bool close_to(long actual, long expected) { return std::labs(actual - expected) <= kTolerance; }

std::string size_text(long w, long h) { return std::to_string(w) + "x" + std::to_string(h); }

SIZE client_size(HWND h) {
  RECT r{};
  GetClientRect(h, &r);
  return {r.right, r.bottom};
}

// Every control of the table at its 96-DPI rectangle times the scale.
void check_scaled_controls(Report& report, const std::string& scope, HWND parent,
                           const std::vector<ExpectedControl>& table, int dpi) {
  std::string off;
  const std::vector<HWND> found = match_controls(parent, table);
  for (size_t i = 0; i < table.size(); ++i) {
    const ExpectedControl& e = table[i];
    HWND h = found[i];
    RECT r = h ? rect_in_parent(h) : RECT{};
    const RECT want{scaled(e.left, dpi), scaled(e.top, dpi), scaled(e.left + e.width, dpi),
                    scaled(e.top + e.height, dpi)};
    if (!h || !close_to(r.left, want.left) || !close_to(r.top, want.top) ||
        !close_to(r.right - r.left, want.right - want.left) || !close_to(r.bottom - r.top, want.bottom - want.top))
      off += std::string(" ") + e.name + (h ? " is " + describe_rect(r) + " not " + describe_rect(want) : " missing");
  }
  report.check(off.empty(), scope + ": every control at its 96-DPI place times the scale (+-2)", off);
}

// Each button, bit button, check box, radio button and group box caption
// measured in the program, in the font the control draws with, against its room.
void check_captions_fit(Report& report, TProbe& probe, const std::string& scope, HWND window, int dpi) {
  TProbe::Measured measured = probe.MeasureCaptions(window);
  if (!report.check(measured.ok, scope + ": captions measured in the program")) return;
  std::string cut;
  int seen = 0;
  for (const TProbeCaption& c : measured.captions) {
    HWND h = reinterpret_cast<HWND>(c.Window);
    const std::string cls = class_of(h);
    if (!has_checked_caption(cls)) continue;
    ++seen;
    const long room = caption_room(cls, client_size(h).cx, dpi, metric_for_dpi(SM_CXMENUCHECK, dpi));
    const long height = client_size(h).cy;
    if (c.TextWidth > room || (cls != "TGroupBox" && c.TextHeight > height))
      cut += " " + quoted(text_of(h)) + " needs " + size_text(c.TextWidth, c.TextHeight) + " in " +
             size_text(room, height) + ";";
  }
  report.check(seen > 0 && cut.empty(), scope + ": every caption fits inside its control",
               seen ? to_utf8(cut) : "no captioned control found");
}

void check_client(Report& report, const std::string& scope, HWND h, SIZE design, int dpi) {
  const SIZE client = client_size(h);
  const SIZE want{scaled(design.cx, dpi), scaled(design.cy, dpi)};
  report.check(close_to(client.cx, want.cx) && close_to(client.cy, want.cy),
               scope + ": client area " + size_text(want.cx, want.cy) + " (+-2)",
               "is " + size_text(client.cx, client.cy));
}

// Opens a dialog with its button, checks it and closes it by its title bar.
void check_scaled_dialog(Report& report, TProbe& probe, const Process& program, HWND button, const char* cls,
                         const std::vector<ExpectedControl>& table, SIZE& design, int dpi, const std::string& scope,
                         const std::string& artifacts, const std::string& shot) {
  post_click(button);
  HWND dialog = wait_window(program.id, cls, 10000);
  if (!report.check(dialog != nullptr, scope + ": opens")) return;
  WaitForInputIdle(program.handle.get(), 5000);
  if (dpi == 96) design = client_size(dialog);
  check_client(report, scope, dialog, design, dpi);
  const RECT r = window_rect(dialog);
  report.check(r.left >= 0 && r.top >= 0 && r.right <= GetSystemMetrics(SM_CXSCREEN) &&
                   r.bottom <= GetSystemMetrics(SM_CYSCREEN),
               scope + ": lies on the screen", "at " + describe_rect(r));
  check_scaled_controls(report, scope, dialog, table, dpi);
  check_captions_fit(report, probe, scope, dialog, dpi);
  if (dpi == kShotDpi) save_screenshot(report, dialog, artifacts, shot + "-" + std::to_string(dpi) + ".png");
  PostMessageA(dialog, WM_CLOSE, 0, 0);
  report.check(wait_destroyed(dialog, 10000), scope + ": closes");
}

// The 96-DPI client sizes, measured in the first start.
struct DesignSizes {
  SIZE main{}, about{}, options{};
};

void check_splash(Report& report, const Process& program, int dpi, const std::string& scope) {
  HWND splash = wait_window(program.id, "TNagForm", 30000);
  if (!report.check(splash != nullptr, scope + ": splash picture shown")) return;
  RECT r = window_rect(splash);
  const int w = scaled(kSplashWidth, dpi), h = scaled(kSplashHeight, dpi);
  const int left = (GetSystemMetrics(SM_CXSCREEN) - w) / 2, top = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  report.check(close_to(r.right - r.left, w) && close_to(r.bottom - r.top, h) && close_to(r.left, left) && close_to(r.top, top),
               scope + ": splash " + size_text(w, h) + " centred", "is " + describe_rect(r));
  PostMessageA(splash, WM_CLOSE, 0, 0);
}

void check_menu_items(Report& report, const Process& program, HWND app, TProbe& probe, HWND main,
                      const std::string& artifacts, int dpi, const std::string& scope) {
  LookScale look{dpi, "-" + std::to_string(dpi)};
  const int fill = check_tray_menu_look(report, program, app, artifacts, look);
  TProbe::Measured measured = probe.MeasureCaptions(main);
  const long text = measured.menuTextHeight;
  // An item is its text's height and three quarters of it; the fill lies
  // inside the band (the item less the inset above and below) less its frame.
  const long item = text + static_cast<long>(std::nearbyint(text * 0.75));
  const int inset = scaled(1, dpi), line = dpi >= 192 ? 2 : 1;
  const long want = item + 1 - 2 * inset - 2 * line;
  report.check(measured.ok && text > 0 && fill >= want - 1 && fill <= want + 1,
               scope + ": tray menu items as much taller as the font (line " + std::to_string(text) + ")",
               "selection fill " + std::to_string(fill) + " rows, not " + std::to_string(want));
}

// The gallery program in its scaled mode, at the DPI set now: it checks
// itself in its own process and saves gallery-<dpi>.png.
void check_gallery(Report& report, const std::string& gallery, const std::string& artifacts, int dpi) {
  const std::string scope = std::to_string(dpi) + " DPI, gallery";
  Process shown = start_process(gallery, "C:\\", "", -1, "\"" + artifacts + "\" --scaled");
  if (!report.check(shown.handle != nullptr, scope + ": starts", gallery)) return;
  const bool ended = wait_exit(shown, 60000);
  kill_if_running(shown);
  DWORD code = 1;
  GetExitCodeProcess(shown.handle.get(), &code);
  report.check(ended && code == 0, scope + ": scaled, every caption whole, screenshot gallery-" + std::to_string(dpi) +
                                       ".png", ended ? "its checks failed (see its output)" : "still running after 60 s");
}

void check_at(Report& report, const std::string& exe, const std::string& gallery, const std::string& artifacts,
              int dpi, DesignSizes& design) {
  const std::string scope = std::to_string(dpi) + " DPI";
  TDisplayScale scale(dpi);
  if (!report.check(scale.ok(), scope + ": LogPixels set in the sandbox prefix")) return;
  Process program = start_process(exe, "C:\\");
  if (!report.check(program.handle != nullptr, scope + ": program starts")) return;
  check_splash(report, program, dpi, scope);
  HWND main = wait_window(program.id, "TForm1", 30000);
  HWND app = find_any_window(program.id, "TApplication");
  if (!report.check(main && app, scope + ": main window shown")) return kill_if_running(program);
  WaitForInputIdle(program.handle.get(), 10000);
  TProbe probe;
  if (!report.check(probe.Attach(main, probe_dll_path()), scope + ": probe in the program's GUI thread"))
    return kill_if_running(program);

  if (dpi == kShotDpi) {
    // The pictures beside the 100 % ones: the window as it comes up, the tray menu as it opens.
    save_screenshot(report, main, artifacts, "main-window-" + std::to_string(dpi) + ".png");
    HWND menu = open_menu(program, app);
    if (menu) save_screenshot(report, menu, artifacts, "tray-menu-" + std::to_string(dpi) + ".png", 3);
    if (menu) PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    if (menu) wait_until([&] { return !IsWindow(menu) || !IsWindowVisible(menu); }, 3000);
  }
  if (dpi == 96) design.main = client_size(main);
  check_client(report, scope + ", main window", main, design.main, dpi);
  check_scaled_controls(report, scope + ", main window", main, main_window_controls(), dpi);
  HWND group = find_child(main, "TGroupBox", main_window_controls()[4].caption);
  if (group) check_scaled_controls(report, scope + ", GroupBox1", group, deletion_option_controls(), dpi);
  check_captions_fit(report, probe, scope + ", main window", main, dpi);
  check_menu_items(report, program, app, probe, main, artifacts, dpi, scope);
  if (dpi == kShotDpi) check_flat_look(report, main, artifacts, {dpi, "-" + std::to_string(dpi)});

  check_scaled_dialog(report, probe, program, find_child(main, "TButton", "A&bout"), "TForm2", about_dialog_controls(),
                      design.about, dpi, scope + ", About", artifacts, "about-dialog");
  check_scaled_dialog(report, probe, program, find_child(main, "TButton", "Startoptionen"), "TForm3",
                      options_dialog_controls(), design.options, dpi, scope + ", Optionen", artifacts, "options-dialog");
  if (dpi == kShotDpi && !gallery.empty()) check_gallery(report, gallery, artifacts, dpi);
  close_program(report, program, find_child(main, "TBitBtn", "&Close"), scope);
  kill_if_running(program);
}

}  // namespace

bool restore_display_scale() {
  DWORD kept = 0;
  LSTATUS status = ERROR_SUCCESS;
  if (read_dword(kKeptKey, "LogPixels", kept))
    status = write_dword(kDesktopKey, "LogPixels", kept);
  else if (read_dword(kKeptKey, "Absent", kept))
    status = RegDeleteKeyValueA(HKEY_CURRENT_USER, kDesktopKey, "LogPixels");
  if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;  // gone already
  if (status == ERROR_SUCCESS) RegDeleteKeyA(HKEY_CURRENT_USER, kKeptKey);
  return status == ERROR_SUCCESS;
}

void check_display_scales(Report& report, const std::string& exe, const std::string& gallery,
                          const std::string& artifacts) {
  CreateDirectoryA("C:\\spw-e2e", nullptr);
  CreateDirectoryA(kSandboxScale, nullptr);
  CreateDirectoryA(artifacts.c_str(), nullptr);
  const std::string copy = std::string(kSandboxScale) + "\\spurwisch.exe";
  DeleteFileA((std::string(kSandboxScale) + "\\spurwisch.cfg").c_str());
  if (!report.check(CopyFileA(exe.c_str(), copy.c_str(), FALSE) != 0, std::string("sandbox ") + kSandboxScale))
    return;
  DesignSizes design;
  for (int dpi : kDpis) check_at(report, copy, gallery, artifacts, dpi, design);
  report.check(restore_display_scale(), "LogPixels set back in the sandbox prefix");
}
