// TControlSubClass: the hook a TXPStyle puts into one control's WindowProc.
// It lets the control handle each message first, keeps the hot / pressed /
// focused state from what it sees, and repaints the control flat after
// every message that can change its look. It removes itself when the style
// is switched off or the control's window goes away for good.
#pragma once
#include "ui/Controls.h"
#include "ui/StdCtrls.h"
#include "xpstyle/Colors.h"
#include "xpstyle/Metrics.h"
#include "xpstyle/Painters.h"

// What a hook asks of the style that made it.
class THookOwner {
public:
  virtual bool Active() const = 0;
  // The colours for one paint on this surface.
  virtual TXPColors UpdateDrawColors(TCanvas& canvas) = 0;
  virtual TXPMetrics MetricsForDpi(UINT dpi) const = 0;

protected:
  ~THookOwner() = default;
};

class TControlSubClass : public TComponent, public THookState {
public:
  // Hooks control for style, by which it is owned (owner is the style as a
  // component): saves the control's window procedure (and an edit's 3-D
  // look and border) and puts HookWindowProc in its place.
  TControlSubClass(TComponent* owner, THookOwner& style, TControl* control);
  const char* ClassName() const override { return "TControlSubClass"; }

  // The control's window procedure while hooked.
  void HookWindowProc(TMessage& message);
  // Runs the painter for the control's kind on a fresh surface with the
  // style's colours and the metrics of the control's DPI; a painter's error
  // is swallowed (a repaint must never open the error report).
  void PaintHookedControl();
  // Puts the saved window procedure back (and the edit's Ctl3D); used when
  // the style component goes while the control lives on.
  void RestoreControl();
  void Notification(TComponent* component, TOperation operation) override;

  // The hooked control (not owned) and what it had before.
  TControl* FTargetControl = nullptr;
  TWndMethod FSavedWindowProc;
  THookOwner* FStyleOwner = nullptr;
  bool FPassingOn = false;  // left the style but cannot leave the chain

  void SetTarget(TControl* control);
  static bool IsHooked(const TControl* control);

private:
  bool LeaveChain();
  void TrackMessage(const TMessage& message, TControl& control);
  void SpaceKey(bool down);
  void Unhook(TMessage& message);
  void Repaint();
  void RepaintOrGraphicRepaint();
  bool TargetFocused() const;
};
