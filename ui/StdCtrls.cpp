#include "ui/StdCtrls.h"

#include <commctrl.h>

#include "ui/Forms.h"

// ---------------------------------------------------------- TButtonControl

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) { FTabStop = true; }

// ----------------------------------------------------------------- TButton

TButton::TButton(TComponent* owner) : TButtonControl(owner) {}

void TButton::CreateParams(TCreateParams& params) {
  TButtonControl::CreateParams(params);
  params.BaseClass = "BUTTON";
  params.Style |= FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool value) {
  FDefault = value;
  if (FHandle) SendMessageA(FHandle, BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
  if (FModalResult != 0)
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
  TButtonControl::Click();
}

void TButton::WndProc(TMessage& message) {
  switch (message.Msg) {
    case CN_COMMAND:
      if (HIWORD(message.WParam) == BN_CLICKED) Click();
      break;
    default:
      TButtonControl::WndProc(message);
  }
}

// --------------------------------------------------------- TCustomCheckBox

TCustomCheckBox::TCustomCheckBox(TComponent* owner) : TButtonControl(owner) { FParentColor = true; }

void TCustomCheckBox::CreateParams(TCreateParams& params) {
  TButtonControl::CreateParams(params);
  params.BaseClass = "BUTTON";
  // The state is kept here, not by the system control.
  params.Style |= BS_3STATE;
  if (FAlignment == taLeftJustify) params.Style |= BS_LEFTTEXT;
}

void TCustomCheckBox::SetAlignment(TLeftRight alignment) {
  if (alignment == FAlignment) return;
  FAlignment = alignment;
  RecreateWnd();
}

void TCustomCheckBox::SetState(TCheckBoxState state) {
  if (state == FState) return;
  FState = state;
  if (FHandle) SendMessageA(FHandle, BM_SETCHECK, FState, 0);
  Click();
}

void TCustomCheckBox::InitializeWnd() {
  TButtonControl::InitializeWnd();
  SendMessageA(FHandle, BM_SETCHECK, FState, 0);
}

void TCustomCheckBox::SetChecked(bool checked) { SetState(checked ? cbChecked : cbUnchecked); }

void TCustomCheckBox::WndProc(TMessage& message) {
  switch (message.Msg) {
    case CN_COMMAND:
      if (HIWORD(message.WParam) == BN_CLICKED) SetChecked(!Checked());
      break;
    default:
      TButtonControl::WndProc(message);
  }
}

// ------------------------------------------------------------ TRadioButton

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) { FParentColor = true; }

void TRadioButton::CreateParams(TCreateParams& params) {
  TButtonControl::CreateParams(params);
  params.BaseClass = "BUTTON";
  params.Style |= BS_RADIOBUTTON;
  if (FAlignment == taLeftJustify) params.Style |= BS_LEFTTEXT;
}

void TRadioButton::SetAlignment(TLeftRight alignment) {
  if (alignment == FAlignment) return;
  FAlignment = alignment;
  RecreateWnd();
}

void TRadioButton::InitializeWnd() {
  TButtonControl::InitializeWnd();
  SendMessageA(FHandle, BM_SETCHECK, FChecked, 0);
}

// Checking one radio button unchecks its siblings.
void TRadioButton::SetChecked(bool checked) {
  if (checked == FChecked) return;
  FChecked = checked;
  if (FHandle) SendMessageA(FHandle, BM_SETCHECK, checked, 0);
  if (checked && FParent)
    for (int i = 0; i < FParent->ControlCount(); ++i)
      if (auto* sibling = dynamic_cast<TRadioButton*>(FParent->Controls(i)); sibling && sibling != this)
        sibling->SetChecked(false);
  if (checked) Click();
}

void TRadioButton::WndProc(TMessage& message) {
  if (message.Msg == CN_COMMAND && HIWORD(message.WParam) == BN_CLICKED) {
    SetChecked(true);
    return;
  }
  TButtonControl::WndProc(message);
}

// ------------------------------------------------------------ TCustomCombo

TCustomCombo::TCustomCombo(TComponent* owner) : TWinControl(owner) {
  FTabStop = true;
  FColor = clWindow;
}

void TCustomCombo::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.BaseClass = "COMBOBOX";
  params.Style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL;
}

bool TCustomCombo::DroppedDown() { return FHandle && SendMessageA(FHandle, CB_GETDROPPEDSTATE, 0, 0) != 0; }

void TCustomCombo::SetDroppedDown(bool dropped) { SendMessageA(Handle(), CB_SHOWDROPDOWN, dropped, 0); }

void TCustomCombo::AddItem(const std::string& item) {
  FItems.push_back(item);
  if (FHandle) SendMessageA(FHandle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

void TCustomCombo::SetItemIndex(int index) {
  FItemIndex = index;
  if (FHandle) SendMessageA(FHandle, CB_SETCURSEL, index, 0);
}

// The list and the selection live on across a re-creation of the window.
void TCustomCombo::InitializeWnd() {
  TWinControl::InitializeWnd();
  for (const std::string& item : FItems) SendMessageA(FHandle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  if (FItemIndex >= 0) SendMessageA(FHandle, CB_SETCURSEL, FItemIndex, 0);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (GetComboBoxInfo(FHandle, &info) && info.hwndItem)
    SetWindowSubclass(info.hwndItem, EditPartProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

bool TCustomCombo::CursorOverCombo() const {
  POINT p;
  GetCursorPos(&p);
  HWND under = WindowFromPoint(p);
  return FHandle && (under == FHandle || IsChild(FHandle, under));
}

LRESULT CALLBACK TCustomCombo::EditPartProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR data) {
  auto* combo = reinterpret_cast<TCustomCombo*>(data);
  try {
    switch (msg) {
      case WM_MOUSEMOVE: {
        if (!combo->FMouseInControl) combo->Perform(CM_MOUSEENTER);
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window, 0};
        TrackMouseEvent(&track);
        break;
      }
      case WM_MOUSELEAVE:
        if (combo->FMouseInControl && !combo->CursorOverCombo()) combo->Perform(CM_MOUSELEAVE);
        break;
      case WM_NCDESTROY:
        RemoveWindowSubclass(window, EditPartProc, 1);
        break;
    }
  } catch (...) {
    HandleCurrentException();
  }
  return DefSubclassProc(window, msg, wParam, lParam);
}

void TCustomCombo::WndProc(TMessage& message) {
  // Moving onto the edit part is no leaving.
  if (message.Msg == WM_MOUSELEAVE && CursorOverCombo()) {
    FTrackingLeave = false;
    DefaultHandler(message);
    return;
  }
  TWinControl::WndProc(message);
}

void TCustomCombo::DestroyHandle() {
  if (FHandle) FItemIndex = static_cast<int>(SendMessageA(FHandle, CB_GETCURSEL, 0, 0));
  TWinControl::DestroyHandle();
}

// ------------------------------------------------------------- TCustomEdit

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  FTabStop = true;
  FColor = clWindow;
}

void TCustomEdit::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.BaseClass = "EDIT";
  params.Style |= ES_AUTOHSCROLL | ES_LEFT;
  if (FReadOnly) params.Style |= ES_READONLY;
  if (FBorderStyle == bsSingle) {
    if (FCtl3D)
      params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      params.Style |= WS_BORDER;
  }
}

// The modified flag outlives a re-creation of the window: it is asked for
// (EM_GETMODIFY, through WindowProc) before the old window goes.
void TCustomEdit::DestroyHandle() {
  if (FHandle) FModified = Perform(EM_GETMODIFY) != 0;
  TWinControl::DestroyHandle();
}

void TCustomEdit::InitializeWnd() {
  TWinControl::InitializeWnd();
  if (FModified) SendMessageA(FHandle, EM_SETMODIFY, TRUE, 0);
}

bool TCustomEdit::Modified() { return FHandle ? Perform(EM_GETMODIFY) != 0 : FModified; }

void TCustomEdit::SetReadOnly(bool readOnly) {
  FReadOnly = readOnly;
  if (FHandle) SendMessageA(FHandle, EM_SETREADONLY, readOnly, 0);
}

void TCustomEdit::SetBorderStyle(TBorderStyle style) {
  if (style == FBorderStyle) return;
  FBorderStyle = style;
  RecreateWnd();
}

// ------------------------------------------------------------- TCustomMemo

void TCustomMemo::CreateParams(TCreateParams& params) {
  TCustomEdit::CreateParams(params);
  params.Style &= ~ES_AUTOHSCROLL;
  params.Style |= ES_MULTILINE;
}

void TCustomMemo::SetLines(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) text += "\r\n";
    text += lines[i];
  }
  SetText(text);
}

void TCustomMemo::WndProc(TMessage& message) {
  TCustomEdit::WndProc(message);
  // Tab and Enter move on in the dialog rather than into the text.
  if (message.Msg == WM_GETDLGCODE) message.Result &= ~(DLGC_WANTTAB | DLGC_WANTALLKEYS);
}

// ------------------------------------------------------------ TCustomLabel

void TCustomLabel::Paint(HDC dc) {
  RECT r = ClientRect();
  TSelectObject font(dc, FFont.Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(FEnabled ? FFont.Color() : clGrayText));
  DrawTextA(dc, FText.c_str(), static_cast<int>(FText.size()), &r, DT_LEFT | DT_EXPANDTABS);
}

void TCustomLabel::SetAutoSize(bool autoSize) {
  FAutoSize = autoSize;
  AdjustBounds();
}

// Fits the label to its text in its font, keeping its top-left corner.
void TCustomLabel::AdjustBounds() {
  if (!FAutoSize) return;
  TWindowDC screen(nullptr);
  TSelectObject font(screen.Get(), FFont.Handle());
  RECT r{0, 0, 0, 0};
  DrawTextA(screen.Get(), FText.empty() ? " " : FText.c_str(), -1, &r, DT_CALCRECT | DT_LEFT | DT_EXPANDTABS);
  Invalidate();
  SetComputedBounds(FLeft, FTop, r.right, r.bottom);
  Invalidate();
}

void TCustomLabel::ScaleForDpi(UINT dpi) {
  TGraphicControl::ScaleForDpi(dpi);
  AdjustBounds();  // its size follows the text in the font for dpi
}

void TCustomLabel::WndProc(TMessage& message) {
  TGraphicControl::WndProc(message);
  if (message.Msg == CM_TEXTCHANGED || message.Msg == CM_FONTCHANGED) AdjustBounds();
}

// --------------------------------------------------------- TCustomGroupBox

void TCustomGroupBox::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.BaseClass = "BUTTON";
  params.Style |= BS_GROUPBOX;
  params.Style &= ~WS_TABSTOP;
  // Dialog navigation goes into the group box for its check boxes.
  params.ExStyle |= WS_EX_CONTROLPARENT;
}

void TCustomGroupBox::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_ERASEBKGND: {
      // The system group box leaves its inside unpainted.
      RECT r;
      GetClientRect(FHandle, &r);
      FillRect(reinterpret_cast<HDC>(message.WParam), &r, ColorBrush());
      message.Result = 1;
      break;
    }
    case WM_NCHITTEST:
      // Clicks inside the frame belong to the group box, not the form behind.
      message.Result = HTCLIENT;
      break;
    default:
      TWinControl::WndProc(message);
  }
}
