#include "ui/Forms.h"

#include <algorithm>
#include <exception>
#include <objbase.h>

#include "platform/FileIdentity.h"
#include "platform/Platform.h"
#include "ui/DisplayScale.h"
#include "ui/Menus.h"
#include "base/SysUtils.h"
#include "ui/TaskWindows.h"

TApplication* Application = nullptr;

namespace {

// The stored font of a form: 8 points at 96 DPI.
constexpr int StoredFontHeight = -11;

constexpr DWORD ApplicationWindowStyle =
    WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX;  // 0x84CA0000

POINT ScreenCentre() {
  return {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
}

TCustomForm* FormOfWindow(HWND window) {
  return dynamic_cast<TCustomForm*>(TWinControl::FromHandle(window));
}

}  // namespace

// ------------------------------------------------------------- TCustomForm

TCustomForm::TCustomForm(TComponent* owner) : TCustomForm(owner, false) {}

TCustomForm::TCustomForm(TComponent* owner, bool auxiliary) : TWinControl(owner) {
  FVisible = false;
  FColor = clBtnFace;
  FParentFont = false;
  // As stored: 8 points at 96 DPI, 11 pixels; the form scales it.
  FFont.SetHeight(StoredFontHeight);
  FDesign.FontHeight = StoredFontHeight;
  if (Application && !auxiliary) Application->FormCreated(this);
}

TCustomForm::~TCustomForm() {
  if (Application) Application->FormDestroyed(this);
}

void TCustomForm::BeforeDestruction() {
  MarkDestroying();
  if (FHandle && IsWindowVisible(FHandle)) ShowWindow(FHandle, SW_HIDE);
  DoDestroyHandler();
  TWinControl::BeforeDestruction();
}

void TCustomForm::DoDestroyHandler() {
  if (!FCreateHandlerRan || FDestroyHandlerRan) return;
  FDestroyHandlerRan = true;
  try {
    OnDestroy(this);
  } catch (...) {
    HandleCurrentException();
  }
}

void TCustomForm::FinishLoading() {
  // The stored layout is for 96 DPI; the window appears at the screen's.
  ScaleForDpi(HandleAllocated() ? WindowDpi(FHandle) : SystemDpi());
  Loaded();
  for (int i = 0; i < ComponentCount(); ++i) Components(i)->Loaded();
  // When the session ended during the loading (a splash picture), the create
  // handler does not run, and so neither does the destroy handler: nothing
  // was read that would need saving.
  if (!Application || !Application->Terminated()) {
    FCreateHandlerRan = true;
    // An error in the create handler is reported; the rest of it is skipped
    // and the form carries on.
    try {
      OnCreate(this);
    } catch (...) {
      HandleCurrentException();
    }
  }
  FCreated = true;
}

void TCustomForm::SetBorderStyle(TBorderStyle style) {
  if (style == FBorderStyle) return;
  FBorderStyle = style;
  RecreateWnd();
}

void TCustomForm::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  switch (FBorderStyle) {
    case bsNone:
      params.Style = WS_POPUP | WS_CLIPCHILDREN;
      break;
    case bsSingle:
      params.Style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
      break;
    case bsSizeable:
      params.Style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
      break;
  }
  params.ExStyle = WS_EX_CONTROLPARENT;
  params.WndParent = Application ? Application->Handle() : nullptr;
}

void TCustomForm::InitializeWnd() {
  TWinControl::InitializeWnd();
  if (FMenu) FMenu->SetWindow(FHandle);
  // A loaded form whose window came up on a monitor of another DPI than it
  // was scaled for (per-monitor DPI) takes the window's.
  if (FCreated && WindowDpi(FHandle) != FScaledDpi) ScaleForDpi(WindowDpi(FHandle));
  if (FScaledDpi != DesignDpi && FScaledDpi != SystemDpi()) {
    FIcons.Load(FScaledDpi, FHandle);
  } else if (Application && Application->Icon()) {
    SendMessageA(FHandle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(Application->SmallIcon()));
    SendMessageA(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(Application->Icon()));
  }
}

void TCustomForm::ScaleForDpi(UINT dpi) {
  if (dpi == FScaledDpi) return;
  TWinControl::ScaleForDpi(dpi);
}

TFrameSize TCustomForm::FrameForDpi(UINT dpi) const {
  TCreateParams params;
  const_cast<TCustomForm*>(this)->CreateParams(params);  // it only fills params in
  return WindowFrameForDpi(params.Style, params.ExStyle, FMenu != nullptr, dpi);
}

RECT TCustomForm::ScaledDesignBounds(UINT dpi) const {
  const int left = ScaleToDpi(FDesign.Left, dpi), top = ScaleToDpi(FDesign.Top, dpi);
  if (dpi == DesignDpi) return {left, top, left + FDesign.Width, top + FDesign.Height};
  const SIZE size = ScaleWindowSize({FDesign.Width, FDesign.Height}, FrameForDpi(DesignDpi), FrameForDpi(dpi), dpi);
  return {left, top, left + size.cx, top + size.cy};
}

RECT TCustomForm::DesignBoundsFor(const RECT& bounds, UINT dpi) const {
  if (dpi == DesignDpi) return bounds;
  const SIZE size = UnscaleWindowSize({bounds.right - bounds.left, bounds.bottom - bounds.top},
                                      FrameForDpi(DesignDpi), FrameForDpi(dpi), dpi);
  const int left = UnscaleFromDpi(bounds.left, dpi), top = UnscaleFromDpi(bounds.top, dpi);
  return {left, top, left + size.cx, top + size.cy};
}

// The monitor the window would appear on, its work area (the screen less
// the taskbar): the scaled window is moved as little as needed to lie in it.
void TCustomForm::KeepInWorkArea() {
  RECT bounds = BoundsRect();
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoA(MonitorFromRect(&bounds, MONITOR_DEFAULTTONEAREST), &monitor)) return;
  const RECT& work = monitor.rcWork;
  int left = std::min<int>(FLeft, work.right - FWidth), top = std::min<int>(FTop, work.bottom - FHeight);
  left = std::max<int>(left, work.left);
  top = std::max<int>(top, work.top);
  if (left != FLeft || top != FTop) SetBounds(left, top, FWidth, FHeight);
}

void TCustomForm::SetMenu(TMainMenu* menu) {
  if (menu == FMenu) return;
  if (FMenu) {
    FMenu->SetWindow(nullptr);
    FMenu->RemoveFreeNotification(this);
  }
  FMenu = menu;
  if (FMenu) {
    FMenu->FreeNotification(this);
    if (FHandle) FMenu->SetWindow(FHandle);
  }
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component == FMenu) FMenu = nullptr;
}

void TCustomForm::SetWindowState(TWindowState state) {
  if (state == FWindowState) return;
  FWindowState = state;
  if (FHandle && IsWindowVisible(FHandle))
    ShowWindow(FHandle, state == wsMinimized ? SW_MINIMIZE : state == wsMaximized ? SW_MAXIMIZE : SW_RESTORE);
}

void TCustomForm::Show() {
  SetVisible(true);
  if (FHandle) SetForegroundWindow(FHandle);
}

void TCustomForm::ShowWindowNow() {
  HWND window = Handle();
  if (!FShownOnce) {
    FShownOnce = true;
    if (FPosition == poScreenCenter) {
      int left = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - FWidth) / 2);
      int top = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - FHeight) / 2);
      SetBounds(left, top, FWidth, FHeight);
    } else if (FScaledDpi != DesignDpi) {
      KeepInWorkArea();
    }
  }
  if (Application && this == Application->MainForm())
    ShowWindow(Application->Handle(), SW_SHOWNA);  // the taskbar button
  ShowWindow(window, FWindowState == wsMaximized ? SW_SHOWMAXIMIZED
                     : FWindowState == wsMinimized ? SW_SHOWMINIMIZED
                                                   : SW_SHOWNORMAL);
}

TModalResult TCustomForm::ShowModal() {
  if (Visible() || FModal) throw Exception("Cannot make a visible window modal");
  HWND activeBefore = GetActiveWindow();
  FModal = true;
  FModalResult = mrNone;
  struct TModalCount {
    explicit TModalCount(TCustomForm* form) { Application->ModalStarted(form); }
    ~TModalCount() { Application->ModalEnded(); }
  } counted(this);
  {
    TTaskWindowsDisabler disabled(Handle());
    try {
      Show();
      while (FModalResult == mrNone) {
        Application->HandleMessage();
        if (Application->Terminated()) FModalResult = mrCancel;
      }
    } catch (...) {
      FModal = false;
      throw;
    }
  }
  // The other windows are enabled again before this one hides, so the
  // activation goes back to the window that was active before.
  Hide();
  FModal = false;
  if (activeBefore && IsWindow(activeBefore)) SetActiveWindow(activeBefore);
  return FModalResult;
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (!CloseQuery()) return;
  if (FModal) {
    FModalResult = mrCancel;
  } else if (Application && this == Application->MainForm()) {
    Application->Terminate();
  } else {
    Hide();
  }
}

void TCustomForm::BringToFront() {
  if (!FHandle) return;
  if (IsIconic(FHandle)) ShowWindow(FHandle, SW_RESTORE);
  SetForegroundWindow(FHandle);
}

void TCustomForm::CMControlFocused(TMessage& message) {
  auto* control = reinterpret_cast<TWinControl*>(message.LParam);
  if (control == FActiveControl) return;
  TWinControl* previous = FActiveControl;
  FActiveControl = control;
  if (previous) previous->Perform(CM_EXIT);
  Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
}

// Focuses the first control in tab order, looking into containers.
void TCustomForm::SelectFirst() {
  std::vector<TWinControl*> pending = TabList();
  for (size_t i = 0; i < pending.size(); ++i) {
    TWinControl* c = pending[i];
    if (!c->CanFocus()) continue;
    if (c->TabStop()) {
      c->SetFocus();
      return;
    }
    std::vector<TWinControl*> inner = c->TabList();
    pending.insert(pending.begin() + static_cast<long>(i) + 1, inner.begin(), inner.end());
  }
}

void TCustomForm::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_SYSCOMMAND:
      WMSysCommand(message);
      break;
    case WM_CLOSE:
      WMClose(message);
      break;
    case WM_ACTIVATE:
      WMActivate(message);
      break;
    case WM_DPICHANGED:
      WMDpiChanged(message);
      break;
    case CM_CONTROLFOCUSED:
      CMControlFocused(message);
      break;
    // The menu bar's commands, owner-draw requests and access keys.
    case WM_COMMAND:
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
    case WM_MENUCHAR:
      if (!DispatchMenuMessage(message, Dpi())) TWinControl::WndProc(message);
      break;
    // The window destroys the menu it holds: the bar leaves it first, so
    // that only its TMainMenu destroys it.
    case WM_DESTROY:
      if (FMenu) FMenu->SetWindow(nullptr);
      TWinControl::WndProc(message);
      break;
    case CM_VISIBLECHANGED:
      if (message.WParam)
        ShowWindowNow();
      else if (FHandle)
        ShowWindow(FHandle, SW_HIDE);
      break;
    default:
      TWinControl::WndProc(message);
  }
}

void TCustomForm::WMSysCommand(TMessage& message) {
  if ((message.WParam & 0xFFF0) == SC_MINIMIZE && Application && this == Application->MainForm()) {
    Application->Minimize();
    return;
  }
  DefaultHandler(message);
}

void TCustomForm::WMClose(TMessage&) { Close(); }

void TCustomForm::WMActivate(TMessage& message) {
  if (LOWORD(message.WParam) == WA_INACTIVE) {
    DefaultHandler(message);
    return;
  }
  DefaultHandler(message);
  if (FActiveControl && FActiveControl->CanFocus() && FActiveControl->HandleAllocated())
    FActiveControl->SetFocus();
  else
    SelectFirst();
}

// Windows suggests the rectangle that keeps the window's place at the new
// DPI; the controls and fonts go from the stored layout, never from the
// scaled one, so that a window moved back and forth keeps its layout.
void TCustomForm::WMDpiChanged(TMessage& message) {
  const UINT dpi = HIWORD(message.WParam);
  const auto* suggested = reinterpret_cast<const RECT*>(message.LParam);
  if (!dpi || !suggested) return;
  FScaledDpi = dpi;
  if (FHandle)
    SetWindowPos(FHandle, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  ScaleOwnFont(dpi);
  TComponent::ScaleForDpi(dpi);
  if (FHandle) {
    FIcons.Load(dpi, FHandle);
    RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }
  message.Result = 0;
}

// ------------------------------------------------------------ TApplication

std::string ApplicationTitleFromPath(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.resize(dot);
  if (name.empty()) return name;
  CharUpperBuffA(name.data(), 1);
  if (name.size() > 1) CharLowerBuffA(name.data() + 1, static_cast<DWORD>(name.size() - 1));
  return name;
}

std::string ProgramTitle() { return ApplicationTitleFromPath(AnsiText(OwnModulePath(Platform()))); }

namespace {

bool ReportToApplication(const std::string& message) {
  if (!Application) return false;
  Application->ShowException(message);
  return true;
}

}  // namespace

TApplication::TApplication() : TComponent(nullptr) {
  Application = this;
  FPreviousReporter = SetErrorReporter(ReportToApplication);
}

TApplication::~TApplication() {
  DestroyPopupMenuWindow();
  FWindow.Destroy();
  if (FComInitialized) CoUninitialize();
  SetErrorReporter(FPreviousReporter);
  if (Application == this) Application = nullptr;
}

void TApplication::Initialize() {
  FComInitialized = SUCCEEDED(CoInitialize(nullptr));
  if (Handle()) return;

  HINSTANCE instance = GetModuleHandleA(nullptr);
  FTitle = ProgramTitle();
  FIcons.Load(SystemDpi());
  // The class keeps a shared icon: a class may outlive this object.
  HICON classIcon = LoadIconA(instance, "MAINICON");
  if (!classIcon) classIcon = LoadIconA(nullptr, IDI_APPLICATION);

  POINT centre = ScreenCentre();
  TUtilWindowParams params;
  params.ClassName = "TApplication";
  params.Caption = FTitle.c_str();
  params.Style = ApplicationWindowStyle;
  params.X = centre.x;
  params.Y = centre.y;
  params.Icon = classIcon;
  FWindow.Create(WndMethod(this, &TApplication::WndProc), params);
  SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FIcons.Large()));
  SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(FIcons.Small()));
  HMENU menu = GetSystemMenu(Handle(), FALSE);
  DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
  DeleteMenu(menu, SC_SIZE, MF_BYCOMMAND);
  DeleteMenu(menu, SC_MOVE, MF_BYCOMMAND);
}

HWND TApplication::MenuWindow() { return PopupMenuWindow(); }

void TApplication::FormCreated(TCustomForm* form) {
  if (!FMainForm) FMainForm = form;
}

void TApplication::FormDestroyed(TCustomForm* form) {
  if (FMainForm == form) FMainForm = nullptr;
}

void TApplication::HookMainWindow(TWindowHook hook) { FHooks.push_back(hook); }

void TApplication::UnhookMainWindow(TWindowHook hook) {
  auto it = std::find(FHooks.begin(), FHooks.end(), hook);
  if (it != FHooks.end()) FHooks.erase(it);
}

void TApplication::WndProc(TMessage& message) {
  // Observers first, in the order they registered; one may end the handling.
  for (TWindowHook hook : std::vector<TWindowHook>(FHooks))
    if (hook(message)) return;

  switch (message.Msg) {
    case WM_SYSCOMMAND:
      if ((message.WParam & 0xFFF0) == SC_MINIMIZE) {
        Minimize();
        return;
      }
      if ((message.WParam & 0xFFF0) == SC_RESTORE) {
        Restore();
        return;
      }
      break;
    case WM_CLOSE:
      if (FMainForm) FMainForm->Close();
      return;
    case WM_ENDSESSION:
      if (message.WParam) EndSession();
      return;
    case WM_SETFOCUS: {
      // The taskbar button activates this window; pass that on to the form.
      HWND popup = GetLastActivePopup(Handle());
      if (popup && popup != Handle() && IsWindowVisible(popup) && IsWindowEnabled(popup)) {
        SetFocus(popup);
        return;
      }
      break;
    }
  }
  message.Result = DefWindowProcA(Handle(), message.Msg, message.WParam, message.LParam);
}

bool TApplication::MainFormShowable() const {
  return FMainForm && (FMainForm->Visible() || FShowMainForm) && FMainForm->Enabled();
}

void TApplication::Minimize() {
  if (IsIconic(Handle())) return;
  SetActiveWindow(Handle());
  if (MainFormShowable()) {
    // Start the minimise animation from the main form's place.
    RECT r = FMainForm->BoundsRect();
    if (FMainForm->HandleAllocated()) GetWindowRect(FMainForm->Handle(), &r);
    SetWindowPos(Handle(), nullptr, r.left, r.top, r.right - r.left, 0, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(Handle(), SW_SHOWNA);
    DefWindowProcA(Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  } else {
    ShowWindow(Handle(), SW_MINIMIZE);
  }
}

void TApplication::Restore() {
  if (!IsIconic(Handle())) return;
  SetActiveWindow(Handle());
  if (MainFormShowable())
    DefWindowProcA(Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  else
    ShowWindow(Handle(), SW_RESTORE);
  POINT centre = ScreenCentre();
  SetWindowPos(Handle(), nullptr, centre.x, centre.y, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE);
  if (FMainForm && FMainForm->WindowState() == wsMinimized && !FMainForm->Visible()) {
    FMainForm->SetWindowState(wsNormal);
    FMainForm->Show();
  }
  if (TCustomForm* form = FormOfWindow(GetActiveWindow()))
    if (TWinControl* control = form->ActiveControl(); control && control->CanFocus()) control->SetFocus();
}

void TApplication::EndSession() {
  FTerminated = true;
  PostQuitMessage(0);  // ends the nested loops that are running
  if (!FMainForm) return;
  // The main form can go at once unless it is still being created or one of
  // the handlers now running may belong to it; then only its destroy handler
  // runs now, and the form goes when the loops have unwound.
  if (FDispatchDepth == 0 && FMainForm->Created())
    DestroyMainForm();
  else
    FMainForm->DoDestroyHandler();
}

void TApplication::Run() {
  if (!FMainForm) return;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  if (startup.dwFlags & STARTF_USESHOWWINDOW) {
    if (startup.wShowWindow == SW_SHOWMAXIMIZED) FMainForm->SetWindowState(wsMaximized);
    if (startup.wShowWindow == SW_SHOWMINNOACTIVE) FMainForm->SetWindowState(wsMinimized);
  }
  // A close asked for during start-up (an automatic cleaning) ends the
  // program before its window ever shows.
  if (FShowMainForm && !FTerminated && !FQuitRequested) {
    if (FMainForm->WindowState() == wsMinimized)
      Minimize();
    else
      FMainForm->Show();
  }
  while (!FTerminated) HandleMessage();
  DestroyMainForm();
}

void TApplication::DestroyMainForm() {
  TCustomForm* form = FMainForm;
  if (!form) return;
  try {
    form->Free();
  } catch (...) {
    HandleCurrentException();
  }
  FMainForm = nullptr;
}

bool TApplication::ProcessMessage() {
  MSG msg;
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    FTerminated = true;
    return true;
  }
  struct TDepth {
    int& Depth;
    explicit TDepth(int& depth) : Depth(++depth) {}
    ~TDepth() { --Depth; }
  } depth(FDispatchDepth);
  // Dialog navigation (Tab, Enter, access keys) for the program's forms.
  HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  if (root && FormOfWindow(root) && IsDialogMessageA(root, &msg)) return true;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
  return true;
}

void TApplication::HandleMessage() {
  if (!ProcessMessage()) WaitMessage();
}

void TApplication::ProcessMessages() {
  while (ProcessMessage()) {
  }
}

void TApplication::ShowException(const std::string& message) {
  if (OnException) {
    OnException(message);
    return;
  }
  Platform().MessageBoxA(Handle(), ErrorReportText(message).c_str(), FTitle.c_str(), MB_OK | MB_ICONERROR);
}

TCustomForm* GetParentForm(const TControl* control) {
  const TControl* top = control;
  while (top->Parent()) top = top->Parent();
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(top));
}
