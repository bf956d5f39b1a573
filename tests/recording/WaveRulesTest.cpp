// The WAVE streams over memory: the exact bytes written, the chunk walk of the reader,
// and damaged or truncated headers, which give their messages and never crash.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "recording/WaveRules.h"

using namespace recording;

namespace {

using Bytes = std::vector<std::uint8_t>;

void Add(Bytes& b, const std::string& s) {
  b.insert(b.end(), s.begin(), s.end());
}
void Add32(Bytes& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
}
std::uint32_t At32(const Bytes& b, std::size_t i) {
  return std::uint32_t(b[i]) | std::uint32_t(b[i + 1]) << 8 | std::uint32_t(b[i + 2]) << 16 |
         std::uint32_t(b[i + 3]) << 24;
}
Bytes Chunk(const std::string& id, const Bytes& body) {
  Bytes b;
  Add(b, id);
  Add32(b, std::uint32_t(body.size()));
  b.insert(b.end(), body.begin(), body.end());
  return b;
}
Bytes Pcm(std::uint32_t rate, std::uint32_t bits, std::uint32_t channels) {
  Bytes f(kPcmFormatSize);
  MakePCMFormat(f.data(), rate, bits, channels);
  return f;
}
Bytes Riff(const std::vector<Bytes>& chunks) {
  Bytes body;
  Add(body, "WAVE");
  for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
  return Chunk("RIFF", body);
}

Bytes Written(std::uint32_t rate, std::uint32_t bits, std::uint32_t channels, const Bytes& data) {
  TMemoryStream file;
  {
    TWaveStream wave(file);
    wave.SetPCMFormat(rate, bits, channels);
    wave.Open(true);
    wave.WriteBuffer(data.data(), std::int64_t(data.size()));
    wave.Finish();
  }
  return file.Bytes();
}

std::string Message(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}

TEST(WaveRules, MakePCMFormatFillsTheEighteenBytes) {
  const PcmFormat f = ReadPcmFormat(Pcm(44100, 16, 2).data());
  EXPECT_EQ(f.formatTag, 1);
  EXPECT_EQ(f.channels, 2);
  EXPECT_EQ(f.samplesPerSec, 44100u);
  EXPECT_EQ(f.avgBytesPerSec, 176400u);
  EXPECT_EQ(f.blockAlign, 4);
  EXPECT_EQ(f.bitsPerSample, 16);
  EXPECT_EQ(f.extraSize, 0);
  EXPECT_EQ(ReadPcmFormat(Pcm(96000, 32, 2).data()).avgBytesPerSec, 768000u);
  EXPECT_EQ(ReadPcmFormat(Pcm(8000, 8, 1).data()).blockAlign, 1);
}

TEST(WaveRules, AnEmptyRecordingIsTheFortySixByteHeader) {
  Bytes expected;
  Add(expected, "RIFF");
  Add32(expected, 38);
  Add(expected, "WAVEfmt ");
  Add32(expected, 18);
  const Bytes fmt = Pcm(44100, 16, 2);
  expected.insert(expected.end(), fmt.begin(), fmt.end());
  Add(expected, "data");
  Add32(expected, 0);
  EXPECT_EQ(Written(44100, 16, 2, {}), expected);
}

TEST(WaveRules, AnOddDataSizeGetsNoPadByte) {
  Bytes data(1001);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = std::uint8_t(i * 7);
  const Bytes file = Written(8000, 8, 1, data);
  ASSERT_EQ(file.size(), 1047u);
  EXPECT_EQ(At32(file, 4), 1039u);
  EXPECT_EQ(At32(file, 42), 1001u);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), file.begin() + 46));
}

TEST(WaveRules, RefreshedSizesDescribeTheDataWrittenSoFarOnTheDisk) {
  struct Disk : TMemoryStream {
    int flushes = 0;
    void Flush() override { ++flushes; }
  } file;
  TWaveStream wave(file);
  wave.SetPCMFormat(8000, 8, 1);
  wave.Open(true);
  EXPECT_EQ(At32(file.Bytes(), 4), 38u) << "a fresh header already describes an empty file";
  const Bytes data(300, 0x55);
  wave.WriteBuffer(data.data(), 300);
  EXPECT_EQ(At32(file.Bytes(), 42), 0u);
  wave.RefreshSizes();
  EXPECT_EQ(At32(file.Bytes(), 4), 338u);
  EXPECT_EQ(At32(file.Bytes(), 42), 300u);
  EXPECT_EQ(file.flushes, 1) << "the sizes reach the disk, not only the system's cache";
  wave.WriteBuffer(data.data(), 100);  // the data goes on where it was, not after the header
  EXPECT_EQ(file.Bytes().size(), 446u);
  wave.Finish();
  EXPECT_EQ(At32(file.Bytes(), 42), 400u);
}

TEST(WaveRules, TheDataLimitKeepsTheRiffSizeInThirtyTwoBits) {
  TMemoryStream file;
  TWaveStream wave(file);
  wave.SetPCMFormat(44100, 16, 2);
  wave.Open(true);
  // The whole file within 2^32 - 1 bytes, the most that FAT32 holds (and the RIFF size
  // 38 + data within 32 bits), in whole frames of 4 bytes.
  EXPECT_EQ(wave.DataLimit(4), 4294967248ll);
  EXPECT_EQ(wave.DataLimit(1), 4294967249ll);
  EXPECT_EQ(46 + wave.DataLimit(1), 0xFFFFFFFFll);
}

TEST(WaveRules, ANeverOpenedStreamWritesNothingAndRefusesData) {
  TMemoryStream file;
  {
    TWaveStream wave(file);
    std::uint8_t b[4] = {};
    EXPECT_EQ(wave.Read(b, 4), 0) << "an unopened stream has no data";
    EXPECT_EQ(Message([&] { wave.WriteBuffer(b, 4); }), "Stream not opend");
  }
  EXPECT_TRUE(file.Bytes().empty());
}

TEST(WaveRules, OpeningTwiceOrWithoutAFormatIsRefused) {
  TMemoryStream file;
  TWaveStream wave(file);
  EXPECT_EQ(Message([&] { wave.OpenWrite(); }), "Format is invalid");
  wave.SetPCMFormat(8000, 8, 1);
  wave.OpenWrite();
  EXPECT_EQ(Message([&] { wave.OpenWrite(); }), "Stream has already been opened");
  EXPECT_EQ(Message([&] { wave.OpenRead(); }), "Stream has already been opened");
}

TEST(WaveRules, TheReaderFindsWhatTheWriterWrote) {
  Bytes data(1001);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = std::uint8_t(i);
  TMemoryStream file(Written(22050, 8, 1, data));
  TWaveStream wave(file);
  wave.OpenRead();
  EXPECT_EQ(wave.GetDataSize(), 1001);
  EXPECT_EQ(wave.GetFormatSize(), 18);
  EXPECT_EQ(ReadPcmFormat(wave.GetFormat()).samplesPerSec, 22050u);
  Bytes back(2000);
  EXPECT_EQ(wave.Read(back.data(), 2000), 1001) << "a read stops at the end of the data";
  back.resize(1001);
  EXPECT_EQ(back, data);
  // Seeks are clamped to the data.
  EXPECT_EQ(wave.Seek(0, soEnd), 1001);
  EXPECT_EQ(wave.Seek(-5000, soCurrent), 0);
  EXPECT_EQ(wave.Seek(990, soBeginning), 990);
  EXPECT_EQ(wave.Read(back.data(), 100), 11);
  // Writing into a file being read stays inside its data chunk.
  wave.Seek(1000, soBeginning);
  const Bytes more(50, 0xEE);
  EXPECT_EQ(wave.Write(more.data(), 50), 1);
  EXPECT_EQ(file.GetSize(), 1047);
}

TEST(WaveRules, TheChunkWalkSkipsOtherChunksAndTakesTheLaterFormat) {
  Bytes data{1, 2, 3, 4, 5, 6};
  TMemoryStream file(Riff({Chunk("fmt ", Pcm(8000, 8, 1)), Chunk("LIST", Bytes(13, 'x')),
                           Chunk("fmt ", Pcm(48000, 16, 2)), Chunk("data", data), Chunk("junk", Bytes(3, 0))}));
  TWaveStream wave(file);
  wave.OpenRead();
  EXPECT_EQ(ReadPcmFormat(wave.GetFormat()).samplesPerSec, 48000u);
  EXPECT_EQ(ReadPcmFormat(wave.GetFormat()).channels, 2);
  ASSERT_EQ(wave.GetDataSize(), 6);
  Bytes back(6);
  // The odd-sized LIST chunk gets no pad byte skipped: the data is found exactly.
  EXPECT_EQ(wave.Read(back.data(), 6), 6);
  EXPECT_EQ(back, data);
}

TEST(WaveRules, AFileWithoutDataOpensEmpty) {
  TMemoryStream file(Riff({Chunk("fmt ", Pcm(8000, 8, 1))}));
  TWaveStream wave(file);
  wave.OpenRead();
  EXPECT_EQ(wave.GetDataSize(), 0);
}

TEST(WaveRules, ADataSizeBeyondTheEndDescribesOnlyWhatIsThere) {
  // A writer that died: the header promises more than the file holds.
  Bytes file = Riff({Chunk("fmt ", Pcm(8000, 8, 1)), Chunk("data", Bytes(100, 9))});
  file[42] = 0x00;
  file[43] = 0x10;  // data size 4096
  TMemoryStream stream(file);
  TWaveStream wave(stream);
  wave.OpenRead();
  EXPECT_EQ(wave.GetDataSize(), 100);
}

struct Damaged {
  const char* what;
  Bytes bytes;
  const char* message;
};

TEST(WaveRules, DamagedAndTruncatedHeadersGiveTheirMessages) {
  Bytes good = Riff({Chunk("fmt ", Pcm(8000, 8, 1)), Chunk("data", Bytes(10, 1))});
  Bytes notWave = good;
  notWave[8] = 'X';
  Bytes notRiff = good;
  notRiff[0] = 'r';
  Bytes hugeFmt = good;
  hugeFmt[16] = 0xF0;
  hugeFmt[17] = 0xFF;
  hugeFmt[18] = 0xFF;
  hugeFmt[19] = 0xFF;
  const std::vector<Damaged> cases = {
      {"empty", {}, "Stream read error"},
      {"eleven bytes", Bytes(good.begin(), good.begin() + 11), "Stream read error"},
      {"not WAVE", notWave, "Wave is invalid"},
      {"not RIFF", notRiff, "Wave is invalid"},
      {"fmt cut short", Bytes(good.begin(), good.begin() + 30), "Stream read error"},
      {"fmt size of 4 GB", hugeFmt, "Stream read error"},
      {"header only", Bytes(good.begin(), good.begin() + 12), ""},
      {"chunk header cut short", Bytes(good.begin(), good.begin() + 16), ""},
      {"data chunk cut short", Bytes(good.begin(), good.begin() + 50), ""},
  };
  for (const Damaged& c : cases) {
    TMemoryStream file(c.bytes);
    TWaveStream wave(file);
    EXPECT_EQ(Message([&] { wave.OpenRead(); }), c.message) << c.what;
    Bytes back(64);
    if (*c.message == '\0') {
      // What the file holds after the 46-byte header, and no more.
      EXPECT_EQ(wave.Read(back.data(), 64), std::max<std::int64_t>(0, std::int64_t(c.bytes.size()) - 46)) << c.what;
    }
  }
}

// A file of 3 GB (a long recording) whose format chunk claims 2 GB or more: the claim fits
// the file, but no format block is that large.
TEST(WaveRules, AFormatChunkOfGigabytesIsRefusedInAFileThatLarge) {
  struct Large : TMemoryStream {
    using TMemoryStream::TMemoryStream;
    std::int64_t GetSize() override { return 3ll << 30; }
  };
  for (const std::uint32_t claimed : {0x80000000u, 0xA0000000u, 0x10012u}) {
    Bytes header = Riff({});
    Add(header, "fmt ");
    Add32(header, claimed);
    Large file(header);
    TWaveStream wave(file);
    EXPECT_EQ(Message([&] { wave.OpenRead(); }), "Wave is invalid") << claimed;
  }
}

// Every cut of a valid file, and every single damaged byte of its header, opens or is
// refused with a message, and never crashes (the sanitizers watch). A file that opens
// has its data inside the file, and a read hands out that data and no more.
TEST(WaveRules, NoCutOrDamagedHeaderByteCrashesTheReader) {
  const Bytes good = Riff({Chunk("fmt ", Pcm(8000, 8, 1)), Chunk("LIST", Bytes(5, 'i')), Chunk("data", Bytes(20, 1))});
  const auto check = [](const Bytes& bytes, const std::string& what) {
    TMemoryStream file(bytes);
    TWaveStream wave(file);
    if (!Message([&] { wave.OpenRead(); }).empty()) return;
    const std::int64_t size = wave.GetDataSize();
    EXPECT_LE(wave.DataOffset() + size, std::int64_t(bytes.size())) << what;
    Bytes back(64, 0xEE);
    const std::int64_t n = wave.Read(back.data(), 64);
    ASSERT_EQ(n, std::min<std::int64_t>(64, size)) << what;
    EXPECT_TRUE(std::equal(back.begin(), back.begin() + n, bytes.begin() + wave.DataOffset())) << what;
  };
  for (std::size_t cut = 0; cut <= good.size(); ++cut)
    check(Bytes(good.begin(), good.begin() + std::ptrdiff_t(cut)), "cut at " + std::to_string(cut));
  for (std::size_t at = 0; at < 70; ++at)
    for (std::uint8_t v : {0x00, 0x7F, 0xFF}) {
      Bytes bad = good;
      bad[at] = v;
      check(bad, "byte " + std::to_string(at) + " = " + std::to_string(v));
    }
}

TEST(WaveRules, CopyFromMovesWholeBlocksAndFailsOnAShortSource) {
  TMemoryStream source(Bytes(100000, 3));
  TMemoryStream file;
  TWaveStream wave(file);
  wave.SetPCMFormat(8000, 8, 1);
  wave.Open(true);
  source.SetPosition(0);
  EXPECT_EQ(wave.CopyFrom(source, 70000), 70000);
  EXPECT_EQ(wave.GetDataSize(), 70000);
  EXPECT_EQ(Message([&] { wave.CopyFrom(source, 40000); }), "Stream read error");
}

}  // namespace
