#include "ui/StdCtrls.h"

#include "ui/Forms.h"

// ---------------------------------------------------------- TButtonControl

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) { FTabStop = true; }

// ----------------------------------------------------------------- TButton

TButton::TButton(TComponent* owner) : TButtonControl(owner) {}

void TButton::CreateParams(TCreateParams& params) {
  TButtonControl::CreateParams(params);
  params.BaseClass = "BUTTON";
  params.Style |= BS_PUSHBUTTON;
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

TCustomCheckBox::TCustomCheckBox(TComponent* owner) : TButtonControl(owner) {}

void TCustomCheckBox::CreateParams(TCreateParams& params) {
  TButtonControl::CreateParams(params);
  params.BaseClass = "BUTTON";
  // The state is kept here, not by the system control.
  params.Style |= BS_3STATE;
}

void TCustomCheckBox::InitializeWnd() {
  TButtonControl::InitializeWnd();
  SendMessageA(FHandle, BM_SETCHECK, FState, 0);
}

void TCustomCheckBox::SetChecked(bool checked) {
  TCheckBoxState state = checked ? cbChecked : cbUnchecked;
  if (state == FState) return;
  FState = state;
  if (FHandle) SendMessageA(FHandle, BM_SETCHECK, FState, 0);
  Click();
}

void TCustomCheckBox::WndProc(TMessage& message) {
  switch (message.Msg) {
    case CN_COMMAND:
      if (HIWORD(message.WParam) == BN_CLICKED) SetChecked(!Checked());
      break;
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLORBTN:
      // A check box shows its parent's background.
      if (FParent) FColor = FParent->Color();
      TButtonControl::WndProc(message);
      break;
    default:
      TButtonControl::WndProc(message);
  }
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
  SetBounds(FLeft, FTop, r.right, r.bottom);
  Invalidate();
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
