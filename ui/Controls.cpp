#include "ui/Controls.h"

#include <algorithm>
#include <map>
#include <windowsx.h>

#include "ui/WindowLink.h"
#include "base/SysUtils.h"

namespace {

// Base window procedures of the classes this module registered, by class name.
std::map<std::string, WNDPROC>& RegisteredClasses() {
  static std::map<std::string, WNDPROC> classes;
  return classes;
}

// Registers the control's class under its own name, over the system class
// when it has one, and returns the procedure to pass unhandled messages to.
WNDPROC RegisterControlClass(const char* name, const std::string& baseClass, UINT classStyle) {
  auto& classes = RegisteredClasses();
  auto found = classes.find(name);
  if (found != classes.end()) return found->second;

  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  WNDPROC base = DefWindowProcA;
  if (!baseClass.empty()) {
    if (!GetClassInfoExA(nullptr, baseClass.c_str(), &wc))
      throw EOutOfResources("Cannot find window class " + baseClass);
    base = wc.lpfnWndProc;
    wc.cbSize = sizeof wc;
  } else {
    wc.style = classStyle;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  }
  wc.lpfnWndProc = TWinControl::StdWndProc;
  wc.hInstance = instance;
  wc.lpszClassName = name;
  wc.style &= ~CS_GLOBALCLASS;
  if (!RegisterClassExA(&wc)) throw EOutOfResources(std::string("Cannot register window class ") + name);
  classes[name] = base;
  return base;
}

WNDPROC BaseProcOf(HWND window) {
  char name[256];
  if (GetClassNameA(window, name, sizeof name)) {
    auto found = RegisteredClasses().find(name);
    if (found != RegisteredClasses().end()) return found->second;
  }
  return DefWindowProcA;
}

// BeginPaint / EndPaint for one WM_PAINT.
class TPaintDC {
public:
  explicit TPaintDC(HWND window) : FWindow(window), FDC(BeginPaint(window, &FPaint)) {}
  ~TPaintDC() { EndPaint(FWindow, &FPaint); }
  TPaintDC(const TPaintDC&) = delete;
  TPaintDC& operator=(const TPaintDC&) = delete;
  HDC Get() const { return FDC; }

private:
  HWND FWindow;
  PAINTSTRUCT FPaint{};
  HDC FDC;
};

bool IsNotification(UINT msg) { return msg >= CM_BASE && msg < CN_BASE + 0x400; }

}  // namespace

// ---------------------------------------------------------------- TControl

TControl::TControl(TComponent* owner) : TComponent(owner) {
  WindowProc = WndMethod(this, &TControl::WndProc);
}

TControl::~TControl() {
  if (FParent) FParent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == FParent) return;
  if (FParent) FParent->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  KeepDesignBounds(left, top, width, height);
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
}

RECT TControl::ScaledDesignBounds(UINT dpi) const {
  const int left = ScaleToDpi(FDesign.Left, dpi), top = ScaleToDpi(FDesign.Top, dpi);
  return {left, top, left + ScaleToDpi(FDesign.Width, dpi), top + ScaleToDpi(FDesign.Height, dpi)};
}

RECT TControl::DesignBoundsFor(const RECT& bounds, UINT dpi) const {
  const int left = UnscaleFromDpi(bounds.left, dpi), top = UnscaleFromDpi(bounds.top, dpi);
  return {left, top, left + UnscaleFromDpi(bounds.right - bounds.left, dpi),
          top + UnscaleFromDpi(bounds.bottom - bounds.top, dpi)};
}

// Bounds given while scaled for another DPI are counted back to 96 DPI,
// unless they are the scaled stored ones, which stay exact.
void TControl::KeepDesignBounds(int left, int top, int width, int height) {
  if (FComputingBounds) return;
  const RECT given{left, top, left + width, top + height};
  const RECT scaled = ScaledDesignBounds(FScaledDpi);
  if (EqualRect(&scaled, &given)) return;
  const RECT design = DesignBoundsFor(given, FScaledDpi);
  FDesign.Left = design.left;
  FDesign.Top = design.top;
  FDesign.Width = design.right - design.left;
  FDesign.Height = design.bottom - design.top;
}

void TControl::SetComputedBounds(int left, int top, int width, int height) {
  FComputingBounds = true;
  SetBounds(left, top, width, height);
  FComputingBounds = false;
}

void TControl::ScaleOwnLayout(UINT dpi) {
  FScaledDpi = dpi;
  const RECT r = ScaledDesignBounds(dpi);
  SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
  ScaleOwnFont(dpi);
}

// A control that takes its parent's font gets it from there.
void TControl::ScaleOwnFont(UINT dpi) {
  if (FParentFont || FFont.Height() == ScaleFontHeight(FDesign.FontHeight, dpi)) return;
  FFont.SetHeight(ScaleFontHeight(FDesign.FontHeight, dpi));
  Perform(CM_FONTCHANGED);
}

void TControl::ScaleForDpi(UINT dpi) {
  ScaleOwnLayout(dpi);
  TComponent::ScaleForDpi(dpi);
}

void TControl::SetText(const std::string& text) {
  if (text == Text()) return;
  FText = text;
  TextChanged();
  Perform(CM_TEXTCHANGED);
}

void TControl::SetVisible(bool visible) {
  if (visible == FVisible) return;
  FVisible = visible;
  Perform(CM_VISIBLECHANGED, visible);
  Invalidate();
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  if (auto* self = dynamic_cast<TWinControl*>(this); self && self->HandleAllocated())
    EnableWindow(self->Handle(), enabled);
  Perform(CM_ENABLEDCHANGED);
  Invalidate();
}

void TControl::SetColor(TColor color) {
  FParentColor = false;
  if (color == FColor) return;
  FColor = color;
  Perform(CM_COLORCHANGED);
  Invalidate();
}

void TControl::ParentColorChanged() {
  if (!FParentColor || !FParent || FParent->Color() == FColor) return;
  FColor = FParent->Color();
  Perform(CM_COLORCHANGED);
  Invalidate();
}

void TControl::SetFont(const TFont& font) {
  FFont = font;
  FDesign.FontHeight = UnscaleFontHeight(font.Height(), FScaledDpi);
  FParentFont = false;
  Perform(CM_FONTCHANGED);
}

void TControl::ParentFontChanged() {
  if (FParentFont && FParent) {
    FFont = FParent->Font();
    Perform(CM_FONTCHANGED);
  }
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage message{msg, wParam, lParam, 0};
  WindowProc(message);
  return message.Result;
}

void TControl::Invalidate() {}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::Click() { OnClick(this); }

bool TControl::Showing() const {
  for (const TControl* c = this; c; c = c->FParent)
    if (!c->FVisible) return false;
  return true;
}

void TControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case CM_MOUSEENTER:
      FMouseInControl = true;
      break;
    case CM_MOUSELEAVE:
      FMouseInControl = false;
      break;
    case CM_PARENTFONTCHANGED:
      ParentFontChanged();
      break;
    case CM_PARENTCOLORCHANGED:
      ParentColorChanged();
      break;
    default:
      DefaultHandler(message);
  }
}

void TControl::DefaultHandler(TMessage&) {}

// --------------------------------------------------------- TGraphicControl

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}

void TGraphicControl::Invalidate() {
  if (FParent && FParent->HandleAllocated()) {
    RECT r = BoundsRect();
    InvalidateRect(FParent->Handle(), &r, TRUE);
  }
}

void TGraphicControl::Update() {
  if (FParent) FParent->Update();
}

void TGraphicControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_PAINT:
      Paint(reinterpret_cast<HDC>(message.WParam));
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      FClicking = true;
      break;
    case WM_LBUTTONUP: {
      bool wasClicking = FClicking;
      FClicking = false;
      POINT p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
      RECT r = ClientRect();
      if (wasClicking && PtInRect(&r, p)) Click();
      break;
    }
    default:
      TControl::WndProc(message);
  }
}

// ------------------------------------------------------------ TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  if (FHandle) {
    // Deleted without Free: cut the link first, the object is half gone.
    SetWindowLongPtrA(FHandle, GWLP_USERDATA, 0);
    SetWindowLongPtrA(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FDefWndProc));
    DestroyWindow(FHandle);
    FHandle = nullptr;
  }
  for (TControl* child : FControls) child->FParent = nullptr;
  if (FControlId) ReleaseCommandId(FControlId);
  FControls.clear();
}

void TWinControl::BeforeDestruction() {
  TControl::BeforeDestruction();
  DestroyHandle();
}

TWinControl* TWinControl::FromHandle(HWND window) {
  if (!window) return nullptr;
  char name[256];
  if (!GetClassNameA(window, name, sizeof name)) return nullptr;
  if (RegisteredClasses().find(name) == RegisteredClasses().end()) return nullptr;
  return reinterpret_cast<TWinControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

namespace {

// A window of a library class whose object is gone or was never given.
LRESULT CALLBACK UnownedControlProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(BaseProcOf(window), window, msg, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK TWinControl::StdWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  static const TWindowLink link{
      [](void* object, HWND handle) { static_cast<TWinControl*>(object)->FHandle = handle; },
      [](void* object, HWND handle) {
        auto* self = static_cast<TWinControl*>(object);
        if (self->FHandle == handle) self->FHandle = nullptr;
      },
      [](void* object, TMessage& message) { static_cast<TWinControl*>(object)->WindowProc(message); },
      UnownedControlProc};
  return LinkedWindowProc(link, window, msg, wParam, lParam);
}

HWND TWinControl::Handle() {
  if (!FHandle) CreateHandle();
  return FHandle;
}

void TWinControl::CreateParams(TCreateParams& params) {
  params.Caption = FText;
  params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (FVisible) params.Style |= WS_VISIBLE;
  if (!FEnabled) params.Style |= WS_DISABLED;
  if (FTabStop) params.Style |= WS_TABSTOP;
  params.X = FLeft;
  params.Y = FTop;
  params.Width = FWidth;
  params.Height = FHeight;
  if (FParent) params.WndParent = FParent->Handle();
}

void TWinControl::CreateHandle() {
  if (FHandle) return;
  if (FParent) FParent->HandleNeeded();
  CreateWnd();
  InitializeWnd();
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  FDefWndProc = RegisterControlClass(ClassName(), params.BaseClass, params.ClassStyle);
  // A child keeps its identifier when its window is re-created.
  if ((params.Style & WS_CHILD) && !FControlId) FControlId = AllocateCommandId();
  HMENU id = (params.Style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(FControlId)) : nullptr;
  HWND window = CreateWindowExA(params.ExStyle, ClassName(), params.Caption.c_str(), params.Style,
                                params.X, params.Y, params.Width, params.Height, params.WndParent, id,
                                GetModuleHandleA(nullptr), this);
  if (!window) throw EOutOfResources(std::string("Error creating window of class ") + ClassName());
  FHandle = window;
}

void TWinControl::InitializeWnd() {
  SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Handle()), FALSE);
  for (TControl* child : FControls)
    if (auto* windowed = dynamic_cast<TWinControl*>(child)) windowed->CreateHandle();
  UpdateTabOrderZ();
}

void TWinControl::DestroyHandle() {
  if (FHandle) DestroyWindow(FHandle);
}

// The new window takes the old one's place in the tab order and the focus.
void TWinControl::RecreateWnd() {
  if (!FHandle) return;
  bool focused = GetFocus() == FHandle;
  DestroyHandle();
  CreateHandle();
  if (FParent && FParent->FHandle) FParent->UpdateTabOrderZ();
  if (focused && FHandle) ::SetFocus(FHandle);
}

void TWinControl::InsertControl(TControl* control) {
  control->FParent = this;
  FControls.push_back(control);
  control->ParentFontChanged();
  control->ParentColorChanged();
  if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
    if (windowed->FTabOrder < 0) windowed->FTabOrder = static_cast<int>(TabList().size()) - 1;
    if (FHandle) windowed->CreateHandle();
  }
  if (FHandle) UpdateTabOrderZ();
  control->Invalidate();
}

void TWinControl::RemoveControl(TControl* control) {
  if (control == FMouseControl) FMouseControl = nullptr;
  FControls.erase(std::remove(FControls.begin(), FControls.end(), control), FControls.end());
  control->FParent = nullptr;
}

TControl* TWinControl::ControlAtPos(POINT point) const {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    TControl* c = *it;
    if (dynamic_cast<TWinControl*>(c) || !c->Visible() || !c->Enabled()) continue;
    RECT r = c->BoundsRect();
    if (PtInRect(&r, point)) return c;
  }
  return nullptr;
}

std::vector<TWinControl*> TWinControl::TabList() const {
  std::vector<TWinControl*> list;
  for (TControl* c : FControls)
    if (auto* windowed = dynamic_cast<TWinControl*>(c)) list.push_back(windowed);
  std::stable_sort(list.begin(), list.end(),
                   [](TWinControl* a, TWinControl* b) { return a->FTabOrder < b->FTabOrder; });
  return list;
}

void TWinControl::SetTabOrder(int order) {
  FTabOrder = order;
  if (FParent && FParent->FHandle) FParent->UpdateTabOrderZ();
}

// Dialog navigation follows the z-order of sibling windows, so the windows
// are stacked in tab order.
void TWinControl::UpdateTabOrderZ() {
  HWND previous = HWND_TOP;
  for (TWinControl* c : TabList()) {
    if (!c->FHandle) continue;
    SetWindowPos(c->FHandle, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = c->FHandle;
  }
}

void TWinControl::SetCtl3D(bool value) {
  if (value == FCtl3D) return;
  FCtl3D = value;
  Perform(CM_CTL3DCHANGED);
  RecreateWnd();
  for (TControl* c : std::vector<TControl*>(FControls)) c->Perform(CM_PARENTCTL3DCHANGED);
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  TControl::SetBounds(left, top, width, height);
  if (FHandle) SetWindowPos(FHandle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string TWinControl::Text() const {
  if (!FHandle) return FText;
  int length = GetWindowTextLengthA(FHandle);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  length = GetWindowTextA(FHandle, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(length, 0)));
  return text;
}

void TWinControl::TextChanged() {
  if (FHandle) SetWindowTextA(FHandle, FText.c_str());
}

RECT TWinControl::ClientRect() const {
  RECT r{0, 0, FWidth, FHeight};
  if (FHandle) GetClientRect(FHandle, &r);
  return r;
}

void TWinControl::Invalidate() {
  Perform(CM_INVALIDATE);
  if (FHandle) InvalidateRect(FHandle, nullptr, TRUE);
}

void TWinControl::Update() {
  if (FHandle) UpdateWindow(FHandle);
}

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

void TWinControl::SetFocus() {
  if (HWND window = Handle()) ::SetFocus(window);
}

void TWinControl::Broadcast(TMessage& message) {
  for (TControl* c : std::vector<TControl*>(FControls)) {
    c->WindowProc(message);
    if (message.Result != 0) return;
  }
}

HBRUSH TWinControl::ColorBrush() {
  COLORREF rgb = ColorToRGB(FColor);
  if (rgb != FBrushColor || !FBrush.Get()) {
    FBrush.Reset(CreateSolidBrush(rgb));
    FBrushColor = rgb;
  }
  return static_cast<HBRUSH>(FBrush.Get());
}

void TWinControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_PAINT:
      WMPaint(message);
      break;
    case WM_ERASEBKGND:
      WMEraseBkgnd(message);
      break;
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
      WMReflected(message, reinterpret_cast<HWND>(message.LParam));
      break;
    case WM_NOTIFY:
      WMReflected(message, reinterpret_cast<NMHDR*>(message.LParam)->hwndFrom);
      break;
    case WM_DRAWITEM:
      WMDrawItem(message);
      break;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORSTATIC:
      CNCtlColor(message);
      break;
    case WM_SETFOCUS:
      WMSetFocus(message);
      break;
    case WM_SETCURSOR:
      WMSetCursor(message);
      break;
    case WM_MOUSEMOVE:
      TrackMouse(message);
      if (!DispatchToGraphicChild(message)) DefaultHandler(message);
      break;
    case WM_MOUSELEAVE:
      WMMouseLeave(message);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      if (!DispatchToGraphicChild(message)) DefaultHandler(message);
      break;
    case WM_WINDOWPOSCHANGED:
      WMWindowPosChanged(message);
      break;
    case WM_DESTROY:
      WMDestroy(message);
      break;
    case WM_NCDESTROY:
      WMNCDestroy(message);
      break;
    case CM_FOCUSCHANGED:
      CMFocusChanged(message);
      break;
    case CM_FONTCHANGED:
      CMFontChanged(message);
      break;
    case CM_COLORCHANGED:
      for (TControl* c : std::vector<TControl*>(FControls)) c->Perform(CM_PARENTCOLORCHANGED);
      break;
    default:
      TControl::WndProc(message);
  }
}

// A menu item's drawing request belongs to the menu, not to a child.
void TWinControl::WMDrawItem(TMessage& message) {
  auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam);
  WMReflected(message, item->CtlType == ODT_MENU ? nullptr : item->hwndItem);
}

// The control's own colours for the system control it wraps.
void TWinControl::CNCtlColor(TMessage& message) {
  HDC dc = reinterpret_cast<HDC>(message.WParam);
  SetTextColor(dc, ColorToRGB(FFont.Color()));
  SetBkColor(dc, ColorToRGB(FColor));
  message.Result = reinterpret_cast<LRESULT>(ColorBrush());
}

void TWinControl::WMMouseLeave(TMessage& message) {
  FTrackingLeave = false;
  if (FMouseControl) {
    FMouseControl->Perform(CM_MOUSELEAVE);
    FMouseControl = nullptr;
  }
  Perform(CM_MOUSELEAVE);
  DefaultHandler(message);
}

// The stored bounds follow the window, however it was moved or sized.
void TWinControl::WMWindowPosChanged(TMessage& message) {
  auto* pos = reinterpret_cast<WINDOWPOS*>(message.LParam);
  if (!(pos->flags & SWP_NOMOVE)) {
    FLeft = pos->x;
    FTop = pos->y;
  }
  if (!(pos->flags & SWP_NOSIZE)) {
    FWidth = pos->cx;
    FHeight = pos->cy;
  }
  DefaultHandler(message);
}

void TWinControl::CMFontChanged(TMessage&) {
  if (FHandle) SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Handle()), TRUE);
  for (TControl* c : FControls) c->Perform(CM_PARENTFONTCHANGED);
}

void TWinControl::DefaultHandler(TMessage& message) {
  if (!FHandle || IsNotification(message.Msg)) return;
  message.Result = CallWindowProcA(FDefWndProc, FHandle, message.Msg, message.WParam, message.LParam);
}

void TWinControl::WMPaint(TMessage& message) {
  if (FDefWndProc != DefWindowProcA) {
    DefaultHandler(message);
    return;
  }
  TPaintDC paint(FHandle);
  PaintControls(paint.Get());
}

void TWinControl::WMEraseBkgnd(TMessage& message) {
  if (FDefWndProc != DefWindowProcA) {
    DefaultHandler(message);
    return;
  }
  RECT r;
  GetClientRect(FHandle, &r);
  FillRect(reinterpret_cast<HDC>(message.WParam), &r, ColorBrush());
  message.Result = 1;
}

void TWinControl::PaintControls(HDC dc) {
  for (TControl* c : FControls) {
    auto* graphic = dynamic_cast<TGraphicControl*>(c);
    if (!graphic || !graphic->Visible()) continue;
    TSavedDC saved(dc);
    SetViewportOrgEx(dc, graphic->Left(), graphic->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, graphic->Width(), graphic->Height());
    graphic->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc));
  }
}

// A child's notification comes back to the child itself, so each control
// handles its own clicks, colours and drawing.
void TWinControl::WMReflected(TMessage& message, HWND child) {
  TWinControl* target = child && child != FHandle ? FromHandle(child) : nullptr;
  if (target) {
    message.Result = target->Perform(CN_BASE + message.Msg, message.WParam, message.LParam);
    return;
  }
  DefaultHandler(message);
}

void TWinControl::WMSetFocus(TMessage& message) {
  DefaultHandler(message);
  TWinControl* top = this;
  while (top->Parent()) top = top->Parent();
  if (top != this) top->Perform(CM_CONTROLFOCUSED, 0, reinterpret_cast<LPARAM>(this));
}

namespace {

TCursor CurrentScreenCursor = crDefault;

HCURSOR SystemCursor(TCursor cursor) {
  return LoadCursorA(nullptr, cursor == crHourGlass ? IDC_WAIT : cursor == crHandPoint ? IDC_HAND : IDC_ARROW);
}

}  // namespace

TCursor ScreenCursor() { return CurrentScreenCursor; }

void SetScreenCursor(TCursor cursor) {
  if (cursor == CurrentScreenCursor) return;
  CurrentScreenCursor = cursor;
  if (cursor != crDefault) {
    ::SetCursor(SystemCursor(cursor));
    return;
  }
  // Moving the cursor onto its own place makes the window under it choose
  // its cursor again (WM_SETCURSOR).
  POINT p;
  if (GetCursorPos(&p)) SetCursorPos(p.x, p.y);
}

void TWinControl::WMSetCursor(TMessage& message) {
  if (reinterpret_cast<HWND>(message.WParam) == FHandle && LOWORD(message.LParam) == HTCLIENT) {
    if (CurrentScreenCursor != crDefault) {
      ::SetCursor(SystemCursor(CurrentScreenCursor));
      message.Result = TRUE;
      return;
    }
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(FHandle, &p);
    TControl* c = ControlAtPos(p);
    TCursor cursor = c ? c->Cursor() : FCursor;
    if (cursor == crHandPoint) {
      ::SetCursor(SystemCursor(crHandPoint));
      message.Result = TRUE;
      return;
    }
  }
  DefaultHandler(message);
}

// The text lives on in the object while there is no window (re-creation).
void TWinControl::WMDestroy(TMessage& message) {
  if (!Destroying()) FText = Text();
  DefaultHandler(message);
}

void TWinControl::WMNCDestroy(TMessage& message) {
  DefaultHandler(message);
  FHandle = nullptr;
  FMouseInControl = false;
  FTrackingLeave = false;
  FMouseControl = nullptr;
}

void TWinControl::CMFocusChanged(TMessage& message) { Broadcast(message); }

void TWinControl::TrackMouse(TMessage& message) {
  if (!FMouseInControl) {
    Perform(CM_MOUSEENTER);
    FMouseInControl = true;
  }
  if (!FTrackingLeave) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, FHandle, 0};
    FTrackingLeave = TrackMouseEvent(&track) != FALSE;
  }
  POINT p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
  TControl* under = ControlAtPos(p);
  if (under != FMouseControl) {
    if (FMouseControl) FMouseControl->Perform(CM_MOUSELEAVE);
    FMouseControl = under;
    if (under) under->Perform(CM_MOUSEENTER);
  }
}

bool TWinControl::DispatchToGraphicChild(TMessage& message) {
  POINT p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
  TControl* target = ControlAtPos(p);
  if (GetCapture() == FHandle && FMouseControl && message.Msg == WM_LBUTTONUP) target = FMouseControl;
  if (!target) return false;
  if (message.Msg == WM_LBUTTONDOWN) SetCapture(FHandle);
  if (message.Msg == WM_LBUTTONUP && GetCapture() == FHandle) ReleaseCapture();
  message.Result = target->Perform(message.Msg, message.WParam,
                                   MAKELPARAM(p.x - target->Left(), p.y - target->Top()));
  return true;
}

