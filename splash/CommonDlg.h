// TCommonDialogP: a component that shows something when executed.
#pragma once
#include "splash/ExtComponent.h"

class TCommonDialogP : public TExtComponent {
public:
  explicit TCommonDialogP(TComponent* owner) : TExtComponent(owner) {}
  const char* ClassName() const override { return "TCommonDialogP"; }

  // Shows now and returns when done; true when something was shown.
  virtual bool Execute() = 0;
};
