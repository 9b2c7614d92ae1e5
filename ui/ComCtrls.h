// Common-control kinds. Rich edit, up-down, tool bar, cool bar, page
// scroller and tab sheet exist as windows of their own class with the right
// ancestry; their own drawing and behaviour come later.
#pragma once
#include "ui/Controls.h"
#include "ui/StdCtrls.h"

class TCustomRichEdit : public TCustomEdit {
public:
  explicit TCustomRichEdit(TComponent* owner) : TCustomEdit(owner) {}
  const char* ClassName() const override { return "TCustomRichEdit"; }
};

class TRichEdit : public TCustomRichEdit {
public:
  explicit TRichEdit(TComponent* owner) : TCustomRichEdit(owner) {}
  const char* ClassName() const override { return "TRichEdit"; }
};

class TUpDown : public TWinControl {
public:
  explicit TUpDown(TComponent* owner) : TWinControl(owner) {}
  const char* ClassName() const override { return "TUpDown"; }
};

class TToolBar : public TWinControl {
public:
  explicit TToolBar(TComponent* owner) : TWinControl(owner) {}
  const char* ClassName() const override { return "TToolBar"; }
};

class TToolButton : public TGraphicControl {
public:
  explicit TToolButton(TComponent* owner) : TGraphicControl(owner) {}
  const char* ClassName() const override { return "TToolButton"; }
  void Paint(HDC) override {}
};

class TCoolBar : public TWinControl {
public:
  explicit TCoolBar(TComponent* owner) : TWinControl(owner) {}
  const char* ClassName() const override { return "TCoolBar"; }
};

class TPageScroller : public TWinControl {
public:
  explicit TPageScroller(TComponent* owner) : TWinControl(owner) {}
  const char* ClassName() const override { return "TPageScroller"; }
};

class TTabSheet : public TWinControl {
public:
  explicit TTabSheet(TComponent* owner) : TWinControl(owner) {}
  const char* ClassName() const override { return "TTabSheet"; }
};
