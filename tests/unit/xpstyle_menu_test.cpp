// Menu items in the flat look, drawn on memory bitmaps (each kind with its
// geometry), measuring, the menu steps of the style's walk, and a paint
// soak that a leaked object per paint would not survive.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/xpstyle_support.h"
#include "ui/ImgList.h"
#include "xpstyle/Primitives.h"

using namespace xp_support;

namespace {

constexpr COLORREF Magenta = RGB(255, 0, 255), Red = RGB(255, 0, 0), White = RGB(255, 255, 255);

// Someone else's drawing handler, which the style must leave in place.
struct TOwnDrawing : TObject {
  void Draw(TObject*, TCanvas*, const RECT&, TOwnerDrawState) {}
};

// A form with a menu bar ("Datei" with "Neu" below it) and a popup menu
// ("Eins", a line, "Zwei"); the style active with the program's settings.
class TMenuForm : public TForm {
public:
  TMenuForm() : TForm(nullptr) {
    Bar = new TMainMenu(this);
    File = AddItem(Bar->Items(), "Datei");
    New = AddItem(File, "Neu");
    SetMenu(Bar);
    Popup = new TPopupMenu(this);
    One = AddItem(Popup->Items(), "Eins");
    Line = AddItem(Popup->Items(), "-");
    Two = AddItem(Popup->Items(), "Zwei");
    Empty = new TPopupMenu(this);
    Style = new TXPStyle(this);
    Style->SetFlatMenu(true);
    Style->SetActive(true);
  }
  TMenuItem* AddItem(TMenuItem* parent, const char* caption) {
    auto* item = new TMenuItem(this);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
  }

  TMainMenu* Bar;
  TPopupMenu *Popup, *Empty;
  TMenuItem *File, *New, *One, *Line, *Two;
  TXPStyle* Style;
};

struct XPMenus : ::testing::Test {
  Owned<TMenuForm> Form{new TMenuForm()};
  TBitmap Surface = Filled(150, 21, Magenta);
  TCanvas& Canvas() { return Surface.Canvas(); }
  COLORREF At(int x, int y) { return Canvas().Pixel(x, y); }
  COLORREF Lighten(TColor color, int percent) { return LightenColor(Canvas(), color, percent); }
  void Draw(TMenuItem* item, UINT state, RECT r = {0, 0, 150, 20}) {
    Surface = Filled(150, 21, Magenta);
    Form->Style->DrawItemHandler(item, &Canvas(), r, state);
  }
  // Leftmost and rightmost column holding a pixel of this colour (-1: none).
  std::pair<int, int> Span(COLORREF color) {
    int first = -1, last = -1;
    for (int x = 0; x < Surface.Width(); ++x)
      for (int y = 0; y < Surface.Height(); ++y)
        if (At(x, y) == color) {
          if (first < 0) first = x;
          last = x;
        }
    return {first, last};
  }
  COLORREF Back() { return Lighten(clBtnFace, 86); }
  COLORREF IconBack() { return Lighten(clBtnFace, 16); }
  COLORREF SelectFill() { return Lighten(clHighlight, 68); }
  COLORREF Highlight() { return GetSysColor(COLOR_HIGHLIGHT); }
  COLORREF Text() { return GetSysColor(COLOR_MENUTEXT); }
};

TBitmap RedSquareGlyph() {
  TBitmap glyph = Filled(16, 16, White);  // white: the transparent colour
  glyph.Canvas().Brush.Color = Red;
  glyph.Canvas().FillRect({6, 6, 10, 10});
  return glyph;
}

}  // namespace

TEST_F(XPMenus, TextItemsLinesAndDisabledItemsAtRest) {
  Draw(Form->One, 0);
  EXPECT_EQ((std::vector<COLORREF>{At(0, 0), At(23, 20), At(24, 0), At(149, 20)}),
            (std::vector<COLORREF>{IconBack(), IconBack(), Back(), Back()}))
      << "icon column 24 wide, the row one below the rectangle included";
  auto [left, right] = Span(Text());
  EXPECT_GT(left, 24 + 3) << "the caption after the column, its leading blank and 3 pixels";
  EXPECT_LT(right, 80);

  // A line 4 high: drawn on row 0 + round(5 / 2) = 2 (half to even), from 7
  // right of the column to the right edge.
  Draw(Form->Line, 0, {0, 0, 150, 4});
  const COLORREF line = Lighten(clBtnShadow, 25);
  EXPECT_EQ((std::vector<COLORREF>{At(30, 2), At(31, 2), At(149, 2), At(60, 1), At(60, 3), At(60, 5)}),
            (std::vector<COLORREF>{Back(), line, line, Back(), Back(), Magenta}));

  // Disabled: never highlighted, whatever the state bits; grey text.
  Form->Two->SetEnabled(false);
  Draw(Form->Two, ODS_SELECTED | ODS_GRAYED | ODS_DISABLED);
  EXPECT_EQ(At(140, 10), Back());
  EXPECT_EQ(Span(Text()).first, -1);
  EXPECT_GT(Span(Lighten(clBtnShadow, 10)).first, 27);
}

TEST_F(XPMenus, AnyStateBitSelectsAndTheFlatMenuLeavesTheLastColumn) {
  struct TCase {
    UINT State;
    bool Flat;
  } cases[] = {{ODS_SELECTED, true}, {ODS_DEFAULT, true}, {ODS_FOCUS, false}};
  for (auto& c : cases) {
    Form->Style->SetFlatMenu(c.Flat);
    Draw(Form->One, c.State);
    const COLORREF H = Highlight(), S = SelectFill(), B = Back(), I = IconBack();
    int r = c.Flat ? 148 : 149;  // the frame's right column
    EXPECT_EQ((std::vector<COLORREF>{At(0, 0), At(0, 1), At(5, 10), At(140, 10), At(140, 19), At(140, 20), At(r, 10),
                                     At(149, 10)}),
              (std::vector<COLORREF>{I, H, S, S, H, B, H, c.Flat ? B : H}))
        << "state " << c.State;
  }
}

TEST_F(XPMenus, CheckIndicatorsWithoutAndWithGlyph) {
  // Checked, no glyph: a 10 x 10 box centred in the column, the tick in
  // black with its long stroke out of the box; selected by its state bit.
  Form->One->Checked = true;
  Draw(Form->One, ODS_CHECKED);
  std::vector<std::string> expected = {
      "ssssssssssssss", "sHHHHHHHHHHsks", "sHffffffffHkss", "sHffffffffksss", "sHfffffffkHsss", "sHfkffffkfHsss",
      "sHkkkffkffHsss", "sHfkkkkkffHsss", "sHffkkkfffHsss", "sHfffkffffHsss", "sHHHHHHHHHHsss", "ssssssssssssss"};
  EXPECT_EQ(Picture(Surface, {{SelectFill(), 's'}, {Highlight(), 'H'}, {Lighten(clHighlight, 50), 'f'}, {0, 'k'}},
                    {6, 4, 20, 16}),
            expected);

  // A radio item: a disc, no tick.
  Form->One->RadioItem = true;
  Draw(Form->One, 0);
  EXPECT_EQ((std::vector<COLORREF>{At(12, 10), At(12, 5), At(7, 5), At(18, 5)}),
            (std::vector<COLORREF>{Lighten(clHighlight, 80), Highlight(), IconBack(), IconBack()}));

  // With a glyph: a framed box (1, 2, 21, 19) behind it, the glyph unlifted
  // and undimmed at ((24 - 16) / 2 - 1, 3); rounded corners for a radio item.
  Form->One->Bitmap() = RedSquareGlyph();
  for (bool radio : {false, true}) {
    Form->One->RadioItem = radio;
    Draw(Form->One, 0);
    const COLORREF fill = Lighten(clHighlight, 80);
    EXPECT_EQ((std::vector<COLORREF>{At(1, 2) == Highlight(), At(1, 10) == Highlight(), At(3, 3) == fill,
                                     At(9, 9) == Red, At(12, 12) == Red, At(13, 13) == fill}),
              (std::vector<COLORREF>{!radio, true, true, true, true, true}))
        << (radio ? "radio" : "check");
  }
}

TEST_F(XPMenus, GlyphsFromBitmapAndImageListsDimmedLiftedOrGreyed) {
  // At rest the glyph is dimmed by DimLevel 30: red becomes (255, 76, 76).
  Form->Two->Bitmap() = RedSquareGlyph();
  Draw(Form->Two, 0);
  EXPECT_EQ(At(9, 9), RGB(255, 76, 76));
  EXPECT_EQ(At(8, 8), IconBack());
  // Selected: lifted one pixel up and left, a shadow 2 pixels down-right.
  Draw(Form->Two, ODS_SELECTED);
  EXPECT_EQ((std::vector<COLORREF>{At(8, 8), At(11, 11), At(13, 13), At(14, 14)}),
            (std::vector<COLORREF>{Red, Red, DarkenColor(SelectFill(), 50), SelectFill()}));
  // Disabled: greyed, then lightened by 40 %.
  Form->Two->SetEnabled(false);
  Draw(Form->Two, 0);
  const COLORREF grey = Lighten(GrayColor(Red, 10), 40);
  EXPECT_EQ(At(9, 9), grey);

  // An image list of the menu wins over the bitmap; a bad index draws none.
  TImageList images(nullptr, 16, 16);
  TBitmap cell = RedSquareGlyph();
  ASSERT_EQ(images.AddMasked(cell, White), 0);
  Form->Popup->SetImages(&images);
  Form->One->ImageIndex = 0;
  Form->One->Checked = true;
  Draw(Form->One, 0);
  EXPECT_EQ(At(9, 9), Red);
  Form->One->ImageIndex = 5;
  Draw(Form->One, 0);
  EXPECT_EQ(Span(Red).first, -1);
  EXPECT_EQ(At(1, 2), Highlight()) << "still has a glyph: the framed box";
  // From the sub-menu images of the parent item, which win; a freed list is
  // forgotten.
  auto* subImages = new TImageList(Form.get(), 12, 12);
  Form->File->SetSubMenuImages(subImages);
  Form->New->ImageIndex = 0;
  EXPECT_EQ(Form->Style->GetItemGlyphSize(Form->New).cy, 12);
  subImages->Free();
  EXPECT_EQ(Form->File->SubMenuImages(), nullptr);
}

TEST_F(XPMenus, DefaultEmphasisRightToLeftAndShortcuts) {
  Form->One->Default = true;
  Draw(Form->One, 0);
  EXPECT_GT(Span(DarkenColor(Back(), 60)).first, 27) << "the fourth pass of the default emphasis";
  EXPECT_GT(Span(DarkenColor(Back(), 30)).first, 27);

  // Right to left: column on the right, caption right-aligned 3 pixels from
  // it, shortcut text ("Ctrl+S", 40 lighter) on the left, 10 pixels in.
  Form->Popup->BiDiMode = bdRightToLeft;
  Form->Two->ShortCut = scCtrl | 'S';
  Draw(Form->Two, 0);
  EXPECT_EQ((std::vector<COLORREF>{At(126, 0), At(149, 20), At(125, 0), At(0, 0)}),
            (std::vector<COLORREF>{IconBack(), IconBack(), Back(), Back()}));
  auto [left, right] = Span(Text());
  EXPECT_GT(left, 70);
  EXPECT_LE(right, 126 - 3);
  auto keys = Span(LightenColor(Text(), 40));
  EXPECT_GE(keys.first, 10);
  EXPECT_LT(keys.second, 60);
  Draw(Form->Line, 0, {0, 0, 150, 4});
  EXPECT_EQ((std::vector<COLORREF>{At(0, 2), At(118, 2), At(119, 2)}),
            (std::vector<COLORREF>{Lighten(clBtnShadow, 25), Lighten(clBtnShadow, 25), Back()}));
}

TEST_F(XPMenus, BarItemsWithTheRaisedAndTheSimpleHighlight) {
  const COLORREF M = GetSysColor(COLOR_BTNFACE), H = Highlight(), S = SelectFill();
  Draw(Form->File, 0, {0, 0, 60, 20});
  EXPECT_EQ((std::vector<COLORREF>{At(0, 0), At(59, 20), At(60, 0)}), (std::vector<COLORREF>{M, M, Magenta}));

  Draw(Form->File, ODS_HOTLIGHT, {0, 0, 60, 20});
  EXPECT_EQ((std::vector<COLORREF>{At(0, 20), At(0, 0), At(51, 0), At(52, 20), At(30, 1), At(59, 0), At(59, 20),
                                   At(57, 20), At(55, 20), At(53, 20), At(58, 1), At(56, 7), At(54, 5)}),
            (std::vector<COLORREF>{H, H, H, H, S, DarkenColor(M, 10), DarkenColor(M, 10), DarkenColor(M, 30),
                                   DarkenColor(M, 60), DarkenColor(M, 100), M, DarkenColor(M, 30),
                                   DarkenColor(M, 40)}));

  // The simple form: right to left (or a tool button).
  Form->Bar->BiDiMode = bdRightToLeft;
  Draw(Form->File, ODS_SELECTED, {0, 0, 60, 20});
  EXPECT_EQ((std::vector<COLORREF>{At(0, 20), At(57, 0), At(57, 20), At(58, 0), At(59, 1), At(58, 2), At(59, 20),
                                   At(30, 1)}),
            (std::vector<COLORREF>{H, H, H, M, M, DarkenColor(M, 70), DarkenColor(M, 70), S}));
}

TEST_F(XPMenus, MeasuringSizesItemsFromTheStoredFont) {
  TCanvas& canvas = Canvas();
  auto measure = [&](TMenuItem* item) {
    SIZE size{10, 2};
    int w = size.cx, h = size.cy;
    Form->Style->MeasureItemHandler(item, &canvas, w, h);
    return SIZE{w, h};
  };
  TCanvas probe(Canvas().Handle());
  probe.Font = Form->Style->Font();
  EXPECT_EQ(measure(Form->One).cx, probe.TextWidth("Eins") + 5 + 24);
  int th = probe.TextHeight("Eins");
  EXPECT_EQ(measure(Form->One).cy, th + static_cast<int>(std::nearbyint(th * 0.75)));
  EXPECT_EQ(measure(Form->Line).cy, 4) << "set, not raised";
  EXPECT_EQ(measure(Form->Line).cx, 29);
  Form->Two->SetCaption("Zw&ei");
  EXPECT_EQ(measure(Form->Two).cx, probe.TextWidth("Zw&ei") - probe.TextWidth("&") + 29);
  Form->Two->ShortCut = scCtrl | VK_F5;
  EXPECT_EQ(measure(Form->Two).cx, probe.TextWidth("Zw&eiCtrl+F5WWW") - probe.TextWidth("&") + 29);
  // The form's bar item: no icon column, 8 more on NT.
  Form->New->SetCaption("Datei");
  EXPECT_EQ(measure(Form->File).cx, measure(Form->New).cx - 24 + 8);
  Form->Style->SetActive(false);
  EXPECT_EQ(measure(Form->One).cx, 10) << "inactive: the proposed size stays";
}

TEST_F(XPMenus, TheWalkOwnerDrawsMenusAndHooksTheirItems) {
  auto drawsOurs = [this](TMenuItem* item) {
    return item->OnAdvancedDrawItem == AdvancedMenuDrawItemEvent(Form->Style, &TXPStyle::DrawItemHandler) &&
           item->OnMeasureItem == MenuMeasureItemEvent(Form->Style, &TXPStyle::MeasureItemHandler);
  };
  EXPECT_TRUE(Form->Popup->OwnerDraw() && Form->Bar->OwnerDraw());
  EXPECT_FALSE(Form->Empty->OwnerDraw()) << "a menu without items is not switched";
  for (TMenuItem* item : {Form->File, Form->New, Form->One, Form->Line, Form->Two}) EXPECT_TRUE(drawsOurs(item));

  // Own handlers and tag 999 are kept out; items added later are hooked
  // when a neighbour is drawn.
  TOwnDrawing own;
  Form->Style->SetActive(false);
  EXPECT_FALSE(Form->Popup->OwnerDraw() || drawsOurs(Form->One) || Form->One->OnMeasureItem.Assigned());
  Form->One->OnAdvancedDrawItem = AdvancedMenuDrawItemEvent(&own, &TOwnDrawing::Draw);
  Form->Two->SetTag(XPExcludeTag);
  Form->Bar->SetTag(XPExcludeTag);
  Form->Style->SetActive(true);
  EXPECT_EQ(Form->One->OnAdvancedDrawItem.Data, &own);
  EXPECT_TRUE(Form->One->OnMeasureItem.Assigned());
  EXPECT_FALSE(Form->Two->OnAdvancedDrawItem.Assigned() || Form->File->OnAdvancedDrawItem.Assigned());
  EXPECT_FALSE(Form->Bar->OwnerDraw());
  Form->Style->SetAutoDetect(true);  // an insertion leaves the attachments as they are
  TMenuItem* late = Form->AddItem(Form->Popup->Items(), "Drei");
  EXPECT_FALSE(late->OnAdvancedDrawItem.Assigned());
  Draw(Form->Line, 0);
  EXPECT_TRUE(drawsOurs(late));

  // OverrideOwnerDraw takes the slot; a set without popup menus re-attaches
  // without them.
  Form->Style->SetOverrideOwnerDraw(true);
  Form->Style->SetXPControls(AllXPControls & ~(1u << xcPopupMenu));
  EXPECT_FALSE(Form->Popup->OwnerDraw() || drawsOurs(late));
  EXPECT_EQ(Form->One->OnAdvancedDrawItem.Data, &own);
  Form->Style->SetXPControls(AllXPControls);
  EXPECT_TRUE(drawsOurs(Form->One));
}

// The items are drawn with the system's menu font record as it stands: a
// semibold, narrowed, unsmoothed font is not rebuilt as a plain one.
TEST_F(XPMenus, ItemsUseTheSystemMenuFontRecordAsItStands) {
  NONCLIENTMETRICSA saved{};
  saved.cbSize = sizeof saved;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &saved, 0));
  struct TRestore {
    NONCLIENTMETRICSA& Metrics;
    ~TRestore() { SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, 0, &Metrics, 0); }
  } restore{saved};
  NONCLIENTMETRICSA metrics = saved;
  metrics.lfMenuFont.lfWeight = FW_SEMIBOLD;
  metrics.lfMenuFont.lfWidth = 5;
  metrics.lfMenuFont.lfQuality = NONANTIALIASED_QUALITY;
  ASSERT_TRUE(SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, 0, &metrics, 0));
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0));
  ASSERT_EQ(metrics.lfMenuFont.lfWeight, FW_SEMIBOLD);

  Draw(Form->One, 0);
  LOGFONTA used{};
  ASSERT_TRUE(GetObjectA(GetCurrentObject(Canvas().Handle(), OBJ_FONT), sizeof used, &used));
  const LOGFONTA& system = metrics.lfMenuFont;
  EXPECT_EQ((std::vector<LONG>{used.lfHeight, used.lfWidth, used.lfWeight, used.lfQuality, used.lfCharSet}),
            (std::vector<LONG>{system.lfHeight, system.lfWidth, system.lfWeight, system.lfQuality, system.lfCharSet}));
  EXPECT_STREQ(used.lfFaceName, system.lfFaceName);
}

// Wine's GDI handle table holds about 65 500 objects. The table is filled
// up to 3000 free entries first; each menu paint (with the flat frame on a
// real window and the system menu font reloaded over a live handle) makes
// and frees pens,
// brushes and fonts, so 4000 paints would run it dry on one leak per paint.
TEST_F(XPMenus, PaintsReleaseEveryObjectTheyTake) {
  Form->HandleNeeded();
  std::vector<TGdiObject> held;
  for (HGDIOBJ pen; (pen = CreatePen(PS_SOLID, 1, RGB(held.size() & 0xFF, 0, 0))) != nullptr;)
    held.emplace_back(pen);
  ASSERT_GT(held.size(), 30000u);
  held.resize(held.size() - 3000);
  for (int i = 0; i < 4000; ++i) {
    Form->Style->Font().Handle();  // the handle each drawing's reload replaces
    Form->Style->DrawItemHandler(Form->Two, &Canvas(), {0, 0, 150, 20}, i % 2 ? ODS_SELECTED : 0);
    Form->Style->DrawFlatMenuFrame(Form->Handle(), false);
  }
  TGdiObject pen(CreatePen(PS_SOLID, 1, 0)), brush(CreateSolidBrush(0));
  EXPECT_TRUE(pen.Get() && brush.Get());
  held.clear();
  Draw(Form->Two, ODS_SELECTED);
  EXPECT_EQ(At(140, 10), SelectFill());
  EXPECT_EQ(At(140, 1), Highlight());
}
