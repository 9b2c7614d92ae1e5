// Forms, modal display and the application object with its hidden
// Application window, message loop and error report.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "ui/Controls.h"
#include "ui/ErrorReport.h"
#include "ui/ProgramIcon.h"
#include "ui/UtilWindow.h"

class TMainMenu;

enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TPosition { poDesigned, poScreenCenter };

// Asked before a form closes; a handler that clears canClose keeps it open.
using TCloseQueryCode = void (TObject::*)(TObject* sender, bool& canClose);
struct TCloseQueryEvent {
  TObject* Data = nullptr;
  TCloseQueryCode Code = nullptr;

  void operator()(TObject* sender, bool& canClose) const {
    if (Code) (Data->*Code)(sender, canClose);
  }
  bool operator==(const TCloseQueryEvent&) const = default;
};

template <class T>
TCloseQueryEvent CloseQueryEvent(T* object, void (T::*code)(TObject*, bool&)) {
  return {object, static_cast<TCloseQueryCode>(code)};
}

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;

class TCustomForm : public TWinControl {
public:
  explicit TCustomForm(TComponent* owner);
  // An auxiliary form (a splash picture, ...) never becomes the main form.
  TCustomForm(TComponent* owner, bool auxiliary);
  ~TCustomForm() override;
  const char* ClassName() const override { return "TCustomForm"; }

  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition position) { FPosition = position; }
  TWindowState WindowState() const { return FWindowState; }
  void SetWindowState(TWindowState state);
  // bsSizeable: an ordinary top-level window; bsSingle: not sizeable;
  // bsNone: a popup without border and caption.
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle style);
  // True once construction with its create handler is complete.
  bool Created() const { return FCreated; }
  // Runs the destroy handler unless it ran already or the create handler
  // never did; destruction runs it the same way.
  void DoDestroyHandler();

  void Show();
  void Hide() { SetVisible(false); }
  TModalResult ShowModal();
  // Ends a modal display with mrCancel; closing the main form ends the
  // program. Nothing happens when OnCloseQuery refuses.
  void Close();
  bool CloseQuery();
  // Brings the window to the user: restored if minimised, then activated.
  void BringToFront();
  bool Modal() const { return FModal; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult result) { FModalResult = result; }

  // The menu bar; the form's window shows it from its creation on.
  TMainMenu* Menu() const { return FMenu; }
  void SetMenu(TMainMenu* menu);
  void Notification(TComponent* component, TOperation operation) override;

  TWinControl* ActiveControl() const { return FActiveControl; }

  // The DPI the form's layout is shown at (its ScaledDpi); what its
  // controls and their painters draw for.
  UINT Dpi() const { return FScaledDpi; }
  // The stored layout for dpi (the form, every control and component),
  // done by the load completion and by a move to a monitor of another DPI.
  void ScaleForDpi(UINT dpi) override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TCloseQueryEvent OnCloseQuery;

  void WndProc(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void InitializeWnd() override;
  void BeforeDestruction() override;
  // Ends the loading state: each owned component's load completion in the
  // stored order, then the create handler.
  void FinishLoading();
  void ShowWindowNow();
  void SelectFirst();
  // The outer size counts from the client area: the frame differs by DPI.
  RECT ScaledDesignBounds(UINT dpi) const override;
  RECT DesignBoundsFor(const RECT& bounds, UINT dpi) const override;
  TFrameSize FrameForDpi(UINT dpi) const;
  // A window scaled beyond the work area of its monitor is moved into it.
  void KeepInWorkArea();

  void WMSysCommand(TMessage& message);
  void WMClose(TMessage& message);
  void WMActivate(TMessage& message);
  // Moved to a monitor of another DPI: the suggested rectangle, the layout
  // scaled from the stored one, the icons for the new DPI.
  void WMDpiChanged(TMessage& message);
  // A control of this form received the keyboard focus (LParam).
  void CMControlFocused(TMessage& message);

  TPosition FPosition = poDesigned;
  TWindowState FWindowState = wsNormal;
  TBorderStyle FBorderStyle = bsSizeable;
  bool FCreateHandlerRan = false;
  bool FDestroyHandlerRan = false;
  bool FCreated = false;
  bool FShownOnce = false;
  bool FModal = false;
  TModalResult FModalResult = mrNone;
  TWinControl* FActiveControl = nullptr;
  HWND FFocusedWindow = nullptr;
  TMainMenu* FMenu = nullptr;
  TProgramIcons FIcons;  // for a DPI other than the Application window's
};

class TForm : public TCustomForm {
public:
  explicit TForm(TComponent* owner) : TCustomForm(owner) {}
  TForm(TComponent* owner, bool auxiliary) : TCustomForm(owner, auxiliary) {}
  const char* ClassName() const override { return "TForm"; }
};

// A scrolling container (scrolling itself comes later).
class TScrollBox : public TWinControl {
public:
  explicit TScrollBox(TComponent* owner) : TWinControl(owner) {}
  const char* ClassName() const override { return "TScrollBox"; }
};

// A group of controls that owns them, placed on a form like a control.
class TCustomFrame : public TWinControl {
public:
  explicit TCustomFrame(TComponent* owner) : TWinControl(owner) {}
  const char* ClassName() const override { return "TCustomFrame"; }
};

class TFrame : public TCustomFrame {
public:
  explicit TFrame(TComponent* owner) : TCustomFrame(owner) {}
  const char* ClassName() const override { return "TFrame"; }
};

class TApplication : public TComponent {
public:
  TApplication();
  ~TApplication() override;
  const char* ClassName() const override { return "TApplication"; }

  // Creates the hidden Application window; COM is initialised first.
  void Initialize();
  HWND Handle() const { return FWindow.Handle(); }
  // The hidden window that owns every popup menu while it is tracked and
  // receives its commands and owner-draw requests; made on first use
  // (the menus' own, PopupMenuWindow).
  HWND MenuWindow();
  const std::string& Title() const { return FTitle; }
  // The program's icon for the system's DPI: large (taskbar, task switcher)
  // and small (title bars, notification area).
  HICON Icon() const { return FIcons.Large(); }
  HICON SmallIcon() const { return FIcons.Small(); }
  TCustomForm* MainForm() const { return FMainForm; }
  // The first form created becomes the main form; a destroyed one is forgotten.
  void FormCreated(TCustomForm* form);
  void FormDestroyed(TCustomForm* form);
  void Run();
  void Terminate() {
    FQuitRequested = true;
    PostQuitMessage(0);
  }
  bool Terminated() const { return FTerminated; }
  // Handles one message if there is one; false when the queue was empty.
  bool ProcessMessage();
  void HandleMessage();
  void ProcessMessages();

  void Minimize();
  void Restore();
  // How many modal displays of the program's forms are running, and the
  // form of the innermost one (null when none runs).
  int ModalLevel() const { return static_cast<int>(FModalForms.size()); }
  TCustomForm* ModalForm() const { return FModalForms.empty() ? nullptr : FModalForms.back(); }
  void ModalStarted(TCustomForm* form) { FModalForms.push_back(form); }
  void ModalEnded() { FModalForms.pop_back(); }
  // The session ends (log-off, shutdown): the system ends the process as
  // soon as WM_ENDSESSION returns, so the program's end runs now.
  void EndSession();

  void HookMainWindow(TWindowHook hook);
  void UnhookMainWindow(TWindowHook hook);

  // Shows the error report for an error that escaped a handler.
  void ShowException(const std::string& message);
  // Replaces the error report (tests use it to collect errors).
  void (*OnException)(const std::string& message) = nullptr;


private:
  void WndProc(TMessage& message);
  bool MainFormShowable() const;
  void DestroyMainForm();

  TUtilWindow FWindow;
  TProgramIcons FIcons;
  TErrorReporter FPreviousReporter = nullptr;
  std::string FTitle;
  TCustomForm* FMainForm = nullptr;
  std::vector<TWindowHook> FHooks;
  bool FTerminated = false;
  bool FShowMainForm = true;
  bool FComInitialized = false;
  bool FQuitRequested = false;  // Terminate ran; the loop has not seen WM_QUIT yet
  std::vector<TCustomForm*> FModalForms;
  int FDispatchDepth = 0;  // handlers of dispatched messages now running
};

extern TApplication* Application;

// The application title for an executable path: the file name without its
// extension, first letter in capitals and all after it in lower case.
std::string ApplicationTitleFromPath(const std::string& path);
// The title of this program, from its own executable's path.
std::string ProgramTitle();

// The form a control sits on: the top of its parent chain when that is a
// form, else nullptr.
TCustomForm* GetParentForm(const TControl* control);
