// Shared set-up for the in-process tests of the window library and the
// program's forms: one application object, sandbox folders in the Wine
// prefix and a way to act while a modal loop runs.
#pragma once
#include <windows.h>
#include <oleacc.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/Forms.h"

namespace app_support {

// A fresh, empty folder C:\spw-unit\<name>\ (with a trailing backslash).
std::string Sandbox(const std::string& name);
std::string ReadFileBytes(const std::string& path);
// The files (not folders) directly in FOLDER, which ends with a backslash.
int FilesIn(const std::string& folder);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// Dispatches the thread's messages for a while.
void Pump(int milliseconds);

// Runs the action from the message loop once it is pumped (for example by
// a modal display that the caller is about to start).
void WhenIdle(std::function<void()> action);

// Error reports collected instead of shown while an instance lives.
class TCollectedErrors {
public:
  TCollectedErrors();
  ~TCollectedErrors();
  std::vector<std::string> Messages;
};

// While an instance lives, each splash picture of the thread is closed by a
// WM_CLOSE as soon as it shows (as a user's Alt+F4 would end it), so tests
// that build the main window need not wait its six seconds.
class TSplashCloser {
public:
  TSplashCloser();
  ~TSplashCloser();
  TSplashCloser(const TSplashCloser&) = delete;
  TSplashCloser& operator=(const TSplashCloser&) = delete;
  // Splash windows closed so far.
  int Closed() const;

private:
  UINT_PTR FTimer;
};

// The size of an icon's image; 0 x 0 for none.
SIZE IconSize(HICON icon);

// What a screen reader reads of a menu item from its data: the text of its
// MSAAMENUINFO, "(none)" without the signature.
inline std::wstring ReaderText(ULONG_PTR data) {
  const auto* block = reinterpret_cast<const MSAAMENUINFO*>(data);
  if (!block || block->dwMSAASignature != static_cast<DWORD>(MSAA_MENU_SIG)) return L"(none)";
  return std::wstring(block->pszWText, block->cchWText);
}

// The program's own top-level windows of a class.
std::vector<HWND> ThreadWindows(const char* className);

}  // namespace app_support
