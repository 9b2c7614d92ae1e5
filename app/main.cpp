// Program start and end.
#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "app/SingleInstance.h"
#include "app/Unattended.h"
#include "app/Unit1.h"
#include "clean/Cleaning.h"
#include "platform/SystemDlls.h"

namespace {

// The arguments after the program's name, as the system splits them.
std::vector<std::wstring> Arguments() {
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> arguments;
  for (int i = 1; words && i < count; ++i) arguments.emplace_back(words[i]);
  LocalFree(words);
  return arguments;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Before anything loads a DLL: none may come from the program's folder.
  LimitDllSearchToSystem();
  // A run without the window is not a second start of the window program.
  TCommandLine command = ParseCommandLine(Arguments());
  if (command.Command != TCommand::Window) return RunCommand(command);
  // Before any window: a second start hands over to the first and ends,
  // so two programs never write the settings file over each other.
  TSingleInstance instance("TForm1");
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
