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
  // The picture fills the control's bounds, drawn smoothly; AutoSize then
  // leaves the bounds alone (a scaled layout gives them).
  void SetStretch(bool stretch);
  void SetBounds(int left, int top, int width, int height) override;
  void Paint(HDC dc) override;

private:
  TBitmap FPicture;
  bool FAutoSize = false;
  bool FStretch = false;
};

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

// A container in its own colour with an outer and an inner bevel and a
// centred caption.
class TCustomPanel : public TWinControl {
public:
  explicit TCustomPanel(TComponent* owner) : TWinControl(owner) {}
  const char* ClassName() const override { return "TCustomPanel"; }

  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut cut);
  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut cut);
  int BevelWidth() const { return FBevelWidth; }
  // Space between the outer and the inner bevel.
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int width);
  void WndProc(TMessage& message) override;

protected:
  // Bevels and caption on the panel's own surface.
  virtual void Paint(HDC dc);

private:
  TBevelCut FBevelOuter = bvRaised;
  TBevelCut FBevelInner = bvNone;
  int FBevelWidth = 1;
  int FBorderWidth = 0;
};

class TPanel : public TCustomPanel {
public:
  explicit TPanel(TComponent* owner) : TCustomPanel(owner) {}
  const char* ClassName() const override { return "TPanel"; }
};

// What a control bar draws of a band after OnBandPaint: its grabber and
// its frame (bit sets of these).
enum TBandPaintOption : unsigned { bpoGrabber = 1, bpoFrame = 2 };
using TBandPaintOptions = unsigned;

class TControlBar;
using TBandPaintCode = void (TObject::*)(TObject* sender, TControl* control, TCanvas& canvas, RECT& rect,
                                         TBandPaintOptions& options);
struct TBandPaintEvent {
  TObject* Data = nullptr;
  TBandPaintCode Code = nullptr;

  bool Assigned() const { return Code != nullptr; }
  void operator()(TObject* sender, TControl* control, TCanvas& canvas, RECT& rect,
                  TBandPaintOptions& options) const {
    (Data->*Code)(sender, control, canvas, rect, options);
  }
  bool operator==(const TBandPaintEvent&) const = default;
};

template <class T>
TBandPaintEvent BandPaintEvent(T* object, void (T::*code)(TObject*, TControl*, TCanvas&, RECT&, TBandPaintOptions&)) {
  return {object, static_cast<TBandPaintCode>(code)};
}

// A container whose child controls sit on bands: each band is the child's
// bounds with a grab area on its left. OnBandPaint may paint a band and
// clear what the bar draws of it afterwards.
class TControlBar : public TWinControl {
public:
  explicit TControlBar(TComponent* owner) : TWinControl(owner) {}
  const char* ClassName() const override { return "TControlBar"; }

  // The band of a child control, in the bar's client coordinates.
  static RECT BandRect(const TControl& control);
  static constexpr int GrabWidth = 11;

  TBandPaintEvent OnBandPaint;
  void WndProc(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;

private:
  void PaintBands(HDC dc);
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
