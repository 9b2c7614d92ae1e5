// The control painters on memory bitmaps (worked examples, button states),
// the hooks driven by real messages on a shown form, and a repaint soak
// that would run Wine's GDI handle table dry on any leak.
#include <gtest/gtest.h>

#include <tuple>

#include "tests/support/app_support.h"
#include "tests/support/xpstyle_support.h"
#include "ui/Buttons.h"
#include "base/Cp1252.h"
#include "base/SysUtils.h"
#include "xpstyle/ControlSubClass.h"
#include "xpstyle/Painters.h"
#include "xpstyle/Primitives.h"

using namespace xp_support;

namespace {

constexpr COLORREF Magenta = RGB(255, 0, 255), Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255), White = RGB(255, 255, 255),
                   FormColor = RGB(200, 100, 50), BoxColor = RGB(220, 220, 220);

// A button whose caption fails while armed: an error inside a paint.
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

class TPaintForm : public TForm {
public:
  TPaintForm() : TForm(nullptr) {
    SetBounds(100, 100, 320, 220);
    SetColor(FormColor);
    Button = Add<TFailingButton>(this, 8, 8, 75, 25, "&Los");
    Bit = Add<TBitBtn>(this, 8, 40, 75, 40, "OK");
    Edit = Add<TEdit>(this, 8, 90, 120, 21, "Text");
    Box = Add<TGroupBox>(this, 140, 8, 145, 97, u8"Löschoptionen"_cp1252);
    Box->SetColor(BoxColor);
    Check = Add<TCheckBox>(Box, 8, 24, 121, 17, u8"Papierkorb löschen"_cp1252);
    Check->SetChecked(true);
    Style = new TXPStyle(this);
    Style->SetActive(true);
  }
  template <class T>
  T* Add(TWinControl* parent, int x, int y, int w, int h, const char* caption) {
    T* c = new T(this);
    c->SetParent(parent);
    c->SetBounds(x, y, w, h);
    c->SetCaption(caption);
    return c;
  }
  static TControlSubClass& HookOf(TControl* c) { return *static_cast<TControlSubClass*>(c->WindowProc.Data); }
  // The painter's output on a bitmap of the control's size, filled magenta.
  TBitmap Paint(TControl* control, TPainter painter) {
    TBitmap bitmap = Filled(control->Width(), control->Height(), Magenta);
    const TXPColors colors = Style->UpdateDrawColors(bitmap.Canvas());
    const TXPMetrics metrics = Style->MetricsForDpi(DesignDpi);
    TControlPaint paint{*control, HookOf(control), colors, metrics, bitmap.Canvas()};
    painter(paint);
    return bitmap;
  }

  TFailingButton* Button;
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
  TXPColors Colors;
  void SetUp() override { Colors = Form->Style->UpdateDrawColors(Surface.Canvas()); }
};

}  // namespace

TEST_F(XPPainters, CheckBoxWorkedExample121By17AndStates) {
  TThumbSize thumb(16);
  ASSERT_EQ(GetSystemMetrics(SM_CXHTHUMB), 16);
  TBitmap out = Form->Paint(Form->Check, DrawCheckBoxLook);
  EXPECT_EQ(Picture(out,
                    {{Magenta, 'm'}, {BoxColor, 'c'}, {GetSysColor(COLOR_BTNSHADOW), 'f'},
                     {GetSysColor(COLOR_WINDOW), 'w'}, {GetSysColor(COLOR_HIGHLIGHT), 't'}},
                    {0, 0, 16, 17}),
            (std::vector<std::string>{
                "mmmmmmmmmmmmmmmm", "cccccccccccccccm", "cccccccccccccccm", "ccfffffffffffccm", "ccfwwwwwwwwwfccm",
                "ccfwwwwwwwwwfccm", "ccfwwwwwwwtwfccm", "ccfwwwwwwttwfccm", "ccfwtwwwtttwfccm", "ccfwttwtttwwfccm",
                "ccfwtttttwwwfccm", "ccfwwtttwwwwfccm", "ccfwwwtwwwwwfccm", "ccfwwwwwwwwwfccm", "ccfffffffffffccm",
                "cccccccccccccccm", "cccccccccccccccm"}))
      << "the box has its parent's colour (c)";

  TControlSubClass& hook = TPaintForm::HookOf(Form->Check);
  const TXPColors& s = Colors;
  const COLORREF window = GetSysColor(COLOR_WINDOW), shadow = GetSysColor(COLOR_BTNSHADOW);
  struct TCase {
    bool Hot, Pressed, Enabled;
    TCheckBoxState State;
    COLORREF Fill, Frame, Tick;  // at (3, 4), (2, 3) and (6, 12)
  } cases[] = {
      {true, false, true, cbChecked, ColorToRGB(s.EffSelectColor), ColorToRGB(s.EffSelectBorderColor),
       GetSysColor(COLOR_HIGHLIGHT)},
      {true, true, true, cbChecked, ColorToRGB(s.CheckFillHotColor), ColorToRGB(s.EffSelectBorderColor), window},
      {false, false, true, cbGrayed, ColorToRGB(clSilver), shadow, ColorToRGB(clGray)},
      {false, true, true, cbGrayed, ColorToRGB(clSilver), shadow, window},
      {false, false, false, cbChecked, window, shadow, ColorToRGB(s.EffDisabledColor)},
  };
  for (auto& c : cases) {
    hook.FHighlighted = c.Hot;
    hook.FMouseDown = c.Pressed;
    Form->Check->SetEnabled(c.Enabled);
    Form->Check->SetState(c.State);
    TBitmap state = Form->Paint(Form->Check, DrawCheckBoxLook);
    EXPECT_EQ(state.Canvas().Pixel(2, 3), c.Frame) << "case " << (&c - cases);
    EXPECT_EQ(state.Canvas().Pixel(3, 4), c.Fill) << "case " << (&c - cases);
    EXPECT_EQ(state.Canvas().Pixel(6, 12), c.Tick) << "case " << (&c - cases);
  }
  Form->Check->SetAlignment(taLeftJustify);
  TBitmap right = Form->Paint(Form->Check, DrawCheckBoxLook);
  EXPECT_EQ(right.Canvas().Pixel(2, 3), Magenta) << "caption on the left: the box is at the right edge";
  EXPECT_EQ(right.Canvas().Pixel(118, 3), shadow);
}

TEST_F(XPPainters, GroupBoxFrameAroundTheCaption) {
  TControlSubClass& hook = TPaintForm::HookOf(Form->Box);
  hook.FLastMessage = WM_MOUSEMOVE;
  TBitmap idle = Form->Paint(Form->Box, DrawGroupBoxLook);
  EXPECT_EQ(CountPixels(idle, Magenta), 145 * 97) << "only right after WM_PAINT";
  hook.FLastMessage = WM_PAINT;
  TBitmap out = Form->Paint(Form->Box, DrawGroupBoxLook);
  TCanvas& canvas = out.Canvas();
  canvas.Font = Form->Box->Font();
  const int tH = canvas.TextHeight(u8"Löschoptionen"_cp1252), tW = canvas.TextWidth(u8"Löschoptionen"_cp1252);
  const COLORREF light = RGB(241, 241, 241), dark = RGB(160, 162, 160);
  const int W = 145, H = 97, top = tH / 2 + 1;
  std::vector<std::string> band(top, "ppppppppp");
  band.push_back("lllllllll");  // the top edge stops at the caption
  EXPECT_EQ(Picture(out, {{FormColor, 'p'}, {light, 'l'}}, {0, 0, 9, top + 1}), band);
  for (int x : {9 + tW, W - 2}) EXPECT_EQ(canvas.Pixel(x, top), light) << "top edge after the caption at " << x;
  for (int y : {top + 1, H - 2}) {
    EXPECT_EQ(canvas.Pixel(0, y), light) << "left edge at " << y;
    EXPECT_EQ(canvas.Pixel(1, y), BoxColor) << "the control's own frame erased at " << y;
    EXPECT_EQ(canvas.Pixel(W - 1, y), dark) << "right edge at " << y;
  }
  for (int x : {0, W - 1}) EXPECT_EQ(canvas.Pixel(x, H - 1), dark) << "bottom edge at " << x;
  EXPECT_EQ(canvas.Pixel(W / 2, H / 2), Magenta) << "the inside is the control's";
  Form->Box->SetCtl3D(false);
  hook.FLastMessage = WM_PAINT;
  TBitmap flat = Form->Paint(Form->Box, DrawGroupBoxLook);
  EXPECT_EQ(flat.Canvas().Pixel(0, H / 2), dark) << "without Ctl3D every edge is dark";
}

TEST_F(XPPainters, ButtonStates) {
  TControlSubClass& hook = TPaintForm::HookOf(Form->Button);
  const COLORREF restEdge = GetSysColor(COLOR_BTNSHADOW), hotEdge = Lighten(Colors.EffSelectBorderColor, 60);
  const COLORREF restFill = ColorToRGB(Colors.EffIconBackColor), hotFill = Lighten(clBtnFace, 60);
  struct TCase {
    const char* Name;
    bool Hot, MouseDown, SpaceDown, Focus, Enabled;
    COLORREF Fill, Edge;
    bool Pressed;  // the dark line top and left instead of right and bottom
  } cases[] = {
      {"rest", false, false, false, false, true, restFill, restEdge, false},
      {"hot", true, false, false, false, true, hotFill, hotEdge, false},
      {"focused", false, false, false, true, true, restFill, hotEdge, false},
      {"pressed by mouse", true, true, false, false, true, hotFill, hotEdge, true},
      {"mouse down, then left", false, true, false, false, true, restFill, restEdge, false},
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
    const COLORREF outline = Lighten(c.Edge, 30), dark = DarkenColor(c.Edge, 50);
    const COLORREF topLeft = c.Pressed ? dark : outline, bottomRight = !c.Pressed && c.Enabled ? dark : outline;
    // Corner (the parent), face, top, left, right and bottom edges.
    const POINT at[] = {{0, 0}, {5, 5}, {37, 0}, {0, 12}, {74, 12}, {37, 24}};
    const COLORREF expected[] = {FormColor, c.Fill, topLeft, topLeft, bottomRight, bottomRight};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(out.Canvas().Pixel(at[i].x, at[i].y), expected[i]) << c.Name << " " << i;
  }
  hook.FHighlighted = hook.FMouseDown = hook.FSpaceDown = hook.FHasFocus = false;
  Form->Button->SetEnabled(true);
  const COLORREF text = ColorToRGB(Form->Button->Font().Color());
  TBitmap plain = Form->Paint(Form->Button, DrawButtonLook);
  Form->Button->SetDefault(true);
  TBitmap emphasised = Form->Paint(Form->Button, DrawButtonLook);
  Form->Button->SetEnabled(false);
  TBitmap disabled = Form->Paint(Form->Button, DrawButtonLook);
  EXPECT_GT(CountPixels(plain, text), 10);
  EXPECT_GT(CountPixels(emphasised, DarkenColor(restFill, 60)), 0) << "the default button's emphasis passes";
  EXPECT_EQ(CountPixels(plain, DarkenColor(restFill, 60)), 0);
  EXPECT_EQ(CountPixels(disabled, text), 0);
  EXPECT_GT(CountPixels(disabled, ColorToRGB(Colors.EffDisabledColor)), 10) << "the disabled caption colour";
}

TEST_F(XPPainters, BitButtonFirstGlyphCellInEachLayout) {
  TBitBtn& bit = *Form->Bit;
  bit.Glyph() = Filled(8, 4, Red);  // two cells, the second blue
  bit.Glyph().Canvas().Brush.Color = Blue;
  bit.Glyph().Canvas().FillRect({4, 0, 8, 4});
  bit.Glyph().Canvas().SetPixel(0, 3, White);  // the first cell's transparent colour
  bit.SetNumGlyphs(2);
  TPaintForm::HookOf(&bit).FHighlighted = true;  // full colour, lifted one pixel up and left
  Surface.Canvas().Font = bit.Font();
  const SIZE text = Surface.Canvas().TextExtent("OK");
  const int W = 75, H = 40, sp = 4, g = 4;
  const POINT corners[] = {{(W - (sp + g + text.cx)) / 2, (H - g) / 2},
                           {(sp + g + text.cx + W) / 2 - g, (H - g) / 2},
                           {(W - g) / 2, (H - (g + sp + text.cy)) / 2},
                           {(W - g) / 2, (g + sp + text.cy + H) / 2 - g}};
  for (TButtonLayout layout : {blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom}) {
    bit.SetLayout(layout);
    TBitmap out = Form->Paint(&bit, DrawBitBtnLook);
    const int x = corners[layout].x - 1, y = corners[layout].y;  // drawn at (left, top + 1), lifted by one
    EXPECT_EQ(Picture(out, {{Red, 'r'}}, {x - 1, y, x + g, y + 1}).front(), "?rrrr") << "layout " << layout;
    EXPECT_EQ(CountPixels(out, Blue), 0) << "only the first cell, layout " << layout;
  }
}

TEST_F(XPPainters, EditFrameColours) {
  TControlSubClass& hook = TPaintForm::HookOf(Form->Edit);
  const COLORREF select = ColorToRGB(Colors.EffSelectBorderColor);
  const std::tuple<TBorderStyle, bool, COLORREF> cases[] = {{bsSingle, false, DarkenColor(FormColor, 60)},
                                                             {bsSingle, true, Lighten(select, 60)},
                                                             {bsNone, false, FormColor},
                                                             {bsNone, true, Lighten(select, 80)}};
  for (auto [saved, hot, frame] : cases) {
    hook.FSavedBorderStyle = saved;
    hook.FHighlighted = hot;
    TBitmap out = Form->Paint(Form->Edit, DrawEditLook);
    EXPECT_EQ(Picture(out, {{frame, 'f'}, {Magenta, '.'}}, {118, 19, 120, 21}), (std::vector<std::string>{".f", "ff"}));
    EXPECT_EQ(out.Canvas().Pixel(0, 0), frame);
  }
}

// --- Hooks on a shown form, driven by real messages -------------------------

namespace {
struct XPHooksLive : XPPainters {
  void SetUp() override {
    Form->Show();
    app_support::Pump(150);
    XPPainters::SetUp();
  }
  static COLORREF WindowPixel(TWinControl* control, int x, int y) {
    TWindowDC dc(control->Handle());
    return GetPixel(dc.Get(), x, y);
  }
  static void Send(TWinControl* control, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
    SendMessageA(control->Handle(), msg, wParam, lParam);
  }
};
}  // namespace

TEST_F(XPHooksLive, ButtonHotPressedAndDisabledFromMessages) {
  TControlSubClass& hook = TPaintForm::HookOf(Form->Button);
  const COLORREF restFill = ColorToRGB(Colors.EffIconBackColor);
  Send(Form->Button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(hook.FHighlighted);
  EXPECT_EQ(WindowPixel(Form->Button, 5, 5), Lighten(clBtnFace, 60));
  Send(Form->Button, WM_MOUSELEAVE);
  EXPECT_FALSE(hook.FHighlighted);
  EXPECT_EQ(WindowPixel(Form->Button, 5, 5), restFill);

  Send(Form->Button, WM_KEYDOWN, VK_SPACE, 0x00390001);
  EXPECT_EQ(WindowPixel(Form->Button, 37, 0), DarkenColor(Lighten(Colors.EffSelectBorderColor, 60), 50));
  Send(Form->Button, WM_KEYDOWN, VK_SPACE, 0x40390001);  // auto-repeat
  EXPECT_TRUE(hook.FSpaceDown && hook.FSpaceRepainted);
  Send(Form->Button, WM_KEYUP, VK_SPACE, 0xC0390001);
  EXPECT_FALSE(hook.FSpaceDown || hook.FSpaceRepainted);

  // The second click of a double click presses a button again, not an edit.
  for (TWinControl* c : {static_cast<TWinControl*>(Form->Button), static_cast<TWinControl*>(Form->Edit)}) {
    Send(c, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Send(c, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Send(c, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  }
  EXPECT_TRUE(hook.FMouseDown);
  EXPECT_FALSE(TPaintForm::HookOf(Form->Edit).FMouseDown);
  Send(Form->Button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));

  Form->Button->SetEnabled(false);
  Send(Form->Button, WM_MOUSELEAVE);
  Send(Form->Button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_FALSE(hook.FHighlighted) << "a disabled control is never hot";
  EXPECT_EQ(WindowPixel(Form->Button, 5, 5), restFill);
}

TEST_F(XPHooksLive, TheEditIsRecreatedFlatAndKeepsHookTextAndModifiedFlag) {
  TEdit& edit = *Form->Edit;
  EXPECT_FALSE(edit.Ctl3D()) << "flattened by its first paint";
  HWND window = edit.Handle();
  EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
  EXPECT_FALSE(TPaintForm::HookOf(&edit).FRecreatePending) << "cleared by the new window's first paint";
  SetWindowTextA(window, "getippt");
  SendMessageA(window, EM_SETMODIFY, TRUE, 0);
  edit.SetCtl3D(true);  // the 3-D look put back: the next paint flattens it again
  app_support::Pump(100);
  EXPECT_FALSE(edit.Ctl3D());
  EXPECT_TRUE(TControlSubClass::IsHooked(&edit));
  EXPECT_NE(edit.Handle(), window);
  EXPECT_EQ(edit.Text(), "getippt");
  EXPECT_TRUE(edit.Modified());
  edit.SetFocus();
  app_support::Pump(50);
  EXPECT_EQ(WindowPixel(&edit, 0, 0), Lighten(Colors.EffSelectBorderColor, 60)) << "focused";
}

TEST_F(XPHooksLive, APaintErrorIsNotReported) {
  app_support::TCollectedErrors errors;
  Form->Button->Armed = true;
  Form->Button->Invalidate();
  Send(Form->Button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  app_support::Pump(100);
  Form->Button->Armed = false;
  EXPECT_TRUE(errors.Messages.empty()) << errors.Messages.front();
}

// Wine's GDI handle table holds about 65 500 objects (measured: pens made
// until creation fails). Each repaint makes and frees several pens, brushes
// and a font; had one object per paint leaked, these repaints would exhaust
// the table and the checks after them would fail.
TEST_F(XPHooksLive, RepaintsReleaseEveryObjectTheyTake) {
  TThumbSize thumb(16);
  TControlSubClass& hook = TPaintForm::HookOf(Form->Check);
  for (int i = 0; i < 66000; ++i) hook.PaintHookedControl();
  TGdiObject pen(CreatePen(PS_SOLID, 1, 0)), brush(CreateSolidBrush(0));
  EXPECT_TRUE(pen.Get() && brush.Get());
  EXPECT_EQ(WindowPixel(Form->Check, 2, 3), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(WindowPixel(Form->Check, 6, 12), GetSysColor(COLOR_HIGHLIGHT));
}
