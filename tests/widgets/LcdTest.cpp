// The seven-segment number and clock, read back from the pixels they paint on a form.
#include <gtest/gtest.h>

#include "ui/Form.h"
#include "support/WindowTesting.h"
#include "widgets/VrLcd.h"

using namespace testing_support;
using namespace widgets;

namespace {

constexpr ui::Color kLit = 0x00FF00;    // the default palette's High
constexpr ui::Color kUnlit = 0x008000;  // and Low

// Reads the glyph of `style` whose top-left corner is at (x, y) of the shot: a digit,
// ' ' for all segments unlit, '_' for the unlit minus bar, '-' for the lit one, '?' else.
char ReadGlyph(const ui::Bitmap& shot, TVrNumStyle style, int x, int y) {
  const LcdImageSet& set = LcdImagesOf(style);
  const int w = set.GlyphWidth(), h = set.height;
  const int stroke = std::max(1, (w + 3) / 6), margin = w >= 11 ? 1 : 0;
  const int left = margin, right = w - margin - 1, mid = (h - stroke) / 2;
  // Sample points of segments a..g.
  const ui::Point at[7] = {{w / 2, 0},        {right, h / 4}, {right, 3 * h / 4}, {w / 2, h - 1},
                           {left, 3 * h / 4}, {left, h / 4},  {w / 2, mid}};
  std::string lit, unlit;
  for (int s = 0; s < 7; ++s) {
    const ui::Color c = shot.PixelAt(x + at[s].x, y + at[s].y);
    if (c == kLit) lit += char('a' + s);
    if (c == kUnlit) unlit += char('a' + s);
  }
  static const char* const digits[] = {"abcdef", "bc",     "abdeg", "abcdg",   "bcfg",
                                       "acdfg",  "acdefg", "abc",   "abcdefg", "abcdfg"};
  if (lit.size() + unlit.size() == 7)
    for (int d = 0; d < 10; ++d)
      if (lit == digits[d]) return char('0' + d);
  if (lit.empty() && unlit == "abcdefg") return ' ';
  if (lit.empty() && unlit == "g") return '_';
  if (lit == "g" && unlit.empty()) return '-';
  return '?';
}

std::string ReadNumber(HWND form, const TVrNum& num, int places) {
  const ui::Bitmap shot = CaptureClient(form);
  const int step = LcdImagesOf(num.Style()).GlyphWidth() + num.Spacing();
  std::string text;
  for (int i = 0; i < places; ++i) text += ReadGlyph(shot, num.Style(), num.Left() + i * step, num.Top());
  return text;
}

}  // namespace

TEST(Lcd, NumberShowsLeadingZerosBlanksAndTheSignPlace) {
  HostForm form(200, 60, ui::clBlack);
  TVrNum num("Num");
  num.SetParent(&form);
  num.SetPosition(10, 10);
  num.SetDigits(3);
  num.SetAutoSize(true);
  num.SetLeadingZero(true);
  num.SetMin(1);
  num.SetMax(100);
  num.SetAlignment(naLeftJustify);
  int changes = 0;
  num.OnChange = [&](ui::Control&) { ++changes; };
  form.Show();
  EXPECT_EQ(num.Width(), 3 * 13 + 2 * 2);
  EXPECT_EQ(num.Height(), 24);

  struct Step {
    const char* what;
    std::function<void()> act;
    int places;
    const char* shows;
  } steps[] = {
      {"seven", [&] { num.SetValue(7); }, 3, "007"},
      {"below the range", [&] { num.SetValue(0); }, 3, "001"},
      {"above the range", [&] { num.SetValue(101); }, 3, "100"},
      {"blanks", [&] { num.SetValue(7), num.SetLeadingZero(false); }, 3, "  7"},
      {"zero blank", [&] { num.SetMin(0), num.SetValue(0), num.SetZeroBlank(true); }, 3, "   "},
      {"signed negative", [&] { num.SetDigits(2), num.SetMin(-50), num.SetValue(-5); }, 3, "- 5"},
      {"sized with its sign place", [&] { EXPECT_EQ(num.Width(), 3 * 13 + 2 * 2); }, 3, "- 5"},
      {"signed with zeros", [&] { num.SetLeadingZero(true); }, 3, "-05"},
      {"signed positive", [&] { num.SetValue(5); }, 3, "_05"},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    s.act();
    Pump(30);
    EXPECT_EQ(ReadNumber(form.Handle(), num, s.places), s.shows);
  }

  // Setting the value the number already holds raises nothing.
  changes = 0;
  num.SetValue(5);
  num.SetValue(500);  // clamped to the maximum 100
  num.SetValue(100);
  EXPECT_EQ(changes, 1);
}

TEST(Lcd, ALongerNumberIsNotCutAndThePaletteColoursTheSegments) {
  HostForm form(200, 40);
  TVrNum num("Num");
  num.SetParent(&form);
  num.SetPosition(0, 0);
  num.SetDigits(7);
  num.SetMax(99999999);
  num.SetAutoSize(true);
  num.SetLeadingZero(true);
  num.SetValue(12345678);
  form.Show();
  EXPECT_EQ(ReadNumber(form.Handle(), num, 7), "1234567") << "the eighth digit lies beyond the right edge";
  num.Palette().SetHigh(ui::clRed);
  Pump(30);
  const ui::Bitmap shot = CaptureClient(form.Handle());
  EXPECT_EQ(shot.PixelAt(6, 0), kUnlit) << "segment a: unlit in the 1";
  EXPECT_EQ(shot.PixelAt(15 + 6, 0), ui::clRed) << "and lit in the 2";
}

namespace {

// A clock on a form, with a date and time of the test's choosing.
struct ClockHost {
  ui::Form form{"ClockHost"};
  TVrClock clock{"Clock"};
  long long now = 10 * 3600;  // 10:00:00
  ClockHost(TVrNumStyle style, bool seconds) {
    form.SetClientSize(200, 40);
    form.SetColor(ui::clBlack);
    clock.Now = [this] { return now; };
    clock.SetParent(&form);
    clock.SetPosition(0, 0);
    clock.SetStyle(style);
    clock.SetShowSeconds(seconds);
    clock.SetAutoSize(true);
    form.Show();
  }
  // The clock's digits and colons as text, ':' for a colon shown and ' ' for one hidden.
  std::string Read() {
    Pump(30);
    const ui::Bitmap shot = CaptureClient(form.Handle());
    const LcdImageSet& set = LcdImagesOf(clock.Style());
    const int g = set.GlyphWidth(), s = clock.Spacing();
    std::string text;
    int x = clock.Left();
    for (char c : std::string(clock.ShowSeconds() ? "00:00:00" : "00:00")) {
      if (c == ':') {
        text += shot.PixelAt(x + (set.colonWidth - 1) / 2, set.height / 3) == kLit ? ':' : ' ';
        x += set.colonWidth + s;
      } else {
        text += ReadGlyph(shot, clock.Style(), x, clock.Top());
        x += g + s;
      }
    }
    return text;
  }
};

}  // namespace

TEST(Lcd, ClockWidthAndCustomTime) {
  ClockHost host(ns7x13, true);
  EXPECT_EQ(host.clock.Width(), 62) << "6 digits, 2 colons, 7 gaps of 2";
  EXPECT_EQ(host.clock.Height(), 13);
  host.clock.SetClockType(ctCustom);
  std::vector<int> seen;
  host.clock.OnSecondsChanged = [&](ui::Control&, std::uint16_t v) { seen.push_back(v); };
  host.clock.SetHours(1);
  host.clock.SetMinutes(2);
  host.clock.SetSeconds(3);
  host.clock.SetSeconds(3);
  EXPECT_EQ(host.Read(), "01:02:03");
  EXPECT_EQ(seen, std::vector<int>{3});
  // A custom clock does not run.
  host.clock.SetActive(true);
  EXPECT_FALSE(host.clock.Active());
}

TEST(Lcd, ClockColonsBlinkEveryOtherSecond) {
  ClockHost host(ns7x13, true);
  host.clock.SetActive(true);
  EXPECT_EQ(host.Read(), "10:00:00");
  host.now += 1;
  host.clock.Update();
  EXPECT_EQ(host.Read(), "10:00:01") << "colons stay while Blink is off";
  host.clock.SetBlink(true);
  EXPECT_EQ(host.Read(), "10:00:01") << "setting Blink shows the colons at once";
  // The clock's own one-second timer runs beside these updates, and on a busy machine
  // slips one in now and then: the pattern counts when one pass of it is undisturbed.
  std::string colons;
  for (int pass = 0; pass < 3 && colons != " : "; ++pass) {
    host.clock.SetBlink(false);
    host.clock.SetBlink(true);
    colons.clear();
    for (int i = 0; i < 3; ++i) {
      host.now += 1;
      host.clock.Update();
      colons += host.Read()[2];
    }
  }
  EXPECT_EQ(colons, " : ") << "hidden, shown, hidden";
  // Switched to custom, the clock stops and shows its colons.
  host.clock.SetClockType(ctCustom);
  EXPECT_FALSE(host.clock.Active());
  EXPECT_EQ(host.Read()[2], ':');
}

TEST(Lcd, ElapsedClockCountsFromItsActivationAndWrapsAfterADay) {
  ClockHost host(ns7x13, true);
  host.clock.SetClockType(ctElapsed);
  host.clock.SetActive(true);
  host.now += 1;
  host.clock.Update();
  EXPECT_EQ(host.Read(), "00:00:01");
  host.now += 25 * 3600 - 1;
  host.clock.Update();
  EXPECT_EQ(host.Read(), "01:00:00");
}

TEST(Lcd, TwelveHourClockWithAmPm) {
  ClockHost host(ns13x24, false);
  host.clock.SetHours24(false);
  host.clock.SetShowTimeZone(true);
  EXPECT_EQ(host.clock.Width(), 4 * 13 + 6 + 4 * 2 + 10 + 2);
  // The letter A of AM and P of PM in the shown half of the AM/PM image.
  auto amLit = [&] {
    const ui::Bitmap shot = CaptureClient(host.form.Handle());
    const int x = 4 * (13 + 2) + 6 + 2;
    return std::make_pair(shot.PixelAt(x + 2, 6), shot.PixelAt(x + 1, 12));
  };
  host.now = 30 * 60;  // 00:30
  host.clock.Update();
  EXPECT_EQ(host.Read(), "12:30");
  EXPECT_EQ(amLit(), std::make_pair(kLit, kUnlit));
  host.now = 13 * 3600 + 5 * 60;  // 13:05
  host.clock.Update();
  EXPECT_EQ(host.Read(), "01:05");
  EXPECT_EQ(amLit(), std::make_pair(kUnlit, kLit));
}

TEST(Lcd, RunningClockTicksOnItsTimer) {
  ClockHost host(ns5x7, true);
  host.clock.SetClockType(ctElapsed);
  int ticks = 0;
  host.clock.OnSecondsChanged = [&](ui::Control&, std::uint16_t) { ++ticks; };
  host.clock.SetActive(true);
  host.now += 2;
  EXPECT_TRUE(WaitFor([&] { return host.clock.Seconds() == 2; }, 3000));
  EXPECT_EQ(ticks, 1);
  host.clock.SetActive(false);
}
