// The LED dot-matrix text display: a row of 5 x 7 dot cells showing a short text with
// per-character colours, still or scrolling through the cells on its own timer.
#pragma once

#include <string>

#include "widgets/MatrixRules.h"
#include "widgets/VrClasses.h"
#include "widgets/VrControls.h"
#include "widgets/VrThreads.h"

namespace widgets {

class TVrMatrix : public TVrGraphicImageControl {
 public:
  explicit TVrMatrix(std::string name = {});
  ~TVrMatrix() override;

  // The raw text, with colour codes ("%X" selects colour X, "%%" is a percent sign).
  const std::string& Text() const { return Caption(); }
  void SetText(const std::string& text) { SetCaption(text); }

  int Leds() const { return leds_; }
  void SetLeds(int leds);  // values below 1 are ignored
  int Spacing() const { return spacing_; }
  void SetSpacing(int spacing);  // negative values are ignored
  TVrMatrixLedStyle LedStyle() const { return ledStyle_; }
  void SetLedStyle(TVrMatrixLedStyle style);
  bool LedsVisible() const { return ledsVisible_; }
  void SetLedsVisible(bool on);
  TVrOrientation Orientation() const { return orientation_; }
  void SetOrientation(TVrOrientation o);
  TVrAlignment Alignment() const { return alignment_; }
  void SetAlignment(TVrAlignment a);
  TVrMatrixTextStyle TextStyle() const { return textStyle_; }
  void SetTextStyle(TVrMatrixTextStyle style);

  bool AutoScroll() const { return autoScroll_; }
  // Starts or stops the scrolling; the text stays where it is until the next repaint.
  void SetAutoScroll(bool on);
  TVrMatrixScrollDirection ScrollDirection() const { return direction_; }
  void SetScrollDirection(TVrMatrixScrollDirection d) { direction_ = d; }
  int TimeInterval() const { return int(timer_.Interval()); }
  void SetTimeInterval(int ms);  // negative values count as 0, which stops the ticks
  bool Threaded() const { return timer_.TimerType() == ttThread; }
  void SetThreaded(bool on) { timer_.SetTimerType(on ? ttThread : ttSystem); }

  TVrPalette& Palette() { return palette_; }
  TVrBevel& Bevel() { return bevel_; }

  // Raised at the end of each scroll pass.
  ui::NotifyEvent OnScrollDone;

  // The size always follows from the cells and the frame: only the position is taken.
  void SetBounds(int left, int top, int width, int height) override;
  // Places the text by the alignment and sizes the display, as after being set up.
  void Loaded();

  // The state the paint works from.
  const MatrixText& Shown() const { return text_; }
  int FirstCell() const { return firstCell_; }
  // One scroll step, as the timer runs it.
  void ScrollStep();

 protected:
  void DrawContent(ui::Canvas& buffer) override;
  void CaptionChanged() override;
  void ColorChanged() override;

 private:
  void PrepareText();
  void AdjustSize();
  void CellImageChanged();
  const ui::Bitmap& CellImage();
  MatrixLayout Layout() const;
  MatrixPlacement Placement() const;

  int leds_ = 15;
  int spacing_ = 2;
  TVrMatrixLedStyle ledStyle_ = ls14x20;
  bool ledsVisible_ = true;
  TVrOrientation orientation_ = voHorizontal;
  TVrAlignment alignment_ = vaLeftJustify;
  TVrMatrixTextStyle textStyle_ = tsUpperCase;
  bool autoScroll_ = false;
  TVrMatrixScrollDirection direction_ = msdRightToLeft;
  TVrPalette palette_;
  TVrBevel bevel_;

  MatrixText text_;
  int firstCell_ = 1;
  // The unlit cell in the display's colours, and the colours it was made for: a change
  // of a system colour shows as a difference at the next paint.
  ui::Bitmap cellImage_;
  COLORREF cellColors_[3] = {};

  // Last, so that it stops before anything its ticks use goes away.
  TVrTimer timer_;
};

}  // namespace widgets
