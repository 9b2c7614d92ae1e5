// The gallery: one form with every control kind and container the flat look
// paints, a tool bar in each mode and a control bar with two bands, with the
// style component last and active. The gallery program, the leak test and
// the gallery benchmark share it.
#pragma once
#include "ui/Buttons.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"
#include "ui/ImgList.h"
#include "ui/Mask.h"
#include "ui/Menus.h"
#include "ui/StdCtrls.h"
#include "xpstyle/XPStyle.h"

class TGalleryForm : public TForm {
public:
  explicit TGalleryForm(TComponent* owner);
  const char* ClassName() const override { return "TGalleryForm"; }

  TImageList* ImageList1;
  TPopupMenu* PopupMenu1;
  TToolBar* ToolBar1;  // images, plain / check / drop-down buttons, separators
  TToolButton *NewButton, *Separator1, *BoldButton, *OpenButton, *Separator2, *LockedButton;
  TToolBar* ToolBar2;  // list mode with captions
  TToolButton *ListButton1, *ListButton2;
  TEdit* Edit1;
  TMaskEdit* MaskEdit1;
  TLabeledEdit* LabeledEdit1;
  TComboBox* ComboBox1;
  TRichEdit* RichEdit1;
  TMemo* Memo1;
  TRadioButton *RadioButton1, *RadioButton2;
  TCheckBox* CheckBox1;
  TButton* Button1;
  TBitBtn* BitBtn1;
  TSpeedButton *SpeedButton1, *SpeedButton2, *SpeedButton3;
  TUpDown* UpDown1;
  TPanel* Panel1;
  TCheckBox* CheckBox2;
  TGroupBox* GroupBox1;
  TRadioButton* RadioButton3;
  TScrollBox* ScrollBox1;
  TEdit* Edit2;
  TPageControl* PageControl1;
  TTabSheet *TabSheet1, *TabSheet2;
  TEdit* Edit3;
  TCoolBar* CoolBar1;
  TEdit* Edit4;
  TPageScroller* PageScroller1;
  TPanel* Panel2;
  TFrame* Frame1;
  TButton* Button2;
  TControlBar* ControlBar1;
  TEdit* BandEdit;
  TButton* BandButton;
  TXPStyle* XPStyle1;

  // Every windowed and windowless control above that the style can hook.
  std::vector<TControl*> StyledControls() const;
};
