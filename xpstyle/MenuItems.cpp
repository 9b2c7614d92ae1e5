// The menu steps of the style's walk and the hooking of menu items.
#include "ui/Controls.h"
#include "xpstyle/XPStyle.h"

// A main menu (unless tagged out) or a popup menu: owner drawing switched
// once per top-level item, so a menu without items keeps its drawing; the
// handlers go into the whole item tree.
void TXPStyle::ApplyToMenu(TComponent* component, bool activate) {
  auto* menu = dynamic_cast<TMenu*>(component);
  if (!menu) return;
  bool taken = (Is<TMainMenu>(menu) && InSet(FXPControls, xcMainMenu) && menu->Tag() != XPExcludeTag) ||
               (Is<TPopupMenu>(menu) && InSet(FXPControls, xcPopupMenu));
  if (!taken) return;
  TMenuItem* items = menu->Items();
  for (int i = 0; i < items->Count(); ++i) {
    menu->SetOwnerDraw(activate);
    UpdateItemHooks(items->Items(i), activate);
    UpdateItemTree(items->Items(i), activate);
  }
}

void TXPStyle::UpdateItemHooks(TMenuItem* item, bool activate) {
  const TAdvancedMenuDrawItemEvent draw = AdvancedMenuDrawItemEvent(this, &TXPStyle::DrawItemHandler);
  const TMenuMeasureItemEvent measure = MenuMeasureItemEvent(this, &TXPStyle::MeasureItemHandler);
  if (activate) {
    if (item->Tag() == XPExcludeTag) return;
    if (!item->OnAdvancedDrawItem.Assigned() || FOverrideOwnerDraw) item->OnAdvancedDrawItem = draw;
    if (!item->OnMeasureItem.Assigned() || FOverrideOwnerDraw) item->OnMeasureItem = measure;
    return;
  }
  if (item->OnAdvancedDrawItem == draw) item->OnAdvancedDrawItem = {};
  if (item->OnMeasureItem == measure) item->OnMeasureItem = {};
}

void TXPStyle::UpdateItemTree(TMenuItem* item, bool activate) {
  UpdateItemHooks(item, activate);
  for (int i = 0; i < item->Count(); ++i) UpdateItemTree(item->Items(i), activate);
}

void TXPStyle::HookMenuItem(TMenuItem* item) {
  if (item->Tag() == XPExcludeTag ||
      item->OnAdvancedDrawItem == AdvancedMenuDrawItemEvent(this, &TXPStyle::DrawItemHandler))
    return;
  UpdateItemHooks(item, true);
}

void TXPStyle::HookSiblingItems(TMenuItem* item) {
  HookMenuItem(item);
  TMenuItem* parent = item->Parent();
  if (!parent) return;
  for (int i = 0; i < parent->Count(); ++i) {
    TMenuItem* sibling = parent->Items(i);
    HookMenuItem(sibling);
    for (int j = 0; j < sibling->Count(); ++j) HookSiblingItems(sibling->Items(j));
  }
}
