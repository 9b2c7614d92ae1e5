// The style component: constructor values, the attach walk over a form's
// components with the kind and container tables and the excluding tag,
// detaching, and destruction giving hooked controls their procedures back.
#include <gtest/gtest.h>

#include <set>

#include "tests/unit/xpstyle_support.h"
#include "ui/Buttons.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/SysUtils.h"
#include "xpstyle/ControlSubClass.h"

using namespace xp_support;

namespace {

// A descendant of TButton under another class name: not taken as a button.
class TMyButton : public TButton {
public:
  using TButton::TButton;
  const char* ClassName() const override { return "TMyButton"; }
};

class TDBCtrlPanel : public TWinControl {
public:
  using TWinControl::TWinControl;
  const char* ClassName() const override { return "TDBCtrlPanel"; }
};

// A form holding one control of each kind the walk tests, built without
// windows (the walk needs none).
class TWalkForm : public TForm {
public:
  TWalkForm() : TForm(nullptr) {
    Box = Add<TGroupBox>("Box", this);
    Panel = Add<TPanel>("Panel", this);
    Scroll = Add<TScrollBox>("Scroll", this);
    Excluded = Add<TPanel>("Excluded", this);
    Excluded->SetTag(XPExcludeTag);
    DBPanel = Add<TDBCtrlPanel>("DBPanel", this);
    Add<TButton>("Button", this);
    Add<TBitBtn>("BitBtn", this);
    Add<TEdit>("Edit", this);
    Add<TMemo>("Memo", this);
    Add<TLabel>("Label", this);
    Add<TMyButton>("MyButton", this);
    Add<TUpDown>("UpDown", this);
    Add<TSpeedButton>("Speed", this);
    Add<TLabeledEdit>("Labeled", this);
    Add<TRichEdit>("Rich", this);
    Add<TButton>("Tagged", this)->SetTag(XPExcludeTag);
    Add<TCheckBox>("Check", Box);
    Add<TRadioButton>("Radio", Panel);
    Add<TComboBox>("Combo", Scroll);
    Add<TButton>("InExcluded", Excluded);
    Add<TEdit>("InDBPanel", DBPanel);
    // A frame owns its own controls; the walk descends into it.
    Frame = Add<TFrame>("Frame", this);
    auto* inner = new TButton(Frame);
    inner->SetName("InFrame");
    inner->SetParent(Frame);
    Style = new TXPStyle(this);
  }
  const char* ClassName() const override { return "TWalkForm"; }

  template <class T>
  T* Add(const char* name, TWinControl* parent) {
    T* c = new T(this);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(0, 0, 40, 20);
    return c;
  }

  // Names of the hooked controls, the frame's included.
  std::set<std::string> Hooked() const {
    std::set<std::string> names;
    auto collect = [&names](const TComponent* owner) {
      for (int i = 0; i < owner->ComponentCount(); ++i)
        if (auto* c = dynamic_cast<TControl*>(owner->Components(i)); c && TControlSubClass::IsHooked(c))
          names.insert(c->Name());
    };
    collect(this);
    collect(Frame);
    return names;
  }
  int Hooks() const {
    int n = 0;
    for (int i = 0; i < Style->ComponentCount(); ++i) n += Is<TControlSubClass>(Style->Components(i));
    return n;
  }

  TGroupBox* Box;
  TPanel* Panel;
  TScrollBox* Scroll;
  TPanel* Excluded;
  TDBCtrlPanel* DBPanel;
  TFrame* Frame;
  TXPStyle* Style;
};

constexpr TXPControls Without(TXPControls set, int member) { return set & ~(1u << member); }

}  // namespace

TEST(XPStyleComponent, ConstructorValuesAndAFormAsOwner) {
  Owned<TForm> form(new TForm(nullptr));
  auto* style = new TXPStyle(form.get());
  EXPECT_EQ(style->DimLevel(), 30);
  EXPECT_EQ(style->GrayLevel(), 10);
  EXPECT_EQ(style->Color(), clBtnFace);
  EXPECT_EQ(style->IconBackColor(), clBtnFace);
  EXPECT_EQ(style->MenuBarColor(), clBtnFace);
  EXPECT_EQ(style->SelectColor(), clHighlight);
  EXPECT_EQ(style->SelectBorderColor(), clHighlight);
  EXPECT_EQ(style->SelectFontColor(), clMenuText);
  EXPECT_EQ(style->DisabledColor(), clInactiveCaption);
  EXPECT_EQ(style->SeparatorColor(), clBtnFace);
  EXPECT_EQ(style->CheckedColor(), clHighlight);
  EXPECT_EQ(style->IconWidth(), 24);
  EXPECT_TRUE(style->DrawSelect() && style->UseSystemColors());
  EXPECT_FALSE(style->OverrideOwnerDraw() || style->Gradient() || style->FlatMenu() || style->AutoDetect() ||
               style->Active());
  EXPECT_EQ(style->XPContainers(), 0x03FF);
  EXPECT_EQ(style->XPControls(), 0xFFFF);
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0));
  EXPECT_EQ(style->Font().Name(), metrics.lfMenuFont.lfFaceName);
  EXPECT_EQ(style->Font().Height(), metrics.lfMenuFont.lfHeight);
  EXPECT_EQ(style->Font().Color(), clMenuText);

  Owned<TComponent> notAForm(new TComponent(nullptr));
  EXPECT_THROW(new TXPStyle(notAForm.get()), EInvalidCast);
  EXPECT_EQ(notAForm->ComponentCount(), 0) << "the failed component is not left in its owner";
}

TEST(XPStyleComponent, TheWalkTakesControlsByKindAndContainer) {
  const std::set<std::string> all{"Box",   "Panel",    "Button", "BitBtn",    "Edit",  "Memo",  "UpDown",
                                  "Speed", "Labeled",  "Rich",   "Check",     "Radio", "Combo", "InDBPanel",
                                  "InFrame"};
  struct TCase {
    const char* Name;
    TXPControls Controls;
    TXPContainers Containers;
    std::set<std::string> Hooked;
  } cases[] = {
      {"everything", AllXPControls, AllXPContainers, all},
      {"buttons only", 1u << xcButton, AllXPContainers, {"Button", "UpDown", "InFrame"}},
      {"bit buttons only", 1u << xcBitBtn, AllXPContainers, {"BitBtn"}},
      {"edits only", 1u << xcEdit, AllXPContainers, {"Edit", "Labeled", "InDBPanel"}},
      {"not in group boxes", AllXPControls, AllXPContainers & ~(1u << xccGroupBox),
       {"Box", "Panel", "Button", "BitBtn", "Edit", "Memo", "UpDown", "Speed", "Labeled", "Rich", "Radio", "Combo",
        "InDBPanel", "InFrame"}},
      {"no frames", AllXPControls, AllXPContainers & ~(1u << xccFrame),
       {"Box", "Panel", "Button", "BitBtn", "Edit", "Memo", "UpDown", "Speed", "Labeled", "Rich", "Check", "Radio",
        "Combo"}},
      {"form only", AllXPControls, 1u << xccForm,
       {"Box", "Panel", "Button", "BitBtn", "Edit", "Memo", "UpDown", "Speed", "Labeled", "Rich"}},
  };
  for (auto& c : cases) {
    Owned<TWalkForm> form(new TWalkForm());
    form->Style->SetXPControls(c.Controls);
    form->Style->SetXPContainers(c.Containers);
    form->Style->SetActive(true);
    EXPECT_EQ(form->Hooked(), c.Hooked) << c.Name;
    EXPECT_EQ(form->Hooks(), static_cast<int>(c.Hooked.size())) << c.Name;
  }
}

TEST(XPStyleComponent, RepeatedAttachHooksOnceAndASetChangeReattaches) {
  Owned<TWalkForm> form(new TWalkForm());
  TXPStyle& style = *form->Style;
  style.SetActive(true);
  const int hooks = form->Hooks();
  style.ApplyToContainer(form.get(), true, false);
  EXPECT_EQ(form->Hooks(), hooks) << "a control already hooked gets no second hook";

  // The detach walk invalidates each control, and its hook, seeing the
  // style inactive, goes; the attach walk then hooks the new set.
  style.SetXPControls(Without(AllXPControls, xcEdit));
  EXPECT_EQ(form->Hooked().count("Edit"), 0u);
  EXPECT_EQ(form->Hooked().count("Button"), 1u);
  EXPECT_EQ(form->Hooks(), static_cast<int>(form->Hooked().size()));
}

TEST(XPStyleComponent, DetachingUnhooksOnTheNextMessageAndRestoresTheControl) {
  Owned<TWalkForm> form(new TWalkForm());
  auto* speed = dynamic_cast<TSpeedButton*>(form->FindComponent("Speed"));
  auto* edit = dynamic_cast<TEdit*>(form->FindComponent("Edit"));
  const TWndMethod speedOwn = speed->WindowProc, editOwn = edit->WindowProc;
  form->Style->SetActive(true);
  edit->SetCtl3D(false);  // as the edit painter leaves it
  form->Style->SetActive(false);
  // A windowed control's invalidation is a message: the edit is back at once,
  // with its 3-D look.
  EXPECT_EQ(edit->WindowProc, editOwn);
  EXPECT_TRUE(edit->Ctl3D());
  // A windowless control is invalidated without a message: its hook waits.
  ASSERT_TRUE(TControlSubClass::IsHooked(speed));
  EXPECT_EQ(speed->Perform(CM_MOUSEENTER), 1) << "the result of a message seen while inactive";
  EXPECT_EQ(speed->WindowProc, speedOwn);
  EXPECT_EQ(form->Hooks(), 0);
}

TEST(XPStyleComponent, DestroyingTheStyleGivesLiveControlsTheirProceduresBack) {
  Owned<TWalkForm> form(new TWalkForm());
  auto* button = dynamic_cast<TButton*>(form->FindComponent("Button"));
  const TWndMethod own = button->WindowProc;
  form->Style->SetActive(true);
  ASSERT_TRUE(TControlSubClass::IsHooked(button));
  form->Style->Free();
  form->Style = nullptr;
  EXPECT_EQ(button->WindowProc, own);
  EXPECT_EQ(button->Perform(CM_TEXTCHANGED), 0);  // no freed hook on the way
}

TEST(XPStyleComponent, AHookOutlivingItsControlForgetsIt) {
  Owned<TWalkForm> form(new TWalkForm());
  form->Style->SetActive(true);
  TComponent* memo = form->FindComponent("Memo");
  TControlSubClass* hook = nullptr;
  for (int i = 0; i < form->Style->ComponentCount(); ++i)
    if (auto* h = dynamic_cast<TControlSubClass*>(form->Style->Components(i)); h && h->FTargetControl == memo) hook = h;
  ASSERT_NE(hook, nullptr);
  memo->Free();
  EXPECT_EQ(hook->FTargetControl, nullptr);
  form->Style->Free();  // restores what is left, without touching the memo
  form->Style = nullptr;
}
