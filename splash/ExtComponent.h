// TExtComponent: base of the program's own non-visual components; no
// run-time behaviour beyond the component's.
#pragma once
#include "ui/Classes.h"

class TExtComponent : public TComponent {
public:
  explicit TExtComponent(TComponent* owner) : TComponent(owner) {}
  const char* ClassName() const override { return "TExtComponent"; }
};
