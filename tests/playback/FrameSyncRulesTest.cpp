#include "playback/FrameSyncRules.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace playback;

namespace {

// An ADTS frame without CRC: AAC-LC, rate index 4 (44.1 kHz), stereo unless told.
std::string Frame(std::size_t length, unsigned seed, int rateIndex = 4) {
  std::string f(length, '\0');
  f[0] = char(0xFF);
  f[1] = char(0xF1);
  f[2] = char((1 << 6) | (rateIndex << 2));
  f[3] = char((2 << 6) | ((length >> 11) & 0x03));
  f[4] = char((length >> 3) & 0xFF);
  f[5] = char(((length & 0x07) << 5) | 0x1F);
  f[6] = char(0xFC);
  std::mt19937 random(seed);
  for (std::size_t i = 7; i < length; ++i) f[i] = char(random());
  // A sync word with a plausible length inside the payload, as sound data may hold.
  if (length > 40) f.replace(20, 7, std::string("\xFF\xF1\x50\x80\x7F\xFF\xFC", 7));
  return f;
}

std::vector<std::string> Frames(int n, int rateIndex = 4) {
  std::vector<std::string> frames;
  for (int i = 0; i < n; ++i) frames.push_back(Frame(200 + std::size_t(i * 37 % 150), unsigned(i), rateIndex));
  return frames;
}

std::string Join(const std::vector<std::string>& frames, std::size_t from = 0, std::size_t to = SIZE_MAX) {
  std::string s;
  for (std::size_t i = from; i < frames.size() && i < to; ++i) s += frames[i];
  return s;
}

// Feeds the stream in pieces of varying size, as a network hands it over.
std::string Feed(const std::string& stream, AdtsSync& sync) {
  std::string out;
  for (std::size_t at = 0, piece = 1; at < stream.size(); at += piece, piece = piece % 13 + 1) {
    sync.Push(stream.data() + at, std::min(piece, stream.size() - at));
    sync.Pull(out);
  }
  sync.End();
  sync.Pull(out);
  return out;
}

}  // namespace

TEST(FrameSync, ReadsHeadersAndRefusesWhatIsNoHeader) {
  AdtsHeader h;
  const std::string f = Frame(371, 1, 3);
  ASSERT_TRUE(ParseAdtsHeader(reinterpret_cast<const unsigned char*>(f.data()), h));
  EXPECT_EQ(h.length, 371u);
  EXPECT_EQ(h.rateIndex, 3);
  EXPECT_EQ(h.channels, 2);
  EXPECT_EQ(h.profile, 1);
  const char* bad[] = {"\xFF\xF7\x50\x80\x2E\x7F\xFC",   // layer not 0
                       "\xFF\xF1\x7C\x80\x2E\x7F\xFC",   // reserved rate index 15
                       "\xFF\xF1\x50\x80\x00\xDF\xFC",   // length 6: shorter than the header
                       "\xFF\xF0\x50\x80\x01\x1F\xFC",   // length 8 but a CRC needs 9
                       "\xFE\xF1\x50\x80\x2E\x7F\xFC"};  // no sync word
  for (const char* b : bad) EXPECT_FALSE(ParseAdtsHeader(reinterpret_cast<const unsigned char*>(b), h)) << b;
}

TEST(FrameSync, JoinedAtAnyByteGivesTheWholeFramesThatFollow) {
  const std::vector<std::string> frames = Frames(12);
  const std::string stream = Join(frames);
  for (std::size_t cut = 0; cut < frames[0].size() + frames[1].size() + 1; ++cut) {
    AdtsSync sync;
    const std::string out = Feed(stream.substr(cut), sync);
    const std::size_t next = cut == 0 ? 0 : cut <= frames[0].size() ? 1 : 2;
    EXPECT_TRUE(out == Join(frames, next)) << "cut at " << cut << ": " << out.size() << " bytes";
  }
}

TEST(FrameSync, DamageCostsTheFramesItTouchesAndNoMore) {
  const std::vector<std::string> frames = Frames(16);
  std::string noise = Frame(3000, 99);  // a plausible header that claims 3000 bytes
  noise.resize(500);
  struct Case {
    const char* what;
    std::string stream;
    std::string expected;
  };
  const Case cases[] = {
      {"a false header between frames", Join(frames, 0, 6) + noise + Join(frames, 6), Join(frames)},
      // The frame before plain noise cannot be confirmed by a following header.
      {"noise between frames", Join(frames, 0, 6) + noise.substr(7) + Join(frames, 6),
       Join(frames, 0, 5) + Join(frames, 6)},
      {"a frame's middle lost", Join(frames, 0, 6) + frames[6].substr(0, 50) + Join(frames, 7),
       Join(frames, 0, 6) + Join(frames, 7)},
      {"a header overwritten", Join(frames, 0, 6) + std::string(7, '\0') + frames[6].substr(7) + Join(frames, 7),
       Join(frames, 0, 5) + Join(frames, 7)},
      {"the rate changes (another feed spliced in)", Join(frames, 0, 8) + Join(Frames(6, 3)),
       Join(frames, 0, 7) + Join(Frames(6, 3))},
  };
  for (const Case& c : cases) {
    AdtsSync sync;
    const std::string out = Feed(c.stream, sync);
    EXPECT_TRUE(out == c.expected) << c.what << ": " << out.size() << " bytes, not " << c.expected.size();
    EXPECT_GE(sync.Losses(), 1) << c.what;
  }
}

TEST(FrameSync, NoiseAloneGivesNothingAndIsNotHeld) {
  std::mt19937 random(7);
  std::string noise(200000, '\0');
  for (char& c : noise) c = char(random() % 5 == 0 ? 0xFF : random());
  AdtsSync sync;
  EXPECT_EQ(Feed(noise, sync), "");
  EXPECT_FALSE(sync.Locked());
  EXPECT_GE(sync.Dropped(), noise.size() - 64 * 1024);
}
