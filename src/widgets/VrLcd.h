// Seven-segment LCD widgets: a number of up to 16 digits and a clock with blinking
// colons, drawn from digit image strips in the colours of their palette.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "widgets/LcdRules.h"
#include "widgets/VrClasses.h"
#include "widgets/VrControls.h"
#include "widgets/VrThreads.h"

namespace widgets {

// The digit images of one style and the drawing of a glyph; the base of number and clock.
class TVrCustomNum : public TVrGraphicImageControl {
 public:
  explicit TVrCustomNum(std::string name);
  TVrNumStyle Style() const { return style_; }
  void SetStyle(TVrNumStyle style);
  int Spacing() const { return spacing_; }
  void SetSpacing(int spacing);
  TVrPalette& Palette() { return palette_; }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool on);

 protected:
  // The size of the content, for auto size.
  virtual ui::Point ContentSize() const = 0;
  // Re-sizes to the content when AutoSize is on, then repaints.
  void LayoutChanged();
  void ColorChanged() override { ContentChanged(); }
  const LcdImageSet& Images() const { return LcdImagesOf(style_); }
  int GlyphWidth() const { return Images().GlyphWidth(); }
  int GlyphHeight() const { return Images().height; }
  // Glyph `index` of the strip at (x, y), its black pixels left out.
  void DrawGlyph(ui::Canvas& c, int index, int x, int y);
  void DrawColon(ui::Canvas& c, int x, int y);
  // The left (PM lit) or right (AM lit) half of the AM/PM image.
  void DrawAmPm(ui::Canvas& c, bool am, int x, int y);

 private:
  void PrepareImages();
  TVrNumStyle style_ = ns13x24;
  int spacing_ = 2;
  bool autoSize_ = false;
  TVrPalette palette_;
  ui::Bitmap digits_;
  ui::Bitmap colon_;
  ui::Bitmap ampm_;
};

class TVrNum : public TVrCustomNum {
 public:
  explicit TVrNum(std::string name = {});
  int Digits() const { return digits_; }
  void SetDigits(int digits);  // 1..16
  int Value() const { return value_; }
  // Clamps to [Min, Max]; raises OnChange after a change.
  void SetValue(int value);
  int Min() const { return min_; }
  void SetMin(int min);  // ignored unless below Max
  int Max() const { return max_; }
  void SetMax(int max);  // ignored unless above Min
  bool LeadingZero() const { return leadingZero_; }
  void SetLeadingZero(bool on);
  bool ZeroBlank() const { return zeroBlank_; }
  void SetZeroBlank(bool on);
  TVrNumAlignment Alignment() const { return alignment_; }
  void SetAlignment(TVrNumAlignment a);
  ui::NotifyEvent OnChange;

 protected:
  ui::Point ContentSize() const override;
  void DrawContent(ui::Canvas& buffer) override;

 private:
  int digits_ = 4;
  int value_ = 0;
  int min_ = 0;
  int max_ = 9999;
  bool signed_ = false;
  bool leadingZero_ = false;
  bool zeroBlank_ = false;
  TVrNumAlignment alignment_ = naCenter;
};

enum TVrClockType { ctRealTime, ctElapsed, ctCustom };

class TVrClock : public TVrCustomNum {
 public:
  using ChangeEvent = std::function<void(ui::Control& sender, std::uint16_t value)>;

  explicit TVrClock(std::string name = {});
  ~TVrClock() override;

  TVrClockType ClockType() const { return clockType_; }
  void SetClockType(TVrClockType type);
  bool Active() const { return active_; }
  // A custom clock never runs.
  void SetActive(bool on);
  int Hours() const { return time_.hours; }
  void SetHours(int hours);  // 0..23
  int Minutes() const { return time_.minutes; }
  void SetMinutes(int minutes);  // 0..59
  int Seconds() const { return time_.seconds; }
  void SetSeconds(int seconds);  // 0..59
  bool ShowSeconds() const { return showSeconds_; }
  void SetShowSeconds(bool on);
  bool Blink() const { return blink_; }
  void SetBlink(bool on);
  bool Hours24() const { return hours24_; }
  void SetHours24(bool on);
  bool ShowTimeZone() const { return showTimeZone_; }
  void SetShowTimeZone(bool on);
  bool Threaded() const { return timer_->TimerType() == ttThread; }
  void SetThreaded(bool on);
  // Whether the colons are in their shown phase.
  bool BlinkPhase() const { return blinkPhase_; }

  // One tick: reads the time, toggles the blink phase, repaints and raises the events.
  void Update();
  // The local date and time in seconds; replaceable, e.g. by a test's own clock.
  std::function<long long()> Now;

  ChangeEvent OnHoursChanged;
  ChangeEvent OnMinutesChanged;
  ChangeEvent OnSecondsChanged;

 protected:
  ui::Point ContentSize() const override;
  void DrawContent(ui::Canvas& buffer) override;

 private:
  void ReadTime();
  bool ShowsAmPm() const { return showTimeZone_ && clockType_ == ctRealTime; }
  TVrClockType clockType_ = ctRealTime;
  bool active_ = false;
  ClockTime time_;
  bool showSeconds_ = false;
  bool blink_ = false;
  bool hours24_ = true;
  bool showTimeZone_ = false;
  bool blinkPhase_ = true;
  int hour24_ = 0;  // the hour of the last reading, for AM/PM
  long long start_ = 0;
  bool read_ = false;  // the time has been read at least once
  std::unique_ptr<TVrTimer> timer_;
};

// The local date and time in whole seconds since an arbitrary midnight.
long long LocalNowSeconds();

}  // namespace widgets
