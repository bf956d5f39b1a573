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
std::string Feed(const std::string& stream, FrameSync& sync) {
  std::string out;
  for (std::size_t at = 0, piece = 1; at < stream.size(); at += piece, piece = piece % 13 + 1) {
    sync.Push(stream.data() + at, std::min(piece, stream.size() - at));
    sync.Pull(out);
  }
  sync.End();
  sync.Pull(out);
  return out;
}

// An MPEG-1 layer III frame at 48 kHz and 128 kb/s (384 bytes, joint stereo). Its sound
// data holds a layer I header at byte 5 that is itself 384 bytes long, as the frames of
// a steady tone can: the same false header in every frame makes a chain of false frames.
std::string Mp3Frame(unsigned seed) {
  std::string f(384, '\0');
  f.replace(0, 4, "\xFF\xFB\x94\x64");
  std::mt19937 random(seed);
  for (std::size_t i = 4; i < f.size(); ++i) f[i] = char(random());
  f.replace(5, 4, std::string("\xFF\xFF\xC4\x00", 4));  // MPEG-1 layer I, 384 kb/s, 48 kHz
  return f;
}

std::vector<std::string> Mp3Frames(int n) {
  std::vector<std::string> frames;
  for (int i = 0; i < n; ++i) frames.push_back(Mp3Frame(unsigned(i)));
  return frames;
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
  EXPECT_FALSE(sync.Found());
  EXPECT_GE(sync.Dropped(), noise.size() - 64 * 1024);
}

TEST(FrameSync, ReadsMp3HeadersAndTags) {
  struct Case {
    const char* header;
    std::size_t length;  // 0: no layer III header
    int sampleRate;
  };
  const Case cases[] = {
      {"\xFF\xFB\x94\x64", 384, 48000},                                    // MPEG-1, 128 kb/s
      {"\xFF\xFB\x90\x64", 417, 44100}, {"\xFF\xFB\x92\x64", 418, 44100},  // padded
      {"\xFF\xFA\x90\xC4", 417, 44100},                                    // with CRC, mono
      {"\xFF\xF3\x80\x64", 208, 22050},                                    // MPEG-2, 64 kb/s
      {"\xFF\xE3\x40\x64", 208, 11025},                                    // MPEG-2.5, 32 kb/s
      {"\xFF\xFF\xC4\x00", 0, 0},                                          // layer I
      {"\xFF\xFD\x94\x64", 0, 0},                                          // layer II
      {"\xFF\xFB\x04\x64", 0, 0},                                          // free format
      {"\xFF\xFB\xF4\x64", 0, 0},                                          // bit rate 15
      {"\xFF\xFB\x9C\x64", 0, 0},                                          // sample rate 3
      {"\xFF\xEB\x94\x64", 0, 0},                                          // version 1 (reserved)
      {"\xFF\xFB\x94\x66", 0, 0},                                          // emphasis 2 (reserved)
      {"\xFE\xFB\x94\x64", 0, 0},                                          // no sync word
  };
  for (const Case& c : cases) {
    Mp3Header h;
    const bool ok = ParseMp3Header(reinterpret_cast<const unsigned char*>(c.header), h);
    EXPECT_EQ(ok, c.length > 0) << testing::PrintToString(std::string(c.header, 4));
    if (!ok || c.length == 0) continue;
    EXPECT_EQ(h.length, c.length);
    EXPECT_EQ(h.sampleRate, c.sampleRate);
  }
  const std::pair<std::string, std::size_t> tags[] = {
      {std::string("ID3\x04\x00\x00\x00\x00\x00\x23", 10), 45},
      {std::string("ID3\x03\x00\x10\x00\x00\x01\x01", 10), 149},  // with a footer
      {std::string("ID3\x04\x00\x00\x00\x00\x80\x23", 10), 0},    // a size byte over 0x7F
      {std::string("ID3\x04\x00\x00\x7F\x7F\x7F\x7F", 10), 0},    // 256 MB: not taken for a tag
      {std::string("ID2\x04\x00\x00\x00\x00\x00\x23", 10), 0},
  };
  for (const auto& [tag, length] : tags)
    EXPECT_EQ(Id3v2TagLength(reinterpret_cast<const unsigned char*>(tag.data())), length) << tag;
}

// An MP3 stream joined anywhere, also inside the tag at its start, gives the real layer III
// frames that follow: neither the false layer I chain in the sound data nor fake frames
// inside the tag (a picture may hold anything).
TEST(FrameSync, AnMp3StreamJoinedAnywhereGivesItsOwnFrames) {
  const std::vector<std::string> frames = Mp3Frames(12);
  const std::string fake = Join(Mp3Frames(4));
  std::string tag = std::string("ID3\x04\x00\x00\x00\x00", 8);
  tag += char((fake.size() + 20) >> 7);
  tag += char((fake.size() + 20) & 0x7F);
  tag += std::string(10, 'x') + fake + std::string(10, 'y');
  const std::string stream = tag + Join(frames);
  for (std::size_t cut = 0; cut < tag.size() + frames[0].size() + frames[1].size() + 1; ++cut) {
    FrameSync sync(FrameFormat::Mp3);
    const std::string out = Feed(stream.substr(cut), sync);
    // Joined inside the tag, its fake frames are a stream of their own until the real
    // ones follow: what counts is that every real frame after the cut comes out whole.
    const std::size_t at = cut <= tag.size() ? 0 : cut - tag.size();
    const std::size_t next = at == 0 ? 0 : at <= frames[0].size() ? 1 : 2;
    const std::string expected = Join(frames, next);
    EXPECT_TRUE(sync.Found());
    if (cut == 0) {
      EXPECT_TRUE(out == expected) << "the tag is passed over whole: " << out.size() << " bytes";
      EXPECT_EQ(sync.Dropped(), 0u) << "a tag is no damage";
    } else {
      EXPECT_TRUE(out.size() >= expected.size() &&
                  out.compare(out.size() - expected.size(), expected.size(), expected) == 0)
          << "cut at " << cut << ": " << out.size() << " bytes";
      EXPECT_EQ(out.size() % 384, 0u) << "cut at " << cut << ": whole frames only";
    }
  }
}
