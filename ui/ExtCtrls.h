// TTimer: a component that calls its handler every Interval milliseconds
// while it is enabled.
#pragma once
#include "ui/Classes.h"
#include "ui/UtilWindow.h"

class TTimer : public TComponent {
public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;
  const char* ClassName() const override { return "TTimer"; }

  bool Enabled() const { return FEnabled; }
  // Enabling a running timer leaves its period as it is.
  void SetEnabled(bool enabled);
  UINT Interval() const { return FInterval; }
  void SetInterval(UINT interval);

  TNotifyEvent OnTimer;

private:
  void UpdateTimer();
  void WndProc(TMessage& message);

  TUtilWindow FWindow;
  bool FEnabled = true;
  UINT FInterval = 1000;
};
