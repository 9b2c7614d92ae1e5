// The main window's style component: its stored values and what applying
// Active (last) hooks.
#include <gtest/gtest.h>

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

// The main window on the platform double; Styled() tells how many of the
// eleven controls are hooked and how the tray menu is drawn.
struct TStyledWindow {
  explicit TStyledWindow(bool highContrast) {
    Fake.ModuleName = app_support::Sandbox("StyledWindow") + "spurwisch.exe";
    Fake.HighContrast = highContrast;
    app_support::TSplashCloser closer;
    Form.reset(new TForm1(Application));
  }
  std::string Styled() const {
    int hooked = 0;
    for (TControl* c : std::initializer_list<TControl*>{Form->Button1, Form->Button2, Form->Button3, Form->Button4,
                                                        Form->BitBtn1, Form->Edit1, Form->Edit2, Form->GroupBox1,
                                                        Form->papierkorb, Form->temploesch, Form->doku})
      hooked += TControlSubClass::IsHooked(c);
    EXPECT_EQ(Form->XPStyle1->ComponentCount(), hooked) << "hook objects";
    return std::to_string(hooked) + (Form->PopupMenu1->OwnerDraw() ? " owner-drawn" : " system-drawn") +
           (Form->N2->OnAdvancedDrawItem.Data == Form->XPStyle1 ? " by the style" : "");
  }
  void Tell(HWND window, UINT msg, WPARAM wParam) { SendMessageA(window, msg, wParam, 0); }

  TFakePlatform Fake;
  TPlatformGuard Guard{Fake};
  std::unique_ptr<TForm1, TComponentFree> Form;
};

}  // namespace

// High contrast at the start, then switched off and on while running
// through either top-level window: the style steps aside (the system draws
// controls and menu) and back, and keeps the user's own Active meanwhile.
TEST(MainWindowStyle, StepsAsideWhileHighContrastIsOn) {
  TStyledWindow w(true);
  TXPStyle& style = *w.Form->XPStyle1;
  EXPECT_TRUE(style.StoredActive() && !style.Active());
  EXPECT_EQ(w.Styled(), "0 system-drawn");
  HWND form = w.Form->Handle(), app = Application->Handle();
  w.Fake.HighContrast = false;
  w.Tell(app, WM_SYSCOLORCHANGE, 0);
  EXPECT_EQ(w.Styled(), "11 owner-drawn by the style");
  w.Fake.HighContrast = true;
  w.Tell(form, WM_SETTINGCHANGE, SPI_SETWORKAREA);
  EXPECT_TRUE(style.Active()) << "another setting";
  w.Tell(form, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST);
  EXPECT_EQ(w.Styled(), "0 system-drawn");

  style.SetActive(false);
  w.Fake.HighContrast = false;
  w.Tell(form, WM_SYSCOLORCHANGE, 0);
  EXPECT_FALSE(style.Active());
  EXPECT_EQ(w.Styled(), "0 system-drawn");
}

// A new system menu font is what the style measures with once the system
// has said so; the hooked controls are repainted.
TEST(MainWindowStyle, ANewMenuFontIsMeasuredAfterTheSettingsChange) {
  TStyledWindow w(false);
  auto measuredHeight = [&w] {
    TMemoryDC screen(nullptr);
    TCanvas canvas(screen.Get());
    int width = 0, height = 0;
    w.Form->XPStyle1->MeasureItemHandler(w.Form->About1, &canvas, width, height);
    return height;
  };
  HWND form = w.Form->Handle();  // its controls' first paints read the system font
  const int before = measuredHeight();
  LOGFONTW font{};
  font.lfHeight = -30;
  wcscpy(font.lfFaceName, L"Courier New");
  w.Fake.MenuFont = font;
  EXPECT_EQ(measuredHeight(), before) << "the font as it stood";
  w.Tell(form, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS);
  const TFont& used = w.Form->XPStyle1->Font();
  EXPECT_EQ(used.Name() + " " + std::to_string(used.Height()), "Courier New -30");
  EXPECT_GT(measuredHeight(), before + 15);

  w.Form->Show();
  HWND button = w.Form->Button1->Handle();
  for (int i = 0; i < 100 && GetUpdateRect(button, nullptr, FALSE); ++i) app_support::Pump(30);
  ASSERT_FALSE(GetUpdateRect(button, nullptr, FALSE));
  w.Tell(Application->Handle(), WM_SYSCOLORCHANGE, 0);
  EXPECT_TRUE(GetUpdateRect(button, nullptr, FALSE)) << "repainted";
}
