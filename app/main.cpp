// Program start and end.
#include <windows.h>

#include "app/SingleInstance.h"
#include "app/Unit1.h"
#include "clean/Cleaning.h"
#include "platform/SystemDlls.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Before anything loads a DLL: none may come from the program's folder.
  LimitDllSearchToSystem();
  // Before any window: a second start hands over to the first and ends,
  // so two programs never write the settings file over each other.
  TSingleInstance instance;
  if (!instance.First() && instance.HandOver()) return 0;

  TApplication application;
  try {
    application.Initialize();
    Form1 = new TForm1(&application);
  } catch (...) {
    HandleCurrentException();
    return 1;
  }
  instance.Publish(Form1->Handle());
  application.Run();
  Form1 = nullptr;
  TempFolderPath.clear();
  ReleaseHistory();
  return 0;  // the application object uninitialises COM as it goes
}
