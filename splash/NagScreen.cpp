#include "splash/NagScreen.h"

#include <map>

#include "platform/Platform.h"
#include "base/SysUtils.h"
#include "ui/DisplayScale.h"

namespace {

// The live timers by id. A tick that was queued before its timer was killed
// finds nothing here and is dropped, so it can never act on a released window.
std::map<UINT_PTR, TNagTimer*>& LiveTimers() {
  static std::map<UINT_PTR, TNagTimer*> timers;
  return timers;
}

}  // namespace

// ---------------------------------------------------------------- TNagForm

TNagForm::TNagForm(TComponent* owner) : TForm(owner, true) {
  SetBorderStyle(bsNone);
  SetPosition(poScreenCenter);
}

// --------------------------------------------------------------- TNagTimer

TNagTimer::TNagTimer(TComponent* owner, UINT interval, TNotifyEvent onTimer)
    : TComponent(owner), FOnTimer(onTimer) {
  FId = Platform().SetTimer(nullptr, 0, interval, TimerProc);
  if (!FId) throw EOutOfResources("Not enough timers available");
  LiveTimers()[FId] = this;
}

TNagTimer::~TNagTimer() { Disable(); }

void TNagTimer::Disable() {
  if (!FId) return;
  Platform().KillTimer(nullptr, FId);
  LiveTimers().erase(FId);
  FId = 0;
}

void CALLBACK TNagTimer::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  auto found = LiveTimers().find(id);
  if (found == LiveTimers().end()) {
    KillTimer(nullptr, id);
    return;
  }
  TNagTimer* timer = found->second;
  TNotifyEvent onTimer = timer->FOnTimer;
  timer->Disable();  // one shot
  try {
    onTimer(timer);  // may release the timer: it is not touched after this
  } catch (...) {
    HandleCurrentException();
  }
}

// -------------------------------------------------------------- TNagScreen

TNagScreen::TNagScreen(TComponent* owner) : TCommonDialogP(owner) {}

void TNagScreen::Loaded() {
  TCommonDialogP::Loaded();
  Execute();
}

bool TNagScreen::Execute() { return ShowNag(); }

bool TNagScreen::ShowNag() {
  if (FPicture.Empty() || FNagForm) return false;
  // Whatever way the display ends, nothing of it outlives this call.
  struct TRelease {
    TNagScreen& Self;
    ~TRelease() {
      Self.ReleaseTimer();
      Self.ReleaseForm();
    }
  } release{*this};

  // The timer first: when the system has none left, no window appears.
  if (FTimeToStay > 0) FNagTimer = new TNagTimer(this, FTimeToStay, NotifyEvent(this, &TNagScreen::CloseNag));

  FNagForm = new TNagForm(Application);
  FNagForm->SetCaption("");
  FNagForm->SetBounds(0, 0, FPicture.Width(), FPicture.Height());

  FNagImage = new TImage(FNagForm);
  FNagImage->SetAutoSize(true);
  FNagImage->SetStretch(true);
  FNagImage->SetPicture(FPicture);
  FNagImage->SetParent(FNagForm);
  FNagImage->SetBounds(0, 0, FPicture.Width(), FPicture.Height());
  FNagImage->SetVisible(true);
  if (FDisappearOnClick) FNagImage->OnClick = NotifyEvent(this, &TNagScreen::CloseNag);
  // The picture's pixels are the stored layout: at the screen's DPI the
  // window and the picture in it are that much larger.
  FNagForm->ScaleForDpi(SystemDpi());

  OnBeforeNag(this);
  FNagForm->ShowModal();
  return true;
}

// Ends the splash from its timer or a click; errors inside are dropped.
void TNagScreen::CloseNag(TObject*) {
  try {
    if (!FNagForm || !FNagForm->Modal() || FNagForm->ModalResult() != mrNone) return;  // over already
    if (FNagTimer) FNagTimer->Disable();
    FNagForm->Close();  // ends the modal display; the window stays up until this message is done
    ReleaseTimer();
    OnAfterNag(this);
  } catch (...) {
  }
}

void TNagScreen::ReleaseTimer() {
  TNagTimer* timer = FNagTimer;
  FNagTimer = nullptr;
  if (timer) timer->Free();
}

void TNagScreen::ReleaseForm() {
  TNagForm* form = FNagForm;
  FNagForm = nullptr;
  FNagImage = nullptr;  // owned by the window
  if (form) form->Free();
}
