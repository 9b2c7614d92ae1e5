// TControlSubClass: the hook a TXPStyle puts into one control's WindowProc.
// It lets the control handle each message first, keeps the hot / pressed /
// focused state from what it sees, and repaints the control flat after
// every message that can change its look. It removes itself when the style
// is switched off or the control's window goes away for good.
#pragma once
#include "ui/Controls.h"
#include "ui/StdCtrls.h"

class TXPStyle;

class TControlSubClass : public TComponent {
public:
  // Owned by the style component that makes the hook.
  explicit TControlSubClass(TXPStyle* owner);
  const char* ClassName() const override { return "TControlSubClass"; }

  // The control's window procedure while hooked.
  void HookWindowProc(TMessage& message);
  // Runs the painter for the control's kind on a fresh surface; a painter's
  // error is swallowed (a repaint must never open the error report).
  void PaintHookedControl();
  // Puts the saved window procedure back (and the edit's Ctl3D); used when
  // the style component goes while the control lives on.
  void RestoreControl();
  void Notification(TComponent* component, TOperation operation) override;

  // The hooked control (not owned) and what it had before.
  TControl* FTargetControl = nullptr;
  bool FRecreatePending = false;
  bool FHighlighted = false;
  bool FMouseDown = false;
  bool FSpaceDown = false;
  bool FSpaceRepainted = false;
  bool FHasFocus = false;
  TWndMethod FSavedWindowProc;
  TXPStyle* FStyleOwner = nullptr;
  bool FSavedCtl3D = false;
  TBorderStyle FSavedBorderStyle = bsNone;
  UINT FLastMessage = 0;
  bool FPassingOn = false;  // left the style but cannot leave the chain

  void SetTarget(TControl* control);
  bool IsHookOf(const TControl* control) const;
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
