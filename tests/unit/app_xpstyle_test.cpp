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
