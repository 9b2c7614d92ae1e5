// The start options dialog: start in the tray, clean at start.
#pragma once
#include "ui/Forms.h"
#include "ui/StdCtrls.h"

class TForm3 : public TForm {
public:
  explicit TForm3(TComponent* owner);
  const char* ClassName() const override { return "TForm3"; }

  TCheckBox* CheckBox1;
  TCheckBox* CheckBox2;
  TButton* Button1;

  void Button1Click(TObject* sender);
};
