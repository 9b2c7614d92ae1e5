#include "GalleryForm.h"
#include "base/Cp1252.h"

namespace {

template <class T>
T* Make(TComponent* owner, TWinControl* parent, const char* name, int left, int top, int width, int height) {
  T* control = new T(owner);
  control->SetName(name);
  control->SetParent(parent);
  control->SetBounds(left, top, width, height);
  return control;
}

// A 16 x 16 picture on a magenta background (the mask colour).
TBitmap Picture(int kind) {
  TBitmap bitmap;
  bitmap.SetSize(16, 16);
  TCanvas& c = bitmap.Canvas();
  c.Brush.Color = 0xFF00FF;
  c.FillRect({0, 0, 16, 16});
  c.Brush.Color = kind == 0 ? 0x00A000 : kind == 1 ? 0x0000C0 : 0xC06000;
  c.Pen.Color = clBlack;
  if (kind == 1)
    c.Ellipse(2, 2, 14, 14);
  else
    c.Rectangle(2, 3, 14, 13);
  return bitmap;
}

TToolButton* AddButton(TComponent* owner, TToolBar* bar, const char* name, const char* caption, TToolButtonStyle style,
                       int image) {
  auto* button = new TToolButton(owner);
  button->SetName(name);
  button->SetCaption(caption);
  button->SetStyle(style);
  button->SetImageIndex(image);
  if (style == tbsSeparator) button->SetBounds(0, 0, 8, 22);
  button->SetToolBar(bar);
  return button;
}

}  // namespace

TGalleryForm::TGalleryForm(TComponent* owner) : TForm(owner) {
  BeginLoading();
  SetName("GalleryForm");
  SetCaption("Galerie");
  SetBounds(40, 30, 472, 470);

  ImageList1 = new TImageList(this, 16, 16);
  for (int i = 0; i < 3; ++i) {
    TBitmap picture = Picture(i);
    ImageList1->AddMasked(picture, 0xFF00FF);
  }
  PopupMenu1 = new TPopupMenu(this);
  for (const char* caption : {"&Datei", "&Ordner"}) {
    auto* item = new TMenuItem(this);
    item->SetCaption(caption);
    PopupMenu1->Items()->Add(item);
  }

  ToolBar1 = Make<TToolBar>(this, this, "ToolBar1", 0, 0, 464, 26);
  ToolBar1->SetImages(ImageList1);
  NewButton = AddButton(this, ToolBar1, "NewButton", "Neu", tbsButton, 0);
  Separator1 = AddButton(this, ToolBar1, "Separator1", "", tbsSeparator, -1);
  BoldButton = AddButton(this, ToolBar1, "BoldButton", "Fett", tbsCheck, 1);
  BoldButton->SetDown(true);
  OpenButton = AddButton(this, ToolBar1, "OpenButton", u8"Öffnen"_cp1252, tbsDropDown, 2);
  OpenButton->SetDropdownMenu(PopupMenu1);
  Separator2 = AddButton(this, ToolBar1, "Separator2", "", tbsSeparator, -1);
  Separator2->SetTag(1);
  LockedButton = AddButton(this, ToolBar1, "LockedButton", "Gesperrt", tbsButton, 0);
  LockedButton->SetEnabled(false);

  ToolBar2 = Make<TToolBar>(this, this, "ToolBar2", 0, 26, 464, 24);
  ToolBar2->SetImages(ImageList1);
  ToolBar2->SetList(true);
  ToolBar2->SetShowCaptions(true);
  ListButton1 = AddButton(this, ToolBar2, "ListButton1", "Liste", tbsButton, 0);
  ListButton2 = AddButton(this, ToolBar2, "ListButton2", u8"Prüfen"_cp1252, tbsCheck, 1);

  Edit1 = Make<TEdit>(this, this, "Edit1", 8, 60, 121, 21);
  Edit1->SetText("Eingabe");
  MaskEdit1 = Make<TMaskEdit>(this, this, "MaskEdit1", 8, 88, 121, 21);
  MaskEdit1->SetEditMask("00.00.0000;1;_");
  MaskEdit1->SetText("01.02.2003");
  LabeledEdit1 = Make<TLabeledEdit>(this, this, "LabeledEdit1", 8, 116, 121, 21);
  LabeledEdit1->SetText("beschriftet");
  ComboBox1 = Make<TComboBox>(this, this, "ComboBox1", 144, 60, 145, 21);
  for (const char* item : {"Eins", "Zwei", "Drei"}) ComboBox1->AddItem(item);
  ComboBox1->SetItemIndex(0);
  RichEdit1 = Make<TRichEdit>(this, this, "RichEdit1", 144, 90, 145, 47);
  RichEdit1->SetText("Formatierter Text");
  Memo1 = Make<TMemo>(this, this, "Memo1", 8, 144, 121, 33);
  Memo1->SetText("Notiz");
  RadioButton1 = Make<TRadioButton>(this, this, "RadioButton1", 304, 60, 113, 17);
  RadioButton1->SetCaption("Links");
  RadioButton2 = Make<TRadioButton>(this, this, "RadioButton2", 304, 80, 113, 17);
  RadioButton2->SetCaption("Rechts");
  RadioButton2->SetAlignment(taLeftJustify);
  RadioButton2->SetChecked(true);
  CheckBox1 = Make<TCheckBox>(this, this, "CheckBox1", 304, 100, 113, 17);
  CheckBox1->SetCaption(u8"Prüfen"_cp1252);
  CheckBox1->SetChecked(true);
  Button1 = Make<TButton>(this, this, "Button1", 144, 148, 75, 25);
  Button1->SetCaption("&Knopf");
  BitBtn1 = Make<TBitBtn>(this, this, "BitBtn1", 224, 148, 75, 25);
  BitBtn1->SetCaption("&Bild");
  BitBtn1->Glyph() = Picture(0);
  SpeedButton1 = Make<TSpeedButton>(this, this, "SpeedButton1", 304, 124, 25, 25);
  TBitmap cells;
  cells.SetSize(32, 16);
  TBitmap up = Picture(1), off = Picture(2);
  up.Draw(cells.Canvas().Handle(), 0, 0);
  off.Draw(cells.Canvas().Handle(), 16, 0);
  SpeedButton1->SetGlyph(cells);
  SpeedButton1->SetNumGlyphs(2);
  SpeedButton2 = Make<TSpeedButton>(this, this, "SpeedButton2", 332, 124, 25, 25);
  SpeedButton2->SetGlyph(Picture(0));
  SpeedButton2->SetFlat(true);
  SpeedButton2->SetGroupIndex(1);
  SpeedButton2->SetDown(true);
  SpeedButton3 = Make<TSpeedButton>(this, this, "SpeedButton3", 360, 124, 57, 25);
  SpeedButton3->SetCaption("Klar");
  SpeedButton3->SetFlat(true);
  SpeedButton3->SetTransparent(true);
  UpDown1 = Make<TUpDown>(this, this, "UpDown1", 420, 124, 17, 25);
  UpDown1->SetRange(0, 10);

  Panel1 = Make<TPanel>(this, this, "Panel1", 8, 184, 185, 73);
  Panel1->SetCaption("Tafel");
  Panel1->SetBevelInner(bvLowered);
  Panel1->SetBorderWidth(2);
  CheckBox2 = Make<TCheckBox>(this, Panel1, "CheckBox2", 8, 8, 97, 17);
  CheckBox2->SetCaption("Innen");
  GroupBox1 = Make<TGroupBox>(this, this, "GroupBox1", 200, 184, 145, 73);
  GroupBox1->SetCaption("Gruppe");
  RadioButton3 = Make<TRadioButton>(this, GroupBox1, "RadioButton3", 8, 24, 113, 17);
  RadioButton3->SetCaption("Allein");
  RadioButton3->SetChecked(true);
  ScrollBox1 = Make<TScrollBox>(this, this, "ScrollBox1", 352, 184, 105, 73);
  Edit2 = Make<TEdit>(this, ScrollBox1, "Edit2", 8, 8, 81, 21);

  PageControl1 = Make<TPageControl>(this, this, "PageControl1", 8, 264, 185, 81);
  TabSheet1 = new TTabSheet(this);
  TabSheet1->SetName("TabSheet1");
  TabSheet1->SetCaption("Erste");
  TabSheet1->SetPageControl(PageControl1);
  TabSheet2 = new TTabSheet(this);
  TabSheet2->SetName("TabSheet2");
  TabSheet2->SetCaption("Zweite");
  TabSheet2->SetPageControl(PageControl1);
  Edit3 = Make<TEdit>(this, TabSheet1, "Edit3", 8, 8, 121, 21);

  CoolBar1 = Make<TCoolBar>(this, this, "CoolBar1", 200, 264, 145, 30);
  Edit4 = Make<TEdit>(this, CoolBar1, "Edit4", 0, 0, 100, 21);
  PageScroller1 = Make<TPageScroller>(this, this, "PageScroller1", 200, 300, 145, 30);
  Panel2 = Make<TPanel>(this, PageScroller1, "Panel2", 0, 0, 300, 30);
  Panel2->SetCaption("Breite Tafel zum Rollen");
  Frame1 = Make<TFrame>(this, this, "Frame1", 352, 264, 105, 81);
  Button2 = Make<TButton>(Frame1, Frame1, "Button2", 8, 8, 75, 25);
  Button2->SetCaption("Rahmen");

  ControlBar1 = Make<TControlBar>(this, this, "ControlBar1", 8, 352, 449, 64);
  BandEdit = Make<TEdit>(this, ControlBar1, "BandEdit", 15, 6, 150, 21);
  BandButton = Make<TButton>(this, ControlBar1, "BandButton", 15, 36, 75, 25);
  BandButton->SetCaption("Band");

  XPStyle1 = new TXPStyle(this);
  XPStyle1->SetName("XPStyle1");
  XPStyle1->SetActive(true);
  FinishLoading();
}

std::vector<TControl*> TGalleryForm::StyledControls() const {
  return {Edit1,        MaskEdit1,    LabeledEdit1, ComboBox1, RichEdit1, Memo1,     RadioButton1,
          RadioButton2, CheckBox1,    Button1,      BitBtn1,   SpeedButton1, SpeedButton2, SpeedButton3,
          UpDown1,      Panel1,       CheckBox2,    GroupBox1, RadioButton3, Edit2,   Edit3,
          Edit4,        Panel2,       Button2,      BandEdit,  BandButton};
}
