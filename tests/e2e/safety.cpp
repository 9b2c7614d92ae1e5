// The moments when the user acts at the wrong time: requests that arrive
// while a run works, a dialog lost while the program sits in the tray, and
// a second start of the program.
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "scenario.h"
#include "base/Cp1252.h"

namespace {

const UINT kTrayCallback = WM_USER + 1;
const int kBusyFiles = 4000;

std::vector<std::string> make_busy_files() {
  char folder[MAX_PATH + 1] = {};
  DWORD n = GetTempPathA(MAX_PATH, folder);
  std::vector<std::string> paths;
  for (int i = 0; i < kBusyFiles; ++i) {
    std::string path = std::string(folder, n) + "spw-busy-" + std::to_string(i) + ".tmp";
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) continue;
    CloseHandle(h);
    paths.push_back(path);
  }
  return paths;
}

int count_existing(const std::vector<std::string>& paths) {
  int count = 0;
  for (const std::string& path : paths) count += GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  return count;
}

bool answered(HWND window, UINT msg, UINT timeout_ms) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(window, msg, 0, 0, SMTO_NORMAL, timeout_ms, &result) != 0;
}

}  // namespace

void check_busy_run(Report& report, const std::string& exe, const std::string& settings) {
  const std::string scope = "close during a run";
  const std::string temp_only = "0\r\n1\r\n0\r\n0\r\n0\r\n";
  std::vector<std::string> files = make_busy_files();
  report.check(int(files.size()) == kBusyFiles, scope + ": " + std::to_string(kBusyFiles) + " files in Temp");
  write_file(settings, temp_only);
  Process program = start_process(exe, "C:\\");
  close_splash(report, program, scope);
  HWND main = wait_window(program.id, "TForm1", 15000);
  HWND button = main ? find_child(main, "TButton", u8"&Aktion durchführen."_cp1252) : nullptr;
  if (!report.check(button != nullptr, scope + ": main window shown")) return kill_if_running(program);
  DeleteFileA(settings.c_str());  // read at the start; must be written at the end

  // The run is started by a click sent from a thread of its own: the send
  // returns when the run has ended, since the click runs it. A request
  // answered before that was answered while the run worked, however fast
  // the machine deletes.
  std::atomic<bool> run_ended{false};
  std::thread first_click([&] {
    answered(button, BM_CLICK, 60000);
    run_ended = true;
  });
  // The requests go once the run deletes (files spread over the whole
  // listing, whatever order the file system lists them in).
  std::vector<std::string> sample;
  for (std::size_t i = 0; i < files.size(); i += 20) sample.push_back(files[i]);
  const bool started =
      wait_until([&] { return run_ended || count_existing(sample) < int(sample.size()); }, 15000) && !run_ended;
  // Sent, not posted, and both at once: the program answers them from
  // inside the run, the next time it looks at its messages.
  std::atomic<bool> close{false};
  std::thread close_request([&] { close = answered(main, WM_CLOSE, 5000) && !run_ended; });
  const bool click = answered(button, BM_CLICK, 5000) && !run_ended;
  close_request.join();
  first_click.join();
  report.check(started && click && close, scope + ": a second click and a close are answered while the run works",
               started ? std::string(click ? "" : "the click ") + (close ? "" : "the close ") + "answered only after the run"
                       : "the run was not seen working");
  bool box = false;
  bool ended = wait_until(
      [&] {
        box |= find_window(program.id, "#32770") != nullptr;
        return !is_running(program);
      },
      60000);
  DWORD code = 99;
  GetExitCodeProcess(program.handle.get(), &code);
  report.check(ended && code == 0, scope + ": the program ends after the run with exit code 0",
               ended ? "exit code " + std::to_string(code) : "still running after 60 s");
  report.check(count_existing(files) == 0, scope + ": the run went to its end",
               std::to_string(count_existing(files)) + " files left");
  report.check(!box, scope + ": no completion box after the close");
  std::string bytes;
  bool written = read_file(settings, bytes);
  report.check(written && bytes == temp_only, scope + ": spurwisch.cfg written",
               written ? "holds " + quoted(bytes) : "missing");
  kill_if_running(program);
  for (const std::string& path : files) DeleteFileA(path.c_str());
}

void check_tray_reachable(Report& report, const std::string& exe, const std::string& settings) {
  std::string scope = "About from the tray, minimised";
  const std::string in_tray = "0\r\n0\r\n0\r\n1\r\n0\r\n";
  write_file(settings, in_tray);
  Process program = start_process(exe, "C:\\");
  close_splash(report, program, scope);
  HWND app = nullptr;
  wait_until([&] { return (app = find_any_window(program.id, "TApplication")) != nullptr && tray_icon_shown(); },
             30000);
  if (!report.check(app && tray_icon_shown(), scope + ": the program sits in the tray")) return kill_if_running(program);

  HWND menu = open_menu(program, app);
  if (menu) press(menu, 'a');
  HWND about = wait_window(program.id, "TForm2", 5000);
  if (report.check(about != nullptr, scope + ": \"About\" (key A) opens the dialog")) {
    PostMessageA(about, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    report.check(wait_until([&] { return IsIconic(about) != FALSE; }, 5000), scope + ": the dialog is minimised");
    PostMessageA(app, kTrayCallback, 1, WM_LBUTTONDBLCLK);
    report.check(wait_until([&] { return !IsIconic(about) && IsWindowVisible(about); }, 5000),
                 scope + ": a double click on the icon brings the dialog back");
    report.check(find_window(program.id, "TForm1") == nullptr, scope + ": the main window stays hidden");
    post_click(find_child(about, "TButton", "&Ok"));
    report.check(wait_destroyed(about, 5000), scope + ": \"&Ok\" closes it");
    check_in_tray(report, program, scope + ", after the dialog");
  }

  scope = "a second start while in the tray";
  DeleteFileA(settings.c_str());  // the first writes it at its end, the second never
  Process second = start_process(exe, "C:\\");
  bool second_window = false;
  bool second_ended = wait_until(
      [&] {
        second_window |= find_any_window(second.id, "TApplication") != nullptr;
        return !is_running(second);
      },
      20000);
  DWORD code = 99;
  GetExitCodeProcess(second.handle.get(), &code);
  report.check(second_ended && code == 0 && !second_window,
               scope + ": the second program ends with exit code 0 and no window",
               second_ended ? "exit code " + std::to_string(code) : "still running after 20 s");
  report.check(GetFileAttributesA(settings.c_str()) == INVALID_FILE_ATTRIBUTES,
               scope + ": the second program wrote no settings file");
  HWND main = wait_window(program.id, "TForm1", 5000);
  report.check(main != nullptr && wait_until([] { return !tray_icon_shown(); }, 3000),
               scope + ": the first program comes out of the tray");
  kill_if_running(second);
  close_program(report, program, main ? find_child(main, "TBitBtn", "&Close") : nullptr, scope);
  std::string bytes;
  bool written = read_file(settings, bytes);
  report.check(written && bytes == in_tray, scope + ": the first program wrote its settings at its end",
               written ? "holds " + quoted(bytes) : "missing");
  kill_if_running(program);
}
