// The control painters on memory bitmaps (worked examples and each button
// state), then the hooks driven by real messages on a shown form, and a
// repaint soak that would run Wine's GDI handle table dry on any leak.
#include <gtest/gtest.h>

#include "tests/unit/app_support.h"
#include "tests/unit/xpstyle_support.h"
#include "ui/Buttons.h"
#include "ui/SysUtils.h"
#include "xpstyle/ControlSubClass.h"
#include "xpstyle/Painters.h"
#include "xpstyle/Primitives.h"

using namespace xp_support;

namespace {

constexpr COLORREF Magenta = RGB(255, 0, 255), Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255),
                   White = RGB(255, 255, 255);
constexpr COLORREF FormColor = RGB(200, 100, 50);

class TPaintForm : public TForm {
public:
  TPaintForm() : TForm(nullptr) {
    SetBounds(100, 100, 320, 220);
    SetColor(FormColor);
    Button = Add<TButton>("Button", this, 8, 8, 75, 25);
    Button->SetCaption("&Los");
    Bit = Add<TBitBtn>("Bit", this, 8, 40, 75, 40);
    Edit = Add<TEdit>("Edit", this, 8, 90, 120, 21);
    Edit->SetText("Text");
    Box = Add<TGroupBox>("Box", this, 140, 8, 145, 97);
    Box->SetCaption("Löschoptionen");
    Box->SetColor(RGB(220, 220, 220));
    Check = Add<TCheckBox>("Check", Box, 8, 24, 121, 17);
    Check->SetCaption("Papierkorb löschen");
    Style = new TXPStyle(this);
    Style->SetActive(true);
  }
  const char* ClassName() const override { return "TPaintForm"; }

  template <class T>
  T* Add(const char* name, TWinControl* parent, int x, int y, int w, int h) {
    T* c = new T(this);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(x, y, w, h);
    return c;
  }

  TControlSubClass& HookOf(TControl* control) {
    return *static_cast<TControlSubClass*>(control->WindowProc.Data);
  }

  // The painter's output on a bitmap of the control's size, filled magenta.
  TBitmap Paint(TControl* control, void (*painter)(TControlSubClass&, TCanvas&)) {
    TBitmap bitmap = Filled(control->Width(), control->Height(), Magenta);
    Style->UpdateDrawColors(bitmap.Canvas());
    painter(HookOf(control), bitmap.Canvas());
    return bitmap;
  }

  TButton* Button;
  TBitBtn* Bit;
  TEdit* Edit;
  TGroupBox* Box;
  TCheckBox* Check;
  TXPStyle* Style;
};

struct XPPainters : ::testing::Test {
  Owned<TPaintForm> Form{new TPaintForm()};
  TBitmap Surface = Filled(1, 1, White);
  COLORREF Lighten(TColor color, int percent) { return LightenColor(Surface.Canvas(), color, percent); }
};

}  // namespace

TEST_F(XPPainters, CheckBoxWorkedExample121By17) {
  TThumbSize thumb(16);
  ASSERT_EQ(GetSystemMetrics(SM_CXHTHUMB), 16);
  Form->Check->SetChecked(true);
  TBitmap out = Form->Paint(Form->Check, DrawCheckBoxLook);
  const COLORREF control = ColorToRGB(Form->Check->Color());
  EXPECT_EQ(control, RGB(220, 220, 220)) << "a check box has its parent's colour";
  EXPECT_EQ(Picture(out,
                    {{Magenta, 'm'}, {control, 'c'}, {GetSysColor(COLOR_BTNSHADOW), 'f'},
                     {GetSysColor(COLOR_WINDOW), 'w'}, {GetSysColor(COLOR_HIGHLIGHT), 't'}},
                    {0, 0, 16, 17}),
            (std::vector<std::string>{
                "mmmmmmmmmmmmmmmm", "cccccccccccccccm", "cccccccccccccccm", "ccfffffffffffccm", "ccfwwwwwwwwwfccm",
                "ccfwwwwwwwwwfccm", "ccfwwwwwwwtwfccm", "ccfwwwwwwttwfccm", "ccfwtwwwtttwfccm", "ccfwttwtttwwfccm",
                "ccfwtttttwwwfccm", "ccfwwtttwwwwfccm", "ccfwwwtwwwwwfccm", "ccfwwwwwwwwwfccm", "ccfffffffffffccm",
                "cccccccccccccccm", "cccccccccccccccm"}));
  EXPECT_EQ(out.Canvas().Pixel(60, 8), Magenta) << "the caption is the control's own";
}

TEST_F(XPPainters, CheckBoxStates) {
  TThumbSize thumb(16);
  TControlSubClass& hook = Form->HookOf(Form->Check);
  TXPStyle& s = *Form->Style;
  s.UpdateDrawColors(Surface.Canvas());
  const COLORREF window = GetSysColor(COLOR_WINDOW), shadow = GetSysColor(COLOR_BTNSHADOW),
                 highlight = GetSysColor(COLOR_HIGHLIGHT), selectFill = ColorToRGB(s.EffSelectColor),
                 selectFrame = ColorToRGB(s.EffSelectBorderColor), pressedFill = ColorToRGB(s.CheckFillHotColor),
                 silver = ColorToRGB(clSilver), gray = ColorToRGB(clGray), disabled = ColorToRGB(s.EffDisabledColor);
  struct TCase {
    const char* Name;
    bool Hot, Pressed, Enabled;
    TCheckBoxState State;
    COLORREF Fill, Frame, Tick;  // at (3, 4), (2, 3) and (6, 12)
  } cases[] = {
      {"hot", true, false, true, cbChecked, selectFill, selectFrame, highlight},
      {"pressed", true, true, true, cbChecked, pressedFill, selectFrame, window},
      {"unchecked", false, false, true, cbUnchecked, window, shadow, window},
      {"grayed", false, false, true, cbGrayed, silver, shadow, gray},
      {"grayed, pressed", false, true, true, cbGrayed, silver, shadow, window},
      {"disabled", false, false, false, cbChecked, window, shadow, disabled},
  };
  for (auto& c : cases) {
    hook.FHighlighted = c.Hot;
    hook.FMouseDown = c.Pressed;
    Form->Check->SetEnabled(c.Enabled);
    Form->Check->SetState(c.State);
    TBitmap out = Form->Paint(Form->Check, DrawCheckBoxLook);
    EXPECT_EQ(out.Canvas().Pixel(3, 4), c.Fill) << c.Name;
    EXPECT_EQ(out.Canvas().Pixel(2, 3), c.Frame) << c.Name;
    EXPECT_EQ(out.Canvas().Pixel(6, 12), c.Tick) << c.Name;
  }
  Form->Check->SetAlignment(taLeftJustify);
  hook.FHighlighted = hook.FMouseDown = false;
  TBitmap right = Form->Paint(Form->Check, DrawCheckBoxLook);
  EXPECT_EQ(right.Canvas().Pixel(120 - 2, 3), shadow) << "with the caption on the left the box is at the right";
  EXPECT_EQ(right.Canvas().Pixel(2, 3), Magenta);
}

TEST_F(XPPainters, GroupBoxFrameAroundTheCaption) {
  TControlSubClass& hook = Form->HookOf(Form->Box);
  hook.FLastMessage = WM_MOUSEMOVE;
  TBitmap idle = Form->Paint(Form->Box, DrawGroupBoxLook);
  EXPECT_EQ(CountPixels(idle, Magenta), 145 * 97) << "only right after WM_PAINT";

  hook.FLastMessage = WM_PAINT;
  TBitmap out = Form->Paint(Form->Box, DrawGroupBoxLook);
  TCanvas& canvas = out.Canvas();
  canvas.Font = Form->Box->Font();
  const int tH = canvas.TextHeight("Löschoptionen"), tW = canvas.TextWidth("Löschoptionen");
  const COLORREF light = RGB(241, 241, 241), dark = RGB(160, 162, 160), control = RGB(220, 220, 220);
  const int W = 145, H = 97, top = tH / 2 + 1;
  for (int y = 0; y < top; ++y) EXPECT_EQ(canvas.Pixel(4, y), FormColor) << "band row " << y;
  for (int x : {0, 8, 9 + tW, W - 2}) EXPECT_EQ(canvas.Pixel(x, top), light) << "top edge at " << x;
  EXPECT_EQ(canvas.Pixel(9 + tW - 1, top), FormColor) << "the gap for the caption";
  EXPECT_EQ(canvas.Pixel(W - 1, top), FormColor);
  for (int y : {top + 1, H / 2, H - 2}) {
    EXPECT_EQ(canvas.Pixel(0, y), light) << "left edge at " << y;
    EXPECT_EQ(canvas.Pixel(1, y), control) << "the control's own frame erased at " << y;
    EXPECT_EQ(canvas.Pixel(W - 1, y), dark) << "right edge at " << y;
  }
  for (int x : {0, W / 2, W - 1}) EXPECT_EQ(canvas.Pixel(x, H - 1), dark) << "bottom edge at " << x;
  EXPECT_EQ(canvas.Pixel(W / 2, H / 2), Magenta) << "the inside is the control's";
  int caption = 0;
  for (int y = 0; y < tH; ++y)
    for (int x = 9; x < 9 + tW; ++x) caption += canvas.Pixel(x, y) == ColorToRGB(Form->Box->Font().Color());
  EXPECT_GT(caption, 20) << "the caption in its font colour from (9, 0)";

  Form->Box->SetCtl3D(false);
  hook.FLastMessage = WM_PAINT;
  TBitmap flat = Form->Paint(Form->Box, DrawGroupBoxLook);
  EXPECT_EQ(flat.Canvas().Pixel(0, H / 2), dark) << "without Ctl3D every edge is dark";
  EXPECT_EQ(flat.Canvas().Pixel(4, top), dark);
}

TEST_F(XPPainters, ButtonStates) {
  TControlSubClass& hook = Form->HookOf(Form->Button);
  TXPStyle& s = *Form->Style;
  s.UpdateDrawColors(Surface.Canvas());
  const COLORREF restEdge = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF hotEdge = Lighten(s.EffSelectBorderColor, 60);
  const COLORREF restFill = ColorToRGB(s.EffIconBackColor), hotFill = Lighten(clBtnFace, 60);
  struct TCase {
    const char* Name;
    bool Hot, MouseDown, SpaceDown, Focus, Enabled;
    COLORREF Fill, Edge;
    bool Pressed;  // dark line top/left instead of right/bottom
  } cases[] = {
      {"rest", false, false, false, false, true, restFill, restEdge, false},
      {"hot", true, false, false, false, true, hotFill, hotEdge, false},
      {"focused", false, false, false, true, true, restFill, hotEdge, false},
      {"pressed by mouse", true, true, false, false, true, hotFill, hotEdge, true},
      {"mouse down, left", false, true, false, false, true, restFill, restEdge, false},
      {"pressed by space", false, false, true, false, true, hotFill, hotEdge, true},
      {"disabled", false, false, false, false, false, restFill, restEdge, false},
  };
  for (auto& c : cases) {
    hook.FHighlighted = c.Hot;
    hook.FMouseDown = c.MouseDown;
    hook.FSpaceDown = c.SpaceDown;
    hook.FHasFocus = c.Focus;
    Form->Button->SetEnabled(c.Enabled);
    TBitmap out = Form->Paint(Form->Button, DrawButtonLook);
    TCanvas& canvas = out.Canvas();
    const COLORREF outline = Lighten(c.Edge, 30), darkLine = DarkenColor(c.Edge, 50);
    EXPECT_EQ(canvas.Pixel(0, 0), FormColor) << c.Name << ": corner shows the parent";
    EXPECT_EQ(canvas.Pixel(5, 5), c.Fill) << c.Name;
    const COLORREF top = c.Pressed && c.Enabled ? darkLine : outline;
    const COLORREF right = !c.Pressed && c.Enabled ? darkLine : outline;
    EXPECT_EQ(canvas.Pixel(37, 0), top) << c.Name << ": top edge";
    EXPECT_EQ(canvas.Pixel(0, 12), top) << c.Name << ": left edge";
    EXPECT_EQ(canvas.Pixel(74, 12), right) << c.Name << ": right edge";
    EXPECT_EQ(canvas.Pixel(37, 24), right) << c.Name << ": bottom edge";
  }
  hook.FHighlighted = hook.FMouseDown = hook.FSpaceDown = hook.FHasFocus = false;
  Form->Button->SetEnabled(true);

  // The caption: disabled colour when disabled; the default button's
  // emphasis adds darkened passes around it.
  TBitmap plain = Form->Paint(Form->Button, DrawButtonLook);
  Form->Button->SetDefault(true);
  TBitmap emphasised = Form->Paint(Form->Button, DrawButtonLook);
  const COLORREF text = ColorToRGB(Form->Button->Font().Color());
  EXPECT_GT(CountPixels(plain, text), 10);
  EXPECT_GT(CountPixels(emphasised, DarkenColor(restFill, 60)), 0);
  EXPECT_EQ(CountPixels(plain, DarkenColor(restFill, 60)), 0);
  Form->Button->SetEnabled(false);
  TBitmap disabled = Form->Paint(Form->Button, DrawButtonLook);
  EXPECT_EQ(CountPixels(disabled, text), 0);
  EXPECT_GT(CountPixels(disabled, ColorToRGB(s.EffDisabledColor)), 10);
}

TEST_F(XPPainters, BitButtonGlyphCellInEachLayout) {
  TBitBtn& bit = *Form->Bit;
  bit.Glyph() = Filled(8, 4, Red);  // two cells: red, then blue
  bit.Glyph().Canvas().Brush.Color = Blue;
  bit.Glyph().Canvas().FillRect({4, 0, 8, 4});
  bit.Glyph().Canvas().SetPixel(0, 3, White);  // the first cell's transparent colour
  bit.SetNumGlyphs(2);
  bit.SetCaption("OK");
  TControlSubClass& hook = Form->HookOf(&bit);
  hook.FHighlighted = true;  // full colour, lifted one pixel up and left
  TBitmap measure = Filled(1, 1, White);
  measure.Canvas().Font = bit.Font();
  const SIZE text = measure.Canvas().TextExtent("OK");
  const int W = 75, H = 40, sp = 4, gw = 4, gh = 4;

  struct TCase {
    TButtonLayout Layout;
    int X, Y;  // the glyph rectangle's top-left corner
  } cases[] = {
      {blGlyphLeft, (W - (sp + gw + text.cx)) / 2, (H - gh) / 2},
      {blGlyphRight, (sp + gw + text.cx + W) / 2 - gw, (H - gh) / 2},
      {blGlyphTop, (W - gw) / 2, (H - (gh + sp + text.cy)) / 2},
      {blGlyphBottom, (W - gw) / 2, (gh + sp + text.cy + H) / 2 - gh},
  };
  for (auto& c : cases) {
    bit.SetLayout(c.Layout);
    TBitmap out = Form->Paint(&bit, DrawBitBtnLook);
    // Drawn at (GR.Left, GR.Top + 1), lifted by one: the cell's corner.
    const int x = c.X - 1, y = c.Y;
    EXPECT_EQ(out.Canvas().Pixel(x, y), Red) << "layout " << c.Layout;
    EXPECT_EQ(out.Canvas().Pixel(x + gw - 1, y + gh - 1), Red) << "layout " << c.Layout;
    EXPECT_NE(out.Canvas().Pixel(x - 1, y), Red) << "layout " << c.Layout;
    EXPECT_EQ(CountPixels(out, Blue), 0) << "only the first cell, layout " << c.Layout;
  }
}

TEST_F(XPPainters, EditFrameColours) {
  TControlSubClass& hook = Form->HookOf(Form->Edit);
  TXPStyle& s = *Form->Style;
  s.UpdateDrawColors(Surface.Canvas());
  struct TCase {
    TBorderStyle Saved;
    bool Hot;
    COLORREF Frame;
  } cases[] = {
      {bsSingle, false, DarkenColor(FormColor, 60)},
      {bsSingle, true, Lighten(s.EffSelectBorderColor, 60)},
      {bsNone, false, FormColor},
      {bsNone, true, Lighten(s.EffSelectBorderColor, 80)},
  };
  for (auto& c : cases) {
    hook.FSavedBorderStyle = c.Saved;
    hook.FHighlighted = c.Hot;
    TBitmap out = Form->Paint(Form->Edit, DrawEditLook);
    EXPECT_EQ(out.Canvas().Pixel(0, 0), c.Frame);
    EXPECT_EQ(out.Canvas().Pixel(119, 20), c.Frame);
    EXPECT_EQ(out.Canvas().Pixel(5, 5), Magenta) << "a frame only";
  }
}

// --- Hooks on a shown form, driven by real messages -------------------------

namespace {

struct XPHooksLive : XPPainters {
  void SetUp() override {
    Form->Show();
    app_support::Pump(150);
    Form->Style->UpdateDrawColors(Surface.Canvas());
  }
  COLORREF WindowPixel(TWinControl* control, int x, int y) {
    TWindowDC dc(control->Handle());
    return GetPixel(dc.Get(), x, y);
  }
  void Send(TWinControl* control, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
    SendMessageA(control->Handle(), msg, wParam, lParam);
  }
};

// A button whose caption fails while armed: a paint error.
class TFailingButton : public TButton {
public:
  using TButton::TButton;
  const char* ClassName() const override { return "TButton"; }
  std::string Text() const override {
    if (Armed) throw Exception("caption unavailable");
    return TButton::Text();
  }
  bool Armed = false;
};

}  // namespace

TEST_F(XPHooksLive, HotFollowsTheMouseAndADisabledControlIsNeverHot) {
  TControlSubClass& hook = Form->HookOf(Form->Button);
  const COLORREF hotFill = Lighten(clBtnFace, 60), restFill = ColorToRGB(Form->Style->EffIconBackColor);
  Send(Form->Button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(hook.FHighlighted);
  EXPECT_EQ(WindowPixel(Form->Button, 5, 5), hotFill);
  Send(Form->Button, WM_MOUSELEAVE);
  EXPECT_FALSE(hook.FHighlighted);
  EXPECT_EQ(WindowPixel(Form->Button, 5, 5), restFill);

  Form->Button->SetEnabled(false);
  Send(Form->Button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_FALSE(hook.FHighlighted);
  app_support::Pump(50);
  EXPECT_EQ(WindowPixel(Form->Button, 5, 5), restFill);
  EXPECT_NE(WindowPixel(Form->Button, 74, 12), DarkenColor(clBtnShadow, 50)) << "no dark edge when disabled";
}

TEST_F(XPHooksLive, SpacePressesUntilReleased) {
  TControlSubClass& hook = Form->HookOf(Form->Button);
  const COLORREF pressedEdge = DarkenColor(Lighten(Form->Style->EffSelectBorderColor, 60), 50);
  Send(Form->Button, WM_KEYDOWN, VK_SPACE, 0x00390001);
  EXPECT_TRUE(hook.FSpaceDown);
  EXPECT_EQ(WindowPixel(Form->Button, 37, 0), pressedEdge);
  Send(Form->Button, WM_KEYDOWN, VK_SPACE, 0x40390001);  // auto-repeat
  EXPECT_TRUE(hook.FSpaceDown && hook.FSpaceRepainted);
  Send(Form->Button, WM_KEYUP, VK_SPACE, 0xC0390001);
  EXPECT_FALSE(hook.FSpaceDown || hook.FSpaceRepainted);
  const COLORREF edge = hook.FHasFocus ? Lighten(Form->Style->EffSelectBorderColor, 60) : GetSysColor(COLOR_BTNSHADOW);
  EXPECT_EQ(WindowPixel(Form->Button, 74, 12), DarkenColor(edge, 50)) << "raised again";
}

TEST_F(XPHooksLive, DoubleClickPressesAButtonAgainButNotAnEdit) {
  TControlSubClass& button = Form->HookOf(Form->Button);
  TControlSubClass& edit = Form->HookOf(Form->Edit);
  for (auto* c : {static_cast<TWinControl*>(Form->Button), static_cast<TWinControl*>(Form->Edit)}) {
    Send(c, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Send(c, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Send(c, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  }
  EXPECT_TRUE(button.FMouseDown);
  EXPECT_FALSE(edit.FMouseDown);
  Send(Form->Button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_FALSE(button.FMouseDown);
}

TEST_F(XPHooksLive, TheEditIsRecreatedFlatOnceAndKeepsHookTextAndModifiedFlag) {
  TEdit& edit = *Form->Edit;
  EXPECT_FALSE(edit.Ctl3D());
  ASSERT_TRUE(TControlSubClass::IsHooked(&edit));
  HWND window = edit.Handle();
  EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, edit.Width()) << "no sunken edge (the system edit draws its flat border inside)";
  EXPECT_FALSE(Form->HookOf(&edit).FRecreatePending) << "cleared by the new window's first paint";

  SetWindowTextA(window, "getippt");
  SendMessageA(window, EM_SETMODIFY, TRUE, 0);
  edit.SetCtl3D(true);  // something puts the 3-D look back: the next paint flattens it again
  app_support::Pump(100);
  EXPECT_FALSE(edit.Ctl3D());
  EXPECT_TRUE(TControlSubClass::IsHooked(&edit));
  EXPECT_NE(edit.Handle(), window);
  EXPECT_EQ(edit.Text(), "getippt");
  EXPECT_TRUE(edit.Modified());

  edit.SetFocus();
  app_support::Pump(50);
  EXPECT_TRUE(Form->HookOf(&edit).FHighlighted);
  EXPECT_EQ(WindowPixel(&edit, 0, 0), Lighten(Form->Style->EffSelectBorderColor, 60));
}

TEST_F(XPHooksLive, TogglingACheckBoxEndsItsHotStateUntilTheMouseComesBack) {
  TControlSubClass& hook = Form->HookOf(Form->Check);
  Send(Form->Check, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(hook.FHighlighted);
  const bool before = Form->Check->Checked();
  Send(Form->Check, BM_CLICK);  // focuses the box (hot), then toggles it (BM_SETCHECK)
  EXPECT_FALSE(hook.FHighlighted);
  EXPECT_NE(Form->Check->Checked(), before);
  Send(Form->Check, WM_MOUSEMOVE, 0, MAKELPARAM(6, 6));
  EXPECT_FALSE(hook.FHighlighted) << "the mouse never left";
  Send(Form->Check, WM_MOUSELEAVE);
  Send(Form->Check, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(hook.FHighlighted);
}

TEST_F(XPHooksLive, APaintErrorIsNotReported) {
  auto* failing = Form->Add<TFailingButton>("Failing", Form.get(), 200, 150, 75, 25);
  Form->Style->ApplyToContainer(Form.get(), true, false);
  ASSERT_TRUE(TControlSubClass::IsHooked(failing));
  app_support::Pump(50);
  app_support::TCollectedErrors errors;
  failing->Armed = true;
  failing->Invalidate();
  Send(failing, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  app_support::Pump(100);
  failing->Armed = false;
  EXPECT_TRUE(errors.Messages.empty()) << errors.Messages.front();
}

// Wine's GDI handle table holds about 65 500 objects (measured: pens made
// until creation fails). Each repaint makes and frees several pens, brushes
// and a font; had one object per paint leaked, this many repaints would
// exhaust the table.
TEST_F(XPHooksLive, RepaintsReleaseEveryObjectTheyTake) {
  TThumbSize thumb(16);
  TControlSubClass& hook = Form->HookOf(Form->Check);
  hook.FLastMessage = WM_PAINT;
  Form->Check->SetChecked(true);
  for (int i = 0; i < 66000; ++i) hook.PaintHookedControl();

  TGdiObject pen(CreatePen(PS_SOLID, 1, 0));
  TGdiObject brush(CreateSolidBrush(0));
  EXPECT_NE(pen.Get(), nullptr);
  EXPECT_NE(brush.Get(), nullptr);
  TBitmap out = Form->Paint(Form->Check, DrawCheckBoxLook);
  EXPECT_EQ(out.Canvas().Pixel(2, 3), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(out.Canvas().Pixel(6, 12), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(WindowPixel(Form->Check, 6, 12), GetSysColor(COLOR_HIGHLIGHT));
}
