#include "ui/Menus.h"

#include <oleacc.h>

#include <algorithm>
#include <type_traits>

#include "ui/DisplayScale.h"
#include "ui/UtilWindow.h"
#include "ui/ImgList.h"
#include "ui/MenuKeys.h"
#include "base/SysUtils.h"

namespace {

std::vector<TMenu*>& LiveMenus() {
  static std::vector<TMenu*> menus;
  return menus;
}

// The library's plain look of an owner-drawn item, at 96 DPI.
struct TPlainItemMetrics {
  int CheckGap = 4;        // the caption starts this far right of the check column
  int ExtraWidth = 16;     // added to the caption and to the shortcut text
  int ExtraHeight = 4;     // added to the caption's height
  int ShortcutMargin = 8;  // the shortcut text from the right edge
};

TPlainItemMetrics PlainItemMetrics(UINT dpi) {
  const TPlainItemMetrics design;
  return {ScaleToDpi(design.CheckGap, dpi), ScaleToDpi(design.ExtraWidth, dpi), ScaleToDpi(design.ExtraHeight, dpi),
          ScaleToDpi(design.ShortcutMargin, dpi)};
}

int TextIndent(UINT dpi) { return SystemMetricForDpi(SM_CXMENUCHECK, dpi) + PlainItemMetrics(dpi).CheckGap; }

TMenuItem* FindMenuItem(ULONG_PTR command) {
  if (command == 0 || command > 0xFFFF) return nullptr;
  for (TMenu* menu : LiveMenus())
    if (TMenuItem* item = menu->FindItem(static_cast<WORD>(command))) return item;
  return nullptr;
}

// The item of an owner-draw request, told by comparing its data with the
// blocks of the live items: data of unknown origin is never dereferenced.
TMenuItem* FindMenuItemByData(ULONG_PTR data) {
  if (!data) return nullptr;
  for (TMenu* menu : LiveMenus())
    if (TMenuItem* item = menu->FindItemByData(data)) return item;
  return nullptr;
}

// False when no menu item has the command (it is someone else's).
bool MenuCommand(TMessage& message) {
  TMenuItem* item = FindMenuItem(LOWORD(message.WParam));
  if (!item) return false;
  if (item->Enabled()) item->Click();
  return true;
}

// A canvas for the window's DPI whose font is the system's menu font for
// it, already selected.
void UseMenuFont(TCanvas& canvas, UINT dpi) {
  canvas.SetDpi(dpi);
  LOGFONTA font{};
  if (ReadSystemMenuFont(dpi, font)) canvas.Font.Assign(font);
  canvas.Font.SetColor(clMenuText);
  canvas.RequireFont();
}

bool MeasureMenuItem(TMessage& message, UINT dpi) {
  auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam);
  if (!measure || measure->CtlType != ODT_MENU) return false;
  TMenuItem* item = FindMenuItemByData(measure->itemData);
  if (!item) return false;
  TWindowDC screen(nullptr);
  int width = static_cast<int>(measure->itemWidth);
  int height = static_cast<int>(measure->itemHeight);
  {
    TCanvas canvas(screen.Get());  // gives the screen DC its objects back first
    UseMenuFont(canvas, dpi);
    item->MeasureItem(canvas, width, height);
  }
  measure->itemWidth = static_cast<UINT>(std::max(width, 0));
  measure->itemHeight = static_cast<UINT>(std::max(height, 0));
  message.Result = TRUE;
  return true;
}

bool DrawMenuItem(TMessage& message, UINT dpi) {
  auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam);
  if (!draw || draw->CtlType != ODT_MENU) return false;
  TMenuItem* item = FindMenuItemByData(draw->itemData);
  if (!item) return false;
  TSavedDC saved(draw->hDC);
  {
    TCanvas canvas(draw->hDC);
    UseMenuFont(canvas, dpi);
    item->AdvancedDrawItem(canvas, draw->rcItem, draw->itemState);
  }
  message.Result = TRUE;
  return true;
}

bool MenuChar(TMessage& message) {
  char key = static_cast<char>(LOWORD(message.WParam));
  auto menu = reinterpret_cast<HMENU>(message.LParam);
  for (TMenu* candidate : LiveMenus()) {
    LRESULT result = candidate->MenuChar(menu, key);
    if (result) {
      message.Result = result;
      return true;
    }
  }
  return false;
}

char UpperKey(char key) {
  char text[2] = {key, 0};
  CharUpperBuffA(text, 1);
  return text[0];
}

}  // namespace

// ---------------------------------------------------------------- TMenuItem

// What a screen reader reads of an owner-drawn item, which has no text of
// its own for the system to expose: the system looks for MSAAMENUINFO at the
// start of the block the item's data points to.
struct TMenuItemData {
  MSAAMENUINFO Accessible{};  // first
  std::wstring Text;          // what Accessible.pszWText points to

  void SetCaption(const std::string& caption, bool line) {
    Text = line ? std::wstring() : WideText(caption);
    Accessible.dwMSAASignature = line ? 0 : static_cast<DWORD>(MSAA_MENU_SIG);
    Accessible.cchWText = static_cast<DWORD>(Text.size());
    Accessible.pszWText = line ? nullptr : Text.data();
  }
};
static_assert(std::is_standard_layout_v<TMenuItemData>, "MSAAMENUINFO must start the block");

TMenuItem::TMenuItem(TComponent* owner)
    : TComponent(owner), FData(std::make_unique<TMenuItemData>()), FCommand(AllocateCommandId()) {
  FData->SetCaption(FCaption, false);
}

// A built menu never keeps an entry whose data is a freed block.
TMenuItem::~TMenuItem() {
  if (TMenu* menu = GetParentMenu(); menu && menu->Handle()) DeleteMenu(menu->Handle(), FCommand, MF_BYCOMMAND);
  if (FParent) FParent->Remove(this);
  for (TMenuItem* item : FItems) item->FParent = nullptr;
  ReleaseCommandId(FCommand);
}

void TMenuItem::Add(TMenuItem* item) {
  if (item->FParent) item->FParent->Remove(item);
  item->FParent = this;
  FItems.push_back(item);
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(FItems.begin(), FItems.end(), item);
  if (it == FItems.end()) return;
  FItems.erase(it);
  item->FParent = nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* item = this;
  while (item->FParent) item = item->FParent;
  return item->FMenu;
}

TMenuItem* TMenuItem::Find(WORD command) {
  if (FCommand == command) return this;
  for (TMenuItem* item : FItems)
    if (TMenuItem* found = item->Find(command)) return found;
  return nullptr;
}

void TMenuItem::SetCaption(const std::string& caption) {
  FCaption = caption;
  FData->SetCaption(FCaption, IsLine());
}

ULONG_PTR TMenuItem::ItemData() const { return reinterpret_cast<ULONG_PTR>(FData.get()); }

TMenuItem* TMenuItem::FindByData(ULONG_PTR data) {
  if (ItemData() == data) return this;
  for (TMenuItem* item : FItems)
    if (TMenuItem* found = item->FindByData(data)) return found;
  return nullptr;
}

void TMenuItem::Click() { OnClick(this); }

// An image list is linked by free notification, so a freed list is never
// drawn from.
template <class T>
void LinkImages(TComponent* self, T*& field, T* images) {
  if (field == images) return;
  if (field) self->RemoveFreeNotification(field);
  field = images;
  if (field) self->FreeNotification(field);
}

void TMenuItem::SetSubMenuImages(TCustomImageList* images) { LinkImages(this, FSubMenuImages, images); }

void TMenuItem::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == FSubMenuImages) FSubMenuImages = nullptr;
}

void TMenu::SetImages(TCustomImageList* images) { LinkImages(this, FImages, images); }

void TMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == FImages) FImages = nullptr;
}

TComponent* TMenuItem::GetParentComponent() const {
  if (FParent && FParent->FMenu) return FParent->FMenu;
  return FParent;
}

void TMenuItem::MeasureItem(TCanvas& canvas, int& width, int& height) {
  HDC dc = canvas.Handle();
  const UINT dpi = canvas.Dpi();
  const int menuHeight = SystemMetricForDpi(SM_CYMENU, dpi);
  if (IsLine()) {
    width = 0;
    height = menuHeight / 2;
  } else {
    const TPlainItemMetrics metrics = PlainItemMetrics(dpi);
    RECT text{};
    DrawTextA(dc, FCaption.c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE);
    width = TextIndent(dpi) + (text.right - text.left) + metrics.ExtraWidth;
    std::string keys = ShortCutToText(ShortCut);
    if (!keys.empty()) {
      RECT keyText{};
      DrawTextA(dc, keys.c_str(), -1, &keyText, DT_CALCRECT | DT_SINGLELINE);
      width += keyText.right - keyText.left + metrics.ExtraWidth;
    }
    height = std::max<int>(menuHeight, text.bottom - text.top + metrics.ExtraHeight);
  }
  if (OnMeasureItem.Assigned()) OnMeasureItem(this, &canvas, width, height);
}

// The library's plain look for an owner-drawn item that has no drawing
// handler: system menu colours, the caption with its access key underlined.
void TMenuItem::AdvancedDrawItem(TCanvas& canvas, const RECT& rect, TOwnerDrawState state) {
  if (OnAdvancedDrawItem.Assigned()) {
    OnAdvancedDrawItem(this, &canvas, rect, state);
    return;
  }
  HDC dc = canvas.Handle();
  TSavedDC saved(dc);
  bool selected = (state & ODS_SELECTED) && !IsLine();
  FillRect(dc, &rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
  if (IsLine()) {
    int middle = (rect.top + rect.bottom) / 2;
    RECT line{rect.left + 1, middle - 1, rect.right - 1, middle + 1};
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    return;
  }
  bool disabled = (state & (ODS_DISABLED | ODS_GRAYED)) != 0;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
  RECT text = rect;
  const UINT dpi = canvas.Dpi();
  text.left += TextIndent(dpi);
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_LEFT | ((state & ODS_NOACCEL) ? DT_HIDEPREFIX : 0);
  DrawTextA(dc, FCaption.c_str(), -1, &text, flags);
  std::string keys = ShortCutToText(ShortCut);
  if (!keys.empty()) {
    text.right -= PlainItemMetrics(dpi).ShortcutMargin;
    DrawTextA(dc, keys.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
  }
}

// -------------------------------------------------------------------- TMenu

TMenu::TMenu(TComponent* owner) : TComponent(owner), FItems(std::make_unique<TMenuItem>(nullptr)) {
  FItems->FMenu = this;
  LiveMenus().push_back(this);
}

TMenu::~TMenu() {
  auto& menus = LiveMenus();
  menus.erase(std::remove(menus.begin(), menus.end(), this), menus.end());
  if (FHandle) DestroyMenu(FHandle);
  FHandle = nullptr;
  DestroyBuilt(FItems.get());
  FItems->FMenu = nullptr;  // the root item goes after this menu
}

const std::vector<TMenu*>& TMenu::Menus() { return LiveMenus(); }

void TMenu::Rebuild() {
  Settle();
  FHandle = Build(FItems.get());
}

// Keys and separators settled, the last built menu gone.
void TMenu::Settle() {
  if (AutoHotkeys == maAutomatic) AssignKeys(FItems.get());
  ReduceLines(FItems.get());
  if (FHandle) DestroyMenu(FHandle);  // sub-menus go with it
  FHandle = nullptr;
  DestroyBuilt(FItems.get());
}

// Keys are settled per (sub-)menu among the visible, non-separator items
// with a caption; the changed captions stay in the items.
void TMenu::AssignKeys(TMenuItem* parent) {
  std::vector<TMenuItem*> items;
  std::vector<std::string> captions;
  for (TMenuItem* item : parent->FItems) {
    if (item->Count()) AssignKeys(item);
    if (!item->FVisible || item->IsLine() || item->FCaption.empty()) continue;
    items.push_back(item);
    captions.push_back(item->FCaption);
  }
  std::vector<std::string> keyed = AssignAccessKeys(captions);
  for (size_t i = 0; i < items.size() && i < keyed.size(); ++i) items[i]->SetCaption(keyed[i]);
}

void TMenu::ReduceLines(TMenuItem* parent) {
  std::vector<TMenuLine> lines;
  for (TMenuItem* item : parent->FItems) {
    if (item->Count()) ReduceLines(item);
    lines.push_back({item->FVisible, item->IsLine()});
  }
  std::vector<bool> shown(lines.size(), true);
  if (AutoLineReduction == maAutomatic) shown = ReduceSeparators(lines);
  for (size_t i = 0; i < parent->FItems.size(); ++i)
    parent->FItems[i]->FReduced = parent->FItems[i]->FVisible && i < shown.size() && !shown[i];
}

HMENU TMenu::Build(TMenuItem* parent, bool bar) {
  HMENU menu = bar ? CreateMenu() : CreatePopupMenu();
  if (!menu) throw EOutOfResources("Cannot create a menu");
  UINT position = 0;
  for (TMenuItem* item : parent->FItems) {
    if (!item->Shown()) continue;
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA;
    info.fType = item->IsLine() ? MFT_SEPARATOR : MFT_STRING;
    if (FOwnerDraw) info.fType |= MFT_OWNERDRAW;
    if (item->RadioItem) info.fType |= MFT_RADIOCHECK;
    if (IsRightToLeft()) info.fType |= MFT_RIGHTORDER;
    info.fState = item->FEnabled ? MFS_ENABLED : MFS_DISABLED;
    if (item->Checked) info.fState |= MFS_CHECKED;
    if (item->Default) info.fState |= MFS_DEFAULT;
    info.wID = item->FCommand;
    info.dwItemData = item->ItemData();
    std::string text = item->FCaption;
    std::string keys = ShortCutToText(item->ShortCut);
    if (!keys.empty()) text += "\t" + keys;
    if (!FOwnerDraw && !item->IsLine()) {
      info.fMask |= MIIM_STRING;
      info.dwTypeData = text.data();
    }
    if (item->Count()) {
      item->FHandle = Build(item);
      info.fMask |= MIIM_SUBMENU;
      info.hSubMenu = item->FHandle;
    }
    InsertMenuItemA(menu, position++, TRUE, &info);
  }
  return menu;
}

void TMenu::DestroyBuilt(TMenuItem* parent) {
  for (TMenuItem* item : parent->FItems) {
    item->FHandle = nullptr;
    DestroyBuilt(item);
  }
}

LRESULT TMenu::MenuChar(HMENU menu, char key) const {
  const TMenuItem* parent = nullptr;
  if (menu && menu == FHandle) parent = FItems.get();
  for (int i = 0; !parent && i < FItems->Count(); ++i)
    if (FItems->Items(i)->FHandle == menu) parent = FItems->Items(i);
  if (!parent) return 0;
  char wanted = UpperKey(key);
  WORD position = 0;
  for (TMenuItem* item : parent->FItems) {
    if (!item->Shown()) continue;
    char hotkey = GetHotkey(item->FCaption);
    if (hotkey && UpperKey(hotkey) == wanted)
      return item->FEnabled && !item->IsLine() ? MAKELRESULT(position, MNC_EXECUTE) : MAKELRESULT(0, MNC_IGNORE);
    ++position;
  }
  return MAKELRESULT(0, MNC_IGNORE);
}

// --------------------------------------------------------------- TPopupMenu

void TPopupMenu::Popup(int x, int y) {
  OnPopup(this);
  Rebuild();
  TrackPopupMenu(FHandle, TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, PopupMenuWindow(), nullptr);
}

// ---------------------------------------------------------------- TMainMenu

TMainMenu::~TMainMenu() { SetWindow(nullptr); }

void TMainMenu::SetOwnerDraw(bool ownerDraw) {
  if (ownerDraw == FOwnerDraw) return;
  FOwnerDraw = ownerDraw;
  if (FWindow) Rebuild();
}

// The bar leaves its window before it is destroyed: a window must never
// hold a destroyed menu.
void TMainMenu::Rebuild() {
  if (FWindow && GetMenu(FWindow) == FHandle) ::SetMenu(FWindow, nullptr);
  Settle();
  FHandle = Build(FItems.get(), true);
  if (FWindow) {
    ::SetMenu(FWindow, FHandle);
    DrawMenuBar(FWindow);
  }
}

void TMainMenu::SetWindow(HWND window) {
  if (FWindow && IsWindow(FWindow) && GetMenu(FWindow) == FHandle) ::SetMenu(FWindow, nullptr);
  FWindow = window;
  if (FWindow) Rebuild();
}

// ------------------------------------------------------------ shortcut text

std::string ShortCutToText(TShortCut shortCut) {
  BYTE key = LOBYTE(shortCut);
  if (!key) return "";
  std::string name;
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) {
    name = std::string(1, static_cast<char>(key));
  } else if (key >= VK_F1 && key <= VK_F24) {
    name = "F" + std::to_string(key - VK_F1 + 1);
  } else if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) {
    name = "Num " + std::to_string(key - VK_NUMPAD0);
  } else {
    static const struct {
      BYTE Key;
      const char* Name;
    } names[] = {{VK_BACK, "BkSp"},  {VK_TAB, "Tab"},    {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"},
                 {VK_SPACE, "Space"}, {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},    {VK_END, "End"},
                 {VK_HOME, "Home"},   {VK_LEFT, "Left"},  {VK_UP, "Up"},        {VK_RIGHT, "Right"},
                 {VK_DOWN, "Down"},   {VK_INSERT, "Ins"}, {VK_DELETE, "Del"}};
    for (auto& n : names)
      if (n.Key == key) name = n.Name;
    if (name.empty()) return "";  // a key without a display name shows nothing
  }
  std::string text;
  if (shortCut & scShift) text += "Shift+";
  if (shortCut & scCtrl) text += "Ctrl+";
  if (shortCut & scAlt) text += "Alt+";
  return text + name;
}

// ----------------------------------------------------------- menu window

bool DispatchMenuMessage(TMessage& message, UINT dpi) {
  switch (message.Msg) {
    case WM_COMMAND:
      if (HIWORD(message.WParam) != 0 || message.LParam != 0) return false;
      return MenuCommand(message);
    case WM_MEASUREITEM:
      return MeasureMenuItem(message, dpi);
    case WM_DRAWITEM:
      return DrawMenuItem(message, dpi);
    case WM_MENUCHAR:
      return MenuChar(message);
    default:
      return false;
  }
}

namespace {

// The popup menus' owner window: every message goes to the menu dispatch.
class TMenuWindow : public TObject {
public:
  HWND Handle() {
    if (!FWindow.Handle()) FWindow.Create(WndMethod(this, &TMenuWindow::WndProc));
    return FWindow.Handle();
  }
  void Destroy() { FWindow.Destroy(); }

private:
  void WndProc(TMessage& message) {
    if (!DispatchMenuMessage(message, WindowDpi(FWindow.Handle()))) FWindow.DefaultHandler(message);
  }

  TUtilWindow FWindow;
};

TMenuWindow& MenuWindow() {
  static TMenuWindow window;
  return window;
}

}  // namespace

HWND PopupMenuWindow() { return MenuWindow().Handle(); }

void DestroyPopupMenuWindow() { MenuWindow().Destroy(); }
