#include "xpstyle/ItemDraw.h"

#include "xpstyle/Primitives.h"

namespace {

// A disabled tool button's caption goes through a bitmap, in the bitmap
// canvas's own face with only its colour set.
void DrawCaptionThroughBitmap(TCanvas& canvas, const std::string& caption, UINT format, TColor textColor,
                              RECT textRect) {
  textRect.top += (textRect.bottom - textRect.top - canvas.TextHeight("W")) / 2;
  TBitmap text;
  text.SetSize(textRect.right - textRect.left, textRect.bottom - textRect.top);
  if (text.Empty()) return;
  TCanvas& bitmapCanvas = text.Canvas();
  bitmapCanvas.Brush.Color = canvas.Brush.Color;
  RECT full{0, 0, text.Width(), text.Height()};
  bitmapCanvas.FillRect(full);
  bitmapCanvas.Font.SetColor(textColor);
  bitmapCanvas.RequireFont();
  SetBkMode(bitmapCanvas.Handle(), TRANSPARENT);
  bitmapCanvas.DrawText(caption, full, format + DT_VCENTER);
  text.Draw(canvas.Handle(), textRect.left, textRect.top);
}

// The default item's emphasis: four passes of the caption, each in a colour
// darkened from the canvas pixel under the pass's top-left corner as it
// stands at that moment (an earlier pass can have changed it). The passes
// lie one and two pixels (at 96 DPI) off the caption.
void DrawDefaultEmphasis(TCanvas& canvas, const TXPMetrics& metrics, const std::string& caption, UINT format,
                         const RECT& textRect) {
  struct TPass {
    RECT Rect;
    int Amount;
  };
  const int one = metrics.Scale(1), two = metrics.Scale(2);
  const int left = textRect.left, top = textRect.top, right = textRect.right, bottom = textRect.bottom;
  const TPass passes[] = {{{left + one, top, right, bottom}, 30},
                          {{left + one, top + two, right + one, bottom}, 30},
                          {{left, top + one, right, bottom}, 40},
                          {{left + one, top + one, right + one, bottom}, 60}};
  for (TPass pass : passes) {
    canvas.Font.SetColor(DarkenColor(canvas.Pixel(pass.Rect.left, pass.Rect.top), pass.Amount));
    canvas.DrawText(caption, pass.Rect, format);
  }
}

// The shortcut text and one blank (drawn also when the text is empty), in
// from the side away from the caption's start.
void DrawShortcutText(TCanvas& canvas, const std::string& shortcut, RECT keys, bool rightToLeft, int margin) {
  UINT keyFormat = 0;
  if (rightToLeft) {
    keys.left += margin;
  } else {
    keys.right -= margin;
    keyFormat = DT_RIGHT;
  }
  canvas.DrawText(shortcut + " ", keys, keyFormat);
}

}  // namespace

COLORREF ContrastFontColor(TCanvas& canvas, const TXPColors& colors, TColor background) {
  COLORREF rgb = ColorToRGB(background);
  if ((GetRValue(rgb) + GetBValue(rgb)) / 2 > 150 || GetGValue(rgb) > 200) return ColorToRGB(colors.FontColor);
  return LightenColor(canvas, rgb, 90);
}

void DrawItemText(const TXPColors& colors, const TXPMetrics& metrics, TDrawnObject object, const std::string& caption,
                  UINT format, const TFont& font, const TItemTextState& state, RECT textRect, TCanvas& canvas,
                  const std::string& shortcut) {
  TColor textColor = font.Color();
  canvas.Font = font;
  if (state.Selected) textColor = colors.EffSelectFontColor;
  if (!state.Enabled) {
    textColor = colors.EffDisabledColor;
    if (object == doToolButton) {
      DrawCaptionThroughBitmap(canvas, caption, format, textColor, textRect);
      return;
    }
  }
  if (state.BarItem && state.Selected && colors.UseSystemColors)
    textColor = ContrastFontColor(canvas, colors, colors.EffIconBackColor);

  canvas.Font.SetColor(textColor);
  textRect.top += (textRect.bottom - textRect.top - canvas.TextHeight("W")) / 2;
  SetBkMode(canvas.Handle(), TRANSPARENT);
  if (state.Default && state.Enabled) {
    DrawDefaultEmphasis(canvas, metrics, caption, format, textRect);
    canvas.Font.SetColor(textColor);
  }
  RECT text = textRect;
  canvas.DrawText(caption, text, format);

  canvas.Font.SetColor(colors.HighColorDevice ? LightenColor(textColor, 40) : ColorToRGB(textColor));
  DrawShortcutText(canvas, shortcut, textRect, state.RightToLeft, metrics.MenuItem.ShortcutMargin);
}

void DrawItemGlyph(const TXPColors& colors, const TGlyphMetrics& metrics, TDrawnObject object, TCanvas& canvas,
                   TBitmap& glyph, const RECT& glyphRect, const TGlyphState& state) {
  if (glyph.Empty() || glyph.Width() <= 0) return;
  int x = glyphRect.left, y = glyphRect.top + metrics.Top;
  if (object == doMenuItem) {
    y = glyphRect.top + metrics.MenuTop;
    if (glyph.Width() < metrics.IconWidth)
      x = glyphRect.left + (metrics.IconWidth - glyph.Width()) / 2 - metrics.MenuCentreShift;
    else
      x = state.RightToLeft ? glyphRect.right - glyph.Width() - metrics.MenuMargin : glyphRect.left + metrics.MenuMargin;
  }
  if (state.BarItem)
    x = state.RightToLeft ? glyphRect.right - glyph.Width() - metrics.BarRight : glyphRect.left + metrics.BarLeft;
  const bool plain = state.Enabled && !state.Checked;  // neither disabled nor checked
  if (state.Selected && !state.BarItem && plain && !state.Pressed) {
    x -= metrics.Lift;
    y -= metrics.Lift;
  }
  if (!state.Selected && plain && colors.HighColorDevice) DimBitmap(glyph, colors.DimLevel);
  if (!state.Enabled) {
    GrayBitmap(glyph, colors.GrayLevel);
    DimBitmap(glyph, 40);
  }
  if (state.Selected && plain)
    DrawGlyphShadow(glyph, canvas, x + metrics.ShadowOffset, y + metrics.ShadowOffset,
                    DarkenColor(colors.EffSelectColor, 50));
  glyph.DrawTransparent(canvas.Handle(), x, y);
}
