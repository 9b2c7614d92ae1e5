// TBitBtn: a push button that draws a glyph beside its caption.
#pragma once
#include "ui/StdCtrls.h"

enum TBitBtnKind { bkCustom, bkClose };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

class TBitBtn : public TButton {
public:
  explicit TBitBtn(TComponent* owner) : TButton(owner) {}
  const char* ClassName() const override { return "TBitBtn"; }

  TBitmap& Glyph() { return FGlyph; }
  // The glyph holds NumGlyphs equal cells side by side (1 to 4).
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int count) { FNumGlyphs = count < 1 ? 1 : count > 4 ? 4 : count; }
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout layout) { FLayout = layout; }
  // Pixels between glyph and caption.
  int Spacing() const { return FSpacing; }
  void SetSpacing(int spacing) { FSpacing = spacing; }
  TBitBtnKind Kind() const { return FKind; }
  // A close button closes its form when clicked.
  void SetKind(TBitBtnKind kind) { FKind = kind; }
  void Click() override;
  void WndProc(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;

private:
  void DrawItem(const DRAWITEMSTRUCT& item);

  TBitmap FGlyph;
  int FNumGlyphs = 1;
  TButtonLayout FLayout = blGlyphLeft;
  int FSpacing = 4;
  TBitBtnKind FKind = bkCustom;
};

// A windowless button with a glyph, painted by its parent. Buttons of one
// parent with the same GroupIndex (above 0) stay down one at a time.
class TSpeedButton : public TGraphicControl {
public:
  explicit TSpeedButton(TComponent* owner) : TGraphicControl(owner) {}
  const char* ClassName() const override { return "TSpeedButton"; }

  bool Down() const { return FDown; }
  void SetDown(bool down);
  bool Flat() const { return FFlat; }
  void SetFlat(bool flat);
  // The parent shows through where the button draws nothing.
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool transparent);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int index) { FGroupIndex = index; }
  // A grouped button that is down comes up again when clicked.
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool value) { FAllowAllUp = value; }
  // Cells side by side: up, disabled, clicked, down (1 to 4 of them).
  TBitmap& Glyph() { return FGlyph; }
  void SetGlyph(const TBitmap& glyph);
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int count);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout layout);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int spacing);
  void Click() override;
  void Paint(HDC dc) override;

private:
  bool FDown = false;
  bool FFlat = false;
  bool FTransparent = false;
  int FGroupIndex = 0;
  bool FAllowAllUp = false;
  TBitmap FGlyph;
  int FNumGlyphs = 1;
  TButtonLayout FLayout = blGlyphLeft;
  int FSpacing = 4;
};
