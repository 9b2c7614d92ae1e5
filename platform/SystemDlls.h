// DLLs come from the system folder only, never from the program's folder or
// the current directory, where anyone who can drop a file would be heard.
#pragma once
#include <windows.h>

// Takes the program's folder and the current directory out of every later
// DLL search of the process, the system DLLs' own loads included. Call it
// first thing in WinMain.
void LimitDllSearchToSystem();

// Loads NAME (a bare file name such as "wininet.dll") from the system folder;
// nullptr on failure. The delay-loaded imports of every program that links
// this layer go through it as well.
HMODULE LoadSystemDll(const char* name);
