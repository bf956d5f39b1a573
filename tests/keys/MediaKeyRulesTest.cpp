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
  const struct {
    MediaKey key;
    int current, stops, fader;
  } steps[] = {
      {MediaKey::PlayPause, 1, 0, 600},  // nothing played yet: the first preset that holds a station
      {MediaKey::Play, 1, 0, 600},       // playing already
      {MediaKey::PlayPause, 1, 1, 600}, {MediaKey::Next, 2, 1, 600},
      {MediaKey::Pause, 2, 2, 600},     {MediaKey::PlayPause, 2, 2, 600},  // the current preset again
      {MediaKey::Mute, 2, 2, 0},        {MediaKey::Mute, 2, 2, 600},
      {MediaKey::Mute, 2, 2, 0},        {MediaKey::VolumeUp, 2, 2, 50},  // up from mute: from silence
      {MediaKey::Mute, 2, 2, 0},        {MediaKey::Mute, 2, 2, 50},
      {MediaKey::VolumeDown, 2, 2, 0},  {MediaKey::VolumeDown, 2, 2, 0},
  };
  for (const auto& s : steps) {
    keys.Press(s.key, w);
    EXPECT_EQ(std::vector<int>({w.current, w.stops, w.fader}), std::vector<int>({s.current, s.stops, s.fader}))
        << &s - steps;
  }
}

TEST(MediaKeyRules, KeysFile) {
  for (const char* off : {"[Keys]\r\nGlobalMediaKeys=0\r\n", "  globalmediakeys = Off ", "A=0\nGlobalMediaKeys=FALSE"})
    EXPECT_FALSE(ParseKeySettings(off).globalKeys) << off;
  for (const char* on : {"", "GlobalMediaKeys=no\nGlobalMediaKeys=yes", "GlobalMediaKeys=maybe", "; GlobalMediaKeys=0"})
    EXPECT_TRUE(ParseKeySettings(on).globalKeys) << on;
}

}  // namespace
}  // namespace keys
