// The spinner: two arrow buttons that click once on a short press and repeat while held.
#pragma once

#include <memory>
#include <vector>

#include "widgets/SliderRules.h"
#include "widgets/VrClasses.h"
#include "widgets/VrControls.h"
#include "widgets/VrThreads.h"

namespace widgets {

enum TVrSpinButtonType { sbUp, sbDown, sbLeft, sbRight };

// One arrow button: an image on the button's colour. A press on the arrow shows the
// button pressed; a press anywhere on the button that is released on the arrow clicks.
class TVrSpinButton : public TVrGraphicControl {
 public:
  explicit TVrSpinButton(TVrSpinButtonType kind, std::string name = {});
  TVrSpinButtonType Kind() const { return kind_; }
  // Loads the image afresh in the palette's colours.
  void SetPalette(const TVrPalette& palette);
  bool Pressed() const { return pressed_; }

  // The spinner marks the button that Space clicks while it has the focus.
  void SetFocusMark(bool on);
  // Whether a point (client coordinates) lies on the arrow itself.
  bool OnArrow(int x, int y) const;

  void Paint(ui::Canvas& canvas) override;
  void MouseDown(ui::MouseButton button, unsigned shift, int x, int y) override;
  void MouseUp(ui::MouseButton button, unsigned shift, int x, int y) override;
  void MouseCaptureLost() override;
  // Ends a press without a click, for a button taken out of use.
  void CancelPress();

 protected:
  void EnabledChanged() override;
  virtual void PressStarted() {}
  virtual void PressEnded() {}

  bool pressed_ = false;  // drawn pressed, repeating
  bool held_ = false;     // the left button went down on this button and is still down

 private:
  ui::Rect ImageRect() const;
  TVrSpinButtonType kind_;
  ui::Bitmap image_;  // three images side by side: disabled, normal, pressed
  bool focusMark_ = false;
};

// A spin button that, held on the arrow, clicks after 400 ms and then every 100 ms.
class TVrTimerSpinButton : public TVrSpinButton {
 public:
  explicit TVrTimerSpinButton(TVrSpinButtonType kind, std::string name = {});
  // Whether the repeat timer runs.
  bool Repeating() const { return timer_.Enabled(); }

 protected:
  void PressStarted() override;
  void PressEnded() override;

 private:
  void Repeat();
  TVrTimer timer_;
};

class TVrSpinner : public TVrCustomControl {
 public:
  explicit TVrSpinner(std::string name = {});
  ~TVrSpinner() override;

  TVrOrientation Orientation() const { return orientation_; }
  void SetOrientation(TVrOrientation o);
  TVrPalette& Palette() { return palette_; }
  ui::WinControl* FocusControl = nullptr;
  ui::NotifyEvent OnUpClick;
  ui::NotifyEvent OnDownClick;

  TVrTimerSpinButton& FirstButton() { return *first_; }
  TVrTimerSpinButton& SecondButton() { return *second_; }
  // The button Space clicks.
  TVrSpinButton& MarkedButton() { return *marked_; }

  void KeyDown(unsigned& key, unsigned shift) override;

 protected:
  void BoundsChanged() override;
  void EnabledChanged() override;
  void ColorChanged() override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  // Makes buttons of the orientation's kinds. The old ones may be running right now (a
  // click handler changes the orientation): they leave the spinner at once but are
  // freed only once their messages are done.
  void MakeButtons();
  void PlaceButtons();
  void Mark(TVrSpinButton* b);
  void ButtonPressed(TVrSpinButton& b);

  TVrOrientation orientation_ = voVertical;
  TVrPalette palette_;
  std::unique_ptr<TVrTimerSpinButton> first_;
  std::unique_ptr<TVrTimerSpinButton> second_;
  std::vector<std::unique_ptr<TVrTimerSpinButton>> retired_;
  TVrSpinButton* marked_ = nullptr;
};

}  // namespace widgets
