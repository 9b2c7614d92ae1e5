// TXPStyle: the non-visual component that gives its form the flat look. It
// derives the effective colours from its properties before every drawing and
// hooks the form's standard controls (TControlSubClass) so that they are
// repainted flat.
#pragma once
#include <cstdint>
#include <string>

#include "ui/Classes.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"
#include "ui/Graphics.h"
#include "ui/Menus.h"
#include "xpstyle/Colors.h"
#include "xpstyle/ControlSubClass.h"
#include "xpstyle/ItemDraw.h"
#include "xpstyle/Metrics.h"

enum TXPContainer {
  xccForm, xccFrame, xccToolbar, xccCoolbar, xccControlbar,
  xccPanel, xccScrollBox, xccGroupBox, xccTabSheet, xccPageScroller
};
enum TXPControl {
  xcMainMenu, xcPopupMenu, xcToolbar, xcControlbar, xcCombo, xcEdit, xcMaskEdit, xcMemo,
  xcRichEdit, xcCheckBox, xcRadioButton, xcButton, xcBitBtn, xcSpeedButton, xcPanel, xcGroupBox
};
// Sets of the members above: bit n is the member with ordinal n.
using TXPContainers = std::uint16_t;
using TXPControls = std::uint16_t;
constexpr TXPContainers AllXPContainers = 0x03FF;
constexpr TXPControls AllXPControls = 0xFFFF;
constexpr bool InSet(std::uint16_t set, int member) { return ((set >> member) & 1) != 0; }

// The Tag that keeps a menu, menu item, control or a control's parent out.
constexpr int XPExcludeTag = 999;

class TXPStyle : public TComponent, public THookOwner {
public:
  // The owner must be a form.
  explicit TXPStyle(TComponent* owner);
  ~TXPStyle() override;
  const char* ClassName() const override { return "TXPStyle"; }

  // Published properties, in the order a form applies them.
  int DimLevel() const { return FDimLevel; }
  void SetDimLevel(BYTE value) { FDimLevel = value; }
  int GrayLevel() const { return FGrayLevel; }
  void SetGrayLevel(BYTE value) { FGrayLevel = value; }
  const TFont& Font() const { return FFont; }
  TFont& Font() { return FFont; }
  void SetFont(const TFont& font);
  TColor Color() const { return FColor; }
  void SetColor(TColor value) { FColor = value; }
  TColor IconBackColor() const { return FIconBackColor; }
  void SetIconBackColor(TColor value) { FIconBackColor = value; }
  TColor MenuBarColor() const { return FMenuBarColor; }
  void SetMenuBarColor(TColor value);
  TColor SelectColor() const { return FSelectColor; }
  void SetSelectColor(TColor value) { FSelectColor = value; }
  TColor SelectBorderColor() const { return FSelectBorderColor; }
  void SetSelectBorderColor(TColor value) { FSelectBorderColor = value; }
  TColor SelectFontColor() const { return FSelectFontColor; }
  void SetSelectFontColor(TColor value) { FSelectFontColor = value; }
  TColor DisabledColor() const { return FDisabledColor; }
  void SetDisabledColor(TColor value) { FDisabledColor = value; }
  TColor SeparatorColor() const { return FSeparatorColor; }
  void SetSeparatorColor(TColor value) { FSeparatorColor = value; }
  TColor CheckedColor() const { return FCheckedColor; }
  void SetCheckedColor(TColor value) { FCheckedColor = value; }
  int IconWidth() const { return FIconWidth; }
  void SetIconWidth(int value) { FIconWidth = value; }
  bool DrawSelect() const { return FDrawSelect; }
  void SetDrawSelect(bool value) { FDrawSelect = value; }
  bool UseSystemColors() const { return FUseSystemColors; }
  void SetUseSystemColors(bool value);
  bool OverrideOwnerDraw() const { return FOverrideOwnerDraw; }
  void SetOverrideOwnerDraw(bool value);
  bool Gradient() const { return FGradient; }
  void SetGradient(bool value) { FGradient = value; }
  bool FlatMenu() const { return FFlatMenu; }
  void SetFlatMenu(bool value) { FFlatMenu = value; }
  bool AutoDetect() const { return FAutoDetect; }
  void SetAutoDetect(bool value) { FAutoDetect = value; }
  TXPContainers XPContainers() const { return FXPContainers; }
  void SetXPContainers(TXPContainers value);
  TXPControls XPControls() const { return FXPControls; }
  void SetXPControls(TXPControls value);
  // Whether the style is attached now. While high contrast is on the style
  // steps aside (inactive: controls and menus drawn by the system) and
  // keeps the value given to SetActive, which applies again when it goes off.
  bool Active() const override { return FActive; }
  void SetActive(bool value);
  // The value last given to SetActive.
  bool StoredActive() const { return FStoredActive; }

  // A settings change that reached one of the program's top-level windows:
  // WM_SETTINGCHANGE with SPI_SETHIGHCONTRAST or WM_SYSCOLORCHANGE looks at
  // high contrast again; SPI_SETNONCLIENTMETRICS or WM_SYSCOLORCHANGE
  // reloads the system menu font and repaints what the style paints.
  void SystemSettingChange(UINT msg, WPARAM wParam);

  void Notification(TComponent* component, TOperation operation) override;

  // The attach (activate) or detach walk over the container's components.
  void ApplyToContainer(TComponent* container, bool activate, bool invalidate);
  // The effective colours for drawing on this canvas, worked out afresh
  // from the properties and the canvas's device; with UseSystemColors it
  // also reloads the system menu font into Font.
  TXPColors UpdateDrawColors(TCanvas& canvas) override;
  // The geometry for drawing at dpi.
  TXPMetrics MetricsForDpi(UINT dpi) const override;
  // The font for drawing at dpi: the system's menu font for that DPI while
  // Font holds the system's, else Font (kept at 96 DPI like every stored
  // font) scaled.
  TFont FontForDpi(UINT dpi) const;
  // The system menu font (at 96 DPI) in clMenuText; the font stays as it
  // was when the system cannot tell.
  void LoadSystemMenuFont(TFont& font);

  // Paints a whole tool bar button (OnCustomDrawButton of a tool bar).
  void DrawToolButtonHandler(TToolBar* toolBar, TToolButton* button, TCustomDrawState state, bool& defaultDraw);
  // Paints a control bar band and its grip (OnBandPaint of a control bar).
  void PaintBandHandler(TObject* sender, TControl* control, TCanvas& canvas, RECT& rect,
                        TBandPaintOptions& options);

  // Menu item hooking: the two drawing handlers go into empty slots (or
  // every slot with OverrideOwnerDraw); detaching clears only our own.
  void UpdateItemHooks(TMenuItem* item, bool activate);
  void UpdateItemTree(TMenuItem* item, bool activate);
  void HookMenuItem(TMenuItem* item);
  // The item, its siblings and everything below them: items added to an
  // open menu are hooked when a neighbour is drawn.
  void HookSiblingItems(TMenuItem* item);

  // Menu item measuring and drawing (MenuDraw.cpp). The handlers do nothing
  // while inactive and never raise: a paint error must not reach the error
  // report from inside the menu's drawing.
  void MeasureItemHandler(TObject* sender, TCanvas* canvas, int& width, int& height);
  void DrawItemHandler(TObject* sender, TCanvas* canvas, const RECT& rect, TOwnerDrawState state);
  void DrawMenuItem(TMenuItem* item, TCanvas& canvas, bool selected, RECT rect);
  // The glyph size for measuring; the width raised to IconWidth unless the
  // item sits in the host form's menu bar.
  SIZE GetItemGlyphSize(TMenuItem* item, UINT dpi = DesignDpi) const;
  // The highlight of a bar item (raised on high-colour devices), or the
  // simple form for right-to-left, low colour or anything but a menu item.
  void DrawHighlight(TDrawnObject object, TCanvas& canvas, const TXPColors& colors, const TXPMetrics& metrics,
                     bool rightToLeft, TColor color, const RECT& rect);
  void FillIconGradient(TCanvas& canvas, const TXPColors& colors, const TXPMetrics& metrics, const RECT& rect,
                        bool rightToLeft);
  // Overdraws a popup menu window's 3-D border with the flat frame and its
  // shadow, on the screen, in the colours for the window's own DC.
  void DrawFlatMenuFrame(HWND window, bool rightToLeft);
  // A top-level item of the host form's menu bar.
  bool IsFormBarItem(const TMenuItem* item) const;

private:
  bool Designing() const { return (ComponentState() & csDesigning) != 0; }
  void DrawMenuBarOfHost();
  void ApplyToControl(TComponent* component, bool activate, bool invalidate);
  // The tool bar and control bar steps of the walk.
  void ApplyToBars(TComponent* component, bool activate, bool invalidate);
  void ApplyToMenu(TComponent* component, bool activate);
  void HookControl(TControl* control);
  void RestoreHookedControls();
  // Attaches or detaches (the Active switch as applied).
  void ApplyActive(bool value);
  void FollowHighContrast();
  void DropCachedLook();

  // The phases of DrawToolButtonHandler (BarPainters.cpp), over a layout
  // worked out once per drawing.
  struct TToolButtonLayout;
  TToolButtonLayout ToolButtonLayout(TToolBar* toolBar, TToolButton* button, TCustomDrawState state,
                                     TCanvas& canvas, const TXPColors& colors, const TXPMetrics& metrics) const;
  void ApplyFaceRules(TToolButtonLayout& layout, TToolBar* toolBar, TToolButton* button,
                      TCustomDrawState state) const;
  void DrawToolButtonFace(TCanvas& canvas, const TToolButtonLayout& layout) const;
  int DrawToolButtonGlyph(TToolBar* toolBar, TToolButton* button, TCanvas& canvas, const TToolButtonLayout& layout);
  void DrawToolButtonCaption(TToolBar* toolBar, TToolButton* button, TCanvas& canvas,
                             const TToolButtonLayout& layout, int glyphWidth);

  // The phases of DrawMenuItem (MenuDraw.cpp), over a layout worked out
  // once per drawing.
  struct TMenuItemLayout;
  TMenuItemLayout MenuItemLayout(TMenuItem* item, bool selected, const RECT& rect, bool hasGlyph, int glyphWidth,
                                 const TXPMetrics& metrics) const;
  static RECT MenuCheckRect(const TMenuItemLayout& layout);
  static RECT MenuTextRect(const TMenuItemLayout& layout);
  void DrawMenuItemBackground(TCanvas& canvas, const TMenuItemLayout& layout);
  void DrawMenuItemHighlight(TCanvas& canvas, const TMenuItemLayout& layout);
  void DrawCheckIndicator(TMenuItem* item, TCanvas& canvas, const TMenuItemLayout& layout);
  static void DrawMenuSeparator(TCanvas& canvas, const TMenuItemLayout& layout);
  void DrawMenuItemCaption(TMenuItem* item, TCanvas& canvas, const TMenuItemLayout& layout);
  void FrameMenuWindowOf(TCanvas& canvas, const TMenuItemLayout& layout);
  void DrawFlatMenuFrame(HWND window, bool rightToLeft, const TXPColors& colors, const TXPMetrics& metrics);

  BYTE FDimLevel = 30;
  BYTE FGrayLevel = 10;
  TFont FFont;
  bool FFontIsSystemFont = false;  // FFont holds the system menu font (at 96 DPI)
  TColor FColor = clBtnFace;
  TColor FIconBackColor = clBtnFace;
  TColor FMenuBarColor = clBtnFace;
  TColor FSelectColor = clHighlight;
  TColor FSelectBorderColor = clHighlight;
  TColor FSelectFontColor = clMenuText;
  TColor FDisabledColor = clInactiveCaption;
  TColor FSeparatorColor = clBtnFace;
  TColor FCheckedColor = clHighlight;
  int FIconWidth = 24;
  bool FDrawSelect = true;
  bool FUseSystemColors = true;
  bool FOverrideOwnerDraw = false;
  bool FGradient = false;
  bool FFlatMenu = false;
  bool FAutoDetect = false;
  TXPContainers FXPContainers = 0;
  TXPControls FXPControls = 0;
  bool FActive = false;
  bool FStoredActive = false;
  bool FSteppedAside = false;  // high contrast was on at the last look (construction, a settings change)
  TCustomForm* FHostForm = nullptr;
};
