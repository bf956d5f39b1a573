#include "keys/MediaKeyRules.h"

#include <gtest/gtest.h>

namespace keys {
namespace {

TEST(MediaKeyRules, NextAndPreviousStepToThePresetsThatHoldAStation) {
  const std::vector<bool> holding{false, true, false, true, true, false, false};
  const struct {
    int current;
    bool forward;
    std::optional<int> to;
  } cases[] = {{1, true, 3},   {3, true, 4}, {4, true, 1}, {1, false, 4}, {3, false, 1}, {-1, true, 1},
               {-1, false, 4}, {0, true, 1}, {6, true, 1}, {6, false, 4}, {9, true, 1}};
  for (const auto& c : cases) EXPECT_EQ(StepPreset(holding, c.current, c.forward), c.to) << c.current << c.forward;
  EXPECT_EQ(StepPreset({false, true, false}, 1, true), std::nullopt) << "no other station";
  EXPECT_EQ(StepPreset({false, false}, -1, false), std::nullopt);
  EXPECT_EQ(StepPreset({}, -1, true), std::nullopt);
  EXPECT_TRUE(HoldsStation("Jazz", "http://x/"));
  EXPECT_FALSE(HoldsStation("none", "http://x/"));
  EXPECT_FALSE(HoldsStation("Jazz", ""));
}

struct FakeWindow : KeysWindow {
  std::vector<bool> holding{false, true, true};
  int current = -1, fader = 600, stops = 0;
  bool on = false;
  std::vector<bool> PresetsHoldingStation() override { return holding; }
  int CurrentPreset() override { return current; }
  void PlayPreset(int preset) override { current = preset, on = true; }
  bool StationOn() override { return on; }
  void StopStation() override { ++stops, on = false; }
  int Fader() override { return fader; }
  void SetFader(int position) override { fader = position; }
};

TEST(MediaKeyRules, KeysActOnTheWindow) {
  FakeWindow w;
  MediaKeyActions keys;
  keys.Press(MediaKey::PlayPause, w);
  EXPECT_EQ(w.current, 1) << "nothing played yet: the first preset that holds a station";
  keys.Press(MediaKey::Play, w);
  EXPECT_EQ(w.stops, 0) << "Play while playing does nothing";
  keys.Press(MediaKey::PlayPause, w);
  EXPECT_EQ(w.stops, 1);
  keys.Press(MediaKey::Next, w);
  EXPECT_EQ(w.current, 2);
  keys.Press(MediaKey::Pause, w);
  keys.Press(MediaKey::PlayPause, w);
  EXPECT_EQ(w.current, 2) << "plays the current preset again";
  EXPECT_EQ(w.stops, 2);

  keys.Press(MediaKey::Mute, w);
  EXPECT_EQ(w.fader, 0);
  keys.Press(MediaKey::Mute, w);
  EXPECT_EQ(w.fader, 600);
  keys.Press(MediaKey::Mute, w);
  keys.Press(MediaKey::VolumeUp, w);
  EXPECT_EQ(w.fader, 50) << "up from mute starts from silence";
  keys.Press(MediaKey::Mute, w);
  keys.Press(MediaKey::Mute, w);
  EXPECT_EQ(w.fader, 50);
  for (int i = 0; i < 30; ++i) keys.Press(MediaKey::VolumeUp, w);
  EXPECT_EQ(w.fader, 1000);
  keys.Press(MediaKey::VolumeDown, w);
  EXPECT_EQ(w.fader, 950);
}

TEST(MediaKeyRules, KeysFile) {
  const struct {
    const char* text;
    bool global;
  } cases[] = {{"", true},
               {"[Keys]\r\nGlobalMediaKeys=0\r\n", false},
               {"  globalmediakeys = Off ", false},
               {"GlobalMediaKeys=no\nGlobalMediaKeys=yes", true},
               {"GlobalMediaKeys=maybe", true},
               {"; GlobalMediaKeys=0", true},
               {"GlobalMediaKeys", true},
               {"OtherKey=0\nGlobalMediaKeys=FALSE", false}};
  for (const auto& c : cases) EXPECT_EQ(ParseKeySettings(c.text).globalKeys, c.global) << c.text;
}

}  // namespace
}  // namespace keys
