#include "ui/Dialogs.h"

#include "platform/Platform.h"
#include "ui/Forms.h"
#include "ui/TaskWindows.h"

void ShowMessage(const std::string& text) {
  HWND owner = Application ? Application->Handle() : nullptr;
  std::string caption = Application ? Application->Title() : std::string();
  HWND activeBefore = GetActiveWindow();
  {
    // The box disables its owner itself; the forms it owns need the same.
    TTaskWindowsDisabler disabled(owner);
    Platform().MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OK);
  }
  // The box gave the activation to its hidden owner while the forms were
  // still disabled: give it back to the window that had it.
  if (activeBefore && IsWindow(activeBefore)) SetActiveWindow(activeBefore);
}
