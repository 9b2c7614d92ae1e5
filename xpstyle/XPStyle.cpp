#include "xpstyle/XPStyle.h"

#include <cstring>

#include "ui/Buttons.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"
#include "base/SysUtils.h"
#include "platform/Platform.h"
#include "xpstyle/ControlSubClass.h"
#include "xpstyle/Primitives.h"

namespace {

bool Named(const TObject* object, const char* name) { return std::strcmp(object->ClassName(), name) == 0; }

// The kind table of the walk: which member of XPControls takes a control.
bool KindTaken(const TControl* c, TXPControls set) {
  auto row = [set](bool matches, TXPControl member) { return matches && InSet(set, member); };
  return row(Is<TCustomCombo>(c), xcCombo) || row(Is<TCustomLabeledEdit>(c), xcEdit) ||
         row(Is<TEdit>(c), xcEdit) || row(Named(c, "TMaskEdit"), xcMaskEdit) ||
         row(Named(c, "TDBEdit"), xcMaskEdit) || row(Is<TCustomMemo>(c), xcMemo) ||
         row(Is<TCustomRichEdit>(c), xcRichEdit) || row(Is<TCustomCheckBox>(c), xcCheckBox) ||
         row(Is<TRadioButton>(c), xcRadioButton) || row(Named(c, "TBitBtn"), xcBitBtn) ||
         row(Named(c, "TButton"), xcButton) || row(Named(c, "TUpDown"), xcButton) ||
         row(Is<TSpeedButton>(c), xcSpeedButton) || row(Is<TCustomPanel>(c), xcPanel) ||
         row(Is<TCustomGroupBox>(c), xcGroupBox);
}

// The container table of the walk: which member of XPContainers takes a
// control on this parent.
bool ContainerTaken(const TWinControl* p, TXPContainers set) {
  if (!p) return false;
  auto row = [set](bool matches, TXPContainer member) { return matches && InSet(set, member); };
  return row(Is<TToolBar>(p), xccToolbar) || row(Is<TCoolBar>(p), xccCoolbar) ||
         row(Is<TCustomPanel>(p), xccPanel) || row(Is<TControlBar>(p), xccControlbar) ||
         row(Is<TScrollBox>(p), xccScrollBox) || row(Is<TCustomGroupBox>(p), xccGroupBox) ||
         row(Is<TTabSheet>(p), xccTabSheet) || row(Named(p, "TdxTabSheet"), xccTabSheet) ||
         row(Is<TPageScroller>(p), xccPageScroller) || row(Is<TCustomFrame>(p), xccFrame) ||
         row(Named(p, "TDBCtrlPanel"), xccFrame) || row(Is<TCustomForm>(p), xccForm);
}

// A high-contrast theme is on: only the theme's own colour pairs may be
// drawn, never the style's blended shades.
bool HighContrastOn() {
  HIGHCONTRASTA contrast{};
  contrast.cbSize = sizeof contrast;
  return Platform().SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace

TXPStyle::TXPStyle(TComponent* owner) : TComponent(owner), FSteppedAside(HighContrastOn()) {
  LoadSystemMenuFont(FFont);
  FFontIsSystemFont = true;
  FHostForm = dynamic_cast<TCustomForm*>(owner);
  if (!FHostForm) throw EInvalidCast();
  FSelectFontColor = FFont.Color();
  SetXPContainers(AllXPContainers);
  SetXPControls(AllXPControls);
}

// Detaches, then gives every control still hooked its own window procedure
// back before the hooks go with this component: a control whose window
// outlives the style is never left calling a freed hook.
TXPStyle::~TXPStyle() {
  ApplyToContainer(FHostForm, false, false);
  RestoreHookedControls();
}

void TXPStyle::RestoreHookedControls() {
  for (int i = ComponentCount() - 1; i >= 0; --i)
    if (auto* hook = dynamic_cast<TControlSubClass*>(Components(i))) hook->RestoreControl();
}

// Only a window that exists is asked to redraw its menu bar: asking a form
// still being loaded would create its window early.
void TXPStyle::DrawMenuBarOfHost() {
  if (FHostForm && !FHostForm->Destroying() && FHostForm->HandleAllocated()) DrawMenuBar(FHostForm->Handle());
}

void TXPStyle::SetFont(const TFont& font) {
  FFont = font;
  FFontIsSystemFont = false;
  DrawMenuBarOfHost();
}

void TXPStyle::SetMenuBarColor(TColor value) {
  FMenuBarColor = value;
  DrawMenuBarOfHost();
}

void TXPStyle::SetUseSystemColors(bool value) {
  FUseSystemColors = value;
  DrawMenuBarOfHost();
}

void TXPStyle::SetOverrideOwnerDraw(bool value) {
  FOverrideOwnerDraw = value;
  if (FActive) SetActive(true);
}

// Stepped aside, the value is kept for later; switching on then takes
// menus that are owner-drawn by their stored setting back to the system's
// drawing, as the detach walk does.
void TXPStyle::SetActive(bool value) {
  FStoredActive = value;
  if (FSteppedAside) {
    if (value) ApplyToContainer(FHostForm, false, true);
    return;
  }
  ApplyActive(value);
}

void TXPStyle::ApplyActive(bool value) {
  if (value == FActive) return;
  FActive = value;
  ApplyToContainer(FHostForm, value, true);
  DrawMenuBarOfHost();
}

void TXPStyle::SystemSettingChange(UINT msg, WPARAM wParam) {
  const bool colors = msg == WM_SYSCOLORCHANGE;
  const bool setting = msg == WM_SETTINGCHANGE;
  if (colors || (setting && wParam == SPI_SETHIGHCONTRAST)) FollowHighContrast();
  if (colors || (setting && wParam == SPI_SETNONCLIENTMETRICS)) DropCachedLook();
}

// Stepping aside detaches as Active false does: the hooks go with their
// controls' next message (the walk invalidates each), and the menus leave
// owner drawing.
void TXPStyle::FollowHighContrast() {
  const bool on = HighContrastOn();
  if (on == FSteppedAside) return;
  FSteppedAside = on;
  ApplyActive(FStoredActive && !on);
}

// Colours are resolved at every paint; the one thing kept between paints is
// the copy of the system menu font (what measuring uses), so it is read
// again, and everything the style paints is repainted.
void TXPStyle::DropCachedLook() {
  if (FFontIsSystemFont || FUseSystemColors) {
    LoadSystemMenuFont(FFont);
    FFontIsSystemFont = true;
  }
  if (!FActive) return;
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* hook = dynamic_cast<TControlSubClass*>(Components(i)); hook && hook->FTargetControl)
      hook->FTargetControl->Invalidate();
  DrawMenuBarOfHost();
}

void TXPStyle::SetXPContainers(TXPContainers value) {
  if (value != FXPContainers && FActive) {
    FActive = false;
    ApplyToContainer(FHostForm, false, true);
    FActive = true;
    FXPContainers = value;
    ApplyToContainer(FHostForm, true, true);
  }
  FXPContainers = value;
}

void TXPStyle::SetXPControls(TXPControls value) {
  if (value != FXPControls && FActive) {
    FActive = false;
    ApplyToContainer(FHostForm, false, true);
    FActive = true;
    FXPControls = value;
    ApplyToContainer(FHostForm, true, true);
  }
  FXPControls = value;
}

void TXPStyle::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (FActive && FAutoDetect && operation == opInsert && !Designing() &&
      (Is<TMenuItem>(component) || Is<TToolButton>(component) || Is<TControlBar>(component)))
    SetActive(true);
}

// The walk over the container's own components (not its child controls),
// each component tested by every step in turn: menus, tool bars and
// control bars, controls.
void TXPStyle::ApplyToContainer(TComponent* container, bool activate, bool invalidate) {
  if (!container) return;
  for (int i = 0; i < container->ComponentCount(); ++i) {
    TComponent* component = container->Components(i);
    ApplyToMenu(component, activate);
    if (!Designing()) ApplyToBars(component, activate, invalidate);
    if (!Designing()) ApplyToControl(component, activate, invalidate);
    if ((Is<TCustomFrame>(component) && InSet(FXPContainers, xccFrame)) || Is<TCustomForm>(component))
      ApplyToContainer(component, activate, invalidate);
  }
}

void TXPStyle::ApplyToControl(TComponent* component, bool activate, bool invalidate) {
  auto* control = dynamic_cast<TControl*>(component);
  if (!control || !KindTaken(control, FXPControls) || !ContainerTaken(control->Parent(), FXPContainers)) return;
  if (activate && control->Tag() != XPExcludeTag && control->Parent()->Tag() != XPExcludeTag &&
      !TControlSubClass::IsHooked(control))
    HookControl(control);
  if (invalidate) control->Invalidate();
}

void TXPStyle::HookControl(TControl* control) { new TControlSubClass(this, *this, control); }

void TXPStyle::LoadSystemMenuFont(TFont& font) {
  LOGFONTA menuFont{};
  if (!ReadSystemMenuFont(DesignDpi, menuFont)) return;
  font.Assign(menuFont);
  font.SetColor(clMenuText);
}

TXPMetrics TXPStyle::MetricsForDpi(UINT dpi) const {
  return XPMetricsForDpi(dpi, FIconWidth, SystemMetricForDpi(SM_CXHTHUMB, dpi));
}

// The system's menu font comes for the DPI as the system gives it; a stored
// font is scaled as a form scales its fonts.
TFont TXPStyle::FontForDpi(UINT dpi) const {
  TFont font = FFont;
  if (dpi == DesignDpi) return font;
  LOGFONTA menuFont{};
  if (FFontIsSystemFont && ReadSystemMenuFont(dpi, menuFont))
    font.Assign(menuFont);
  else
    font.SetHeight(ScaleFontHeight(FFont.Height(), dpi));
  return font;
}

TXPColors TXPStyle::UpdateDrawColors(TCanvas& canvas) {
  TXPColors c;
  c.HighColorDevice = canvas.BitsPerPixel() >= 16;
  c.EffColor = FColor;
  c.EffIconBackColor = FIconBackColor;
  if (c.HighColorDevice) {
    c.EffSelectColor = LightenColor(canvas, FSelectColor, 68);
    c.CheckFillColor = LightenColor(canvas, FSelectColor, 80);
    c.CheckFillHotColor = LightenColor(canvas, FSelectColor, 50);
    c.PopupFrameColor = DarkenColor(clBtnFace, 90);
    c.PopupShadowColor = DarkenColor(clBtnFace, 76);
  } else {
    c.EffSelectColor = FSelectColor;
    c.CheckFillColor = clWhite;
    c.CheckFillHotColor = clSilver;
    c.PopupFrameColor = clBtnShadow;
    c.PopupShadowColor = clBtnShadow;
  }
  c.EffSelectBorderColor = FSelectBorderColor;
  c.EffSelectFontColor = FSelectFontColor;
  c.EffMenuBarColor = FMenuBarColor;
  c.EffDisabledColor = FDisabledColor;
  c.EffCheckedColor = FCheckedColor;
  c.EffSeparatorColor = FSeparatorColor;
  c.UseSystemColors = FUseSystemColors;
  c.DimLevel = FDimLevel;
  c.GrayLevel = FGrayLevel;
  if (FUseSystemColors) {
    LoadSystemMenuFont(FFont);
    FFontIsSystemFont = true;
    c.EffSelectFontColor = FFont.Color();
    const bool high = c.HighColorDevice;
    c.EffColor = high ? LightenColor(canvas, clBtnFace, 86) : clWhite;
    c.EffIconBackColor = high ? LightenColor(canvas, clBtnFace, 16) : clBtnFace;
    c.EffSelectColor = high ? LightenColor(canvas, clHighlight, 68) : clWhite;
    c.EffSelectBorderColor = clHighlight;
    c.EffMenuBarColor = clBtnFace;
    c.EffDisabledColor = high ? LightenColor(canvas, clBtnShadow, 10) : clBtnShadow;
    c.EffSeparatorColor = high ? LightenColor(canvas, clBtnShadow, 25) : clBtnShadow;
    c.EffCheckedColor = clHighlight;
    c.CheckFillColor = high ? LightenColor(canvas, clHighlight, 80) : clWhite;
    c.CheckFillHotColor = high ? LightenColor(canvas, clHighlight, 50) : clWhite;
  }
  c.FontColor = FFont.Color();
  return c;
}
