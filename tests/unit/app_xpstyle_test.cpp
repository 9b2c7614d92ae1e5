// The main window's style component: its stored values and what applying
// Active (last) hooks.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "app/Unit1.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/app_support.h"
#include "xpstyle/ControlSubClass.h"

TEST(MainWindowStyle, StoredValuesAndTheHookedControls) {
  TFakePlatform fake;
  fake.ModuleName = app_support::Sandbox("MainWindowStyle") + "spurwisch.exe";
  TPlatformGuard guard(fake);
  std::unique_ptr<TForm1, TComponentFree> form(new TForm1(Application));
  TXPStyle& style = *form->XPStyle1;
  EXPECT_TRUE(style.Active() && style.FlatMenu() && style.AutoDetect() && style.UseSystemColors() &&
              style.DrawSelect());
  EXPECT_FALSE(style.Gradient() || style.OverrideOwnerDraw());
  EXPECT_EQ(style.Font().Name() + " " + std::to_string(style.Font().Height()), "MS Sans Serif -11");

  for (TControl* c : std::initializer_list<TControl*>{form->Button1, form->Button2, form->Button3, form->Button4,
                                                      form->BitBtn1, form->Edit1, form->Edit2, form->GroupBox1,
                                                      form->papierkorb, form->temploesch, form->doku})
    EXPECT_TRUE(TControlSubClass::IsHooked(c)) << c->Name();
  // The tray menu is owner-drawn by the style, every item with its handlers.
  EXPECT_TRUE(form->PopupMenu1->OwnerDraw());
  for (int i = 0; i < form->PopupMenu1->Items()->Count(); ++i)
    EXPECT_EQ(form->PopupMenu1->Items()->Items(i)->OnAdvancedDrawItem,
              AdvancedMenuDrawItemEvent(&style, &TXPStyle::DrawItemHandler))
        << form->PopupMenu1->Items()->Items(i)->Name();
  EXPECT_FALSE(TControlSubClass::IsHooked(form->Label1));
  EXPECT_FALSE(TControlSubClass::IsHooked(form->Label2));

  // Shown, the edits lose their sunken edge and keep text and read-only state.
  form->Show();
  app_support::Pump(150);
  EXPECT_FALSE(form->Edit1->Ctl3D());
  EXPECT_TRUE(TControlSubClass::IsHooked(form->Edit1));
  EXPECT_NE(GetWindowLongA(form->Edit1->Handle(), GWL_STYLE) & ES_READONLY, 0);
  EXPECT_EQ(form->Edit2->Text(), "http://www.");
}

namespace {

// The main window on the platform double, with high contrast on or off at
// its start.
class StyleFollowsTheSystem : public ::testing::Test {
protected:
  void Build(bool highContrast) {
    Fake.ModuleName =
        app_support::Sandbox(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "spurwisch.exe";
    Fake.HighContrast = highContrast;
    app_support::TSplashCloser closer;
    Form.reset(new TForm1(Application));
  }
  // Hooked controls of the eleven the style takes, and hooks it owns.
  std::pair<int, int> Hooks() const {
    int hooked = 0, hooks = 0;
    for (TControl* c : std::initializer_list<TControl*>{Form->Button1, Form->Button2, Form->Button3, Form->Button4,
                        Form->BitBtn1, Form->Edit1, Form->Edit2, Form->GroupBox1, Form->papierkorb, Form->temploesch,
                        Form->doku})
      hooked += TControlSubClass::IsHooked(c);
    for (int i = 0; i < Form->XPStyle1->ComponentCount(); ++i)
      hooks += dynamic_cast<TControlSubClass*>(Form->XPStyle1->Components(i)) != nullptr;
    return {hooked, hooks};
  }
  // The tray menu as built: owner-drawn items with the style's handlers.
  bool MenuStyled() const {
    TPopupMenu* menu = Form->PopupMenu1;
    menu->Rebuild();
    bool styled = menu->OwnerDraw();
    for (int i = 0; i < GetMenuItemCount(menu->Handle()); ++i) {
      MENUITEMINFOA info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_FTYPE;
      GetMenuItemInfoA(menu->Handle(), i, TRUE, &info);
      styled = styled && (info.fType & MFT_OWNERDRAW);
    }
    for (int i = 0; i < menu->Items()->Count(); ++i)
      styled = styled && menu->Items()->Items(i)->OnAdvancedDrawItem ==
                             AdvancedMenuDrawItemEvent(Form->XPStyle1, &TXPStyle::DrawItemHandler);
    return styled;
  }
  void Tell(HWND window, UINT msg, WPARAM wParam) { SendMessageA(window, msg, wParam, 0); }

  TFakePlatform Fake;
  TPlatformGuard Guard{Fake};
  std::unique_ptr<TForm1, TComponentFree> Form;
};

}  // namespace

// High contrast at the start: the stored Active is kept but nothing is
// hooked, and the tray menu is drawn by the system.
TEST_F(StyleFollowsTheSystem, HighContrastAtTheStartLeavesEverythingToTheSystem) {
  Build(true);
  EXPECT_TRUE(Form->XPStyle1->StoredActive());
  EXPECT_FALSE(Form->XPStyle1->Active());
  EXPECT_EQ(Hooks(), std::make_pair(0, 0));
  EXPECT_FALSE(Form->PopupMenu1->OwnerDraw());
  EXPECT_FALSE(MenuStyled());
}

// Switched on and off while running, through either top-level window: the
// style steps aside and back; a switch-off by the user meanwhile is kept.
TEST_F(StyleFollowsTheSystem, HighContrastWhileRunningStepsAsideAndBack) {
  Build(false);
  ASSERT_EQ(Hooks(), std::make_pair(11, 11));
  ASSERT_TRUE(MenuStyled());
  HWND form = Form->Handle(), app = Application->Handle();
  Fake.HighContrast = true;
  Tell(form, WM_SETTINGCHANGE, SPI_SETWORKAREA);
  EXPECT_TRUE(Form->XPStyle1->Active()) << "another setting";
  Tell(form, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST);
  EXPECT_FALSE(Form->XPStyle1->Active());
  EXPECT_EQ(Hooks(), std::make_pair(0, 0));
  EXPECT_FALSE(MenuStyled());
  Fake.HighContrast = false;
  Tell(app, WM_SYSCOLORCHANGE, 0);
  EXPECT_TRUE(Form->XPStyle1->Active());
  EXPECT_EQ(Hooks(), std::make_pair(11, 11));
  EXPECT_TRUE(MenuStyled());

  Fake.HighContrast = true;
  Tell(app, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST);
  Form->XPStyle1->SetActive(false);
  Fake.HighContrast = false;
  Tell(form, WM_SYSCOLORCHANGE, 0);
  EXPECT_FALSE(Form->XPStyle1->Active() || Form->XPStyle1->StoredActive());
  EXPECT_EQ(Hooks(), std::make_pair(0, 0));
}

// A new menu font reaches the next measurement once the system says so,
// and what the style paints is repainted.
TEST_F(StyleFollowsTheSystem, ANewMenuFontIsMeasuredAfterTheSettingsChange) {
  Build(false);
  TMenuItem* item = Form->Wiederherstellen1;
  // The style's own measurement (the library's, before it, takes the menu
  // font the system gives at each request).
  auto measuredHeight = [this, item] {
    TMemoryDC screen(nullptr);
    TCanvas canvas(screen.Get());
    int width = 0, height = 0;
    Form->XPStyle1->MeasureItemHandler(item, &canvas, width, height);
    return height;
  };
  const int before = measuredHeight();
  LOGFONTW font{};
  font.lfHeight = -30;
  wcscpy(font.lfFaceName, L"Courier New");
  Fake.MenuFont = font;
  EXPECT_EQ(measuredHeight(), before) << "kept until the system tells of the change";
  Tell(Form->Handle(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS);
  TGdiObject created(CreateFontIndirectW(&font));
  TMemoryDC dc(nullptr);
  TSelectObject selected(dc.Get(), created.Get());
  SIZE text{};
  GetTextExtentPoint32A(dc.Get(), item->Caption().c_str(), static_cast<int>(item->Caption().size()), &text);
  EXPECT_EQ(measuredHeight(), text.cy + static_cast<int>(std::nearbyint(text.cy * 0.75)));
  EXPECT_EQ(Form->XPStyle1->Font().Name(), "Courier New");

  Form->Show();
  HWND button = Form->Button1->Handle();
  for (int i = 0; i < 100 && GetUpdateRect(button, nullptr, FALSE); ++i) app_support::Pump(30);
  ASSERT_FALSE(GetUpdateRect(button, nullptr, FALSE));
  Tell(Form->Handle(), WM_SYSCOLORCHANGE, 0);
  EXPECT_TRUE(GetUpdateRect(button, nullptr, FALSE)) << "repainted";
}
