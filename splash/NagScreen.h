// TNagScreen: shows a picture in a borderless window in the middle of the
// screen for a fixed time. It shows itself, modally, when its owner has
// finished loading, so the owner's start-up waits for it.
#pragma once
#include <windows.h>

#include "splash/CommonDlg.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"

// The splash window: a borderless popup owned by the application; it never
// becomes the main form.
class TNagForm : public TForm {
public:
  explicit TNagForm(TComponent* owner);
  const char* ClassName() const override { return "TNagForm"; }
};

// The splash's one-shot timer. A thread timer needs no window, so it can be
// had before the splash window is made; its tick calls OnTimer once.
class TNagTimer : public TComponent {
public:
  // Raises "Not enough timers available" when the system has none left.
  TNagTimer(TComponent* owner, UINT interval, TNotifyEvent onTimer);
  ~TNagTimer() override;
  const char* ClassName() const override { return "TNagTimer"; }

  bool Enabled() const { return FId != 0; }
  void Disable();

private:
  static void CALLBACK TimerProc(HWND window, UINT msg, UINT_PTR id, DWORD time);

  UINT_PTR FId = 0;
  TNotifyEvent FOnTimer;
};

class TNagScreen : public TCommonDialogP {
public:
  explicit TNagScreen(TComponent* owner);
  const char* ClassName() const override { return "TNagScreen"; }

  const TBitmap& Picture() const { return FPicture; }
  // The owned bitmap itself: reading the stored picture fills it directly.
  TBitmap& Picture() { return FPicture; }
  // Copies the bitmap into the owned one.
  void SetPicture(const TBitmap& picture) { FPicture = picture; }
  DWORD TimeToStay() const { return FTimeToStay; }
  void SetTimeToStay(DWORD milliseconds) { FTimeToStay = milliseconds; }
  bool DisappearOnClick() const { return FDisappearOnClick; }
  void SetDisappearOnClick(bool value) { FDisappearOnClick = value; }

  TNotifyEvent OnBeforeNag;  // just before the window shows
  TNotifyEvent OnAfterNag;   // the splash ended by its timer or by a click

  // Shows the splash now and returns when it has ended; false when the
  // picture is empty and nothing was shown.
  bool Execute() override;
  void Loaded() override;

  // While the splash is up: its window, picture control and timer.
  TNagForm* NagForm() const { return FNagForm; }
  TNagTimer* NagTimer() const { return FNagTimer; }

private:
  bool ShowNag();
  void CloseNag(TObject* sender);
  void ReleaseTimer();
  void ReleaseForm();

  TBitmap FPicture;
  DWORD FTimeToStay = 5000;
  bool FDisappearOnClick = true;
  TNagForm* FNagForm = nullptr;
  TImage* FNagImage = nullptr;
  TNagTimer* FNagTimer = nullptr;
};
