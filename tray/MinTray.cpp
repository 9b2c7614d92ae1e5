#include "tray/MinTray.h"

#include <cstring>

#include "platform/Platform.h"
#include "ui/Forms.h"
#include "ui/Menus.h"

namespace {

constexpr UINT TrayIconId = 1;
constexpr size_t TipLength = 63;

// Sent to every top-level window when the shell's taskbar has been
// (re-)created, for example after Explorer restarted.
UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageA("TaskbarCreated");
  return message;
}

void CopyTip(NOTIFYICONDATAA& data, const std::string& tip) {
  size_t length = tip.size() < TipLength ? tip.size() : TipLength;
  std::memcpy(data.szTip, tip.data(), length);
  data.szTip[length] = '\0';
}

}  // namespace

TMinTray::TMinTray(TComponent* owner) : TComponent(owner) { TaskbarCreatedMessage(); }

TMinTray::~TMinTray() {
  RemoveTrayIcon();
  RemoveHook();
}

void TMinTray::SetHideWhenMinimized(bool value) {
  if (value == FHideWhenMinimized) return;
  FHideWhenMinimized = value;
  if (!FMinimized) return;
  if (value)
    HideAppWindow();
  else
    ShowAppWindow();
}

void TMinTray::SetHint(const std::string& value) {
  if (value == FHint) return;
  FHint = value;
  if (!FIconShown) return;
  // Only the tip changes; the record added keeps the tip it was added with.
  NOTIFYICONDATAA data = FIconData;
  data.uFlags = NIF_TIP;
  CopyTip(data, FHint);
  Platform().Shell_NotifyIconA(NIM_MODIFY, &data);
}

void TMinTray::SetTrayMode(TTrayMode value) {
  if (value == FTrayMode) return;
  if (Owner() && Owner()->Loading()) {
    FLoadingTrayMode = value;
    return;
  }
  FTrayMode = value;
  if (value == tmAlways)
    AddTrayIcon();
  else if (!FMinimized)
    RemoveTrayIcon();
}

void TMinTray::RestoreFromTray() {
  if (FHideWhenMinimized) ShowAppWindow();
  Application->Restore();
  FMinimized = false;
  if (FTrayMode == tmOnMinimize) RemoveTrayIcon();
}

void TMinTray::Loaded() {
  TComponent::Loaded();
  auto* form = dynamic_cast<TCustomForm*>(Owner());
  if (!form || !Application) return;
  if (Application->MainForm() && Application->MainForm() != form) return;
  InstallHook();
  SetTrayMode(FLoadingTrayMode);
}

void TMinTray::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == FPopupMenu) FPopupMenu = nullptr;
}

void TMinTray::AddTrayIcon() {
  FIconData = NOTIFYICONDATAA{};
  // The record's first form: the fields up to the 64-character tip.
  FIconData.cbSize = NOTIFYICONDATAA_V1_SIZE;
  FIconData.hWnd = Application->Handle();
  FIconData.uID = TrayIconId;
  FIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  FIconData.uCallbackMessage = WM_TRAYICONCALLBACK;
  FIconData.hIcon = Application->Icon();
  CopyTip(FIconData, FHint.empty() ? Application->Title() : FHint);
  Platform().Shell_NotifyIconA(NIM_ADD, &FIconData);
  FIconShown = true;
}

void TMinTray::RemoveTrayIcon() {
  if (!FIconShown) return;
  Platform().Shell_NotifyIconA(NIM_DELETE, &FIconData);
  FIconShown = false;
}

// Looks at the Application window's messages and never ends their handling.
bool TMinTray::AppWindowHook(TMessage& message) {
  switch (message.Msg) {
    case WM_DESTROY:
      RemoveTrayIcon();
      RemoveHook();
      break;
    case WM_SIZE:
      if (message.WParam == SIZE_MINIMIZED) {
        if (FHideWhenMinimized) HideAppWindow();
        FMinimized = true;
        if (FTrayMode == tmOnMinimize) AddTrayIcon();
      }
      break;
    case WM_SYSCOMMAND:
      if (message.WParam == SC_RESTORE) RestoreFromTray();
      break;
    case WM_ENDSESSION:
      // The system may end the process before the component is destroyed.
      if (message.WParam) RemoveTrayIcon();
      break;
    case WM_TRAYICONCALLBACK:
      IconCallback(message.LParam);
      break;
    default:
      // A restarted taskbar has lost our icon: add it again.
      if (message.Msg == TaskbarCreatedMessage() && FIconShown) Platform().Shell_NotifyIconA(NIM_ADD, &FIconData);
      break;
  }
  return false;
}

void TMinTray::IconCallback(LPARAM mouseMessage) {
  if (Busy()) return;
  switch (mouseMessage) {
    case WM_LBUTTONUP:
      if (FRestoreMode == rmClick) RestoreFromTray();
      break;
    case WM_LBUTTONDBLCLK:
      if (FRestoreMode == rmDblClick) RestoreFromTray();
      break;
    case WM_RBUTTONUP:
      if (FPopupMenu) ShowPopupMenu();
      break;
  }
}

void TMinTray::ShowPopupMenu() {
  // Cleared on every path, also when the opening handler raises.
  struct TMenuOpen {
    bool& Flag;
    explicit TMenuOpen(bool& flag) : Flag(flag) { Flag = true; }
    ~TMenuOpen() { Flag = false; }
  } open(FMenuOpen);
  POINT point{};
  GetCursorPos(&point);
  if (auto* form = dynamic_cast<TWinControl*>(Owner())) SetActiveWindow(form->Handle());
  FPopupMenu->Popup(point.x, point.y);
}

// While the menu is open or a modal window of the program is up, the icon's
// clicks are ignored: they would open a second menu or act behind the dialog.
bool TMinTray::Busy() const {
  if (FMenuOpen || Application->ModalLevel() > 0) return true;
  auto* form = dynamic_cast<TWinControl*>(Owner());
  return form && form->HandleAllocated() && !IsWindowEnabled(form->Handle());
}

void TMinTray::InstallHook() {
  Application->HookMainWindow(WindowHook(this, &TMinTray::AppWindowHook));
  FHooked = true;
}

void TMinTray::RemoveHook() {
  if (!FHooked) return;
  if (Application) Application->UnhookMainWindow(WindowHook(this, &TMinTray::AppWindowHook));
  FHooked = false;
}

void TMinTray::HideAppWindow() { ShowWindow(Application->Handle(), SW_HIDE); }

void TMinTray::ShowAppWindow() { ShowWindow(Application->Handle(), SW_SHOW); }
