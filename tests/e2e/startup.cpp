// Start-up and end seen from outside: the splash picture and its six seconds,
// the start into the tray with an automatic run, a failing automatic run, and
// the end of the Windows session while the program runs.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "scenario.h"

namespace {

const int kSplashWidth = 230, kSplashHeight = 365;
const int kSplashResource = 101;  // IDB_SPLASH
const char kHistoryClassKey[] = "Software\\Classes\\CLSID\\{3C374A40-BAE4-11CF-BF7D-00AA006946EE}";
const char kHistoryBackupKey[] = "Software\\SpurwischE2E\\HistoryClassBackup";

struct WindowList {
  DWORD pid;
  std::vector<HWND> windows;
};

// Every top-level window of the process, hidden ones included.
std::vector<HWND> top_level_windows(DWORD pid) {
  WindowList list{pid, {}};
  EnumWindows(
      [](HWND h, LPARAM param) -> BOOL {
        auto* l = reinterpret_cast<WindowList*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (owner == l->pid) l->windows.push_back(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&list));
  return list.windows;
}

// A window gets a taskbar button when it is visible, not a tool window, and
// unowned or marked as an application window.
bool has_taskbar_button(DWORD pid) {
  for (HWND h : top_level_windows(pid)) {
    // The completion box has no owner and so a button of its own, by design.
    if (class_of(h) == "#32770") continue;
    LONG ex = ex_style_of(h);
    if (IsWindowVisible(h) && !(ex & WS_EX_TOOLWINDOW) && (!GetWindow(h, GW_OWNER) || (ex & WS_EX_APPWINDOW)))
      return true;
  }
  return false;
}

// The splash picture as the executable carries it, in top-down rows.
Image resource_picture(const std::string& exe) {
  Image image;
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!module) return image;
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(kSplashResource), MAKEINTRESOURCEA(2));  // RT_BITMAP
  const auto* bytes = found ? static_cast<const uint8_t*>(LockResource(LoadResource(module, found))) : nullptr;
  DWORD size = found ? SizeofResource(module, found) : 0;
  const auto* info = reinterpret_cast<const BITMAPINFOHEADER*>(bytes);
  if (bytes && size >= sizeof *info && info->biBitCount == 8 && info->biCompression == BI_RGB && info->biHeight > 0) {
    int colours = info->biClrUsed ? int(info->biClrUsed) : 256;
    const uint8_t* palette = bytes + info->biSize;
    const uint8_t* pixels = palette + colours * 4;
    int stride = (info->biWidth + 3) & ~3;
    if (pixels + size_t(stride) * info->biHeight <= bytes + size) {
      image.width = info->biWidth;
      image.height = info->biHeight;
      for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
          const uint8_t* c = palette + 4 * pixels[size_t(image.height - 1 - y) * stride + x];
          image.pixels.push_back(uint32_t(c[2]) << 16 | uint32_t(c[1]) << 8 | c[0]);
        }
    }
  }
  FreeLibrary(module);
  return image;
}

void check_splash_window(Report& report, HWND splash, const std::string& exe, const std::string& artifacts) {
  RECT r = window_rect(splash);
  int want_left = (GetSystemMetrics(SM_CXSCREEN) - kSplashWidth) / 2;
  int want_top = (GetSystemMetrics(SM_CYSCREEN) - kSplashHeight) / 2;
  report.check(r.left == want_left && r.top == want_top && r.right - r.left == kSplashWidth &&
                   r.bottom - r.top == kSplashHeight,
               "splash: 230x365 centred on the screen", "at " + describe_rect(r));
  LONG style = style_of(splash);
  report.check((style & WS_POPUP) && !(style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER | WS_SYSMENU)),
               "splash: borderless popup without caption", "style " + std::to_string(style));
  report.check(!(ex_style_of(splash) & WS_EX_TOPMOST), "splash: not top-most");
  HWND owner = GetWindow(splash, GW_OWNER);
  report.check(owner && class_of(owner) == "TApplication", "splash: owned by the Application window");

  Sleep(200);  // let the first paint reach the screen
  Image shown = capture_window(splash);
  Image picture = resource_picture(exe);
  int differing = 0;
  bool comparable = !picture.pixels.empty() && shown.width == picture.width && shown.height == picture.height;
  for (size_t i = 0; comparable && i < shown.pixels.size(); ++i) differing += shown.pixels[i] != picture.pixels[i];
  report.check(comparable && differing == 0, "splash: its pixels are the resource picture",
               comparable ? std::to_string(differing) + " pixels differ"
                          : "picture " + std::to_string(picture.width) + "x" + std::to_string(picture.height) +
                                ", screen " + std::to_string(shown.width) + "x" + std::to_string(shown.height));
  if (!shown.pixels.empty()) write_png(artifacts + "\\splash.png", shown);
}

// Sends what Windows sends at log-off to each top-level window of the process,
// the Application window last; false when one of them refused or did not
// answer. With SYSTEM_ENDS_IT the process is then ended at once, as Windows
// does when the last window has answered: what is not saved by then is lost.
bool send_log_off(const Process& program, bool system_ends_it) {
  std::vector<HWND> windows = top_level_windows(program.id);
  std::stable_partition(windows.begin(), windows.end(), [](HWND h) { return class_of(h) != "TApplication"; });
  bool agreed = true;
  for (HWND h : windows) {
    DWORD_PTR answer = 0;
    if (IsWindow(h) &&
        (!SendMessageTimeoutA(h, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer) || !answer))
      agreed = false;
  }
  for (HWND h : windows) {
    DWORD_PTR ignored = 0;
    if (IsWindow(h)) SendMessageTimeoutA(h, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &ignored);
  }
  if (system_ends_it) {
    TerminateProcess(program.handle.get(), 1);
    WaitForSingleObject(program.handle.get(), 5000);
  }
  return agreed;
}

// After the end of the session the process must end by itself, cleanly.
void check_ends_cleanly(Report& report, const Process& program, const std::string& scope) {
  bool ended = wait_exit(program, 10000);
  DWORD code = 99;
  GetExitCodeProcess(program.handle.get(), &code);
  report.check(ended && code == 0, scope + ": the process ends with exit code 0",
               ended ? "exit code " + std::to_string(code) : "still running after 10 s");
  kill_if_running(program);
}

// Copies a registry key to another place and deletes the original.
bool move_key(HKEY from_root, const char* from, HKEY to_root, const char* to) {
  HKEY source = nullptr, target = nullptr;
  if (RegOpenKeyExA(from_root, from, 0, KEY_READ, &source) != ERROR_SUCCESS) return false;
  UniqueRegKey owned_source(source);
  RegDeleteTreeA(to_root, to);
  if (RegCreateKeyExA(to_root, to, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &target, nullptr) != ERROR_SUCCESS)
    return false;
  UniqueRegKey owned_target(target);
  return RegCopyTreeA(source, nullptr, target) == ERROR_SUCCESS && RegDeleteTreeA(from_root, from) == ERROR_SUCCESS;
}

std::string report_text_for(HRESULT code) {
  char buffer[512];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, DWORD(code), 0, buffer,
                           sizeof buffer, nullptr);
  while (n > 0 && (buffer[n - 1] == '\r' || buffer[n - 1] == '\n' || buffer[n - 1] == ' ')) --n;
  std::string text(buffer, n);
  if (text.empty()) {  // the program's own text when the system has none (Wine has none for this code)
    std::snprintf(buffer, sizeof buffer, "OLE error %.8lx", static_cast<unsigned long>(code));
    text = buffer;
  }
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += ".";
  return text;
}

}  // namespace

DWORD close_splash(Report& report, const Process& program, const std::string& scope) {
  HWND splash = wait_window(program.id, "TNagForm", 30000);
  if (!report.check(splash != nullptr, scope + ": splash picture shown", "no visible TNagForm within 30 s")) return 0;
  PostMessageA(splash, WM_CLOSE, 0, 0);
  return GetTickCount();
}

void check_in_tray(Report& report, const Process& program, const std::string& scope) {
  report.check(find_window(program.id, "TForm1") == nullptr, scope + ": no main window on screen");
  report.check(!has_taskbar_button(program.id), scope + ": no taskbar button");
  report.check(tray_icon_shown(), scope + ": tray icon shown");
}

void check_splash_start(Report& report, const std::string& exe, const std::string& settings,
                        const std::string& artifacts) {
  const std::string scope = "splash start";
  write_file(settings, "1\r\n1\r\n1\r\n0\r\n0\r\n");
  Process program = start_process(exe, "C:\\");
  HWND splash = wait_window(program.id, "TNagForm", 30000);
  DWORD shown = GetTickCount();
  if (!report.check(splash != nullptr, scope + ": splash picture shown", "no visible TNagForm within 30 s"))
    return kill_if_running(program);
  bool main_exists = false;
  for (HWND h : top_level_windows(program.id)) main_exists |= class_of(h) == "TForm1";
  report.check(!main_exists, scope + ": no TForm1 window exists yet");
  report.check(!has_taskbar_button(program.id), scope + ": no taskbar button while the splash is up");
  // Written now, the options show in the window only if the file is read after the splash.
  report.check(write_file(settings, "0\r\n0\r\n0\r\n0\r\n0\r\n"), scope + ": settings file changed during the splash");
  check_splash_window(report, splash, exe, artifacts);

  bool gone = wait_until([&] { return !IsWindow(splash) || !IsWindowVisible(splash); }, 15000);
  DWORD stayed = GetTickCount() - shown;
  report.check(gone && stayed >= 5500 && stayed <= 7500,
               scope + ": splash stays about 6000 ms (" + std::to_string(stayed) + " ms)",
               gone ? "stayed " + std::to_string(stayed) + " ms" : "still up after 15 s");
  report.check(find_window(program.id, "TForm1") == nullptr || !IsWindowVisible(splash),
               scope + ": main window not shown before the splash closed");
  HWND main = wait_window(program.id, "TForm1", 15000);
  if (!report.check(main != nullptr, scope + ": main window follows the splash")) return kill_if_running(program);
  check_deletion_options(report, main, BST_UNCHECKED, "from the file read after the splash");

  // The title-bar close ends the program too, and the options are saved.
  DeleteFileA(settings.c_str());
  PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  check_ends_cleanly(report, program, scope + ", closed by the title bar");
  std::string bytes;
  read_file(settings, bytes);
  report.check(bytes == "0\r\n0\r\n0\r\n0\r\n0\r\n", scope + ": spurwisch.cfg written at the end",
               "holds " + quoted(bytes));
}

void check_minimised_auto_start(Report& report, const std::string& exe, const std::string& settings) {
  const std::string scope = "minimised auto-start";
  write_file(settings, "0\r\n0\r\n0\r\n1\r\n1\r\n");
  Process program = start_process(exe, "C:\\");
  DWORD closed = close_splash(report, program, scope);
  if (!closed) return kill_if_running(program);
  HWND box = wait_window(program.id, "#32770", 15000);
  DWORD elapsed = GetTickCount() - closed;
  if (report.check(box != nullptr, scope + ": completion box shown")) {
    report.check(elapsed >= 2000 && elapsed <= 4500,
                 scope + ": box about 2.5 s after the splash closed (" + std::to_string(elapsed) + " ms)",
                 "after " + std::to_string(elapsed) + " ms");
    check_in_tray(report, program, scope);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    wait_destroyed(box, 5000);
  }
  check_in_tray(report, program, scope + ", after the box");

  // The end of the session while in the tray saves the options at once.
  DeleteFileA(settings.c_str());
  report.check(send_log_off(program, false), scope + ": every window agrees to the log-off");
  std::string bytes;
  bool written = read_file(settings, bytes);
  report.check(written && bytes == "0\r\n0\r\n0\r\n1\r\n1\r\n",
               scope + ": log-off wrote spurwisch.cfg",
               written ? "holds " + quoted(bytes) : "missing");
  report.check(wait_until([] { return !tray_icon_shown(); }, 3000), scope + ": log-off removed the tray icon");
  check_ends_cleanly(report, program, scope + " log-off");
}

bool unregister_history_object(bool unregister) {
  if (!unregister) return move_key(HKEY_CURRENT_USER, kHistoryBackupKey, HKEY_LOCAL_MACHINE, kHistoryClassKey);
  // A run that was cut short may have left the key moved: put it back first.
  move_key(HKEY_CURRENT_USER, kHistoryBackupKey, HKEY_LOCAL_MACHINE, kHistoryClassKey);
  return move_key(HKEY_LOCAL_MACHINE, kHistoryClassKey, HKEY_CURRENT_USER, kHistoryBackupKey);
}

void check_failing_auto_start(Report& report, const std::string& exe, const std::string& settings) {
  const std::string scope = "failing auto-start";
  // A run that was cut short may have left the key moved: put it back first.
  move_key(HKEY_CURRENT_USER, kHistoryBackupKey, HKEY_LOCAL_MACHINE, kHistoryClassKey);
  // CoCreateInstance then fails with REGDB_E_CLASSNOTREG, as on a Windows without it.
  if (!report.check(move_key(HKEY_LOCAL_MACHINE, kHistoryClassKey, HKEY_CURRENT_USER, kHistoryBackupKey),
                    scope + ": history object unregistered in the sandbox prefix"))
    return;
  write_file(settings, "0\r\n0\r\n0\r\n1\r\n1\r\n");
  Process program = start_process(exe, "C:\\");
  if (close_splash(report, program, scope)) {
    HWND box = wait_window(program.id, "#32770", 15000);
    if (report.check(box != nullptr, scope + ": error report shown")) {
      std::string expected = report_text_for(REGDB_E_CLASSNOTREG);
      HWND text = GetDlgItem(box, 0xFFFF);
      report.check(text && text_of(text) == expected, scope + ": report text " + quoted(expected),
                   text ? quoted(text_of(text)) : "no text control");
      report.check(text_of(box) == "Spurwisch", scope + ": report caption \"Spurwisch\"", quoted(text_of(box)));
      HWND owner = GetWindow(box, GW_OWNER);
      report.check(owner && class_of(owner) == "TApplication", scope + ": report owned by the Application window");
      report.check(find_window(program.id, "TForm1") == nullptr, scope + ": main window not yet shown");
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      wait_destroyed(box, 5000);
    }
    HWND main = wait_window(program.id, "TForm1", 15000);
    report.check(main && !IsIconic(main), scope + ": main window shown, not minimised");
    Sleep(3500);  // past a tick of Timer1
    report.check(find_window(program.id, "#32770") == nullptr, scope + ": no completion box");
    if (main) close_program(report, program, find_child(main, "TBitBtn", "&Close"), scope);
  }
  kill_if_running(program);
  report.check(move_key(HKEY_CURRENT_USER, kHistoryBackupKey, HKEY_LOCAL_MACHINE, kHistoryClassKey),
               scope + ": history object registered again");
}

void check_log_off(Report& report, const std::string& exe, const std::string& settings) {
  std::string scope = "log-off while the splash is up";
  const std::string kept = "0\r\n1\r\n0\r\n0\r\n0\r\n";
  write_file(settings, kept);
  Process program = start_process(exe, "C:\\");
  HWND splash = wait_window(program.id, "TNagForm", 30000);
  if (report.check(splash != nullptr, scope + ": splash picture shown")) {
    report.check(send_log_off(program, false), scope + ": every window agrees");
    check_ends_cleanly(report, program, scope);
    std::string bytes;
    read_file(settings, bytes);
    report.check(bytes == kept, scope + ": spurwisch.cfg left as it was", "holds " + quoted(bytes));
  }
  kill_if_running(program);

  scope = "log-off while the window is shown";
  program = start_process(exe, "C:\\");
  close_splash(report, program, scope);
  if (report.check(wait_window(program.id, "TForm1", 15000) != nullptr, scope + ": main window shown")) {
    DeleteFileA(settings.c_str());  // read at the start; must be written at the end
    report.check(send_log_off(program, true), scope + ": every window agrees");
    std::string bytes;
    bool written = read_file(settings, bytes);
    report.check(written && bytes == kept, scope + ": spurwisch.cfg written before the system ends the process",
                 written ? "holds " + quoted(bytes) : "missing");
  }
  kill_if_running(program);
}

namespace {

// WM_CLOSE to the Application window ends the program cleanly and writes
// the settings file.
void check_end_task(Report& report, const Process& program, const std::string& settings, const std::string& scope) {
  const std::string expected = "1\r\n1\r\n1\r\n0\r\n0\r\n";
  DeleteFileA(settings.c_str());
  HWND app = find_any_window(program.id, "TApplication");
  if (app) PostMessageA(app, WM_CLOSE, 0, 0);
  bool ended = app && wait_exit(program, 10000);
  DWORD code = 99;
  GetExitCodeProcess(program.handle.get(), &code);
  std::string bytes;
  bool written = read_file(settings, bytes);
  std::string why = !ended   ? "still running after 10 s"
                    : written ? "exit code " + std::to_string(code) + ", file " + quoted(bytes)
                              : "no settings file";
  report.check(ended && code == 0 && written && bytes == expected,
               scope + ": WM_CLOSE to the Application window ends it with exit code 0 and writes spurwisch.cfg", why);
  kill_if_running(program);
}

}  // namespace

void check_show_command_starts(Report& report, const std::string& exe, const std::string& settings) {
  write_file(settings, "1\r\n1\r\n1\r\n0\r\n0\r\n");  // Start-minimised off: the show command decides
  std::string scope = "started with SW_SHOWMINNOACTIVE";
  Process program = start_process(exe, "C:\\", "", SW_SHOWMINNOACTIVE);
  if (close_splash(report, program, scope)) {
    bool icon = wait_until([&] { return find_any_window(program.id, "TApplication") && tray_icon_shown(); }, 15000);
    Sleep(500);
    if (report.check(icon, scope + ": comes up in the tray")) check_in_tray(report, program, scope);
    check_end_task(report, program, settings, scope);
    report.check(wait_until([] { return !tray_icon_shown(); }, 3000), scope + ": the icon is gone after the end");
  }
  kill_if_running(program);

  scope = "started with SW_SHOWMAXIMIZED";
  program = start_process(exe, "C:\\", "", SW_SHOWMAXIMIZED);
  if (close_splash(report, program, scope)) {
    HWND main = wait_window(program.id, "TForm1", 15000);
    report.check(main && IsZoomed(main), scope + ": the main window is maximised",
                 main ? "shown " + describe_rect(window_rect(main)) : "no main window");
    check_end_task(report, program, settings, scope);
  }
  kill_if_running(program);
}
