// TBitBtn: a push button that draws a glyph beside its caption.
#pragma once
#include "ui/StdCtrls.h"

enum TBitBtnKind { bkCustom, bkClose };

class TBitBtn : public TButton {
public:
  explicit TBitBtn(TComponent* owner) : TButton(owner) {}
  const char* ClassName() const override { return "TBitBtn"; }

  TBitmap& Glyph() { return FGlyph; }
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
  TBitBtnKind FKind = bkCustom;
};
