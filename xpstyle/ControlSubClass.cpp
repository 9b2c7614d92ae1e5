#include "xpstyle/ControlSubClass.h"

#include "ui/Buttons.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"

namespace {

// The DPI the control's layout is shown at: its form's.
UINT ControlDpi(const TControl& control) {
  const TCustomForm* form = GetParentForm(&control);
  return form ? form->Dpi() : SystemDpi();
}

}  // namespace

TControlSubClass::TControlSubClass(TComponent* owner, THookOwner& style, TControl* control)
    : TComponent(owner), FStyleOwner(&style) {
  SetTarget(control);
  FSavedWindowProc = control->WindowProc;
  if (auto* edit = dynamic_cast<TCustomEdit*>(control)) {
    FSavedCtl3D = edit->Ctl3D();
    FSavedBorderStyle = edit->BorderStyle();
  }
  control->WindowProc = WndMethod(this, &TControlSubClass::HookWindowProc);
}

void TControlSubClass::SetTarget(TControl* control) {
  if (FTargetControl) RemoveFreeNotification(FTargetControl);
  FTargetControl = control;
  // A control freed before its hook leaves no dangling target behind.
  if (control) FreeNotification(control);
}

void TControlSubClass::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == FTargetControl) FTargetControl = nullptr;
}

bool TControlSubClass::IsHooked(const TControl* control) {
  return control->WindowProc.Code == static_cast<TWndMethodCode>(&TControlSubClass::HookWindowProc);
}

void TControlSubClass::RestoreControl() {
  if (FTargetControl) LeaveChain();
  SetTarget(nullptr);
}

// Takes this hook out of the control's chain of window procedures wherever
// it sits: at the head, the control gets the saved procedure back; below
// another style hook, that hook takes the saved procedure over, so nothing
// is left calling this one. False when a procedure of another kind sits
// above, whose saved procedure cannot be reached.
bool TControlSubClass::LeaveChain() {
  TControl* control = FTargetControl;
  const TWndMethod self = WndMethod(this, &TControlSubClass::HookWindowProc);
  if (control->WindowProc == self) {
    control->WindowProc = FSavedWindowProc;
    return true;
  }
  for (TWndMethod link = control->WindowProc; link.Code == self.Code;) {
    auto* above = static_cast<TControlSubClass*>(link.Data);
    if (above->FSavedWindowProc == self) {
      above->FSavedWindowProc = FSavedWindowProc;
      return true;
    }
    link = above->FSavedWindowProc;
  }
  return false;
}

void TControlSubClass::HookWindowProc(TMessage& message) {
  if (FPassingOn) {
    FSavedWindowProc(message);
    return;
  }
  TControl* control = FTargetControl;
  if (!control) return;
  // A windowless control is painted whole by its painter; one whose kind
  // has none yet keeps painting itself.
  if (message.Msg == WM_PAINT && Is<TGraphicControl>(control) && HasPainter(control))
    message.Result = 1;
  else
    FSavedWindowProc(message);

  if (!FStyleOwner->Active()) {
    Unhook(message);
    return;
  }
  FLastMessage = message.Msg;
  TrackMessage(message, *control);
}

// Keeps the hot, pressed and focused state from the message the control has
// just handled, and repaints it flat when its look may have changed.
void TControlSubClass::TrackMessage(const TMessage& message, TControl& control) {
  switch (message.Msg) {
    case WM_DESTROY:
      if (!FRecreatePending) {
        RestoreControl();
        Free();
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case CM_EXIT:
    case BM_GETCHECK:
    case BM_SETCHECK:
      FHighlighted = message.Msg == WM_SETFOCUS;
      Repaint();
      break;
    case WM_PAINT:
      FRecreatePending = false;
      Repaint();
      break;
    case EM_GETMODIFY:
    case CM_CTL3DCHANGED:
    case CM_PARENTCTL3DCHANGED:
    case CM_INVALIDATE:
      FRecreatePending = true;
      break;
    case BM_SETSTATE:
    case CM_FOCUSCHANGED:
    case CM_PARENTCOLORCHANGED:
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
      Repaint();
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (message.WParam == VK_SPACE) SpaceKey(message.Msg == WM_KEYDOWN);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      FMouseDown = message.Msg == WM_LBUTTONDOWN;
      if (FMouseDown)
        Repaint();
      else
        RepaintOrGraphicRepaint();
      break;
    case WM_LBUTTONDBLCLK:
      // The second click of a double click presses these like a single one.
      if (Is<TButton>(&control) || Is<TSpeedButton>(&control) || Is<TCheckBox>(&control))
        control.Perform(WM_LBUTTONDOWN, message.WParam, message.LParam);
      break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      if (!control.Enabled()) break;
      FHighlighted = message.Msg == CM_MOUSEENTER;
      RepaintOrGraphicRepaint();
      break;
  }
}

// Space pressed on a button: repainted once when it goes down, however long
// the key repeats, and again when it comes up.
void TControlSubClass::SpaceKey(bool down) {
  FSpaceDown = down;
  if (down && FSpaceRepainted) return;
  FSpaceRepainted = down;
  Repaint();
}

// The style is off: the control gets back what it had, and this hook goes.
// Nothing here may raise; the control has already handled the message.
void TControlSubClass::Unhook(TMessage& message) {
  message.Result = 1;
  try {
    if (TControl* control = FTargetControl) {
      bool left = LeaveChain();
      if (auto* edit = dynamic_cast<TCustomEdit*>(control)) edit->SetCtl3D(FSavedCtl3D);
      if (auto* rich = dynamic_cast<TCustomRichEdit*>(control)) rich->SetBorderStyle(FSavedBorderStyle);
      if (Is<TGraphicControl>(control)) control->Repaint();
      if (!left) {
        // Out of reach below a foreign procedure, which still calls this
        // one: it stays, passing every message on.
        FPassingOn = true;
        return;
      }
      SetTarget(nullptr);
      Free();
    }
  } catch (...) {
  }
}

void TControlSubClass::Repaint() { PaintHookedControl(); }

void TControlSubClass::RepaintOrGraphicRepaint() {
  if (Is<TGraphicControl>(FTargetControl))
    FTargetControl->Repaint();
  else
    PaintHookedControl();
}

bool TControlSubClass::TargetFocused() const {
  auto* windowed = dynamic_cast<TWinControl*>(FTargetControl);
  if (!windowed || !windowed->HandleAllocated()) return false;
  HWND focus = GetFocus();
  if (!focus) return false;
  HWND window = windowed->Handle();
  if (!Is<TCustomCombo>(windowed)) return focus == window;
  // A combo box has the focus in its edit part or its drop-down list; its
  // own window passes the focus on to the edit part.
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  return GetComboBoxInfo(window, &info) && (focus == info.hwndItem || focus == info.hwndList);
}

// The painter frame: a fresh surface for the control, the colours for it,
// the painter for the control's kind, everything released at the end.
void TControlSubClass::PaintHookedControl() {
  try {
    TControl* control = FTargetControl;
    if (!control) return;
    FHasFocus = TargetFocused();
    const TPainter painter = PainterFor(control);
    if (!painter) return;
    const TControl* graphic = nullptr;
    HWND window = PaintWindowOf(*control, *this, graphic);
    if (!window) return;
    TControlSurface surface(window, graphic);
    if (!surface.Valid()) return;
    const TXPMetrics metrics = FStyleOwner->MetricsForDpi(ControlDpi(*control));
    surface.Canvas().SetDpi(metrics.Dpi);
    const TXPColors colors = FStyleOwner->UpdateDrawColors(surface.Canvas());
    TControlPaint paint{*control, *this, colors, metrics, surface.Canvas()};
    painter(paint);
  } catch (...) {
    // A paint draws what it can; an error must not open the error report
    // from inside WM_PAINT, where it would come back with every repaint.
  }
}
