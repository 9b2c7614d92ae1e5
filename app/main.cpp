// Program start and end.
#include <windows.h>

#include "app/Unit1.h"
#include "clean/Cleaning.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  TApplication application;
  try {
    application.Initialize();
    Form1 = new TForm1(&application);
  } catch (...) {
    HandleCurrentException();
    return 1;
  }
  application.Run();
  Form1 = nullptr;
  TempFolderPath.clear();
  ReleaseHistory();
  return 0;  // the application object uninitialises COM as it goes
}
