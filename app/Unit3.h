// The start options dialog: start in the tray, clean at start.
#pragma once
#include "ui/Forms.h"
#include "ui/StdCtrls.h"

class TForm3 : public TForm {
public:
  explicit TForm3(TComponent* owner);
  const char* ClassName() const override { return "TForm3"; }

  TCheckBox* CheckBox1;  // "Minimiert starten": the Start-minimised flag
  TCheckBox* CheckBox2;  // "Aktion automatisch starten": the Auto-start flag
  TButton* Button1;      // "Ok": closes the dialog (the flags are taken however it ends)

  void Button1Click(TObject* sender);
};
