// Common-control kinds: rich edit, up-down, tool bar with tool buttons, cool
// bar, page scroller, page control with tab sheets. Each window is of its
// own class built over the common control.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "ui/Controls.h"
#include "ui/ImgList.h"
#include "ui/StdCtrls.h"

class TMenuItem;
class TPopupMenu;

// A multi-line edit over the system's rich edit. BorderWidth is an inner
// margin in the control's colour around the text.
class TCustomRichEdit : public TCustomEdit {
public:
  explicit TCustomRichEdit(TComponent* owner) : TCustomEdit(owner) {}
  const char* ClassName() const override { return "TCustomRichEdit"; }

  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int width);
  void WndProc(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;

private:
  int FBorderWidth = 0;
};

class TRichEdit : public TCustomRichEdit {
public:
  explicit TRichEdit(TComponent* owner) : TCustomRichEdit(owner) {}
  const char* ClassName() const override { return "TRichEdit"; }
};

// Arrow buttons that step Position between Min and Max.
class TUpDown : public TWinControl {
public:
  explicit TUpDown(TComponent* owner) : TWinControl(owner) {}
  const char* ClassName() const override { return "TUpDown"; }

  void SetRange(int min, int max);
  int Position();
  void SetPosition(int position);

protected:
  void CreateParams(TCreateParams& params) override;
  void InitializeWnd() override;

private:
  int FMin = 0;
  int FMax = 100;
  int FPosition = 0;
};

class TToolBar;

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

// Custom-draw state bits of a tool button (the CDIS_ values).
using TCustomDrawState = unsigned;

// A button of a tool bar. Its bounds are the common control's item
// rectangle in tool bar coordinates, kept up to date by the tool bar.
class TToolButton : public TGraphicControl {
public:
  explicit TToolButton(TComponent* owner) : TGraphicControl(owner) {}
  ~TToolButton() override;
  const char* ClassName() const override { return "TToolButton"; }
  void Paint(HDC) override {}  // the tool bar draws its buttons

  TToolBar* ToolBar() const;
  // Puts the button at the end of the tool bar's buttons.
  void SetToolBar(TToolBar* toolBar);
  int Index() const;

  TToolButtonStyle Style() const { return FStyle; }
  void SetStyle(TToolButtonStyle style);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int index);
  // A checked check button, or a pressed plain one.
  bool Down() const { return FDown; }
  void SetDown(bool down);
  // Check buttons with the same group index (above 0) exclude each other.
  TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
  void SetDropdownMenu(TPopupMenu* menu) { FDropdownMenu = menu; }
  // A button that stands for a menu item: its click is the item's.
  TMenuItem* MenuItem() const { return FMenuItem; }
  void SetMenuItem(TMenuItem* item) { FMenuItem = item; }
  WORD Command() const { return FCommand; }
  void Click() override;
  void WndProc(TMessage& message) override;
  // A separator's stored width scales; the tool bar lays its buttons out anew.
  void ScaleForDpi(UINT dpi) override;

private:
  friend class TToolBar;
  void Changed();

  TToolButtonStyle FStyle = tbsButton;
  int FImageIndex = -1;
  bool FDown = false;
  TPopupMenu* FDropdownMenu = nullptr;
  TMenuItem* FMenuItem = nullptr;
  WORD FCommand = 0;
};

using TToolBarCustomDrawButtonCode = void (TObject::*)(TToolBar* sender, TToolButton* button,
                                                       TCustomDrawState state, bool& defaultDraw);
struct TToolBarCustomDrawButtonEvent {
  TObject* Data = nullptr;
  TToolBarCustomDrawButtonCode Code = nullptr;

  bool Assigned() const { return Code != nullptr; }
  void operator()(TToolBar* sender, TToolButton* button, TCustomDrawState state, bool& defaultDraw) const {
    (Data->*Code)(sender, button, state, defaultDraw);
  }
  bool operator==(const TToolBarCustomDrawButtonEvent&) const = default;
};

template <class T>
TToolBarCustomDrawButtonEvent ToolBarCustomDrawButtonEvent(T* object,
                                                           void (T::*code)(TToolBar*, TToolButton*,
                                                                           TCustomDrawState, bool&)) {
  return {object, static_cast<TToolBarCustomDrawButtonCode>(code)};
}

// A bar of buttons over the common-controls tool bar. Each button's drawing
// is offered to OnCustomDrawButton first, on the tool bar's Canvas.
class TToolBar : public TWinControl {
public:
  explicit TToolBar(TComponent* owner);
  ~TToolBar() override;
  const char* ClassName() const override { return "TToolBar"; }

  int ButtonCount() const { return static_cast<int>(FButtons.size()); }
  TToolButton* Buttons(int index) const { return FButtons[index]; }

  bool Flat() const { return FFlat; }
  void SetFlat(bool flat);
  // Captions beside the images instead of below them.
  bool List() const { return FList; }
  void SetList(bool list);
  bool ShowCaptions() const { return FShowCaptions; }
  void SetShowCaptions(bool show);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool transparent);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* list);
  TCustomImageList* HotImages() const { return FHotImages; }
  void SetHotImages(TCustomImageList* list);
  TCustomImageList* DisabledImages() const { return FDisabledImages; }
  void SetDisabledImages(TCustomImageList* list);
  // The stored button size scales with the bar.
  void ScaleForDpi(UINT dpi) override;

  // The surface of the button being drawn; valid inside OnCustomDrawButton.
  TCanvas& Canvas();

  TToolBarCustomDrawButtonEvent OnCustomDrawButton;

  void WndProc(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void InitializeWnd() override;

private:
  friend class TToolButton;
  void AddButton(TToolButton* button);
  void RemoveButton(TToolButton* button);
  void RebuildButtons();
  void UpdateButtonBounds();
  void UpdateButtonState(TToolButton* button);
  TToolButton* ButtonByCommand(WORD command) const;
  void CNNotify(TMessage& message);
  LRESULT CustomDraw(NMTBCUSTOMDRAW& draw);
  void DropDown(TToolButton* button);
  void ApplyImageLists();

  std::vector<TToolButton*> FButtons;
  bool FFlat = false;
  bool FList = false;
  bool FShowCaptions = false;
  bool FTransparent = false;
  TCustomImageList* FImages = nullptr;
  TCustomImageList* FHotImages = nullptr;
  TCustomImageList* FDisabledImages = nullptr;
  int FButtonWidth = 23;
  int FButtonHeight = 22;
  SIZE FDesignButtonSize{23, 22};  // at 96 DPI
  TCanvas* FCanvas = nullptr;
};

// A bar of bands over the common-controls rebar: each windowed child is a band.
class TCoolBar : public TWinControl {
public:
  explicit TCoolBar(TComponent* owner) : TWinControl(owner) {}
  const char* ClassName() const override { return "TCoolBar"; }

protected:
  void CreateParams(TCreateParams& params) override;
  void InitializeWnd() override;
};

// Scrolls one windowed child that is wider than the scroller.
class TPageScroller : public TWinControl {
public:
  explicit TPageScroller(TComponent* owner) : TWinControl(owner) {}
  const char* ClassName() const override { return "TPageScroller"; }
  void WndProc(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void InitializeWnd() override;
};

class TPageControl;

// A page of a page control; its caption is the tab's text.
class TTabSheet : public TWinControl {
public:
  explicit TTabSheet(TComponent* owner) : TWinControl(owner) {}
  const char* ClassName() const override { return "TTabSheet"; }
  void SetPageControl(TPageControl* control);
};

// Tabs over the common-controls tab control; the active sheet fills the
// display area, the others are hidden.
class TPageControl : public TWinControl {
public:
  explicit TPageControl(TComponent* owner);
  const char* ClassName() const override { return "TPageControl"; }

  int PageCount() const;
  TTabSheet* Pages(int index) const;
  void SetActivePage(TTabSheet* page);
  void WndProc(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void InitializeWnd() override;

private:
  friend class TTabSheet;
  void LayoutPages();

  TTabSheet* FActivePage = nullptr;
};
