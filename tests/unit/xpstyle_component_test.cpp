// The style component: constructor values, the attach walk with its kind
// and container tables and the excluding tag, detaching, destruction.
#include <gtest/gtest.h>

#include <set>

#include "tests/support/xpstyle_support.h"
#include "ui/Buttons.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "base/SysUtils.h"
#include "xpstyle/ControlSubClass.h"

using namespace xp_support;

namespace {

template <const char* Name, class Base>
struct TNamed : Base {
  using Base::Base;
  const char* ClassName() const override { return Name; }
};
constexpr char MyButton[] = "TMyButton", DBCtrlPanel[] = "TDBCtrlPanel";

// One control of each kind the walk tests, without windows (it needs none).
class TWalkForm : public TForm {
public:
  TWalkForm() : TForm(nullptr) {
    auto* box = Add<TGroupBox>("Box", this);
    auto* panel = Add<TPanel>("Panel", this);
    auto* scroll = Add<TScrollBox>("Scroll", this);
    auto* excluded = Add<TPanel>("Excluded", this);
    excluded->SetTag(XPExcludeTag);
    auto* dbPanel = Add<TNamed<DBCtrlPanel, TWinControl>>("DBPanel", this);
    Add<TButton>("Button", this);
    Add<TBitBtn>("BitBtn", this);
    Add<TEdit>("Edit", this);
    Add<TMemo>("Memo", this);
    Add<TLabel>("Label", this);
    Add<TNamed<MyButton, TButton>>("MyButton", this);
    Add<TUpDown>("UpDown", this);
    Add<TSpeedButton>("Speed", this);
    Add<TLabeledEdit>("Labeled", this);
    Add<TRichEdit>("Rich", this);
    Add<TButton>("Tagged", this)->SetTag(XPExcludeTag);
    Add<TCheckBox>("Check", box);
    Add<TRadioButton>("Radio", panel);
    Add<TComboBox>("Combo", scroll);
    Add<TButton>("InExcluded", excluded);
    Add<TEdit>("InDBPanel", dbPanel);
    Frame = Add<TFrame>("Frame", this);
    auto* inner = new TButton(Frame);  // a frame owns its controls
    inner->SetName("InFrame");
    inner->SetParent(Frame);
    Style = new TXPStyle(this);
  }
  template <class T>
  T* Add(const char* name, TWinControl* parent) {
    T* c = new T(this);
    c->SetName(name);
    c->SetParent(parent);
    return c;
  }
  std::set<std::string> Hooked() const {
    std::set<std::string> names;
    for (const TComponent* owner : {static_cast<const TComponent*>(this), static_cast<const TComponent*>(Frame)})
      for (int i = 0; i < owner->ComponentCount(); ++i)
        if (auto* c = dynamic_cast<TControl*>(owner->Components(i)); c && TControlSubClass::IsHooked(c))
          names.insert(c->Name());
    return names;
  }
  int Hooks() const { return Style->ComponentCount(); }
  TControl* Find(const char* name) { return static_cast<TControl*>(FindComponent(name)); }

  TFrame* Frame;
  TXPStyle* Style;
};

}  // namespace

TEST(XPStyleComponent, ConstructorValuesAndAFormAsOwner) {
  Owned<TForm> form(new TForm(nullptr));
  auto* s = new TXPStyle(form.get());
  EXPECT_EQ((std::vector<TColor>{s->Color(), s->IconBackColor(), s->MenuBarColor(), s->SelectColor(),
                                  s->SelectBorderColor(), s->SelectFontColor(), s->DisabledColor(), s->SeparatorColor(),
                                  s->CheckedColor()}),
            (std::vector<TColor>{clBtnFace, clBtnFace, clBtnFace, clHighlight, clHighlight, clMenuText,
                                 clInactiveCaption, clBtnFace, clHighlight}));
  EXPECT_EQ((std::vector<int>{s->DimLevel(), s->GrayLevel(), s->IconWidth()}), (std::vector<int>{30, 10, 24}));
  EXPECT_TRUE(s->DrawSelect() && s->UseSystemColors());
  EXPECT_FALSE(s->OverrideOwnerDraw() || s->Gradient() || s->FlatMenu() || s->AutoDetect() || s->Active());
  EXPECT_EQ(s->XPContainers(), 0x03FF);
  EXPECT_EQ(s->XPControls(), 0xFFFF);
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0));
  EXPECT_EQ(s->Font().Name(), metrics.lfMenuFont.lfFaceName) << "the system menu font";
  EXPECT_EQ(s->Font().Color(), clMenuText);

  Owned<TComponent> notAForm(new TComponent(nullptr));
  EXPECT_THROW(new TXPStyle(notAForm.get()), EInvalidCast);
  EXPECT_EQ(notAForm->ComponentCount(), 0);
}

TEST(XPStyleComponent, TheWalkTakesControlsByKindAndContainer) {
  const std::set<std::string> onForm{"Box",  "Panel",  "Button", "BitBtn",  "Edit", "Memo",
                                     "Rich", "UpDown", "Speed",  "Labeled"};
  auto with = [&onForm](std::initializer_list<const char*> more) {
    std::set<std::string> s = onForm;
    s.insert(more.begin(), more.end());
    return s;
  };
  struct TCase {
    const char* Name;
    TXPControls Controls;
    TXPContainers Containers;
    std::set<std::string> Hooked;
  } cases[] = {
      {"everything", AllXPControls, AllXPContainers, with({"Check", "Radio", "Combo", "InDBPanel", "InFrame"})},
      {"buttons only", 1u << xcButton, AllXPContainers, {"Button", "UpDown", "InFrame"}},
      {"bit buttons only", 1u << xcBitBtn, AllXPContainers, {"BitBtn"}},
      {"edits only", 1u << xcEdit, AllXPContainers, {"Edit", "Labeled", "InDBPanel"}},
      {"no group boxes", AllXPControls, AllXPContainers & ~(1u << xccGroupBox),
       with({"Radio", "Combo", "InDBPanel", "InFrame"})},
      {"no frames", AllXPControls, AllXPContainers & ~(1u << xccFrame), with({"Check", "Radio", "Combo"})},
      {"form only", AllXPControls, 1u << xccForm, onForm},
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

TEST(XPStyleComponent, AttachingTwiceHooksOnceAndASetChangeReattaches) {
  Owned<TWalkForm> form(new TWalkForm());
  form->Style->SetActive(true);
  const int hooks = form->Hooks();
  form->Style->ApplyToContainer(form.get(), true, false);
  EXPECT_EQ(form->Hooks(), hooks);
  // The detach walk invalidates each control, whose hook, seeing the style
  // inactive, goes; the attach walk hooks the new set.
  form->Style->SetXPControls(AllXPControls & ~(1u << xcEdit));
  EXPECT_EQ(form->Hooked().count("Edit"), 0u);
  EXPECT_EQ(form->Hooked().count("Button"), 1u);
  EXPECT_EQ(form->Hooks(), static_cast<int>(form->Hooked().size()));
}

TEST(XPStyleComponent, DetachingUnhooksOnTheNextMessageAndRestoresTheControl) {
  Owned<TWalkForm> form(new TWalkForm());
  TControl *speed = form->Find("Speed"), *edit = form->Find("Edit"), *button = form->Find("Button");
  const TWndMethod speedOwn = speed->WindowProc, editOwn = edit->WindowProc, buttonOwn = button->WindowProc;
  form->Style->SetActive(true);
  static_cast<TEdit*>(edit)->SetCtl3D(false);  // as the edit painter leaves it
  form->Style->SetActive(false);
  // A windowed control's invalidation is a message: the edit is back at once.
  EXPECT_EQ(edit->WindowProc, editOwn);
  EXPECT_TRUE(static_cast<TEdit*>(edit)->Ctl3D());
  // A windowless one is invalidated without a message: its hook waits.
  ASSERT_TRUE(TControlSubClass::IsHooked(speed));
  EXPECT_EQ(speed->Perform(CM_MOUSEENTER), 1) << "the result of a message seen while inactive";
  EXPECT_EQ(speed->WindowProc, speedOwn);
  EXPECT_EQ(form->Hooks(), 0);

  // Destroyed while active, the style gives live controls their procedures
  // back; a hook outliving its control has forgotten it.
  form->Style->SetActive(true);
  TControl* memo = form->Find("Memo");
  auto* memoHook = static_cast<TControlSubClass*>(memo->WindowProc.Data);
  memo->Free();
  EXPECT_EQ(memoHook->FTargetControl, nullptr);
  form->Style->Free();
  EXPECT_EQ(button->WindowProc, buttonOwn);
}

// Two style hooks chained on one control: each leaves the chain from
// wherever it sits, so the one that stays never calls a freed hook.
TEST(XPHookChain, EitherHookLeavesTheChainWhateverItsPlace) {
  enum TWay { OffLowerFirst, OffUpperFirst, LowerStyleDestroyed };
  for (TWay way : {OffLowerFirst, OffUpperFirst, LowerStyleDestroyed}) {
    SCOPED_TRACE(way);
    Owned<TForm> form{new TForm(nullptr)};
    auto* button = new TButton(form.get());
    button->SetParent(form.get());
    const TWndMethod own = button->WindowProc;
    auto* lowerStyle = new TXPStyle(form.get());
    lowerStyle->SetActive(true);
    const TWndMethod lower = button->WindowProc;
    ASSERT_TRUE(TControlSubClass::IsHooked(button));
    // A second style's hook on top, as the style itself makes one.
    auto* upperStyle = new TXPStyle(form.get());
    upperStyle->SetActive(true);
    auto* upper = new TControlSubClass(upperStyle, *upperStyle, button);
    ASSERT_EQ(upper->FSavedWindowProc, lower);
    auto message = [&] { button->Perform(WM_NULL); };

    if (way == OffUpperFirst) {
      upperStyle->SetActive(false);
      message();
      EXPECT_EQ(button->WindowProc, lower);
      lowerStyle->SetActive(false);
      message();
    } else {
      if (way == LowerStyleDestroyed)
        lowerStyle->Free();
      else
        lowerStyle->SetActive(false);
      message();
      EXPECT_EQ(upper->FSavedWindowProc, own) << "the upper hook still calls the lower one";
      message();
      upperStyle->SetActive(false);
      message();
    }
    EXPECT_EQ(button->WindowProc, own);
  }
}
