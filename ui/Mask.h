// TMaskEdit: an edit whose input follows an edit mask. The walk of the flat
// look takes it by its class name.
#pragma once
#include "ui/StdCtrls.h"

class TCustomMaskEdit : public TCustomEdit {
public:
  explicit TCustomMaskEdit(TComponent* owner) : TCustomEdit(owner) {}
  const char* ClassName() const override { return "TCustomMaskEdit"; }

  const std::string& EditMask() const { return FEditMask; }
  // The mask is kept; input is not checked against it yet.
  void SetEditMask(const std::string& mask) { FEditMask = mask; }

private:
  std::string FEditMask;
};

class TMaskEdit : public TCustomMaskEdit {
public:
  explicit TMaskEdit(TComponent* owner) : TCustomMaskEdit(owner) {}
  const char* ClassName() const override { return "TMaskEdit"; }
};
