// Controls: the windowless TGraphicControl and the windowed TWinControl,
// each with a replaceable WindowProc and the library's CM_ notifications.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "ui/Classes.h"
#include "ui/DisplayScale.h"
#include "ui/Graphics.h"

// The library's own notifications, delivered through WindowProc.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_COLORCHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CTL3DCHANGED = CM_BASE + 16;
constexpr UINT CM_PARENTCTL3DCHANGED = CM_BASE + 17;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 22;
constexpr UINT CM_ENTER = CM_BASE + 26;
constexpr UINT CM_EXIT = CM_BASE + 27;
constexpr UINT CM_INVALIDATE = CM_BASE + 52;
// Sent to the top of a control's parent chain (its form) when the control
// (LParam) received the keyboard focus.
constexpr UINT CM_CONTROLFOCUSED = CM_BASE + 64;

// Notifications a parent reflects back to the child that sent them.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;

enum TCursor { crDefault, crHandPoint, crHourGlass };

// The cursor over all of the program's windows: crDefault lets each control
// show its own; anything else (the wait cursor of a long operation) wins
// over every control. Set at once, also without a mouse move.
TCursor ScreenCursor();
void SetScreenCursor(TCursor cursor);

// Shows the wait cursor while it lives; the cursor before it comes back on
// every path out of the scope.
class TWaitCursor {
public:
  TWaitCursor() : FPrevious(ScreenCursor()) { SetScreenCursor(crHourGlass); }
  ~TWaitCursor() { SetScreenCursor(FPrevious); }
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;

private:
  TCursor FPrevious;
};
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

// Border of an edit (bsNone, bsSingle) or of a form (all three).
enum TBorderStyle { bsNone, bsSingle, bsSizeable };

class TWinControl;

class TControl : public TComponent {
public:
  explicit TControl(TComponent* owner);
  ~TControl() override;
  const char* ClassName() const override { return "TControl"; }

  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* parent);

  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  virtual void SetBounds(int left, int top, int width, int height);
  RECT BoundsRect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
  virtual RECT ClientRect() const { return {0, 0, FWidth, FHeight}; }

  // Caption and Text are the same text; setting it sends CM_TEXTCHANGED.
  virtual std::string Text() const { return FText; }
  void SetText(const std::string& text);
  std::string Caption() const { return Text(); }
  void SetCaption(const std::string& text) { SetText(text); }

  bool Visible() const { return FVisible; }
  void SetVisible(bool visible);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);
  TColor Color() const { return FColor; }
  // Setting a colour ends ParentColor.
  void SetColor(TColor color);
  // While set, the control's colour follows its parent's.
  bool ParentColor() const { return FParentColor; }
  TBiDiMode BiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode mode) { FBiDiMode = mode; }
  TFont& Font() { return FFont; }
  const TFont& Font() const { return FFont; }
  void SetFont(const TFont& font);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor cursor) { FCursor = cursor; }

  // The DPI the bounds and the font are scaled for; DesignDpi (96) while
  // they are as stored.
  UINT ScaledDpi() const { return FScaledDpi; }
  // Scales the stored 96-DPI bounds and font height for dpi, always from
  // the stored values (so going back and forth never drifts), then the
  // owned components.
  void ScaleForDpi(UINT dpi) override;

  TNotifyEvent OnClick;

  // The replaceable window procedure; every message of the control passes it.
  TWndMethod WindowProc;
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

  virtual void Invalidate();
  virtual void Update() {}
  void Repaint();
  virtual void Click();
  // True when the control is visible and every parent up to the form is too.
  bool Showing() const;

  // The default window procedure: a dispatch on the message number.
  virtual void WndProc(TMessage& message);

protected:
  friend class TWinControl;
  // The bounds and font height as stored, at 96 DPI. SetBounds and SetFont
  // keep them: values given while scaled for another DPI count back.
  struct TDesignLayout {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    int FontHeight = 0;
  };
  // The stored bounds at dpi, and the stored bounds that give these at dpi.
  virtual RECT ScaledDesignBounds(UINT dpi) const;
  virtual RECT DesignBoundsFor(const RECT& bounds, UINT dpi) const;
  void KeepDesignBounds(int left, int top, int width, int height);
  // Bounds and own font for dpi, without the owned components.
  void ScaleOwnLayout(UINT dpi);
  void ScaleOwnFont(UINT dpi);
  // Bounds the control works out itself (an auto-sized label, a tool bar's
  // button): the stored ones stay as they are.
  void SetComputedBounds(int left, int top, int width, int height);
  virtual void DefaultHandler(TMessage& message);
  virtual void TextChanged() {}
  void ParentFontChanged();
  void ParentColorChanged();

  TWinControl* FParent = nullptr;
  int FLeft = 0;
  int FTop = 0;
  int FWidth = 0;
  int FHeight = 0;
  std::string FText;
  bool FVisible = true;
  bool FEnabled = true;
  TColor FColor = clBtnFace;
  bool FParentColor = false;
  TBiDiMode FBiDiMode = bdLeftToRight;
  TFont FFont;
  bool FParentFont = true;
  TCursor FCursor = crDefault;
  bool FMouseInControl = false;
  bool FClicking = false;
  TDesignLayout FDesign;
  UINT FScaledDpi = 96;
  bool FComputingBounds = false;  // SetComputedBounds is running
};

// A control without a window of its own; its parent paints it and hands it
// the mouse messages that fall on it.
class TGraphicControl : public TControl {
public:
  explicit TGraphicControl(TComponent* owner);
  const char* ClassName() const override { return "TGraphicControl"; }

  void Invalidate() override;
  void Update() override;
  // Paints the control on a DC whose origin is the control's top-left corner.
  // The parent asks for it with WM_PAINT (WParam = that DC) through WindowProc.
  virtual void Paint(HDC dc) = 0;
  void WndProc(TMessage& message) override;
};

// The parameters a windowed control is created with.
struct TCreateParams {
  std::string Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
  HWND WndParent = nullptr;
  // System class this control's class is built over (empty: none).
  std::string BaseClass;
  UINT ClassStyle = CS_DBLCLKS;
};

class TWinControl : public TControl {
public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;
  const char* ClassName() const override { return "TWinControl"; }

  HWND Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded() { Handle(); }
  // Destroys the window and creates it anew with the current properties.
  void RecreateWnd();

  int ControlCount() const { return static_cast<int>(FControls.size()); }
  TControl* Controls(int index) const { return FControls[index]; }
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  TControl* ControlAtPos(POINT point) const;

  void SetTabOrder(int order);
  bool TabStop() const { return FTabStop; }
  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool value);
  // Windowed children sorted by tab order.
  std::vector<TWinControl*> TabList() const;

  void SetBounds(int left, int top, int width, int height) override;
  std::string Text() const override;
  RECT ClientRect() const override;
  void Invalidate() override;
  void Update() override;
  bool Focused() const;
  virtual bool CanFocus() const;
  virtual void SetFocus();

  void WndProc(TMessage& message) override;
  // Sends a message to every child control until one sets a result.
  void Broadcast(TMessage& message);

  // The window class name is the control's class name.
  static LRESULT CALLBACK StdWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  static TWinControl* FromHandle(HWND window);

protected:
  virtual void CreateParams(TCreateParams& params);
  virtual void CreateWnd();
  virtual void CreateHandle();
  virtual void DestroyHandle();
  // Runs after the window exists: font, text, children, z-order.
  virtual void InitializeWnd();
  void DefaultHandler(TMessage& message) override;
  void BeforeDestruction() override;
  void TextChanged() override;
  void UpdateTabOrderZ();
  void PaintControls(HDC dc);
  bool DispatchToGraphicChild(TMessage& message);
  void TrackMouse(TMessage& message);
  HBRUSH ColorBrush();

  void WMPaint(TMessage& message);
  void WMEraseBkgnd(TMessage& message);
  void WMReflected(TMessage& message, HWND child);
  void WMSetFocus(TMessage& message);
  void WMSetCursor(TMessage& message);
  void WMDrawItem(TMessage& message);
  void CNCtlColor(TMessage& message);
  void WMMouseLeave(TMessage& message);
  void WMWindowPosChanged(TMessage& message);
  void CMFontChanged(TMessage& message);
  void WMDestroy(TMessage& message);
  void WMNCDestroy(TMessage& message);
  void CMFocusChanged(TMessage& message);

  HWND FHandle = nullptr;
  WNDPROC FDefWndProc = nullptr;
  WORD FControlId = 0;
  std::vector<TControl*> FControls;
  int FTabOrder = -1;
  bool FTabStop = false;
  bool FCtl3D = true;
  TGdiObject FBrush;
  COLORREF FBrushColor = CLR_INVALID;
  TControl* FMouseControl = nullptr;
  bool FTrackingLeave = false;
};

// The form (or dialog) that a control lives on.
// Class-kind test: "is, including descendants".
template <class T>
bool Is(const TObject* object) {
  return dynamic_cast<const T*>(object) != nullptr;
}
