#include "ui/ComCtrls.h"

#include <richedit.h>

#include <algorithm>

#include "ui/Menus.h"
#include "base/SysUtils.h"
#include "platform/SystemDlls.h"

namespace {

// The common-control classes this module builds on, registered once.
void EnsureCommonControls() {
  static bool done = [] {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_PAGESCROLLER_CLASS |
                                               ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
    return InitCommonControlsEx(&init) != FALSE;
  }();
  (void)done;
}

void EnsureRichEdit() {
  static HMODULE library = LoadSystemDll("riched20.dll");
  if (!library) throw EOutOfResources("Cannot load the rich edit library");
}

// Keeps only the style bits given in mask from value, the others from style.
DWORD WithBits(DWORD style, DWORD bits, bool on) { return on ? style | bits : style & ~bits; }

}  // namespace

// --------------------------------------------------------- TCustomRichEdit

void TCustomRichEdit::CreateParams(TCreateParams& params) {
  EnsureRichEdit();
  TCustomEdit::CreateParams(params);
  params.BaseClass = "RichEdit20A";
  params.Style &= ~ES_AUTOHSCROLL;
  params.Style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
}

void TCustomRichEdit::SetBorderWidth(int width) {
  width = std::max(width, 0);
  if (width == FBorderWidth) return;
  FBorderWidth = width;
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomRichEdit::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_NCCALCSIZE: {
      TCustomEdit::WndProc(message);
      // The margin is taken from the client area, inside any border.
      auto* r = reinterpret_cast<RECT*>(message.LParam);
      InflateRect(r, -FBorderWidth, -FBorderWidth);
      if (r->right < r->left) r->right = r->left;
      if (r->bottom < r->top) r->bottom = r->top;
      break;
    }
    case WM_NCPAINT: {
      TCustomEdit::WndProc(message);
      if (FBorderWidth <= 0) break;
      RECT window, client;
      GetWindowRect(FHandle, &window);
      GetClientRect(FHandle, &client);
      MapWindowPoints(FHandle, nullptr, reinterpret_cast<POINT*>(&client), 2);
      OffsetRect(&client, -window.left, -window.top);
      RECT margin = client;
      InflateRect(&margin, FBorderWidth, FBorderWidth);
      TWindowDC dc(FHandle, true);
      ExcludeClipRect(dc.Get(), client.left, client.top, client.right, client.bottom);
      FillRect(dc.Get(), &margin, ColorBrush());
      break;
    }
    case WM_CREATE:
      TCustomEdit::WndProc(message);
      SendMessageA(FHandle, EM_SETBKGNDCOLOR, 0, ColorToRGB(FColor));
      break;
    case CM_COLORCHANGED:
      if (FHandle) SendMessageA(FHandle, EM_SETBKGNDCOLOR, 0, ColorToRGB(FColor));
      TCustomEdit::WndProc(message);
      break;
    default:
      TCustomEdit::WndProc(message);
  }
}

// ----------------------------------------------------------------- TUpDown

void TUpDown::CreateParams(TCreateParams& params) {
  EnsureCommonControls();
  TWinControl::CreateParams(params);
  params.BaseClass = UPDOWN_CLASSA;
  params.Style |= UDS_ARROWKEYS;
}

void TUpDown::InitializeWnd() {
  TWinControl::InitializeWnd();
  SendMessageA(FHandle, UDM_SETRANGE32, FMin, FMax);
  SendMessageA(FHandle, UDM_SETPOS32, 0, FPosition);
}

void TUpDown::SetRange(int min, int max) {
  FMin = min;
  FMax = max;
  if (FHandle) SendMessageA(FHandle, UDM_SETRANGE32, min, max);
}

int TUpDown::Position() {
  if (FHandle) FPosition = static_cast<int>(SendMessageA(FHandle, UDM_GETPOS32, 0, 0));
  return FPosition;
}

void TUpDown::SetPosition(int position) {
  FPosition = std::clamp(position, std::min(FMin, FMax), std::max(FMin, FMax));
  if (FHandle) SendMessageA(FHandle, UDM_SETPOS32, 0, FPosition);
}

// ------------------------------------------------------------- TToolButton

TToolButton::~TToolButton() {
  if (TToolBar* bar = ToolBar()) bar->RemoveButton(this);
  if (FCommand) ReleaseCommandId(FCommand);
}

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(FParent); }

void TToolButton::SetToolBar(TToolBar* toolBar) {
  if (TToolBar* old = ToolBar()) old->RemoveButton(this);
  SetParent(toolBar);
  if (toolBar) toolBar->AddButton(this);
}

int TToolButton::Index() const {
  TToolBar* bar = ToolBar();
  if (!bar) return -1;
  auto it = std::find(bar->FButtons.begin(), bar->FButtons.end(), this);
  return it == bar->FButtons.end() ? -1 : static_cast<int>(it - bar->FButtons.begin());
}

void TToolButton::Changed() {
  if (TToolBar* bar = ToolBar()) bar->RebuildButtons();
}

void TToolButton::ScaleForDpi(UINT dpi) {
  TGraphicControl::ScaleForDpi(dpi);
  Changed();
}


void TToolButton::SetStyle(TToolButtonStyle style) {
  if (style == FStyle) return;
  FStyle = style;
  Changed();
}

void TToolButton::SetImageIndex(int index) {
  if (index == FImageIndex) return;
  FImageIndex = index;
  Changed();
}

void TToolButton::SetDown(bool down) {
  if (down == FDown) return;
  FDown = down;
  if (TToolBar* bar = ToolBar()) bar->UpdateButtonState(this);
}

void TToolButton::Click() {
  if (FMenuItem) {
    FMenuItem->Click();
    return;
  }
  TGraphicControl::Click();
}

void TToolButton::WndProc(TMessage& message) {
  TGraphicControl::WndProc(message);
  switch (message.Msg) {
    case CM_TEXTCHANGED:
    case CM_VISIBLECHANGED:
      Changed();
      break;
    case CM_ENABLEDCHANGED:
      if (TToolBar* bar = ToolBar()) bar->UpdateButtonState(this);
      break;
  }
}

// ---------------------------------------------------------------- TToolBar

TToolBar::TToolBar(TComponent* owner) : TWinControl(owner) {}

TToolBar::~TToolBar() { FButtons.clear(); }

void TToolBar::CreateParams(TCreateParams& params) {
  EnsureCommonControls();
  TWinControl::CreateParams(params);
  params.BaseClass = TOOLBARCLASSNAMEA;
  params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
  if (FFlat) params.Style |= TBSTYLE_FLAT;
  if (FList) params.Style |= TBSTYLE_LIST;
  if (FTransparent) params.Style |= TBSTYLE_TRANSPARENT;
}

void TToolBar::InitializeWnd() {
  TWinControl::InitializeWnd();
  SendMessageA(FHandle, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageA(FHandle, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
  ApplyImageLists();
  RebuildButtons();
}

void TToolBar::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == FImages) SetImages(nullptr);
  if (component == FHotImages) SetHotImages(nullptr);
  if (component == FDisabledImages) SetDisabledImages(nullptr);
  for (TToolButton* button : FButtons) {
    if (component == button->FDropdownMenu) button->FDropdownMenu = nullptr;
    if (component == button->FMenuItem) button->FMenuItem = nullptr;
  }
}

namespace {

void SetStyleBit(HWND window, DWORD bits, bool on) {
  if (!window) return;
  DWORD style = static_cast<DWORD>(SendMessageA(window, TB_GETSTYLE, 0, 0));
  SendMessageA(window, TB_SETSTYLE, 0, WithBits(style, bits, on));
  InvalidateRect(window, nullptr, TRUE);
}

}  // namespace

void TToolBar::SetFlat(bool flat) {
  if (flat == FFlat) return;
  FFlat = flat;
  SetStyleBit(FHandle, TBSTYLE_FLAT, flat);
}

void TToolBar::SetList(bool list) {
  if (list == FList) return;
  FList = list;
  SetStyleBit(FHandle, TBSTYLE_LIST, list);
  RebuildButtons();
}

void TToolBar::SetShowCaptions(bool show) {
  if (show == FShowCaptions) return;
  FShowCaptions = show;
  RebuildButtons();
}

void TToolBar::SetTransparent(bool transparent) {
  if (transparent == FTransparent) return;
  FTransparent = transparent;
  SetStyleBit(FHandle, TBSTYLE_TRANSPARENT, transparent);
}

void TToolBar::SetImages(TCustomImageList* list) {
  if (FImages) RemoveFreeNotification(FImages);
  FImages = list;
  if (list) FreeNotification(list);
  ApplyImageLists();
  RebuildButtons();
}

void TToolBar::SetHotImages(TCustomImageList* list) {
  if (FHotImages) RemoveFreeNotification(FHotImages);
  FHotImages = list;
  if (list) FreeNotification(list);
  ApplyImageLists();
}

void TToolBar::SetDisabledImages(TCustomImageList* list) {
  if (FDisabledImages) RemoveFreeNotification(FDisabledImages);
  FDisabledImages = list;
  if (list) FreeNotification(list);
  ApplyImageLists();
}

void TToolBar::ScaleForDpi(UINT dpi) {
  FButtonWidth = ScaleToDpi(FDesignButtonSize.cx, dpi);
  FButtonHeight = ScaleToDpi(FDesignButtonSize.cy, dpi);
  TWinControl::ScaleForDpi(dpi);
  RebuildButtons();
}

void TToolBar::ApplyImageLists() {
  if (!FHandle) return;
  auto handle = [](TCustomImageList* list) { return reinterpret_cast<LPARAM>(list ? list->Handle() : nullptr); };
  SendMessageA(FHandle, TB_SETIMAGELIST, 0, handle(FImages));
  SendMessageA(FHandle, TB_SETHOTIMAGELIST, 0, handle(FHotImages));
  SendMessageA(FHandle, TB_SETDISABLEDIMAGELIST, 0, handle(FDisabledImages));
  if (!FImages) SendMessageA(FHandle, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
  InvalidateRect(FHandle, nullptr, TRUE);
}

TCanvas& TToolBar::Canvas() {
  if (!FCanvas) throw Exception("The tool bar's canvas exists only while a button is drawn");
  return *FCanvas;
}

void TToolBar::AddButton(TToolButton* button) {
  if (std::find(FButtons.begin(), FButtons.end(), button) != FButtons.end()) return;
  if (!button->FCommand) button->FCommand = AllocateCommandId();
  FButtons.push_back(button);
  RebuildButtons();
}

void TToolBar::RemoveButton(TToolButton* button) {
  FButtons.erase(std::remove(FButtons.begin(), FButtons.end(), button), FButtons.end());
  if (!Destroying()) RebuildButtons();
}

TToolButton* TToolBar::ButtonByCommand(WORD command) const {
  for (TToolButton* button : FButtons)
    if (button->FCommand == command) return button;
  return nullptr;
}

namespace {

BYTE ButtonState(const TToolButton& button) {
  BYTE state = 0;
  if (button.Enabled()) state |= TBSTATE_ENABLED;
  if (!button.Visible()) state |= TBSTATE_HIDDEN;
  if (button.Down()) state |= button.Style() == tbsCheck ? TBSTATE_CHECKED : TBSTATE_PRESSED;
  return state;
}

}  // namespace

// The common control's buttons are made anew from the objects: simple and
// cheap for the few buttons a bar has.
void TToolBar::RebuildButtons() {
  if (!FHandle) return;
  SendMessageA(FHandle, WM_SETREDRAW, FALSE, 0);
  while (SendMessageA(FHandle, TB_BUTTONCOUNT, 0, 0) > 0) SendMessageA(FHandle, TB_DELETEBUTTON, 0, 0);
  std::vector<std::string> captions;
  captions.reserve(FButtons.size());
  std::vector<TBBUTTON> buttons;
  for (TToolButton* b : FButtons) {
    TBBUTTON tb{};
    tb.idCommand = b->FCommand;
    tb.fsState = ButtonState(*b);
    tb.dwData = reinterpret_cast<DWORD_PTR>(b);
    tb.iString = -1;
    switch (b->FStyle) {
      case tbsSeparator:
      case tbsDivider:
        tb.fsStyle = BTNS_SEP;
        tb.iBitmap = b->Width() > 0 ? b->Width() : 8;
        break;
      default:
        tb.fsStyle = b->FStyle == tbsCheck ? BTNS_CHECK : b->FStyle == tbsDropDown ? BTNS_DROPDOWN : BTNS_BUTTON;
        tb.iBitmap = FImages && b->FImageIndex >= 0 ? b->FImageIndex : I_IMAGENONE;
        if (FShowCaptions) {
          captions.push_back(b->Caption());
          tb.iString = reinterpret_cast<INT_PTR>(captions.back().c_str());
        }
    }
    buttons.push_back(tb);
  }
  if (!buttons.empty())
    SendMessageA(FHandle, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  if (!FShowCaptions) SendMessageA(FHandle, TB_SETBUTTONSIZE, 0, MAKELPARAM(FButtonWidth, FButtonHeight));
  SendMessageA(FHandle, WM_SETREDRAW, TRUE, 0);
  UpdateButtonBounds();
  InvalidateRect(FHandle, nullptr, TRUE);
}

void TToolBar::UpdateButtonBounds() {
  if (!FHandle) return;
  for (size_t i = 0; i < FButtons.size(); ++i) {
    RECT r{};
    if (SendMessageA(FHandle, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r)))
      FButtons[i]->SetComputedBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
}

void TToolBar::UpdateButtonState(TToolButton* button) {
  if (!FHandle) return;
  SendMessageA(FHandle, TB_SETSTATE, button->FCommand, MAKELPARAM(ButtonState(*button), 0));
}

void TToolBar::DropDown(TToolButton* button) {
  if (!button->FDropdownMenu) return;
  RECT r = button->BoundsRect();
  POINT p{r.left, r.bottom};
  ClientToScreen(FHandle, &p);
  button->FDropdownMenu->Popup(p.x, p.y);
}

LRESULT TToolBar::CustomDraw(NMTBCUSTOMDRAW& draw) {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      if (!OnCustomDrawButton.Assigned()) return CDRF_DODEFAULT;
      UpdateButtonBounds();
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      TToolButton* button = ButtonByCommand(static_cast<WORD>(draw.nmcd.dwItemSpec));
      if (!button || !OnCustomDrawButton.Assigned()) return CDRF_DODEFAULT;
      TCanvas canvas(draw.nmcd.hdc);
      FCanvas = &canvas;
      bool defaultDraw = true;
      try {
        OnCustomDrawButton(this, button, draw.nmcd.uItemState & 0xFFFF, defaultDraw);
      } catch (...) {
        FCanvas = nullptr;
        throw;
      }
      FCanvas = nullptr;
      return defaultDraw ? CDRF_DODEFAULT : CDRF_SKIPDEFAULT;
    }
  }
  return CDRF_DODEFAULT;
}

void TToolBar::CNNotify(TMessage& message) {
  auto* header = reinterpret_cast<NMHDR*>(message.LParam);
  switch (header->code) {
    case NM_CUSTOMDRAW:
      message.Result = CustomDraw(*reinterpret_cast<NMTBCUSTOMDRAW*>(message.LParam));
      break;
    case TBN_DROPDOWN: {
      auto* notify = reinterpret_cast<NMTOOLBARA*>(message.LParam);
      if (TToolButton* button = ButtonByCommand(static_cast<WORD>(notify->iItem))) DropDown(button);
      message.Result = TBDDRET_DEFAULT;
      break;
    }
  }
}

void TToolBar::WndProc(TMessage& message) {
  switch (message.Msg) {
    case CN_NOTIFY:
      CNNotify(message);
      break;
    case CN_COMMAND:
      if (TToolButton* button = ButtonByCommand(LOWORD(message.WParam))) {
        if (button->FStyle == tbsCheck) {
          bool down = SendMessageA(FHandle, TB_ISBUTTONCHECKED, button->FCommand, 0) != 0;
          button->FDown = !down;  // SetDown then applies the group rule
          button->SetDown(down);
        }
        button->Click();
      }
      break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      // The common control handles its own buttons.
      DefaultHandler(message);
      break;
    case WM_SIZE:
      DefaultHandler(message);
      UpdateButtonBounds();
      break;
    default:
      TWinControl::WndProc(message);
  }
}

// ---------------------------------------------------------------- TCoolBar

void TCoolBar::CreateParams(TCreateParams& params) {
  EnsureCommonControls();
  TWinControl::CreateParams(params);
  params.BaseClass = REBARCLASSNAMEA;
  params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | RBS_VARHEIGHT | RBS_BANDBORDERS |
                  WS_CLIPCHILDREN;
}

void TCoolBar::InitializeWnd() {
  TWinControl::InitializeWnd();
  for (TControl* child : FControls) {
    auto* windowed = dynamic_cast<TWinControl*>(child);
    if (!windowed) continue;
    REBARBANDINFOA band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_STYLE;
    band.fStyle = RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS;
    band.hwndChild = windowed->Handle();
    band.cxMinChild = windowed->Width();
    band.cyMinChild = windowed->Height();
    band.cx = windowed->Width() + 16;
    SendMessageA(FHandle, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
  }
}

// ----------------------------------------------------------- TPageScroller

void TPageScroller::CreateParams(TCreateParams& params) {
  EnsureCommonControls();
  TWinControl::CreateParams(params);
  params.BaseClass = WC_PAGESCROLLERA;
  params.Style |= PGS_HORZ | WS_CLIPCHILDREN;
}

void TPageScroller::InitializeWnd() {
  TWinControl::InitializeWnd();
  for (TControl* child : FControls)
    if (auto* windowed = dynamic_cast<TWinControl*>(child)) {
      SendMessageA(FHandle, PGM_SETCHILD, 0, reinterpret_cast<LPARAM>(windowed->Handle()));
      break;
    }
}

void TPageScroller::WndProc(TMessage& message) {
  if (message.Msg == CN_NOTIFY && reinterpret_cast<NMHDR*>(message.LParam)->code == static_cast<UINT>(PGN_CALCSIZE)) {
    auto* size = reinterpret_cast<NMPGCALCSIZE*>(message.LParam);
    for (TControl* child : FControls)
      if (Is<TWinControl>(child)) {
        if (size->dwFlag == PGF_CALCWIDTH) size->iWidth = child->Width();
        if (size->dwFlag == PGF_CALCHEIGHT) size->iHeight = child->Height();
        break;
      }
    return;
  }
  TWinControl::WndProc(message);
}

// --------------------------------------------------------------- TTabSheet

void TTabSheet::SetPageControl(TPageControl* control) {
  SetParent(control);
  if (control && !control->FActivePage) control->FActivePage = this;
  if (control) control->LayoutPages();
}

// ------------------------------------------------------------ TPageControl

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner) { FTabStop = true; }

void TPageControl::CreateParams(TCreateParams& params) {
  EnsureCommonControls();
  TWinControl::CreateParams(params);
  params.BaseClass = WC_TABCONTROLA;
  params.Style |= WS_CLIPCHILDREN;
}

int TPageControl::PageCount() const {
  return static_cast<int>(std::count_if(FControls.begin(), FControls.end(), [](TControl* c) { return Is<TTabSheet>(c); }));
}

TTabSheet* TPageControl::Pages(int index) const {
  for (TControl* c : FControls)
    if (auto* sheet = dynamic_cast<TTabSheet*>(c); sheet && index-- == 0) return sheet;
  return nullptr;
}

void TPageControl::SetActivePage(TTabSheet* page) {
  FActivePage = page;
  LayoutPages();
}

void TPageControl::InitializeWnd() {
  TWinControl::InitializeWnd();
  LayoutPages();
}

// The tabs follow the sheets; the active sheet fills the display area.
void TPageControl::LayoutPages() {
  if (!FHandle) return;
  SendMessageA(FHandle, TCM_DELETEALLITEMS, 0, 0);
  RECT area;
  GetClientRect(FHandle, &area);
  int index = 0, active = -1;
  for (int i = 0; i < PageCount(); ++i) {
    TTabSheet* sheet = Pages(i);
    std::string caption = sheet->Caption();
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    SendMessageA(FHandle, TCM_INSERTITEMA, index, reinterpret_cast<LPARAM>(&item));
    if (sheet == FActivePage) active = index;
    ++index;
  }
  if (active >= 0) SendMessageA(FHandle, TCM_SETCURSEL, active, 0);
  SendMessageA(FHandle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  for (int i = 0; i < PageCount(); ++i) {
    TTabSheet* sheet = Pages(i);
    sheet->SetBounds(area.left, area.top, area.right - area.left, area.bottom - area.top);
    sheet->SetVisible(sheet == FActivePage);
    if (sheet->HandleAllocated()) ShowWindow(sheet->Handle(), sheet == FActivePage ? SW_SHOWNA : SW_HIDE);
  }
}

void TPageControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case CN_NOTIFY:
      if (reinterpret_cast<NMHDR*>(message.LParam)->code == static_cast<UINT>(TCN_SELCHANGE)) {
        int selected = static_cast<int>(SendMessageA(FHandle, TCM_GETCURSEL, 0, 0));
        if (TTabSheet* sheet = Pages(selected)) SetActivePage(sheet);
      }
      break;
    case WM_SIZE:
      TWinControl::WndProc(message);
      LayoutPages();
      break;
    default:
      TWinControl::WndProc(message);
  }
}
