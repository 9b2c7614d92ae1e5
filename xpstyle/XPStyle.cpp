#include "xpstyle/XPStyle.h"

#include <cstring>

#include "ui/Buttons.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"
#include "base/SysUtils.h"
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

// A disabled tool button's caption goes through a bitmap, in the bitmap
// canvas's own face with only its colour set.
void DrawCaptionThroughBitmap(TCanvas& canvas, const std::string& caption, UINT format, TColor textColor,
                              RECT textRect) {
  textRect.top += (textRect.bottom - textRect.top - canvas.TextHeight("W")) / 2;
  TBitmap text;
  text.SetSize(textRect.right - textRect.left, textRect.bottom - textRect.top);
  if (text.Empty()) return;
  TCanvas& bitmapCanvas = text.Canvas();
  bitmapCanvas.Brush.Color = canvas.Brush.Color;
  RECT full{0, 0, text.Width(), text.Height()};
  bitmapCanvas.FillRect(full);
  bitmapCanvas.Font.SetColor(textColor);
  bitmapCanvas.RequireFont();
  SetBkMode(bitmapCanvas.Handle(), TRANSPARENT);
  bitmapCanvas.DrawText(caption, full, format + 4);
  text.Draw(canvas.Handle(), textRect.left, textRect.top);
}

// The default item's emphasis: four passes of the caption, each in a colour
// darkened from the canvas pixel under the pass's top-left corner as it
// stands at that moment (an earlier pass can have changed it).
void DrawDefaultEmphasis(TCanvas& canvas, const std::string& caption, UINT format, const RECT& textRect) {
  struct TPass {
    RECT Rect;
    int Amount;
  };
  const int left = textRect.left, top = textRect.top, right = textRect.right, bottom = textRect.bottom;
  const TPass passes[] = {{{left + 1, top, right, bottom}, 30},
                          {{left + 1, top + 2, right + 1, bottom}, 30},
                          {{left, top + 1, right, bottom}, 40},
                          {{left + 1, top + 1, right + 1, bottom}, 60}};
  for (TPass pass : passes) {
    canvas.Font.SetColor(DarkenColor(canvas.Pixel(pass.Rect.left, pass.Rect.top), pass.Amount));
    canvas.DrawText(caption, pass.Rect, format);
  }
}

// The shortcut text and one blank (drawn also when the text is empty), ten
// pixels in from the side away from the caption's start.
void DrawShortcutText(TCanvas& canvas, const std::string& shortcut, RECT keys, bool rightToLeft) {
  UINT keyFormat = 0;
  if (rightToLeft) {
    keys.left += 10;
  } else {
    keys.right -= 10;
    keyFormat = DT_RIGHT;
  }
  canvas.DrawText(shortcut + " ", keys, keyFormat);
}

}  // namespace

TXPStyle::TXPStyle(TComponent* owner) : TComponent(owner) {
  LoadSystemMenuFont(FFont);
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

void TXPStyle::SetActive(bool value) {
  if (value == FActive) return;
  FActive = value;
  ApplyToContainer(FHostForm, value, true);
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

void TXPStyle::HookControl(TControl* control) {
  auto* hook = new TControlSubClass(this);
  hook->SetTarget(control);
  hook->FSavedWindowProc = control->WindowProc;
  hook->FStyleOwner = this;
  if (auto* edit = dynamic_cast<TCustomEdit*>(control)) {
    hook->FSavedCtl3D = edit->Ctl3D();
    hook->FSavedBorderStyle = edit->BorderStyle();
  }
  control->WindowProc = WndMethod(hook, &TControlSubClass::HookWindowProc);
}

void TXPStyle::LoadSystemMenuFont(TFont& font) {
  // The size of the record before Vista added iPaddedBorderWidth; every
  // version accepts it.
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = 340;
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0)) return;
  font.Assign(metrics.lfMenuFont);
  font.SetColor(clMenuText);
}

void TXPStyle::UpdateDrawColors(TCanvas& canvas) {
  HighColorDevice = canvas.BitsPerPixel() >= 16;
  EffColor = FColor;
  EffIconBackColor = FIconBackColor;
  if (HighColorDevice) {
    EffSelectColor = LightenColor(canvas, FSelectColor, 68);
    CheckFillColor = LightenColor(canvas, FSelectColor, 80);
    CheckFillHotColor = LightenColor(canvas, FSelectColor, 50);
    PopupFrameColor = DarkenColor(clBtnFace, 90);
    PopupShadowColor = DarkenColor(clBtnFace, 76);
  } else {
    EffSelectColor = FSelectColor;
    CheckFillColor = clWhite;
    CheckFillHotColor = clSilver;
    PopupFrameColor = clBtnShadow;
    PopupShadowColor = clBtnShadow;
  }
  EffSelectBorderColor = FSelectBorderColor;
  EffSelectFontColor = FSelectFontColor;
  EffMenuBarColor = FMenuBarColor;
  EffDisabledColor = FDisabledColor;
  EffCheckedColor = FCheckedColor;
  EffSeparatorColor = FSeparatorColor;
  if (!FUseSystemColors) return;

  LoadSystemMenuFont(FFont);
  EffSelectFontColor = FFont.Color();
  bool high = HighColorDevice;
  EffColor = high ? LightenColor(canvas, clBtnFace, 86) : clWhite;
  EffIconBackColor = high ? LightenColor(canvas, clBtnFace, 16) : clBtnFace;
  EffSelectColor = high ? LightenColor(canvas, clHighlight, 68) : clWhite;
  EffSelectBorderColor = clHighlight;
  EffMenuBarColor = clBtnFace;
  EffDisabledColor = high ? LightenColor(canvas, clBtnShadow, 10) : clBtnShadow;
  EffSeparatorColor = high ? LightenColor(canvas, clBtnShadow, 25) : clBtnShadow;
  EffCheckedColor = clHighlight;
  CheckFillColor = high ? LightenColor(canvas, clHighlight, 80) : clWhite;
  CheckFillHotColor = high ? LightenColor(canvas, clHighlight, 50) : clWhite;
}

COLORREF TXPStyle::ContrastFontColor(TCanvas& canvas, TColor background) const {
  COLORREF rgb = ColorToRGB(background);
  if ((GetRValue(rgb) + GetBValue(rgb)) / 2 > 150 || GetGValue(rgb) > 200) return ColorToRGB(FFont.Color());
  return LightenColor(canvas, rgb, 90);
}

void TXPStyle::DrawItemText(TDrawnObject object, const std::string& caption, UINT format, const TFont& font,
                            const TItemTextState& state, RECT textRect, TCanvas& canvas,
                            const std::string& shortcut) {
  TColor textColor = font.Color();
  canvas.Font = font;
  if (state.Selected) textColor = EffSelectFontColor;
  if (!state.Enabled) {
    textColor = EffDisabledColor;
    if (object == doToolButton) {
      DrawCaptionThroughBitmap(canvas, caption, format, textColor, textRect);
      return;
    }
  }
  if (state.BarItem && state.Selected && FUseSystemColors) textColor = ContrastFontColor(canvas, EffIconBackColor);

  canvas.Font.SetColor(textColor);
  textRect.top += (textRect.bottom - textRect.top - canvas.TextHeight("W")) / 2;
  SetBkMode(canvas.Handle(), TRANSPARENT);
  if (state.Default && state.Enabled) {
    DrawDefaultEmphasis(canvas, caption, format, textRect);
    canvas.Font.SetColor(textColor);
  }
  RECT text = textRect;
  canvas.DrawText(caption, text, format);

  canvas.Font.SetColor(HighColorDevice ? DarkenColor(textColor, -40) : ColorToRGB(textColor));
  DrawShortcutText(canvas, shortcut, textRect, state.RightToLeft);
}

void TXPStyle::DrawItemGlyph(TDrawnObject object, TCanvas& canvas, TBitmap& glyph, const RECT& glyphRect,
                             bool selected, bool pressed, bool enabled, bool checked, bool barItem,
                             bool rightToLeft) {
  if (glyph.Empty() || glyph.Width() <= 0) return;
  int x = glyphRect.left, y = glyphRect.top + 1;
  if (object == doMenuItem) {
    y = glyphRect.top + 3;
    if (glyph.Width() < FIconWidth)
      x = glyphRect.left + (FIconWidth - glyph.Width()) / 2 - 1;
    else
      x = rightToLeft ? glyphRect.right - glyph.Width() - 2 : glyphRect.left + 2;
  }
  if (barItem) x = rightToLeft ? glyphRect.right - glyph.Width() - 5 : glyphRect.left + 1;
  if (selected && !barItem && enabled && !checked && !pressed) {
    --x;
    --y;
  }
  if (!selected && enabled && !checked && HighColorDevice) DimBitmap(glyph, FDimLevel);
  if (!enabled) {
    GrayBitmap(glyph, FGrayLevel);
    DimBitmap(glyph, 40);
  }
  if (selected && enabled && !checked) DrawGlyphShadow(glyph, canvas, x + 2, y + 2, DarkenColor(EffSelectColor, 50));
  glyph.DrawTransparent(canvas.Handle(), x, y);
}
