// A labelled numeric scale with optional tick marks, horizontal or vertical.
#pragma once

#include "widgets/ScaleRules.h"
#include "widgets/VrControls.h"

namespace widgets {

enum TVrTextLayout { tlTop, tlCenter, tlBottom };

class TVrScale : public TVrGraphicImageControl {
 public:
  explicit TVrScale(std::string name = {});

  int MinValue() const { return s_.minValue; }
  void SetMinValue(int v) { Set(s_.minValue, v); }
  int MaxValue() const { return s_.maxValue; }
  void SetMaxValue(int v) { Set(s_.maxValue, v); }
  int Ticks() const { return s_.ticks; }
  void SetTicks(int v);  // at least 1
  int Digits() const { return s_.digits; }
  void SetDigits(int v) { Set(s_.digits, v); }
  bool LeadingZero() const { return s_.leadingZero; }
  void SetLeadingZero(bool on) { Set(s_.leadingZero, on); }
  bool ShowSign() const { return s_.showSign; }
  void SetShowSign(bool on) { Set(s_.showSign, on); }
  int PeakLevel() const { return s_.peakLevel; }
  void SetPeakLevel(int v) { Set(s_.peakLevel, v); }
  ui::Color PeakColor() const { return peakColor_; }
  void SetPeakColor(ui::Color c) { Set(peakColor_, c); }
  TVrTickMarks TickMarks() const { return tickMarks_; }
  void SetTickMarks(TVrTickMarks t) { Set(tickMarks_, t); }
  int TicksWidth() const { return ticksWidth_; }
  void SetTicksWidth(int v) { Set(ticksWidth_, v); }
  int TicksHeight() const { return ticksHeight_; }
  void SetTicksHeight(int v) { Set(ticksHeight_, v); }
  int ScaleOffset() const { return scaleOffset_; }
  void SetScaleOffset(int v) { Set(scaleOffset_, v); }
  ui::Color ScaleColor() const { return scaleColor_; }
  void SetScaleColor(ui::Color c) { Set(scaleColor_, c); }
  TVrOrientation Orientation() const { return orientation_; }
  void SetOrientation(TVrOrientation o) { Set(orientation_, o); }
  TVrAlignment Alignment() const { return alignment_; }
  void SetAlignment(TVrAlignment a) { Set(alignment_, a); }
  TVrTextLayout Layout() const { return layout_; }
  void SetLayout(TVrTextLayout l) { Set(layout_, l); }

 protected:
  void DrawContent(ui::Canvas& buffer) override;
  void ColorChanged() override { ContentChanged(); }
  void FontChanged() override { ContentChanged(); }

 private:
  template <typename T>
  void Set(T& field, T value) {
    if (field == value) return;
    field = value;
    ContentChanged();
  }
  ScaleSettings s_;
  ui::Color peakColor_ = 0x00FF00;
  TVrTickMarks tickMarks_ = tmNone;
  int ticksWidth_ = 1;
  int ticksHeight_ = 5;
  int scaleOffset_ = 4;
  ui::Color scaleColor_ = 0x008000;
  TVrOrientation orientation_ = voHorizontal;
  TVrAlignment alignment_ = vaCenter;
  TVrTextLayout layout_ = tlCenter;
};

}  // namespace widgets
