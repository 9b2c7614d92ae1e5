// The standard controls: push buttons, check boxes, edits, memos, labels
// and group boxes, each over its system class.
#pragma once
#include "ui/Controls.h"

class TButtonControl : public TWinControl {
public:
  explicit TButtonControl(TComponent* owner);
  const char* ClassName() const override { return "TButtonControl"; }
};

class TButton : public TButtonControl {
public:
  explicit TButton(TComponent* owner);
  const char* ClassName() const override { return "TButton"; }

  int ModalResult() const { return FModalResult; }
  void SetModalResult(int result) { FModalResult = result; }
  // The form's default button (drawn with the default emphasis).
  bool Default() const { return FDefault; }
  void SetDefault(bool value);
  void Click() override;
  void WndProc(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;

private:
  int FModalResult = 0;
  bool FDefault = false;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
enum TLeftRight { taLeftJustify, taRightJustify };

// A check box shows its parent's colour (ParentColor) until given its own.
class TCustomCheckBox : public TButtonControl {
public:
  explicit TCustomCheckBox(TComponent* owner);
  const char* ClassName() const override { return "TCustomCheckBox"; }

  bool Checked() const { return FState == cbChecked; }
  void SetChecked(bool checked);
  TCheckBoxState State() const { return FState; }
  void SetState(TCheckBoxState state);
  // Side of the caption: right of the box (taRightJustify) or left of it.
  TLeftRight Alignment() const { return FAlignment; }
  void SetAlignment(TLeftRight alignment);
  void WndProc(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void InitializeWnd() override;

private:
  TCheckBoxState FState = cbUnchecked;
  TLeftRight FAlignment = taRightJustify;
};

class TRadioButton : public TButtonControl {
public:
  explicit TRadioButton(TComponent* owner);
  const char* ClassName() const override { return "TRadioButton"; }

  bool Checked() const { return FChecked; }
  // Checking one radio button unchecks the others of its parent (its group).
  void SetChecked(bool checked);
  TLeftRight Alignment() const { return FAlignment; }
  void SetAlignment(TLeftRight alignment);
  void WndProc(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void InitializeWnd() override;

private:
  bool FChecked = false;
  TLeftRight FAlignment = taRightJustify;
};

// A drop-down combo box over the system COMBOBOX.
class TCustomCombo : public TWinControl {
public:
  explicit TCustomCombo(TComponent* owner);
  const char* ClassName() const override { return "TCustomCombo"; }
  bool DroppedDown();
  void SetDroppedDown(bool dropped);
  // The entries of the list.
  void AddItem(const std::string& item);
  void SetItemIndex(int index);
  void WndProc(TMessage& message) override;

protected:
  void InitializeWnd() override;
  void DestroyHandle() override;
  void CreateParams(TCreateParams& params) override;

private:
  // The mouse over the edit part counts as over the combo box.
  static LRESULT CALLBACK EditPartProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR data);
  bool CursorOverCombo() const;

  std::vector<std::string> FItems;
  int FItemIndex = -1;
};

class TComboBox : public TCustomCombo {
public:
  explicit TComboBox(TComponent* owner) : TCustomCombo(owner) {}
  const char* ClassName() const override { return "TComboBox"; }
};

class TCheckBox : public TCustomCheckBox {
public:
  explicit TCheckBox(TComponent* owner) : TCustomCheckBox(owner) {}
  const char* ClassName() const override { return "TCheckBox"; }
};

class TCustomEdit : public TWinControl {
public:
  explicit TCustomEdit(TComponent* owner);
  const char* ClassName() const override { return "TCustomEdit"; }

  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool readOnly);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  // Re-creates the window, like a change of Ctl3D; the text and the
  // modified flag stay.
  void SetBorderStyle(TBorderStyle style);
  bool Modified();

protected:
  void CreateParams(TCreateParams& params) override;
  void InitializeWnd() override;
  void DestroyHandle() override;

private:
  bool FReadOnly = false;
  TBorderStyle FBorderStyle = bsSingle;
  bool FModified = false;
};

class TEdit : public TCustomEdit {
public:
  explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
  const char* ClassName() const override { return "TEdit"; }
};

// A multi-line edit; without scroll bars and with word wrap by default.
class TCustomMemo : public TCustomEdit {
public:
  explicit TCustomMemo(TComponent* owner) : TCustomEdit(owner) {}
  const char* ClassName() const override { return "TCustomMemo"; }

  void SetLines(const std::vector<std::string>& lines);
  void WndProc(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
};

class TMemo : public TCustomMemo {
public:
  explicit TMemo(TComponent* owner) : TCustomMemo(owner) {}
  const char* ClassName() const override { return "TMemo"; }
};

// A label sizes itself to its text (AutoSize) and draws it on one line.
class TCustomLabel : public TGraphicControl {
public:
  explicit TCustomLabel(TComponent* owner) : TGraphicControl(owner) {}
  const char* ClassName() const override { return "TCustomLabel"; }

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool autoSize);
  void Paint(HDC dc) override;
  void WndProc(TMessage& message) override;
  void ScaleForDpi(UINT dpi) override;

private:
  void AdjustBounds();

  bool FAutoSize = true;
};

class TLabel : public TCustomLabel {
public:
  explicit TLabel(TComponent* owner) : TCustomLabel(owner) {}
  const char* ClassName() const override { return "TLabel"; }
};

class TCustomGroupBox : public TWinControl {
public:
  explicit TCustomGroupBox(TComponent* owner) : TWinControl(owner) {}
  const char* ClassName() const override { return "TCustomGroupBox"; }
  void WndProc(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
};

class TGroupBox : public TCustomGroupBox {
public:
  explicit TGroupBox(TComponent* owner) : TCustomGroupBox(owner) {}
  const char* ClassName() const override { return "TGroupBox"; }
};
