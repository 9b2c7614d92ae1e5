// Menus: items with click and owner-draw events, popup menus, and the
// messages of the application's menu window that reach them.
#pragma once
#include <windows.h>
#include <memory>
#include <string>
#include <vector>
#include "ui/Classes.h"
#include "ui/Controls.h"
#include "ui/Graphics.h"

class TMenu;

// A key with modifiers: the virtual key in the low byte, scShift, scCtrl
// and scAlt above it.
using TShortCut = WORD;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
// The display text of a shortcut ("Ctrl+S", "Shift+F5", "Del"); empty for 0.
std::string ShortCutToText(TShortCut shortCut);

// The ODS_ state bits of a WM_DRAWITEM, as the system passes them.
using TOwnerDrawState = UINT;

// Measuring gets a canvas on a screen DC that carries the menu font; width
// and height come in with the library's default size and may be changed.
using TMenuMeasureItemCode = void (TObject::*)(TObject* sender, TCanvas* canvas, int& width, int& height);
struct TMenuMeasureItemEvent {
  TObject* Data = nullptr;
  TMenuMeasureItemCode Code = nullptr;

  bool Assigned() const { return Code != nullptr; }
  void operator()(TObject* sender, TCanvas* canvas, int& width, int& height) const {
    (Data->*Code)(sender, canvas, width, height);
  }
  bool operator==(const TMenuMeasureItemEvent&) const = default;
};

template <class T>
TMenuMeasureItemEvent MenuMeasureItemEvent(T* object, void (T::*code)(TObject*, TCanvas*, int&, int&)) {
  return {object, static_cast<TMenuMeasureItemCode>(code)};
}

// Drawing gets a canvas on the menu's DC (menu font selected), the item's
// rectangle and its state bits.
using TMenuDrawItemCode = void (TObject::*)(TObject* sender, TCanvas* canvas, const RECT& rect,
                                            TOwnerDrawState state);
struct TAdvancedMenuDrawItemEvent {
  TObject* Data = nullptr;
  TMenuDrawItemCode Code = nullptr;

  bool Assigned() const { return Code != nullptr; }
  void operator()(TObject* sender, TCanvas* canvas, const RECT& rect, TOwnerDrawState state) const {
    (Data->*Code)(sender, canvas, rect, state);
  }
  bool operator==(const TAdvancedMenuDrawItemEvent&) const = default;
};

template <class T>
TAdvancedMenuDrawItemEvent AdvancedMenuDrawItemEvent(T* object,
                                                     void (T::*code)(TObject*, TCanvas*, const RECT&, TOwnerDrawState)) {
  return {object, static_cast<TMenuDrawItemCode>(code)};
}

class TCustomImageList;
struct TMenuItemData;

// One menu line. Items are owned by their form like any component; the
// parent item only lists them.
class TMenuItem : public TComponent {
public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;
  const char* ClassName() const override { return "TMenuItem"; }

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& caption);
  // A caption of "-" makes the item a separator line.
  bool IsLine() const { return FCaption == "-"; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled) { FEnabled = enabled; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool visible) { FVisible = visible; }
  // Visible and not hidden by the separator reduction of the last opening.
  bool Shown() const { return FVisible && !FReduced; }
  WORD Command() const { return FCommand; }
  // The item's data in the built menu: the address of a block the item owns
  // whose first member is MSAAMENUINFO with the caption in UTF-16, "&"
  // included, kept current with the caption (a separator's carries no
  // signature and no text). Screen readers read an owner-drawn item's text
  // there; the menu window finds the item by it.
  ULONG_PTR ItemData() const;

  bool Checked = false;
  bool RadioItem = false;
  bool Default = false;
  TShortCut ShortCut = 0;
  int ImageIndex = -1;
  // Images of this item's sub-items (they win over the menu's Images);
  // forgotten when the list is freed.
  TCustomImageList* SubMenuImages() const { return FSubMenuImages; }
  void SetSubMenuImages(TCustomImageList* images);
  void Notification(TComponent* component, TOperation operation) override;
  TBitmap& Bitmap() { return FBitmap; }
  const TBitmap& Bitmap() const { return FBitmap; }

  int Count() const { return static_cast<int>(FItems.size()); }
  TMenuItem* Items(int index) const { return FItems[index]; }
  void Add(TMenuItem* item);
  void Remove(TMenuItem* item);
  TMenuItem* Parent() const { return FParent; }
  // The parent item, or the menu itself for a top-level item.
  TComponent* GetParentComponent() const;
  TMenu* GetParentMenu() const;
  // The item with this command, this one or one below it.
  TMenuItem* Find(WORD command);
  // The item whose ItemData this is, this one or one below it.
  TMenuItem* FindByData(ULONG_PTR data);

  TNotifyEvent OnClick;
  TMenuMeasureItemEvent OnMeasureItem;
  TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;

  virtual void Click();
  // Owner-draw requests; without handlers the library's plain look applies.
  void MeasureItem(TCanvas& canvas, int& width, int& height);
  void AdvancedDrawItem(TCanvas& canvas, const RECT& rect, TOwnerDrawState state);

private:
  friend class TMenu;

  std::string FCaption;
  std::unique_ptr<TMenuItemData> FData;
  bool FEnabled = true;
  bool FVisible = true;
  bool FReduced = false;
  WORD FCommand = 0;
  TBitmap FBitmap;
  TCustomImageList* FSubMenuImages = nullptr;
  std::vector<TMenuItem*> FItems;
  TMenuItem* FParent = nullptr;
  TMenu* FMenu = nullptr;  // set on the root item only
  HMENU FHandle = nullptr;  // the built sub-menu of an item with items
};

enum TMenuAutoFlag { maAutomatic, maManual };

class TMenu : public TComponent {
public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;
  const char* ClassName() const override { return "TMenu"; }

  TMenuItem* Items() const { return FItems.get(); }
  HMENU Handle() const { return FHandle; }
  bool OwnerDraw() const { return FOwnerDraw; }
  virtual void SetOwnerDraw(bool ownerDraw) { FOwnerDraw = ownerDraw; }
  // Images of the top-level items (and of sub-items whose parent has none);
  // forgotten when the list is freed.
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* images);
  void Notification(TComponent* component, TOperation operation) override;
  TBiDiMode BiDiMode = bdLeftToRight;
  bool IsRightToLeft() const { return BiDiMode != bdLeftToRight; }
  TMenuAutoFlag AutoHotkeys = maAutomatic;
  TMenuAutoFlag AutoLineReduction = maAutomatic;

  // Settles access keys and separators, then builds the menu anew from the
  // shown items with their current captions and states.
  virtual void Rebuild();
  TMenuItem* FindItem(WORD command) const { return FItems->Find(command); }
  TMenuItem* FindItemByData(ULONG_PTR data) const { return FItems->FindByData(data); }
  // The item an access key chooses in the built (sub-)menu, as WM_MENUCHAR
  // wants it: MNC_EXECUTE with its position, or MNC_IGNORE.
  LRESULT MenuChar(HMENU menu, char key) const;
  // The live menus, for the menu window's look-ups.
  static const std::vector<TMenu*>& Menus();

protected:
  void AssignKeys(TMenuItem* parent);
  void ReduceLines(TMenuItem* parent);
  // A popup menu of the parent's shown items; a menu bar for bar.
  HMENU Build(TMenuItem* parent, bool bar = false);
  void Settle();
  void DestroyBuilt(TMenuItem* parent);

  std::unique_ptr<TMenuItem> FItems;
  HMENU FHandle = nullptr;
  bool FOwnerDraw = false;
  TCustomImageList* FImages = nullptr;
};

class TPopupMenu : public TMenu {
public:
  explicit TPopupMenu(TComponent* owner) : TMenu(owner) {}
  const char* ClassName() const override { return "TPopupMenu"; }

  TNotifyEvent OnPopup;
  // Runs OnPopup (an error ends the opening before anything shows), settles
  // the items and tracks the menu at the point until it closes.
  virtual void Popup(int x, int y);

private:
};

// A form's menu bar: its top-level items sit in the bar, their items drop
// down from it. The form puts it into its window (TCustomForm::SetMenu).
class TMainMenu : public TMenu {
public:
  explicit TMainMenu(TComponent* owner) : TMenu(owner) {}
  ~TMainMenu() override;
  const char* ClassName() const override { return "TMainMenu"; }

  // Rebuilds the bar in its window when the value changes.
  void SetOwnerDraw(bool ownerDraw) override;
  // Builds the bar anew and, when it is in a window, puts it there.
  void Rebuild() override;
  // The window whose bar this is (nullptr: none); takes the bar out of the
  // window it was in.
  void SetWindow(HWND window);
  HWND Window() const { return FWindow; }

private:
  HWND FWindow = nullptr;
};

// The menu window's handling of WM_COMMAND, WM_MEASUREITEM, WM_DRAWITEM and
// WM_MENUCHAR for the library's menus, for a window of that DPI; false for
// every other message.
bool DispatchMenuMessage(TMessage& message, UINT dpi);

// The hidden window that owns every popup menu while it is tracked and
// receives its commands and owner-draw requests; made on first use and
// destroyed with the application object.
HWND PopupMenuWindow();
void DestroyPopupMenuWindow();
