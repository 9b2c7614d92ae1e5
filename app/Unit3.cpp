#include "app/Unit3.h"

namespace {

TCheckBox* MakeCheckBox(TForm3* form, const char* name, const char* caption, int top, int width,
                        int tabOrder) {
  TCheckBox* box = new TCheckBox(form);
  box->SetName(name);
  box->SetParent(form);
  box->SetBounds(8, top, width, 17);
  box->SetCaption(caption);
  box->SetTabOrder(tabOrder);
  return box;
}

}  // namespace

TForm3::TForm3(TComponent* owner) : TForm(owner) {
  BeginLoading();
  SetName("Form3");
  SetCaption("Optionen");
  SetBounds(487, 354, 190, 136);
  SetPosition(poDesigned);

  CheckBox1 = MakeCheckBox(this, "CheckBox1", "Minimiert starten", 8, 97, 0);
  CheckBox2 = MakeCheckBox(this, "CheckBox2", "Aktion automatisch starten", 32, 153, 1);

  Button1 = new TButton(this);
  Button1->SetName("Button1");
  Button1->SetParent(this);
  Button1->SetBounds(48, 64, 75, 25);
  Button1->SetCaption("Ok");
  Button1->SetTabOrder(2);
  Button1->OnClick = NotifyEvent(this, &TForm3::Button1Click);
  FinishLoading();
}

// The modal display ends with the cancel result, which nobody reads.
void TForm3::Button1Click(TObject*) { Close(); }
