// Holds the Wine prefix's desktop open for a whole test run; the sandbox set-up
// (scripts/env.sh) starts it and the wineserver's end stops it.
//
// Wine ends a desktop (its explorer process) about a second after the last
// program that uses it has ended, and the next program starts a new one. A
// program that starts while the old desktop is closing can get a desktop
// window that is about to go, and its first windows then fail to create.
// With this program attached from the start to the end of the run, every
// test, benchmark and demo program finds the same desktop up.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  GetDesktopWindow();  // attaches this thread to the desktop, starting it if needed
  for (;;) Sleep(INFINITE);
}
