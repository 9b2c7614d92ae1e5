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
  StopRetry();
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
  FIconData.hIcon = Application->SmallIcon();  // the image made for the small size
  CopyTip(FIconData, FHint.empty() ? Application->Title() : FHint);
  FIconShown = true;
  PutIconInTrayOrRetry();
}

void TMinTray::RemoveTrayIcon() {
  if (!FIconShown) return;
  StopRetry();
  Platform().Shell_NotifyIconA(NIM_DELETE, &FIconData);
  FIconShown = false;
  FIconInTray = false;
}

// Refused when the notification area does not exist yet (a start at
// log-on) or the shell is busy: tried again until it takes the icon.
void TMinTray::PutIconInTrayOrRetry() {
  if (PutIconInTray())
    StopRetry();
  else
    StartRetry();
}

// A busy shell can report a failed add that still puts the icon in; it then
// refuses every further add, but takes a change to the icon.
bool TMinTray::PutIconInTray() {
  TPlatform& platform = Platform();
  FIconInTray = platform.Shell_NotifyIconA(NIM_ADD, &FIconData) ||
                platform.Shell_NotifyIconA(NIM_MODIFY, &FIconData);
  return FIconInTray;
}

void TMinTray::StartRetry() {
  if (Retrying()) return;
  if (Platform().SetTimer(Application->Handle(), RetryTimerId, RetryInterval, nullptr)) {
    FRetries = 0;
    return;
  }
  // Without a timer no retry comes: the window is the only way back.
  if (FMinimized) RestoreFromTray();
}

void TMinTray::StopRetry() {
  if (!Retrying()) return;
  FRetries = -1;
  if (Application) Platform().KillTimer(Application->Handle(), RetryTimerId);
}

void TMinTray::RetryTick() {
  if (!Retrying()) return;  // a tick queued before the timer stopped
  if (!FIconShown || PutIconInTray()) {
    StopRetry();
    return;
  }
  if (++FRetries < RetryLimit) return;
  StopRetry();
  // Neither an icon nor a window would lead back to the program.
  if (FMinimized) RestoreFromTray();
}

// A restarted taskbar has lost the icon, and a shell that was not there
// before is there now: add it at once.
void TMinTray::TaskbarCreated() {
  if (FIconShown) PutIconInTrayOrRetry();
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
    case WM_TIMER:
      if (message.WParam == RetryTimerId) RetryTick();
      break;
    case WM_TRAYICONCALLBACK:
      IconCallback(message.LParam);
      break;
    default:
      if (message.Msg == TaskbarCreatedMessage()) TaskbarCreated();
      break;
  }
  return false;
}

bool TMinTray::IsRestoreClick(LPARAM mouseMessage) const {
  return (mouseMessage == WM_LBUTTONUP && FRestoreMode == rmClick) ||
         (mouseMessage == WM_LBUTTONDBLCLK && FRestoreMode == rmDblClick);
}

void TMinTray::IconCallback(LPARAM mouseMessage) {
  bool restore = IsRestoreClick(mouseMessage);
  if (Busy()) {
    // A dialog minimised while its owner hides has no taskbar button: the
    // click that would restore the program brings the dialog back instead.
    if (TCustomForm* modal = Application->ModalForm(); restore && modal) modal->BringToFront();
    return;
  }
  if (restore)
    RestoreFromTray();
  else if (mouseMessage == WM_RBUTTONUP && FPopupMenu)
    ShowPopupMenu();
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
  // A notification icon's menu closes on a click elsewhere only when its
  // owner is the foreground window, and the switch away after it needs a
  // message in that window's queue.
  TPlatform& platform = Platform();
  HWND owner = Application->MenuWindow();
  platform.SetForegroundWindow(owner);
  FPopupMenu->Popup(point.x, point.y);
  platform.PostMessageA(owner, WM_NULL, 0, 0);
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
