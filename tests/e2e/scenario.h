// The checks of the end-to-end run, grouped by window.
#pragma once
#include <windows.h>

#include <string>

#include "controls.h"
#include "report.h"
#include "win.h"

// The main window's buttons that the later steps click.
struct MainButtons {
  HWND about = nullptr;    // Button3 "A&bout"
  HWND options = nullptr;  // Button4 "Startoptionen"
  HWND close = nullptr;    // BitBtn1 "&Close"
};

// The stored controls of the main window (and of GroupBox1 in it) and of the
// two dialogs: class, caption, 96-DPI rectangle, tab stop.
const std::vector<ExpectedControl>& main_window_controls();
const std::vector<ExpectedControl>& deletion_option_controls();
const std::vector<ExpectedControl>& about_dialog_controls();
const std::vector<ExpectedControl>& options_dialog_controls();

// Window frame, every control, edit texts, check states (all checked: no
// settings file), focus, and a screenshot main-window.png.
MainButtons check_main_window(Report& report, HWND main, const std::string& artifacts);
// The three deletion check boxes all have the state EXPECTED (BST_CHECKED or BST_UNCHECKED).
void check_deletion_options(Report& report, HWND main, int expected, const std::string& scope);

// Opens the About dialog, checks it and closes it with its "&Ok" button.
void check_about_dialog(Report& report, const Process& program, HWND main, HWND about_button,
                        const std::string& artifacts);
// Opens the start options dialog, sets "Aktion automatisch starten", closes it
// by the title bar, reopens it to see the flag kept, and clears it again;
// then opens it once more for its keys (Enter, Escape).
void check_options_dialog(Report& report, const Process& program, HWND main, HWND options_button,
                          const std::string& artifacts);

// Clicks "&Aktion durchführen." with a filled URL cache and a file in the
// temporary folder (all boxes checked) and checks the run and its report.
void check_cleaning_click(Report& report, const Process& program, HWND main, const std::string& artifacts);
// Fills the URL cache and puts a file into the temporary folder before an
// automatic run; returns the file's path.
std::string prepare_auto_start_run(Report& report);
// The automatic run at start (all boxes off) cleared the cache, left the
// temporary folder and is reported. STARTED: tick count when the program started.
void check_auto_start_run(Report& report, const Process& program, DWORD started, const std::string& temp_file,
                          const std::string& artifacts);

// Runs with TMP and TEMP set in HKCU\Environment to ".", to "rel" and to a
// fully qualified sandbox folder, started in a sandbox folder with canaries:
// only the fully qualified folder is purged. EXE: the sandbox copy, whose
// settings file must check every box.
void check_temp_variable_runs(Report& report, const std::string& exe, const std::string& artifacts);

// Clicks "Ändere" with an empty Edit2 and with "http://www." (one message
// each), then with an address that is written to the registry; restores the
// registry value afterwards.
void check_start_page_button(Report& report, const Process& program, HWND main, const std::string& artifacts);

// Waits for the program's completion box and checks it; closes it. Returns
// the milliseconds from START until the box was seen.
DWORD check_completion_box(Report& report, const Process& program, DWORD start, const std::string& scope,
                           const std::string& artifacts, const std::string& shot);

// Puts COUNT entries into the WinINet URL cache that the program shares;
// returns how many went in. The entries the cache enumerates.
int fill_url_cache(int count);
int count_url_cache();
// Moves the URL history object's registration in the sandbox prefix out of
// the way (so creating it fails as on a system without it), or back.
bool unregister_history_object(bool unregister);
// The program without its window: /preview and /clean over a fixture of its
// own, their reports, exit codes and redirected output.
void check_unattended(Report& report, const std::string& exe, const std::string& settings);
// A copy of the program in a folder named in scripts Windows-1252 cannot
// spell reads its settings file and writes it at its end.
void check_folder_in_any_script(Report& report, const std::string& exe);

// The program's icon is in the taskbar's notification area.
bool tray_icon_shown();
// Opens the tray menu as the icon's right click does; the menu window or nullptr.
HWND open_menu(const Process& program, HWND app);
// Presses an access key in the open menu; true when the menu closed on it.
bool press(HWND menu, char key);
// Minimises the shown main window into the tray and works the tray icon and
// its menu: proxy items for each registry state, "Säubern", "About", restoring by
// double click and by "Wiederherstellen", and "Programm beenden", which ends
// the program.
void check_tray(Report& report, const Process& program, HWND main, const std::string& artifacts);
// A start with the Start-minimised flag comes up in the tray; a double click
// on the icon shows the main window, which is returned.
HWND check_minimised_start(Report& report, const Process& program);

// Whole files, as bytes; PATH is UTF-8 (ASCII paths read alike in every code page).
bool read_file(const std::string& path, std::string& bytes);
bool write_file(const std::string& path, const std::string& bytes);
// Clicks "&Close" and checks the process ends normally.
void close_program(Report& report, const Process& program, HWND close_button, const std::string& scope);

// Waits for the splash picture and closes it early with WM_CLOSE; returns the
// tick count then, or 0 when none showed.
DWORD close_splash(Report& report, const Process& program, const std::string& scope);
// The program sits in the tray: no main window, no taskbar button.
void check_in_tray(Report& report, const Process& program, const std::string& scope);
// Start-up and end scenarios; each starts EXE with SETTINGS as its settings file.
void check_splash_start(Report& report, const std::string& exe, const std::string& settings,
                        const std::string& artifacts);
void check_minimised_auto_start(Report& report, const std::string& exe, const std::string& settings);
void check_failing_auto_start(Report& report, const std::string& exe, const std::string& settings);
void check_log_off(Report& report, const std::string& exe, const std::string& settings);
// A long run with a second click and a close sent while it works: the run
// goes to its end, then the program ends and writes its settings.
void check_busy_run(Report& report, const std::string& exe, const std::string& settings);
// In the tray: About minimised by its own button comes back on a double
// click; a second start brings the first back and ends, writing nothing.
void check_tray_reachable(Report& report, const std::string& exe, const std::string& settings);
// Starts with the show commands of a shortcut set to "Minimised" (into the
// tray) and "Maximised"; each start is ended by WM_CLOSE to the Application
// window, as "End task" does, which writes the settings file.
void check_show_command_starts(Report& report, const std::string& exe, const std::string& settings);

// The program at 100 %, 125 %, 150 % and 200 % (Wine's LogPixels set in the
// sandbox prefix for each start and set back after): the splash, the main
// window and both dialogs at the scaled sizes, every caption whole, the
// tray menu's items as much taller as the font; at 150 % the flat look at
// its scaled places and screenshots of the main window, the tray menu and,
// when GALLERY is given, the gallery.
void check_display_scales(Report& report, const std::string& exe, const std::string& gallery,
                          const std::string& artifacts);
// Sets LogPixels back to the value kept aside before a scaled start (after
// a run that was stopped half-way); true when nothing is left to restore.
bool restore_display_scale();

// Stand-ins for msimg32, comctl32 and wininet beside a copy of EXE, native
// copies preferred: the program works, ends normally and loads none of them.
void check_planted_dlls(Report& report, const std::string& exe, const std::string& artifacts);

// The DPI the program was started at, for the flat look's checks: their
// places scale with it; the screenshots' names end in the suffix.
struct LookScale {
  int dpi = 96;
  std::string suffix;
};

// The flat look: a button and an edit at rest, the button under the mouse,
// the edit with the focus; screenshots main-window-xp.png, main-window-hot.png.
void check_flat_look(Report& report, HWND main, const std::string& artifacts, const LookScale& scale = {});

// The tray menu in the flat look: frame and shadow, background, icon column,
// separator lines, the first item selected; screenshot tray-menu-xp.png.
// Returns the rows of the selected item's fill, -1 when none showed.
int check_tray_menu_look(Report& report, const Process& program, HWND app, const std::string& artifacts,
                         const LookScale& scale = {});

// Saves a screenshot of the window to ARTIFACTS\NAME and checks it shows something.
// A plain menu (text, grey text, lines on white) shows three colours.
void save_screenshot(Report& report, HWND h, const std::string& artifacts, const std::string& name,
                     int min_colours = 4);
// Waits until the window is destroyed.
bool wait_destroyed(HWND h, DWORD timeout_ms);
