#include "widgets/VrLcd.h"

#include <windows.h>

#include <algorithm>

namespace widgets {

namespace {

constexpr ui::Color kLowKey = 0x808080;
constexpr ui::Color kHighKey = 0xC0C0C0;

}  // namespace

long long LocalNowSeconds() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  FILETIME ft;
  SystemTimeToFileTime(&st, &ft);
  ULARGE_INTEGER t;
  t.LowPart = ft.dwLowDateTime;
  t.HighPart = ft.dwHighDateTime;
  return static_cast<long long>(t.QuadPart / 10000000ull);  // 100 ns units since 1601-01-01 midnight
}

// --- TVrCustomNum ---------------------------------------------------------------------

TVrCustomNum::TVrCustomNum(std::string name) : TVrGraphicImageControl(std::move(name)) {
  color_ = ui::clBlack;
  palette_.OnChange = [this] {
    PrepareImages();
    ContentChanged();
  };
  PrepareImages();
}

void TVrCustomNum::PrepareImages() {
  const LcdImageSet& set = Images();
  digits_ = ui::Bitmap::FromBitmapResource(set.strip);
  colon_ = ui::Bitmap::FromBitmapResource(set.colon);
  ampm_ = ui::Bitmap::FromBitmapResource(set.ampm);
  for (ui::Bitmap* b : {&digits_, &colon_, &ampm_}) palette_.Recolor(*b, kLowKey, kHighKey);
}

void TVrCustomNum::SetStyle(TVrNumStyle style) {
  if (style == style_) return;
  style_ = style;
  PrepareImages();
  LayoutChanged();
}

void TVrCustomNum::SetSpacing(int spacing) {
  if (spacing == spacing_) return;
  spacing_ = spacing;
  LayoutChanged();
}

void TVrCustomNum::SetAutoSize(bool on) {
  if (on == autoSize_) return;
  autoSize_ = on;
  LayoutChanged();
}

void TVrCustomNum::LayoutChanged() {
  if (autoSize_) {
    const ui::Point size = ContentSize();
    if (size.x != Width() || size.y != Height()) SetSize(size.x, size.y);
  }
  ContentChanged();
}

// The images are copied pixel by pixel into the drawing buffer: a clock paints up to
// ten of them every second, and a GDI transparent copy costs far more than the copy.
void TVrCustomNum::DrawGlyph(ui::Canvas&, int index, int x, int y) {
  const int w = GlyphWidth(), h = GlyphHeight();
  Buffer().CopyKeyed(x, y, digits_, ui::Rect::FromBounds(index * w, 0, w, h), ui::clBlack);
}

void TVrCustomNum::DrawColon(ui::Canvas&, int x, int y) {
  if (colon_.Empty()) return;
  Buffer().CopyKeyed(x, y, colon_, {0, 0, colon_.Width(), colon_.Height()}, colon_.PixelAt(0, colon_.Height() - 1));
}

void TVrCustomNum::DrawAmPm(ui::Canvas&, bool am, int x, int y) {
  const int half = ampm_.Width() / 2, h = ampm_.Height();
  Buffer().CopyKeyed(x, y, ampm_, ui::Rect::FromBounds(am ? half : 0, 0, half, h), ui::clBlack);
}

// --- TVrNum ---------------------------------------------------------------------------

TVrNum::TVrNum(std::string name) : TVrCustomNum(std::move(name)) {
  const ui::Point size = ContentSize();
  bounds_ = ui::Rect::FromBounds(0, 0, size.x, size.y);
}

// Auto size takes the sign place in, so that a signed number's last digit is not cut off.
ui::Point TVrNum::ContentSize() const {
  return {NumContentWidth(digits_, GlyphWidth(), Spacing(), signed_), GlyphHeight()};
}

void TVrNum::SetDigits(int digits) {
  digits = std::clamp(digits, 1, kMaxNumDigits);
  if (digits == digits_) return;
  digits_ = digits;
  LayoutChanged();
}

void TVrNum::SetValue(int value) {
  value = std::clamp(value, min_, max_);
  if (value == value_) return;
  value_ = value;
  ContentChanged();
  if (OnChange) OnChange(*this);
}

void TVrNum::SetMin(int min) {
  if (min == min_ || min >= max_) return;
  min_ = min;
  signed_ = min_ < 0;
  LayoutChanged();
}

void TVrNum::SetMax(int max) {
  if (max == max_ || max <= min_) return;
  max_ = max;
  ContentChanged();
}

void TVrNum::SetLeadingZero(bool on) {
  if (on == leadingZero_) return;
  leadingZero_ = on;
  ContentChanged();
}

void TVrNum::SetZeroBlank(bool on) {
  if (on == zeroBlank_) return;
  zeroBlank_ = on;
  ContentChanged();
}

void TVrNum::SetAlignment(TVrNumAlignment a) {
  if (a == alignment_) return;
  alignment_ = a;
  ContentChanged();
}

void TVrNum::DrawContent(ui::Canvas& buffer) {
  const int g = GlyphWidth(), s = Spacing();
  int x = NumStartX(alignment_, Width(), NumContentWidth(digits_, g, s, signed_));
  const int y = (Height() - GlyphHeight()) / 2;
  for (int glyph : NumGlyphs(value_, digits_, leadingZero_, zeroBlank_, signed_)) {
    DrawGlyph(buffer, glyph, x, y);
    x += g + s;
  }
}

// --- TVrClock -------------------------------------------------------------------------

TVrClock::TVrClock(std::string name) : TVrCustomNum(std::move(name)), Now(LocalNowSeconds) {
  bounds_ = ui::Rect::FromBounds(0, 0, 140, GlyphHeight());
  timer_ = std::make_unique<TVrTimer>();
  timer_->SetEnabled(false);
  timer_->OnTimer = [this](TVrTimer&) { Update(); };
  timer_->Apply();
}

TVrClock::~TVrClock() {
  // The timer goes first, so that no tick reaches a clock being torn down.
  timer_.reset();
}

void TVrClock::SetClockType(TVrClockType type) {
  if (type == clockType_) return;
  clockType_ = type;
  if (type == ctCustom)
    SetActive(false);
  else
    time_ = {};
  LayoutChanged();
}

void TVrClock::SetActive(bool on) {
  if (clockType_ == ctCustom) on = false;
  if (on == active_) return;
  active_ = on;
  blinkPhase_ = true;
  if (on) start_ = Now();
  ContentChanged();
  timer_->SetEnabled(on);
}

void TVrClock::SetHours(int hours) {
  hours = std::clamp(hours, 0, 23);
  if (hours == time_.hours) return;
  time_.hours = hours;
  ContentChanged();
  if (OnHoursChanged) OnHoursChanged(*this, static_cast<std::uint16_t>(hours));
}

void TVrClock::SetMinutes(int minutes) {
  minutes = std::clamp(minutes, 0, 59);
  if (minutes == time_.minutes) return;
  time_.minutes = minutes;
  ContentChanged();
  if (OnMinutesChanged) OnMinutesChanged(*this, static_cast<std::uint16_t>(minutes));
}

void TVrClock::SetSeconds(int seconds) {
  seconds = std::clamp(seconds, 0, 59);
  if (seconds == time_.seconds) return;
  time_.seconds = seconds;
  ContentChanged();
  if (OnSecondsChanged) OnSecondsChanged(*this, static_cast<std::uint16_t>(seconds));
}

void TVrClock::SetShowSeconds(bool on) {
  if (on == showSeconds_) return;
  showSeconds_ = on;
  LayoutChanged();
}

void TVrClock::SetShowTimeZone(bool on) {
  if (on == showTimeZone_) return;
  showTimeZone_ = on;
  LayoutChanged();
}

void TVrClock::SetBlink(bool on) {
  if (on == blink_) return;
  blink_ = on;
  blinkPhase_ = true;
  ContentChanged();
}

void TVrClock::SetHours24(bool on) {
  if (on == hours24_) return;
  hours24_ = on;
  ContentChanged();
}

void TVrClock::SetThreaded(bool on) {
  timer_->SetTimerType(on ? ttThread : ttSystem);
}

void TVrClock::ReadTime() {
  read_ = true;
  if (clockType_ == ctCustom) return;
  ClockTime now = TimeOfDay(clockType_ == ctRealTime ? Now() : Now() - start_);
  hour24_ = now.hours;
  if (!hours24_) now.hours = Hours12(now.hours);
  time_ = now;
}

void TVrClock::Update() {
  const ClockTime before = time_;
  ReadTime();
  blinkPhase_ = !blinkPhase_;
  if ((showSeconds_ && time_.seconds != before.seconds) || blink_ || time_.minutes != before.minutes) ContentChanged();
  if (time_.hours != before.hours && OnHoursChanged) OnHoursChanged(*this, static_cast<std::uint16_t>(time_.hours));
  if (time_.minutes != before.minutes && OnMinutesChanged)
    OnMinutesChanged(*this, static_cast<std::uint16_t>(time_.minutes));
  if (time_.seconds != before.seconds && OnSecondsChanged)
    OnSecondsChanged(*this, static_cast<std::uint16_t>(time_.seconds));
}

ui::Point TVrClock::ContentSize() const {
  const LcdImageSet& set = Images();
  return {ClockContentWidth(GlyphWidth(), set.colonWidth, Spacing(), showSeconds_, ShowsAmPm() ? set.ampmWidth : 0),
          GlyphHeight()};
}

void TVrClock::DrawContent(ui::Canvas& buffer) {
  const int g = GlyphWidth(), s = Spacing(), colon = Images().colonWidth;
  int x = (Width() - ContentSize().x) / 2;
  const int y = (Height() - GlyphHeight()) / 2;
  // A real-time clock shows the time of day from its first paint on, before any tick.
  if (!read_ && clockType_ == ctRealTime) ReadTime();
  const bool hideColons = active_ && clockType_ != ctCustom && blink_ && !blinkPhase_;
  for (char c : ClockText(time_, showSeconds_)) {
    if (c == ':') {
      if (!hideColons) DrawColon(buffer, x, y);
      x += colon + s;
    } else {
      DrawGlyph(buffer, c - '0', x, y);
      x += g + s;
    }
  }
  if (ShowsAmPm()) DrawAmPm(buffer, hour24_ < 12, x, y);
}

}  // namespace widgets
