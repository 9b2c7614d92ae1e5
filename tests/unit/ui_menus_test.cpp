// Menus: the built popup menu, and the menu window turning commands,
// owner-draw requests and access keys into calls on the items.
#include <gtest/gtest.h>

#include <memory>

#include "tests/support/app_support.h"
#include "ui/Menus.h"
#include "ui/StdCtrls.h"
#include "base/Cp1252.h"
#include "base/SysUtils.h"

namespace {

class TRecorder : public TObject {
public:
  std::vector<TObject*> Clicked;
  HDC MeasureDC = nullptr;
  std::string MeasureFace;
  HDC DrawDC = nullptr;
  RECT DrawRect{};
  UINT DrawState = 0;
  void Click(TObject* sender) { Clicked.push_back(sender); }
  void Measure(TObject*, TCanvas* canvas, int& width, int& height) {
    HDC dc = canvas->Handle();
    MeasureDC = dc;
    char face[LF_FACESIZE] = {};
    GetTextFaceA(dc, sizeof face, face);
    MeasureFace = face;
    width = 77;
    height = 19;
  }
  void Draw(TObject*, TCanvas* canvas, const RECT& rect, TOwnerDrawState state) {
    DrawDC = canvas->Handle();
    DrawRect = rect;
    DrawState = state;
  }
  void Fail(TObject*) { throw Exception("opening failed"); }
};

// A popup menu: "Eins", a line, "Zwei" (disabled), "Drei" (invisible), two
// lines in a row and "Vier"; owner-drawn.
class Menus : public ::testing::Test {
protected:
  void SetUp() override {
    Owner = std::make_unique<TComponent>(nullptr);
    Menu = new TPopupMenu(Owner.get());
    Menu->SetOwnerDraw(true);
    for (const char* caption : {"Eins", "-", "Zwei", "Drei", "-", "-", "Vier"}) {
      auto* item = new TMenuItem(Owner.get());
      item->SetCaption(caption);
      item->OnClick = NotifyEvent(&Recorder, &TRecorder::Click);
      Menu->Items()->Add(item);
    }
    Item(2)->SetEnabled(false);
    Item(3)->SetVisible(false);
  }
  TMenuItem* Item(int index) const { return Menu->Items()->Items(index); }
  LRESULT ToMenuWindow(UINT msg, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(Application->MenuWindow(), msg, wParam, lParam);
  }

  TRecorder Recorder;
  std::unique_ptr<TComponent> Owner;
  TPopupMenu* Menu;
};

std::vector<COLORREF> RowPixels(HDC dc, int y, std::initializer_list<int> xs) {
  std::vector<COLORREF> pixels;
  for (int x : xs) pixels.push_back(GetPixel(dc, x, y));
  return pixels;
}

}  // namespace

TEST_F(Menus, TheBuiltMenuHoldsTheShownItemsWithKeysStatesAndCommands) {
  Menu->Rebuild();
  HMENU handle = Menu->Handle();
  ASSERT_NE(handle, nullptr);
  // "Drei" is invisible; of the two lines in a row only the last stays.
  struct TExpected {
    int Item;
    const char* Caption;
    bool Line, Enabled;
  } expected[] = {{0, "&Eins", false, true}, {1, "-", true, true}, {2, "&Zwei", false, false},
                  {5, "-", true, true},      {6, "&Vier", false, true}};
  ASSERT_EQ(GetMenuItemCount(handle), 5);
  for (int position = 0; position < 5; ++position) {
    const TExpected& e = expected[position];
    SCOPED_TRACE(e.Caption);
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA;
    ASSERT_TRUE(GetMenuItemInfoA(handle, position, TRUE, &info));
    EXPECT_EQ(Item(e.Item)->Caption(), e.Caption);
    EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
    EXPECT_EQ((info.fType & MFT_SEPARATOR) != 0, e.Line);
    EXPECT_EQ((info.fState & MFS_DISABLED) == 0, e.Enabled);
    EXPECT_EQ(info.wID, Item(e.Item)->Command());
    ASSERT_EQ(info.dwItemData, Item(e.Item)->ItemData());
    EXPECT_EQ(app_support::ReaderText(info.dwItemData), e.Line ? L"(none)" : WideText(e.Caption));
  }
  EXPECT_EQ(Item(3)->Caption(), "Drei") << "invisible items get no key";
  EXPECT_FALSE(Item(4)->Shown());

  // Shown again: the line before "Drei" becomes needed between two texts.
  Item(3)->SetVisible(true);
  Item(4)->SetCaption(u8"Fünf"_cp1252);
  Menu->Rebuild();
  EXPECT_EQ(GetMenuItemCount(Menu->Handle()), 7);
  EXPECT_EQ(Item(3)->Caption(), "&Drei");
  EXPECT_EQ(Item(4)->Caption(), u8"&Fünf"_cp1252);
  EXPECT_EQ(app_support::ReaderText(Item(4)->ItemData()), L"&F\u00FCnf");
  // A freed item leaves the built menu: no entry keeps its block.
  Item(4)->Free();
  EXPECT_EQ(GetMenuItemCount(Menu->Handle()), 6);
}

TEST_F(Menus, CommandsReachTheEnabledItemsClickHandlerOnly) {
  Menu->Rebuild();
  ToMenuWindow(WM_COMMAND, MAKEWPARAM(Item(0)->Command(), 0), 0);
  ToMenuWindow(WM_COMMAND, MAKEWPARAM(Item(2)->Command(), 0), 0);  // disabled
  ToMenuWindow(WM_COMMAND, MAKEWPARAM(Item(6)->Command(), 1), 0);  // an accelerator, not a menu
  ToMenuWindow(WM_COMMAND, MAKEWPARAM(0xFFFE, 0), 0);              // nobody's
  ASSERT_EQ(Recorder.Clicked.size(), 1u);
  EXPECT_EQ(Recorder.Clicked[0], Item(0));

  // An error in a click handler goes to the error report.
  app_support::TCollectedErrors errors;
  Item(6)->OnClick = NotifyEvent(&Recorder, &TRecorder::Fail);
  ToMenuWindow(WM_COMMAND, MAKEWPARAM(Item(6)->Command(), 0), 0);
  EXPECT_EQ(errors.Messages, std::vector<std::string>{"opening failed"});
}

TEST_F(Menus, MeasureAndDrawRequestsReachTheItemsEvents) {
  Menu->Rebuild();
  Item(0)->OnMeasureItem = MenuMeasureItemEvent(&Recorder, &TRecorder::Measure);
  Item(0)->OnAdvancedDrawItem = AdvancedMenuDrawItemEvent(&Recorder, &TRecorder::Draw);

  MEASUREITEMSTRUCT measure{ODT_MENU, 0, Item(0)->Command(), 0, 0, Item(0)->ItemData()};
  EXPECT_TRUE(ToMenuWindow(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)));
  EXPECT_EQ(measure.itemWidth, 77u);
  EXPECT_EQ(measure.itemHeight, 19u);
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  TGdiObject menuFont(CreateFontIndirectA(&metrics.lfMenuFont));
  TMemoryDC probe(nullptr);
  TSelectObject probeFont(probe.Get(), menuFont.Get());
  char face[LF_FACESIZE] = {};
  GetTextFaceA(probe.Get(), sizeof face, face);
  EXPECT_EQ(Recorder.MeasureFace, face) << "the DC carries the menu font";
  EXPECT_NE(std::string(face), "System");

  // Without a handler the library measures the text itself.
  MEASUREITEMSTRUCT plain{ODT_MENU, 0, Item(6)->Command(), 0, 0, Item(6)->ItemData()};
  ToMenuWindow(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&plain));
  EXPECT_GT(plain.itemWidth, 20u);
  EXPECT_GE(static_cast<int>(plain.itemHeight), GetSystemMetrics(SM_CYMENU));

  TMemoryDC dc(nullptr);
  TGdiObject bitmap(CreateBitmap(120, 20, 1, 32, nullptr));
  TSelectObject selected(dc.Get(), bitmap.Get());
  DRAWITEMSTRUCT draw{ODT_MENU, 0, Item(0)->Command(), ODA_DRAWENTIRE, ODS_SELECTED, nullptr, dc.Get(),
                      {3, 4, 100, 18}, Item(0)->ItemData()};
  EXPECT_TRUE(ToMenuWindow(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)));
  EXPECT_EQ(Recorder.DrawState, static_cast<UINT>(ODS_SELECTED));
  EXPECT_EQ(Recorder.DrawRect.right, 100);
  EXPECT_EQ(Recorder.DrawDC, dc.Get()) << "a canvas on the menu's DC";
  // Requests of other kinds of owner-drawn things are not the menu's.
  draw.CtlType = ODT_BUTTON;
  EXPECT_FALSE(ToMenuWindow(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)));
}

TEST_F(Menus, WithoutHandlersTheLibraryDrawsAPlainReadableItem) {
  Menu->Rebuild();
  TMemoryDC dc(nullptr);
  TGdiObject bitmap(CreateBitmap(120, 20, 1, 32, nullptr));
  TSelectObject selected(dc.Get(), bitmap.Get());
  RECT rect{0, 0, 120, 20};
  TCanvas canvas(dc.Get());
  COLORREF menu = GetSysColor(COLOR_MENU), highlight = GetSysColor(COLOR_HIGHLIGHT);

  Item(0)->AdvancedDrawItem(canvas, rect, ODS_SELECTED);
  EXPECT_EQ(RowPixels(dc.Get(), 1, {0, 60, 119}), (std::vector<COLORREF>{highlight, highlight, highlight}));
  Item(0)->AdvancedDrawItem(canvas, rect, 0);
  EXPECT_EQ(RowPixels(dc.Get(), 1, {0, 60, 119}), (std::vector<COLORREF>{menu, menu, menu}));
  int text = 0;
  for (int x = 0; x < 120; ++x)
    for (int y = 0; y < 20; ++y) text += GetPixel(dc.Get(), x, y) == GetSysColor(COLOR_MENUTEXT);
  EXPECT_GT(text, 10) << "the caption is drawn";

  // A line is never highlighted; it is an etched line across the middle.
  Item(1)->AdvancedDrawItem(canvas, rect, ODS_SELECTED);
  EXPECT_EQ(GetPixel(dc.Get(), 60, 2), menu);
  EXPECT_EQ(GetPixel(dc.Get(), 60, 9), GetSysColor(COLOR_BTNSHADOW));
}

TEST_F(Menus, AccessKeysChooseTheShownEnabledItemByPosition) {
  Menu->Rebuild();
  auto menuChar = [this](char key, HMENU menu) {
    return ToMenuWindow(WM_MENUCHAR, MAKEWPARAM(key, MF_POPUP), reinterpret_cast<LPARAM>(menu));
  };
  EXPECT_EQ(menuChar('e', Menu->Handle()), MAKELRESULT(0, MNC_EXECUTE));
  EXPECT_EQ(menuChar('V', Menu->Handle()), MAKELRESULT(4, MNC_EXECUTE)) << "hidden lines take no position";
  EXPECT_EQ(HIWORD(menuChar('z', Menu->Handle())), MNC_IGNORE) << "disabled";
  EXPECT_EQ(HIWORD(menuChar('q', Menu->Handle())), MNC_IGNORE);
  HMENU foreign = CreatePopupMenu();
  EXPECT_EQ(menuChar('e', foreign), 0) << "not one of ours: default handling";
  DestroyMenu(foreign);
}

TEST_F(Menus, AFailingOpeningHandlerShowsNothing) {
  Menu->OnPopup = NotifyEvent(&Recorder, &TRecorder::Fail);
  EXPECT_THROW(Menu->Popup(10, 10), Exception);
  EXPECT_EQ(Menu->Handle(), nullptr) << "nothing was built or tracked";
  EXPECT_EQ(Item(0)->Caption(), "Eins") << "no keys assigned either";
}

TEST(CommandIds, MenuCommandsAndControlIdsComeFromOnePoolAndAreReused) {
  TComponent owner(nullptr);
  auto* form = new TForm(&owner);
  auto* button = new TButton(form);
  button->SetParent(form);
  form->HandleNeeded();
  auto* first = new TMenuItem(&owner);
  auto* second = new TMenuItem(&owner);
  WORD control = static_cast<WORD>(GetDlgCtrlID(button->Handle()));
  EXPECT_NE(first->Command(), second->Command());
  EXPECT_NE(first->Command(), control);
  EXPECT_NE(second->Command(), control);
  EXPECT_GE(std::min(first->Command(), control), 1000) << "clear of IDOK and IDCANCEL";
  WORD freed = second->Command();
  second->Free();
  auto* third = new TMenuItem(&owner);
  EXPECT_EQ(third->Command(), freed);
  // A re-created control keeps its identifier.
  button->RecreateWnd();
  EXPECT_EQ(GetDlgCtrlID(button->Handle()), control);
}

// A form's menu bar: in the window from its creation, its commands and
// owner-draw requests reach the items through the form's window, and a
// switch of owner drawing rebuilds the bar in place.
TEST(MainMenu, TheFormsBarCarriesTheItemsAndTheirCommands) {
  TRecorder recorder;
  TComponent owner(nullptr);
  auto* form = new TForm(&owner);
  auto* bar = new TMainMenu(form);
  auto* file = new TMenuItem(form);
  file->SetCaption("Datei");
  auto* open = new TMenuItem(form);
  open->SetCaption(u8"Öffnen"_cp1252);
  open->ShortCut = scCtrl | 'O';
  open->OnClick = NotifyEvent(&recorder, &TRecorder::Click);
  bar->Items()->Add(file);
  file->Add(open);
  form->SetMenu(bar);
  EXPECT_EQ(open->GetParentComponent(), file);
  EXPECT_EQ(file->GetParentComponent(), bar);
  HWND window = form->Handle();
  ASSERT_EQ(GetMenu(window), bar->Handle());
  ASSERT_EQ(GetMenuItemCount(bar->Handle()), 1);
  char text[64] = {};
  GetMenuStringA(GetSubMenu(bar->Handle(), 0), 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, u8"Ö&ffnen\tCtrl+O"_cp1252) << "Ö is no access key";
  EXPECT_EQ(app_support::ReaderText(open->ItemData()), L"\u00D6&ffnen");

  SendMessageA(window, WM_COMMAND, MAKEWPARAM(open->Command(), 0), 0);
  EXPECT_EQ(recorder.Clicked, std::vector<TObject*>{open});

  bar->SetOwnerDraw(true);
  ASSERT_EQ(GetMenu(window), bar->Handle());
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE;
  ASSERT_TRUE(GetMenuItemInfoA(bar->Handle(), 0, TRUE, &info));
  EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
  file->OnMeasureItem = MenuMeasureItemEvent(&recorder, &TRecorder::Measure);
  MEASUREITEMSTRUCT measure{ODT_MENU, 0, file->Command(), 0, 0, file->ItemData()};
  EXPECT_TRUE(SendMessageA(window, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)));
  EXPECT_EQ(measure.itemWidth, 77u);

  // The bar leaves the window when the menu goes, and the window goes
  // without destroying the menu.
  bar->Free();
  EXPECT_EQ(GetMenu(window), nullptr);
  EXPECT_EQ(form->Menu(), nullptr);
  EXPECT_EQ(ShortCutToText(scShift | scAlt | VK_DELETE), "Shift+Alt+Del");
  EXPECT_EQ(ShortCutToText(0), "");
}
