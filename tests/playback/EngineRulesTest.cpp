// The portable parts of the player's engine: the ring between the reader and the feeder,
// the device's counts over a long play, and the lanes that carry sound to the taps.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <numeric>
#include <stdexcept>
#include <thread>
#include <vector>

#include "playback/DeviceClockRules.h"
#include "playback/SoundRingRules.h"
#include "playback/TapLaneRules.h"

using namespace playback;

TEST(SoundRing, KeepsOrderAcrossItsEndAndTakesNoMoreThanItsRoom) {
  SoundRing ring(10);
  std::vector<std::int16_t> in(25);
  std::iota(in.begin(), in.end(), 1);
  std::vector<std::int16_t> out;
  std::size_t written = 0;
  // Writes of 4 and reads of 3 go round the ring several times.
  while (out.size() < in.size()) {
    written += ring.Write(in.data() + written, std::min<std::size_t>(4, in.size() - written));
    EXPECT_LE(ring.Queued(), ring.Capacity());
    std::int16_t piece[3];
    out.insert(out.end(), piece, piece + ring.Read(piece, 3));
  }
  EXPECT_EQ(out, in);
  EXPECT_EQ(ring.Write(in.data(), 25), 10u) << "no more than its room";
  ring.Discard();
  EXPECT_EQ(ring.Queued(), 0u);
}

TEST(SoundRing, OneWriterAndOneReaderOnTwoThreadsLoseNothing) {
  SoundRing ring(1000);
  constexpr int kCount = 200000;
  std::thread writer([&] {
    std::int16_t next = 0;
    for (int sent = 0; sent < kCount;) {
      std::int16_t piece[37];
      const int n = std::min(37, kCount - sent);
      for (int i = 0; i < n; ++i) piece[i] = std::int16_t(next + i);
      const std::size_t taken = ring.Write(piece, std::size_t(n));
      next = std::int16_t(next + int(taken));
      sent += int(taken);
    }
  });
  std::int16_t expected = 0;
  bool inOrder = true;
  for (int got = 0; got < kCount;) {
    std::int16_t piece[53];
    const std::size_t n = ring.Read(piece, 53);
    for (std::size_t i = 0; i < n; ++i) inOrder &= piece[i] == expected++;
    got += int(n);
  }
  writer.join();
  EXPECT_TRUE(inOrder);
}

TEST(DeviceClock, ACountGoesOnPast32BitsAndAStillDeviceIsLost) {
  WideCount count;
  EXPECT_EQ(count.Extend(0xFFFFFF00u), 0xFFFFFF00u);
  EXPECT_EQ(count.Extend(0x10u), 0x100000010u) << "past the wrap";
  EXPECT_EQ(count.Extend(0xFFFFFFFFu), 0x1FFFFFFFFu);
  EXPECT_EQ(count.Extend(5u), 0x200000005u) << "and past the next";

  DeviceWatch watch;
  watch.Look(0, 100, 0);
  watch.Look(5000, 100, 0);
  EXPECT_FALSE(watch.Lost()) << "nothing queued: an idle device is not lost";
  watch.Look(5000, 100, 4410);
  watch.Look(6000, 200, 4410);
  watch.Look(7000, 200, 4410);
  EXPECT_FALSE(watch.Lost()) << "it moved a second ago";
  watch.Look(7000 + DeviceWatch::kLostMs + 1, 200, 4410);
  EXPECT_TRUE(watch.Lost());
  watch.Reset();
  EXPECT_FALSE(watch.Lost());
}

TEST(TapLane, ASlowListenerLosesItsOwnSoundAndIsToldOnce) {
  std::atomic<bool> release{false};
  std::atomic<int> heard{0};
  TapLane lane("The recording", 1000);
  lane.Post([&] {
    while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });
  // The listener is held up: sound past the budget is dropped, the other calls go through.
  for (int i = 0; i < 10; ++i) lane.Post([&] { ++heard; }, 400, 10);
  lane.Post([&] { heard += 100; });
  EXPECT_EQ(lane.LostMs(), 80u);
  EXPECT_NE(lane.TakeNotice().find("The recording could not keep up"), std::string::npos);
  EXPECT_EQ(lane.TakeNotice(), "");
  release = true;
  ASSERT_TRUE(lane.WaitIdle(5000));
  EXPECT_EQ(heard, 102);
}

TEST(TapLane, AListenerThatThrowsIsSwitchedOffUntilANewOneComes) {
  std::atomic<int> calls{0};
  TapLane lane("The songs", 1 << 20);
  lane.Post([&] { ++calls; });
  lane.Post([&] { throw std::runtime_error("disk full"); });
  ASSERT_TRUE(lane.WaitIdle(5000));
  lane.Post([&] { ++calls; });
  ASSERT_TRUE(lane.WaitIdle(5000));
  EXPECT_EQ(calls, 1);
  EXPECT_NE(lane.TakeNotice().find("disk full"), std::string::npos);
  lane.Revive();
  lane.Post([&] { ++calls; });
  ASSERT_TRUE(lane.WaitIdle(5000));
  EXPECT_EQ(calls, 2);
}
