// TTimer, a component that calls its handler every Interval milliseconds
// while it is enabled, and TImage, the picture control.
#pragma once
#include "ui/Classes.h"
#include "ui/UtilWindow.h"
#include "ui/StdCtrls.h"

class TTimer : public TComponent {
public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;
  const char* ClassName() const override { return "TTimer"; }

  bool Enabled() const { return FEnabled; }
  // Enabling a running timer leaves its period as it is.
  void SetEnabled(bool enabled);
  UINT Interval() const { return FInterval; }
  void SetInterval(UINT interval);

  TNotifyEvent OnTimer;

private:
  void UpdateTimer();
  void WndProc(TMessage& message);

  TUtilWindow FWindow;
  bool FEnabled = true;
  UINT FInterval = 1000;
};

// TImage: a windowless control that shows a picture at its natural size from
// its top-left corner. With AutoSize it takes the picture's size.
class TImage : public TGraphicControl {
public:
  explicit TImage(TComponent* owner) : TGraphicControl(owner) {}
  const char* ClassName() const override { return "TImage"; }

  const TBitmap& Picture() const { return FPicture; }
  // Copies the bitmap into the control's own.
  void SetPicture(const TBitmap& picture);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool autoSize);
  void SetBounds(int left, int top, int width, int height) override;
  void Paint(HDC dc) override;

private:
  TBitmap FPicture;
  bool FAutoSize = false;
};

// A plain container in its own colour.
class TCustomPanel : public TWinControl {
public:
  explicit TCustomPanel(TComponent* owner) : TWinControl(owner) {}
  const char* ClassName() const override { return "TCustomPanel"; }
};

class TPanel : public TCustomPanel {
public:
  explicit TPanel(TComponent* owner) : TCustomPanel(owner) {}
  const char* ClassName() const override { return "TPanel"; }
};

// A container of movable bands (no bands yet).
class TControlBar : public TWinControl {
public:
  explicit TControlBar(TComponent* owner) : TWinControl(owner) {}
  const char* ClassName() const override { return "TControlBar"; }
};

// An edit that carries its own label (the label is not built yet).
class TCustomLabeledEdit : public TCustomEdit {
public:
  explicit TCustomLabeledEdit(TComponent* owner) : TCustomEdit(owner) {}
  const char* ClassName() const override { return "TCustomLabeledEdit"; }
};

class TLabeledEdit : public TCustomLabeledEdit {
public:
  explicit TLabeledEdit(TComponent* owner) : TCustomLabeledEdit(owner) {}
  const char* ClassName() const override { return "TLabeledEdit"; }
};
