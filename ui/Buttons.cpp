#include "ui/Buttons.h"

#include "ui/Forms.h"

void TBitBtn::CreateParams(TCreateParams& params) {
  TButton::CreateParams(params);
  params.Style = (params.Style & ~0xFu) | BS_OWNERDRAW;
}

void TBitBtn::Click() {
  if (FKind == bkClose) {
    if (TCustomForm* form = GetParentForm(this)) {
      form->Close();
      return;
    }
  }
  TButton::Click();
}

void TBitBtn::WndProc(TMessage& message) {
  switch (message.Msg) {
    case CN_DRAWITEM:
      DrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam));
      message.Result = TRUE;
      break;
    case WM_GETDLGCODE: {
      // An owner-drawn button is no push button to dialog navigation; it
      // asks for Enter itself so that Enter presses it like any button.
      TButton::WndProc(message);
      auto* msg = reinterpret_cast<MSG*>(message.LParam);
      if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) message.Result |= DLGC_WANTMESSAGE;
      break;
    }
    case WM_KEYDOWN:
      if (message.WParam == VK_RETURN) {
        Click();
        break;
      }
      TButton::WndProc(message);
      break;
    default:
      TButton::WndProc(message);
  }
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  bool pressed = (item.itemState & ODS_SELECTED) != 0;
  bool focused = (item.itemState & ODS_FOCUS) != 0;
  bool disabled = (item.itemState & ODS_DISABLED) != 0;

  if (focused) {
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&r, -1, -1);
  }
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED | DFCS_FLAT : 0));

  // Glyph and caption side by side, 4 pixels apart, centred together.
  TSelectObject font(dc, FFont.Handle());
  RECT textSize{0, 0, 0, 0};
  DrawTextA(dc, FText.c_str(), -1, &textSize, DT_CALCRECT | DT_SINGLELINE);
  int glyphWidth = FGlyph.Width();
  int spacing = glyphWidth > 0 && !FText.empty() ? FSpacing : 0;
  int total = glyphWidth + spacing + (textSize.right - textSize.left);
  int x = (item.rcItem.right - item.rcItem.left - total) / 2 + (pressed ? 1 : 0);
  int centreY = (item.rcItem.bottom - item.rcItem.top) / 2 + (pressed ? 1 : 0);
  if (glyphWidth > 0) FGlyph.DrawTransparent(dc, x, centreY - FGlyph.Height() / 2);

  RECT text{x + glyphWidth + spacing, centreY - (textSize.bottom - textSize.top) / 2, 0, 0};
  text.right = text.left + (textSize.right - textSize.left);
  text.bottom = text.top + (textSize.bottom - textSize.top);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
  DrawTextA(dc, FText.c_str(), -1, &text, DT_SINGLELINE | DT_CENTER | DT_VCENTER);

  if (focused) {
    RECT focus = r;
    InflateRect(&focus, -3, -3);
    DrawFocusRect(dc, &focus);
  }
}

// ------------------------------------------------------------ TSpeedButton

void TSpeedButton::SetDown(bool down) {
  if (down == FDown) return;
  FDown = down;
  if (down && FGroupIndex > 0 && FParent)
    for (int i = 0; i < FParent->ControlCount(); ++i)
      if (auto* other = dynamic_cast<TSpeedButton*>(FParent->Controls(i));
          other && other != this && other->FGroupIndex == FGroupIndex)
        other->SetDown(false);
  Invalidate();
}

void TSpeedButton::SetFlat(bool flat) {
  if (flat == FFlat) return;
  FFlat = flat;
  Invalidate();
}

void TSpeedButton::SetTransparent(bool transparent) {
  FTransparent = transparent;
  Invalidate();
}

void TSpeedButton::SetGlyph(const TBitmap& glyph) {
  FGlyph = glyph;
  Invalidate();
}

void TSpeedButton::SetNumGlyphs(int count) {
  FNumGlyphs = count < 1 ? 1 : count > 4 ? 4 : count;
  Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout layout) {
  FLayout = layout;
  Invalidate();
}

void TSpeedButton::SetSpacing(int spacing) {
  FSpacing = spacing;
  Invalidate();
}

void TSpeedButton::Click() {
  if (FGroupIndex > 0) SetDown(FDown ? !FAllowAllUp : true);
  TGraphicControl::Click();
}

void TSpeedButton::Paint(HDC dc) {
  RECT r = ClientRect();
  const bool pressed = FDown || FClicking;
  if (!FFlat || FDown)
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  else if (!FTransparent)
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  TSelectObject font(dc, FFont.Handle());
  SIZE text{0, 0};
  GetTextExtentPoint32A(dc, FText.c_str(), static_cast<int>(FText.size()), &text);
  const int gw = FGlyph.Width() / FNumGlyphs, gh = FGlyph.Height();
  const int sp = gw > 0 && !FText.empty() ? FSpacing : 0;
  const int W = r.right - r.left, H = r.bottom - r.top, shift = pressed ? 1 : 0;
  int gx, gy;
  RECT tr = r;
  if (FLayout == blGlyphTop || FLayout == blGlyphBottom) {
    gx = (W - gw) / 2;
    int top = (H - (gh + sp + text.cy)) / 2;
    gy = FLayout == blGlyphTop ? top : top + text.cy + sp;
    tr.top = FLayout == blGlyphTop ? top + gh + sp : top;
    tr.bottom = tr.top + text.cy;
  } else {
    int left = (W - (gw + sp + text.cx)) / 2;
    gx = FLayout == blGlyphLeft ? left : left + text.cx + sp;
    gy = (H - gh) / 2;
    tr.left = FLayout == blGlyphLeft ? left + gw + sp : left;
    tr.right = tr.left + text.cx;
  }
  if (gw > 0 && gh > 0) {
    int cell = !FEnabled && FNumGlyphs > 1 ? 1 : 0;
    if (FClicking && FNumGlyphs > 2) cell = 2;
    if (FDown && FNumGlyphs > 3) cell = 3;
    TBitmap part;
    part.CopyFrom(FGlyph, cell * gw, 0, gw, gh);
    part.DrawTransparent(dc, gx + shift, gy + shift);
  }
  OffsetRect(&tr, shift, shift);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(FEnabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  DrawTextA(dc, FText.c_str(), -1, &tr, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
}
