// TMinTray: keeps the program in the notification area while it is
// minimised. It has no window of its own: it observes the Application
// window, which receives the icon's callback messages.
#pragma once
#include <windows.h>
#include <shellapi.h>
#include <string>

#include "ui/Classes.h"

class TPopupMenu;

enum TRestoreMode { rmClick, rmDblClick };
enum TTrayMode { tmOnMinimize, tmAlways };

// The icon's callback message to the Application window.
constexpr UINT WM_TRAYICONCALLBACK = WM_USER + 1;

class TMinTray : public TComponent {
public:
  explicit TMinTray(TComponent* owner);
  ~TMinTray() override;
  const char* ClassName() const override { return "TMinTray"; }

  bool HideWhenMinimized() const { return FHideWhenMinimized; }
  void SetHideWhenMinimized(bool value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& value);
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* menu) { FPopupMenu = menu; }
  TRestoreMode RestoreMode() const { return FRestoreMode; }
  void SetRestoreMode(TRestoreMode mode) { FRestoreMode = mode; }
  TTrayMode TrayMode() const { return FTrayMode; }
  void SetTrayMode(TTrayMode value);

  // Brings the application back from the tray.
  void RestoreFromTray();

  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

  // The icon is wanted (added and not removed since); the shell may not
  // have taken it yet, see IconInTray.
  bool IconShown() const { return FIconShown; }
  bool IconInTray() const { return FIconInTray; }
  bool Retrying() const { return FRetries >= 0; }
  bool IsMinimized() const { return FMinimized; }
  bool Hooked() const { return FHooked; }
  const NOTIFYICONDATAA& IconData() const { return FIconData; }

  // While the shell refuses the icon, the add is tried again on this timer
  // of the Application window, every RetryInterval ms, at most RetryLimit
  // times; then the application is restored instead.
  static constexpr UINT_PTR RetryTimerId = 0x5452;
  static constexpr UINT RetryInterval = 2000;
  static constexpr int RetryLimit = 15;

private:
  void AddTrayIcon();
  void RemoveTrayIcon();
  bool PutIconInTray();
  void PutIconInTrayOrRetry();
  void StartRetry();
  void StopRetry();
  void RetryTick();
  void TaskbarCreated();
  bool IsRestoreClick(LPARAM mouseMessage) const;
  bool AppWindowHook(TMessage& message);
  void IconCallback(LPARAM mouseMessage);
  void ShowPopupMenu();
  bool Busy() const;
  void InstallHook();
  void RemoveHook();
  void HideAppWindow();
  void ShowAppWindow();

  bool FHideWhenMinimized = true;
  std::string FHint;
  TPopupMenu* FPopupMenu = nullptr;
  TRestoreMode FRestoreMode = rmDblClick;
  TTrayMode FTrayMode = tmOnMinimize;

  NOTIFYICONDATAA FIconData{};
  bool FIconShown = false;
  bool FIconInTray = false;
  int FRetries = -1;  // retries made while the timer runs; -1 when it does not
  bool FMinimized = false;
  bool FHooked = false;
  bool FMenuOpen = false;
  TTrayMode FLoadingTrayMode = tmOnMinimize;
};
