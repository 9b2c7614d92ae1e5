// The painters of combo boxes, radio buttons, speed buttons, panels and rich
// edits on memory bitmaps; tool bar buttons and control bar bands through
// their drawing events; hooks on the windowless and re-created kinds; and
// the gallery repainted without losing a GDI object.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "GalleryForm.h"
#include "tests/support/app_support.h"
#include "tests/support/xpstyle_support.h"
#include "xpstyle/ControlSubClass.h"
#include "xpstyle/Painters.h"
#include "xpstyle/Primitives.h"

using namespace xp_support;

namespace {

constexpr COLORREF Magenta = RGB(255, 0, 255), FormColor = RGB(200, 100, 50), PanelColor = RGB(180, 180, 180);

class TCountingSpeedButton : public TSpeedButton {
public:
  using TSpeedButton::TSpeedButton;
  void Paint(HDC dc) override {
    ++OwnPaints;
    TSpeedButton::Paint(dc);
  }
  int OwnPaints = 0;
};

class TKindsForm : public TForm {
public:
  TKindsForm() : TForm(nullptr) {
    SetBounds(100, 100, 360, 260);
    SetColor(FormColor);
    Combo = Add<TComboBox>(8, 8, 145, 21);
    Radio = Add<TRadioButton>(8, 40, 113, 17);
    Radio->SetChecked(true);
    Speed = Add<TCountingSpeedButton>(8, 64, 60, 40);
    Panel = Add<TPanel>(180, 8, 40, 30);
    Panel->SetColor(PanelColor);
    Rich = Add<TRichEdit>(180, 60, 100, 40);
    UpDown = Add<TUpDown>(300, 8, 17, 25);
    Style = new TXPStyle(this);
    Style->SetActive(true);
  }
  template <class T>
  T* Add(int x, int y, int w, int h) {
    T* c = new T(this);
    c->SetParent(this);
    c->SetBounds(x, y, w, h);
    return c;
  }
  static TControlSubClass& HookOf(TControl* c) { return *static_cast<TControlSubClass*>(c->WindowProc.Data); }
  TBitmap Paint(TControl* control, TPainter painter, int w = -1, int h = -1) {
    TBitmap bitmap = Filled(w < 0 ? control->Width() : w, h < 0 ? control->Height() : h, Magenta);
    const TXPColors colors = Style->UpdateDrawColors(bitmap.Canvas());
    const TXPMetrics metrics = Style->MetricsForDpi(DesignDpi);
    TControlPaint paint{*control, HookOf(control), colors, metrics, bitmap.Canvas()};
    painter(paint);
    return bitmap;
  }

  TComboBox* Combo;
  TRadioButton* Radio;
  TCountingSpeedButton* Speed;
  TPanel* Panel;
  TRichEdit* Rich;
  TUpDown* UpDown;
  TXPStyle* Style;
};

struct XPKinds : ::testing::Test {
  Owned<TKindsForm> Form{new TKindsForm()};
  TBitmap Surface = Filled(1, 1, 0xFFFFFF);
  COLORREF Lighten(TColor color, int percent) { return LightenColor(Surface.Canvas(), color, percent); }
  COLORREF Eff(TColor color) { return ColorToRGB(color); }
  TXPColors Colors;
  void SetUp() override { Colors = Form->Style->UpdateDrawColors(Surface.Canvas()); }
};

// The bounding box of the pixels of one colour.
RECT BoxOf(TBitmap& bitmap, COLORREF color) {
  RECT box{INT_MAX, INT_MAX, -1, -1};
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      if (bitmap.Canvas().Pixel(x, y) == color) {
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x + 1);
        box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
  return box;
}

// A combo box window that keeps the focus instead of handing it on to its
// edit part.
WNDPROC ComboProc = nullptr;
LRESULT CALLBACK KeepFocusProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  return msg == WM_SETFOCUS ? 0 : CallWindowProcA(ComboProc, window, msg, wParam, lParam);
}

}  // namespace

bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

// A combo box counts as focused with the focus in its edit part, not with
// the focus in its own window nor anywhere else.
TEST_F(XPKinds, ComboBoxFocusIsTheFocusInItsEditPart) {
  TKindsForm& f = *Form;
  f.Show();
  app_support::Pump(100);
  TControlSubClass& hook = TKindsForm::HookOf(f.Combo);
  HWND combo = f.Combo->Handle();
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(combo, &info) && info.hwndItem && info.hwndItem != combo);
  ComboProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(combo, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&KeepFocusProc)));
  const struct {
    HWND Focus;
    bool Focused;
  } cases[] = {{info.hwndItem, true}, {combo, false}, {f.Radio->Handle(), false}};
  for (auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    SetFocus(c.Focus);
    ASSERT_EQ(GetFocus(), c.Focus);
    hook.PaintHookedControl();
    EXPECT_EQ(hook.FHasFocus, c.Focused);
  }
  SetWindowLongPtrA(combo, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ComboProc));
}

TEST_F(XPKinds, ComboBoxWorkedExample145By21) {
  TThumbSize thumb(16);
  // The system sizes a combo box from its font: fit the selection field so
  // that the whole control is 21 pixels high.
  HWND combo = Form->Combo->Handle();
  const LRESULT field = SendMessageA(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
  for (LRESULT h = field - 6; h <= field + 6 && Form->Combo->ClientRect().bottom != 21; ++h)
    SendMessageA(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), h);
  ASSERT_EQ(Form->Combo->ClientRect().bottom, 21);
  TBitmap out = Form->Paint(Form->Combo, DrawComboLook);
  const std::string w24(24, 'w');
  const std::string plain = "mmmmmmwwwwwwbbbbbbbbbbbwp";
  std::vector<std::string> rows{std::string(25, 'p'), std::string(25, 'p'), w24 + "p"};
  for (int y = 3; y <= 18; ++y)
    rows.push_back(y == 10   ? "mmmmmmwwwwwwbbbkkkkkbbbwp"
                   : y == 11 ? "mmmmmmwwwwwwbbbbkkkbbbbwp"
                   : y == 12 ? "mmmmmmwwwwwwbbbbbkbbbbbwp"
                   : y == 18 ? "wwwwwwwwwwwwbbbbbbbbbbbwp"  // the frame's bottom row under the button
                             : plain);
  rows.push_back(w24 + "p");
  rows.push_back(std::string(25, 'p'));
  EXPECT_EQ(Picture(out,
                    {{Magenta, 'm'}, {FormColor, 'p'}, {GetSysColor(COLOR_WINDOW), 'w'},
                     {GetSysColor(COLOR_BTNFACE), 'b'}, {0, 'k'}},
                    {120, 0, 145, 21}),
            rows);
}

TEST_F(XPKinds, ComboBoxStates) {
  TThumbSize thumb(16);
  TKindsForm& f = *Form;
  f.Show();
  app_support::Pump(100);
  TControlSubClass& hook = TKindsForm::HookOf(f.Combo);
  const TXPColors& s = Colors;
  const COLORREF window = GetSysColor(COLOR_WINDOW);
  struct TCase {
    bool Hot, Focus, Open, Enabled;
    TBiDiMode Bidi;
    COLORREF Frame, Button, Arrow, Line;  // frame at (0, 5); button, arrow tip, separator of the side
  } cases[] = {
      {true, false, false, true, bdLeftToRight, Eff(s.EffSelectBorderColor), Eff(s.EffSelectColor), 0,
       Eff(s.EffSelectBorderColor)},
      {false, true, false, true, bdLeftToRight, Lighten(s.EffSelectBorderColor, 60), Eff(s.CheckFillColor), 0,
       Lighten(s.EffSelectBorderColor, 60)},
      {false, false, true, true, bdLeftToRight, window, Eff(s.CheckFillHotColor), 0xFFFFFF,
       Eff(s.EffSelectBorderColor)},
      {false, false, false, false, bdLeftToRight, window, GetSysColor(COLOR_BTNFACE), 0xFFFFFF, window},
      {true, false, false, true, bdRightToLeft, Eff(s.EffSelectBorderColor), Eff(s.EffSelectColor), 0,
       Eff(s.EffSelectBorderColor)},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    f.Combo->SetEnabled(c.Enabled);
    f.Combo->SetBiDiMode(c.Bidi);
    if (c.Open) f.Combo->SetDroppedDown(true);
    hook.FHighlighted = c.Hot;
    hook.FHasFocus = c.Focus;
    TBitmap out = f.Paint(f.Combo, DrawComboLook);
    if (c.Open) f.Combo->SetDroppedDown(false);
    const bool rtl = c.Bidi == bdRightToLeft;
    // Hot or focused the frame is one pixel larger.
    const int frameX = c.Hot || c.Focus ? 0 : 1;
    EXPECT_EQ(out.Canvas().Pixel(rtl ? 144 - frameX : frameX, 5), c.Frame);
    EXPECT_EQ(out.Canvas().Pixel(rtl ? 3 : 140, 5), c.Button);
    EXPECT_EQ(out.Canvas().Pixel(rtl ? 7 : 137, 12), c.Arrow);
    if (rtl) {
      // Hot, the button spans columns 1 to 19 with its separator at 15:
      // one pixel wider than the mirrored left-to-right button (126 to 143).
      EXPECT_EQ(out.Canvas().Pixel(15, 5), c.Line);
      EXPECT_EQ(out.Canvas().Pixel(1, 5), c.Button);
      EXPECT_EQ(out.Canvas().Pixel(16, 5), window);
      EXPECT_EQ(out.Canvas().Pixel(20, 5), Magenta);
    } else {
      EXPECT_EQ(out.Canvas().Pixel(131, 5), c.Line);
    }
  }
}

TEST_F(XPKinds, RadioButtonSizesSidesAndDot) {
  TThumbSize thumb(16);
  const TXPColors& s = Colors;
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), mark = GetSysColor(COLOR_HIGHLIGHT);
  TBitmap out = Form->Paint(Form->Radio, DrawRadioButtonLook);
  EXPECT_EQ(BoxOf(out, shadow), (RECT{2, 3, 13, 14})) << "circle 11 x 11";
  EXPECT_EQ(BoxOf(out, mark), (RECT{4, 5, 11, 12})) << "dot 7 x 7";
  EXPECT_EQ(BoxOf(out, FormColor), (RECT{0, 1, 15, 16})) << "indicator cleared in the control colour";

  // Which side the indicator takes; the reading-order modes keep the
  // left-to-right placement for the same alignment.
  struct TCase {
    TBiDiMode Bidi;
    TLeftRight Align;
    int Left;
  } cases[] = {{bdLeftToRight, taRightJustify, 2},          {bdLeftToRight, taLeftJustify, 100},
               {bdRightToLeft, taRightJustify, 100},         {bdRightToLeft, taLeftJustify, 2},
               {bdRightToLeftNoAlign, taRightJustify, 2},    {bdRightToLeftNoAlign, taLeftJustify, 100},
               {bdRightToLeftReadingOnly, taRightJustify, 2}, {bdRightToLeftReadingOnly, taLeftJustify, 100}};
  for (auto& c : cases) {
    Form->Radio->SetBiDiMode(c.Bidi);
    Form->Radio->SetAlignment(c.Align);
    TBitmap side = Form->Paint(Form->Radio, DrawRadioButtonLook);
    EXPECT_EQ(BoxOf(side, shadow).left, c.Left) << "case " << (&c - cases);
    EXPECT_EQ(BoxOf(side, shadow).right - BoxOf(side, shadow).left, 11) << "case " << (&c - cases);
  }

  TControlSubClass& hook = TKindsForm::HookOf(Form->Radio);
  hook.FHighlighted = true;
  TBitmap hot = Form->Paint(Form->Radio, DrawRadioButtonLook);
  EXPECT_NE(BoxOf(hot, ColorToRGB(s.EffSelectBorderColor)).right, -1) << "hot frame";
  hook.FHighlighted = false;
  Form->Radio->SetEnabled(false);
  TBitmap disabled = Form->Paint(Form->Radio, DrawRadioButtonLook);
  EXPECT_EQ(BoxOf(disabled, ColorToRGB(s.EffDisabledColor)).right - BoxOf(disabled, ColorToRGB(s.EffDisabledColor)).left, 7);
}

TEST_F(XPKinds, SpeedButtonCellByStateAndLayouts) {
  TCountingSpeedButton& b = *Form->Speed;
  TControlSubClass& hook = TKindsForm::HookOf(&b);
  // Four 8 x 8 cells in their own colours, each on an olive bottom row (the
  // transparent colour).
  const COLORREF cellColor[4] = {RGB(200, 0, 0), RGB(0, 150, 0), RGB(0, 0, 200), RGB(120, 0, 120)};
  TBitmap glyph = Filled(32, 8, clOlive);
  for (int k = 0; k < 4; ++k) {
    glyph.Canvas().Brush.Color = cellColor[k];
    glyph.Canvas().FillRect({8 * k, 0, 8 * k + 8, 7});
  }
  b.SetGlyph(glyph);
  b.SetNumGlyphs(4);

  struct TCase {
    bool Down, MouseDown, Hot, Enabled;
    COLORREF Centre;  // the glyph's pixel, drawn at (26, 17) when not lifted
  } cases[] = {
      {true, false, false, true, cellColor[3]},
      {false, true, false, true, cellColor[2]},
      {false, false, true, true, cellColor[0]},  // lifted one pixel up and left: still inside the cell
      {false, false, false, false, 0},           // filled in below: cell 2 greyed and lightened
  };
  cases[3].Centre = LightenColor(Surface.Canvas(), GrayColor(cellColor[1], Form->Style->GrayLevel()), 40);
  for (auto& c : cases) {
    b.SetDown(c.Down);
    hook.FMouseDown = c.MouseDown;
    hook.FHighlighted = c.Hot;
    b.SetEnabled(c.Enabled);
    TBitmap out = Form->Paint(&b, DrawSpeedButtonLook);
    // No caption: W = 60, H = 40, glyph left layout at ((60 - 8) / 2, (40 - 8) / 2 - 1) = (26, 15).
    EXPECT_EQ(out.Canvas().Pixel(29, 18), c.Centre) << "case " << (&c - cases);
  }

  // Layouts with a caption, the button down (no lift): the glyph's top-left
  // pixel lands where the table puts it, one row lower.
  b.SetEnabled(true);
  b.SetDown(true);
  hook.FMouseDown = hook.FHighlighted = false;
  b.SetCaption("Ab");
  b.SetSpacing(3);
  TBitmap probe = Filled(1, 1, 0);
  probe.Canvas().Font = b.Font();
  const SIZE t = probe.Canvas().TextExtent("Ab");
  struct TLayoutCase {
    TButtonLayout Layout;
    POINT TopLeft;
  } layouts[] = {
      {blGlyphLeft, {(60 - (3 + 8 + t.cx)) / 2, (40 - 8) / 2 - 1}},
      {blGlyphRight, {(3 + 8 + t.cx + 60) / 2 - 8, (40 - 8) / 2}},
      {blGlyphTop, {(60 - 8) / 2, (40 - (8 + 3 + t.cy)) / 2}},
      {blGlyphBottom, {(60 - 8) / 2, (8 + 3 + t.cy + 40) / 2 - 8}},
  };
  for (auto& l : layouts) {
    b.SetLayout(l.Layout);
    TBitmap out = Form->Paint(&b, DrawSpeedButtonLook);
    EXPECT_EQ(BoxOf(out, cellColor[3]).left, l.TopLeft.x) << "layout " << l.Layout;
    EXPECT_EQ(BoxOf(out, cellColor[3]).top, l.TopLeft.y + 1) << "layout " << l.Layout;
  }

  // Faces: flat at rest has no outline; transparent and flat at rest draws
  // nothing under the glyph; transparent and down tints what shows through.
  b.SetCaption("");
  b.SetDown(false);
  b.SetFlat(true);
  TBitmap flat = Form->Paint(&b, DrawSpeedButtonLook);
  EXPECT_EQ(flat.Canvas().Pixel(0, 0), Eff(Colors.EffIconBackColor));
  b.SetTransparent(true);
  TBitmap clear = Form->Paint(&b, DrawSpeedButtonLook);
  EXPECT_EQ(clear.Canvas().Pixel(0, 0), Magenta);
  b.SetDown(true);
  TBitmap tinted = Form->Paint(&b, DrawSpeedButtonLook);
  const COLORREF tint = Lighten(Colors.EffSelectColor, Surface.Canvas().BitsPerPixel() > 16 ? 20 : 40);
  EXPECT_EQ(tinted.Canvas().Pixel(5, 5), Magenta & tint);
}

TEST_F(XPKinds, PanelBevelsOnlyAfterItsOwnPaint) {
  TPanel& p = *Form->Panel;
  TControlSubClass& hook = TKindsForm::HookOf(&p);
  const COLORREF dark = DarkenColor(PanelColor, 60), light = Lighten(PanelColor, 60);
  p.SetBevelInner(bvLowered);
  p.SetBorderWidth(2);
  hook.FLastMessage = WM_PAINT;
  TBitmap out = Form->Paint(&p, DrawPanelLook);
  EXPECT_EQ(Picture(out, {{dark, 'd'}, {light, 'l'}, {Magenta, '.'}}, {0, 0, 6, 6}),
            (std::vector<std::string>{"llllll", "l.....", "l.....", "l..ddd", "l..d..", "l..d.."}));
  EXPECT_EQ(out.Canvas().Pixel(39, 0), dark) << "outer raised: top-right corner dark";
  EXPECT_EQ(out.Canvas().Pixel(36, 3), light) << "inner lowered: right edge light";
  EXPECT_EQ(out.Canvas().Pixel(3, 26), light);

  p.SetBevelOuter(bvSpace);
  p.SetBevelInner(bvNone);
  hook.FLastMessage = WM_PAINT;  // the setters invalidated the panel
  TBitmap space = Form->Paint(&p, DrawPanelLook);
  EXPECT_EQ(space.Canvas().Pixel(0, 0), light) << "bvSpace is drawn raised";
  p.SetBevelOuter(bvNone);
  hook.FLastMessage = WM_PAINT;
  TBitmap none = Form->Paint(&p, DrawPanelLook);
  EXPECT_EQ(CountPixels(none, Magenta), 40 * 30) << "both bevels bvNone: untouched";
  p.SetBevelOuter(bvLowered);
  hook.FLastMessage = CM_MOUSEENTER;
  TBitmap mouse = Form->Paint(&p, DrawPanelLook);
  EXPECT_EQ(CountPixels(mouse, Magenta), 40 * 30) << "no drawing on a mouse message";
}

TEST_F(XPKinds, RichEditFrameOnTheParentAndItsHookSurvivesRecreation) {
  TRichEdit& rich = *Form->Rich;
  Form->Show();
  app_support::Pump(100);
  EXPECT_EQ(rich.BorderStyle(), bsNone) << "its first paint switched the border off";
  EXPECT_EQ(rich.BorderWidth(), 2);
  EXPECT_TRUE(TControlSubClass::IsHooked(&rich)) << "hook kept across the re-creation";
  EXPECT_EQ(GetWindowLongA(rich.Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
  TControlSubClass& hook = TKindsForm::HookOf(&rich);
  EXPECT_EQ(hook.FSavedBorderStyle, bsSingle);

  TBitmap out = Form->Paint(&rich, DrawRichEditLook, 360, 260);
  EXPECT_TRUE(hook.FRecreatePending) << "every paint keeps WM_DESTROY from removing the hook";
  const COLORREF frame = DarkenColor(FormColor, 60);
  EXPECT_EQ(Picture(out, {{frame, 'f'}, {Magenta, '.'}}, {179, 59, 182, 62}),
            (std::vector<std::string>{"fff", "f..", "f.."}));
  EXPECT_EQ(out.Canvas().Pixel(280, 100), frame) << "bottom-right, one pixel outside";
  hook.FHighlighted = true;
  TBitmap hot = Form->Paint(&rich, DrawRichEditLook, 360, 260);
  EXPECT_EQ(hot.Canvas().Pixel(179, 80), Lighten(Colors.EffSelectBorderColor, 60));

  // Switched off: the border comes back on the next message.
  Form->Style->SetActive(false);
  app_support::Pump(100);
  EXPECT_EQ(rich.BorderStyle(), bsSingle);
  EXPECT_FALSE(TControlSubClass::IsHooked(&rich));
}

TEST_F(XPKinds, SpeedButtonPaintSuppressedHiddenNeverDrawnUpDownTrackedOnly) {
  TCountingSpeedButton& b = *Form->Speed;
  TBitmap dc = Filled(60, 40, Magenta);
  EXPECT_EQ(b.Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc.Canvas().Handle())), 1);
  EXPECT_EQ(b.OwnPaints, 0) << "the button's own painting never runs while hooked";
  b.SetVisible(false);
  TBitmap hidden = Form->Paint(&b, DrawSpeedButtonLook);
  EXPECT_EQ(CountPixels(hidden, Magenta), 60 * 40);

  TControlSubClass& up = TKindsForm::HookOf(Form->UpDown);
  Form->UpDown->Perform(CM_MOUSEENTER);
  EXPECT_TRUE(up.FHighlighted);
  TBitmap drawn = Form->Paint(Form->UpDown, DrawUpDownLook);
  EXPECT_EQ(CountPixels(drawn, Magenta), 17 * 25) << "an up-down keeps its own look";
  Form->UpDown->Perform(CM_MOUSELEAVE);
  EXPECT_FALSE(up.FHighlighted);
}

// --- Tool bar buttons and control bar bands --------------------------------

namespace {

class TBarForm : public TForm {
public:
  TBarForm() : TForm(nullptr) {
    SetBounds(100, 100, 400, 160);
    Images = new TImageList(this, 16, 16);
    TBitmap picture = Filled(16, 16, RGB(255, 0, 255));
    picture.Canvas().Brush.Color = RGB(0, 128, 0);
    picture.Canvas().FillRect({4, 4, 12, 12});
    Images->AddMasked(picture, RGB(255, 0, 255));
    Bar = new TToolBar(this);
    Bar->SetParent(this);
    Bar->SetBounds(0, 0, 400, 26);
    Bar->SetImages(Images);
    Plain = Add(tbsButton, 0);
    Separator = Add(tbsSeparator, -1);
    Check = Add(tbsCheck, 0);
    Divider = Add(tbsSeparator, -1);
    Divider->SetTag(1);
    Drop = Add(tbsDropDown, 0);
    Style = new TXPStyle(this);
    Style->SetActive(true);
  }
  TToolButton* Add(TToolButtonStyle style, int image) {
    auto* b = new TToolButton(this);
    b->SetStyle(style);
    b->SetImageIndex(image);
    if (style == tbsSeparator) b->SetBounds(0, 0, 8, 22);
    b->SetToolBar(Bar);
    return b;
  }
  // The bar drawn into a bitmap through its own painting and custom draw.
  TBitmap Print() {
    TBitmap out = Filled(Bar->Width(), Bar->Height(), RGB(255, 0, 255));
    SendMessageA(Bar->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(out.Canvas().Handle()), PRF_CLIENT);
    return out;
  }
  TImageList* Images;
  TToolBar* Bar;
  TToolButton *Plain, *Separator, *Check, *Divider, *Drop;
  TXPStyle* Style;
};

}  // namespace

TEST(XPBars, TheWalkInstallsAndRemovesTheHandlersAndMakesTheBarFlat) {
  Owned<TBarForm> form(new TBarForm());
  EXPECT_TRUE(form->Bar->Flat());
  EXPECT_EQ(form->Bar->OnCustomDrawButton,
            ToolBarCustomDrawButtonEvent(form->Style, &TXPStyle::DrawToolButtonHandler));
  form->Style->SetActive(false);
  EXPECT_FALSE(form->Bar->OnCustomDrawButton.Assigned());
  EXPECT_TRUE(form->Bar->Flat()) << "stays flat";
}

TEST(XPBars, ToolButtonFaceRulesSplitArrowAndSeparators) {
  Owned<TBarForm> form(new TBarForm());
  form->Show();
  app_support::Pump(100);
  TBitmap surface = Filled(1, 1, 0);
  const TXPColors s = form->Style->UpdateDrawColors(surface.Canvas());
  HWND bar = form->Bar->Handle();
  const COLORREF barColor = LightenColor(surface.Canvas(), form->Bar->Color(), 16);
  const COLORREF border = ColorToRGB(s.EffSelectBorderColor);

  auto face = [&](TToolButton* b, const char* what, COLORREF fill, COLORREF frame) {
    TBitmap out = form->Print();
    RECT r = b->BoundsRect();
    EXPECT_EQ(out.Canvas().Pixel(r.left + 1, r.top + 2), fill) << what;
    EXPECT_EQ(out.Canvas().Pixel(r.left, r.top + 4), frame) << what << " (frame)";
    return out;
  };
  face(form->Plain, "plain at rest", barColor, barColor);
  SendMessageA(bar, TB_SETHOTITEM, 0, 0);
  face(form->Plain, "hot", ColorToRGB(s.EffSelectColor), border);
  SendMessageA(bar, TB_PRESSBUTTON, form->Plain->Command(), TRUE);
  face(form->Plain, "hot and pressed", ColorToRGB(s.CheckFillHotColor), border);
  SendMessageA(bar, TB_PRESSBUTTON, form->Plain->Command(), FALSE);
  SendMessageA(bar, TB_SETHOTITEM, static_cast<WPARAM>(-1), 0);
  form->Check->SetDown(true);
  face(form->Check, "checked", ColorToRGB(s.CheckFillColor), border);
  form->Check->SetDown(false);
  SendMessageA(bar, TB_INDETERMINATE, form->Check->Command(), TRUE);
  face(form->Check, "indeterminate: filled, no frame", ColorToRGB(s.EffSelectColor), ColorToRGB(s.EffSelectColor));
  SendMessageA(bar, TB_INDETERMINATE, form->Check->Command(), FALSE);

  SendMessageA(bar, TB_SETHOTITEM, 4, 0);
  TBitmap drop = form->Print();
  RECT d = form->Drop->BoundsRect();
  EXPECT_EQ(drop.Canvas().Pixel(d.right - 1 - 13, d.top + 5), border) << "split line";
  const int y = d.top + (d.bottom - d.top - 3) / 2 + 1;
  EXPECT_EQ(Picture(drop, {{0, 'k'}, {ColorToRGB(s.EffSelectColor), '.'}}, {d.right - 10, y, d.right - 5, y + 3}),
            (std::vector<std::string>{"kkkkk", ".kkk.", "..k.."}))
      << "arrow 10 pixels from the right edge";
  SendMessageA(bar, TB_SETHOTITEM, static_cast<WPARAM>(-1), 0);

  TBitmap rest = form->Print();
  RECT plainSep = form->Separator->BoundsRect(), lined = form->Divider->BoundsRect();
  const int mid = plainSep.left + (plainSep.right - plainSep.left) / 2;
  EXPECT_EQ(rest.Canvas().Pixel(mid, plainSep.top + 5), barColor) << "separator without Tag: bar colour";
  const int lineX = lined.left + (lined.right - lined.left) / 2;
  EXPECT_EQ(rest.Canvas().Pixel(lineX, lined.top + 5), DarkenColor(form->Bar->Color(), 30)) << "with Tag: a line";
  EXPECT_EQ(rest.Canvas().Pixel(lineX, lined.top + 1), barColor);

  form->Bar->SetTransparent(true);
  TBitmap clear = form->Print();
  RECT p = form->Plain->BoundsRect();
  EXPECT_NE(clear.Canvas().Pixel(p.left + 1, p.top + 2), barColor) << "a transparent bar is not filled";
}

// A button that stands for a menu item hooks the items of its menu each
// time it is painted, so items added at run time get the flat look.
TEST(XPBars, AMenuItemButtonHooksItsMenusItemsWhenPainted) {
  Owned<TBarForm> form(new TBarForm());
  auto* menu = new TMainMenu(form.get());
  auto addItem = [&](TMenuItem* parent) {
    auto* item = new TMenuItem(form.get());
    item->SetCaption("Eintrag");
    parent->Add(item);
    return item;
  };
  TMenuItem* file = addItem(menu->Items());
  form->Plain->SetMenuItem(file);
  TMenuItem* late = addItem(file);
  const auto ours = AdvancedMenuDrawItemEvent(form->Style, &TXPStyle::DrawItemHandler);
  ASSERT_FALSE(late->OnAdvancedDrawItem.Assigned());
  form->Show();
  app_support::Pump(100);
  form->Print();
  EXPECT_TRUE(late->OnAdvancedDrawItem == ours && file->OnAdvancedDrawItem == ours);

  // Without main menus in the style the button leaves its menu alone.
  form->Style->SetXPControls(AllXPControls & ~(1u << xcMainMenu));
  TMenuItem* later = addItem(file);
  form->Print();
  EXPECT_FALSE(later->OnAdvancedDrawItem.Assigned());
}

// The glyph comes from the hot images while hot, centred in the button
// less a drop-down button's arrow part, or 3 pixels in with List; a hot
// glyph is lifted one pixel up and left, and the image's square starts 4
// pixels into the image.
TEST(XPBars, ToolButtonHotGlyphCentredOrAtTheLeft) {
  Owned<TBarForm> form(new TBarForm());
  const COLORREF red = RGB(200, 0, 0);
  auto* hot = new TImageList(form.get(), 16, 16);
  TBitmap picture = Filled(16, 16, RGB(255, 0, 255));
  picture.Canvas().Brush.Color = red;
  picture.Canvas().FillRect({4, 4, 12, 12});
  hot->AddMasked(picture, RGB(255, 0, 255));
  form->Bar->SetHotImages(hot);
  form->Show();
  app_support::Pump(100);
  auto hotSquare = [&](TToolButton* button) {
    SendMessageA(form->Bar->Handle(), TB_SETHOTITEM, button->Index(), 0);
    TBitmap out = form->Print();
    SendMessageA(form->Bar->Handle(), TB_SETHOTITEM, static_cast<WPARAM>(-1), 0);
    return BoxOf(out, red);
  };
  auto centred = [](const RECT& bounds, int right) {
    return static_cast<int>(std::nearbyint((right - bounds.left - 16) / 2.0 + bounds.left));
  };

  const RECT plain = form->Plain->BoundsRect(), drop = form->Drop->BoundsRect();
  const RECT plainSquare = hotSquare(form->Plain), dropSquare = hotSquare(form->Drop);
  EXPECT_EQ(plainSquare.left, centred(plain, plain.right) - 1 + 4);
  EXPECT_EQ(plainSquare.top, plain.top + 2 + 4);
  EXPECT_EQ(dropSquare.left, centred(drop, drop.right - 12) - 1 + 4) << "the arrow's 12 pixels left out";

  form->Bar->SetList(true);
  app_support::Pump(50);
  EXPECT_EQ(hotSquare(form->Plain).left, form->Plain->BoundsRect().left + 3 - 1 + 4);
}

TEST(XPBars, BandGripShortBandAndDarkeningToBlack) {
  TBarForm form;
  auto* controlBar = new TControlBar(&form);
  controlBar->SetColor(RGB(240, 240, 240));
  TBitmap out = Filled(20, 100, RGB(255, 0, 255));
  TCanvas& c = out.Canvas();
  form.Style->UpdateDrawColors(c);
  const COLORREF fill = LightenColor(c, RGB(240, 240, 240), 6);
  TBandPaintOptions options = bpoGrabber | bpoFrame;
  RECT shortBand{0, 0, 20, 9};
  form.Style->PaintBandHandler(controlBar, nullptr, c, shortBand, options);
  EXPECT_EQ(options, 0u);
  EXPECT_EQ(BoxOf(out, fill), shortBand) << "a band under 10 pixels has no dashes";
  RECT tall{0, 0, 20, 100};
  form.Style->PaintBandHandler(controlBar, nullptr, c, tall, options);
  EXPECT_EQ(Picture(out, {{fill, '.'}, {DarkenColor(RGB(240, 240, 240), 30), '1'}, {DarkenColor(RGB(240, 240, 240), 37), '2'}},
                    {2, 5, 7, 9}),
            (std::vector<std::string>{".....", ".111.", ".....", ".222."}));
  EXPECT_EQ(c.Pixel(3, 66), RGB(0, 2, 0)) << "green is lowered by 2 less";
  EXPECT_EQ(c.Pixel(3, 68), RGB(0, 0, 0)) << "the 32nd dash has reached black";
  EXPECT_EQ(c.Pixel(5, 90), RGB(0, 0, 0));
  EXPECT_EQ(c.Pixel(3, 96), fill) << "no dash below bottom - 5";
}

// --- The gallery ------------------------------------------------------------

namespace {

// Objects that can still be made before Wine's GDI handle table is full.
int FreeGdiSlots() {
  std::vector<HGDIOBJ> made;
  while (made.size() < 200000) {
    HGDIOBJ pen = CreatePen(PS_SOLID, 1, 0);
    if (!pen) break;
    made.push_back(pen);
  }
  for (HGDIOBJ pen : made) DeleteObject(pen);
  return static_cast<int>(made.size());
}

void RepaintAll(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

}  // namespace

TEST(XPGallery, RepaintsLoseNoGdiObject) {
  Owned<TGalleryForm> form(new TGalleryForm(nullptr));
  form->Show();
  app_support::Pump(200);
  HWND window = form->Handle();
  RepaintAll(window);  // caches (brushes, font handles) settle first
  app_support::Pump(50);
  const int before = FreeGdiSlots();
  constexpr int Repaints = 30;
  for (int i = 0; i < Repaints; ++i) {
    RepaintAll(window);
    form->ComboBox1->Perform(CM_MOUSEENTER);
    form->SpeedButton1->Perform(CM_MOUSEENTER);
    form->ComboBox1->Perform(CM_MOUSELEAVE);
    form->SpeedButton1->Perform(CM_MOUSELEAVE);
  }
  app_support::Pump(50);
  const int after = FreeGdiSlots();
  // Every painter, the tool bar buttons and the bands ran each time: a leak
  // of one object per paint anywhere would cost at least one per repaint.
  EXPECT_LT(before - after, Repaints / 2) << before << " free before, " << after << " after";
}
