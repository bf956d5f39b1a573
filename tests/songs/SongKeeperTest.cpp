// The song keeper on its own, fed as the player feeds it but faster than real time, with
// silent frames of an MP3 stream: the songs Record Songs keeps, the end of the program
// with a long song open, a large save beside the playing station, and what a run that
// ended unexpectedly left in the songs folder.
#include <gtest/gtest.h>

#include <windows.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "base/TextFile.h"
#include "playback/MediaReader.h"
#include "support/TestMedia.h"
#include "songs/SongKeeper.h"
#include "base/Encoding.h"
#include "support/WindowTesting.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

constexpr int kRate = 44100;
constexpr int kTicks = 1152;  // samples of an MP3 frame

// A silent MPEG-1 layer III frame at 128 or 320 kbit/s.
std::string SilentFrame(bool loud) {
  std::string frame(loud ? 1044 : 417, '\0');
  frame[0] = '\xFF', frame[1] = '\xFB', frame[2] = loud ? '\xE0' : '\x90';
  return frame;
}

playback::StreamFormat Mp3Format() {
  AVCodecParameters* p = avcodec_parameters_alloc();
  p->codec_type = AVMEDIA_TYPE_AUDIO;
  p->codec_id = AV_CODEC_ID_MP3;
  p->sample_rate = kRate;
  av_channel_layout_default(&p->ch_layout, 2);
  playback::StreamFormat format{"mp3", kRate, 2, "", {}};
  format.parameters.reset(p, [](const AVCodecParameters* q) {
    auto* owned = const_cast<AVCodecParameters*>(q);
    avcodec_parameters_free(&owned);
  });
  return format;
}

fs::path Utf8Path(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

// The files under a folder, their names in UTF-8.
std::vector<std::string> FilesUnder(const std::string& folder) {
  std::vector<std::string> files;
  for (const auto& f : fs::recursive_directory_iterator(folder))
    if (f.is_regular_file()) {
      const std::u8string name = f.path().lexically_relative(folder).u8string();
      files.emplace_back(name.begin(), name.end());
    }
  std::sort(files.begin(), files.end());
  return files;
}

class Keeper : public ::testing::Test {
 protected:
  void SetUp() override {
    radio_ = folder_ / "Songs\\Radio";
    fs::create_directories(radio_);
  }
  void TearDown() override {
    keeper_.reset();
  }
  // A keeper in the test's folder, Record Songs on or off, a stream of "Radio" connected.
  void Start(bool record, bool loud = false) {
    base::WriteTextFile(folder_ / "songs.ini", record ? "Record=1\r\n" : "Record=0\r\n");
    keeper_ = std::make_unique<songs::SongKeeper>();
    keeper_->Load(folder_.Path());
    keeper_->SetStation("Radio");
    tap_ = keeper_->Tap();
    tap_->Connected(Mp3Format(), false);
    frame_ = SilentFrame(loud);
  }
  // `seconds` of the stream; returns its bytes.
  std::uintmax_t Feed(double seconds) {
    const int frames = int(seconds * kRate / kTicks + 0.5);
    for (int i = 0; i < frames; ++i)
      tap_->Frame(reinterpret_cast<const std::uint8_t*>(frame_.data()), frame_.size(), kTicks);
    return std::uintmax_t(frames) * frame_.size();
  }
  // The largest file in the station's folder: what the keeper writes of the song under way.
  std::uintmax_t Largest() {
    std::uintmax_t most = 0;
    for (const auto& f : fs::directory_iterator(radio_)) most = std::max(most, f.is_regular_file() ? f.file_size() : 0);
    return most;
  }

  TestFolder folder_;
  std::string radio_, frame_;
  std::unique_ptr<songs::SongKeeper> keeper_;
  std::shared_ptr<playback::StreamTap> tap_;
};

// A jingle of 28 s is no song, even with the second its file reaches into each song beside
// it; Record Songs off and on again during a song goes on with the one file of it.
TEST_F(Keeper, RecordSongsKeepsEachSongOnceAndNoJingle) {
  Start(true);
  tap_->Title("Opening");
  Feed(40);
  tap_->Title("Jingle");
  Feed(28);
  tap_->Title("Artist - Song");
  Feed(15);
  ASSERT_TRUE(WaitFor([&] { return !keeper_->Written().empty(); }, 5000)) << "the opening song was not kept";
  keeper_->SetRecording(false);
  keeper_->SetRecording(true);
  Feed(35);
  tap_->Title("Cut Off");
  Feed(5);
  tap_->Ended();
  keeper_.reset();
  EXPECT_EQ(FilesUnder(radio_), (std::vector<std::string>{"Artist - Song.mp3", "incomplete\\Opening.mp3"}));
}

// The title and artist that FFmpeg reads from a file (its path in UTF-8).
std::pair<std::string, std::string> TitleAndArtist(const std::string& path) {
  AVFormatContext* file = nullptr;
  if (avformat_open_input(&file, path.c_str(), nullptr, nullptr) < 0) return {"(no file)", ""};
  const AVDictionaryEntry* title = av_dict_get(file->metadata, "title", nullptr, 0);
  const AVDictionaryEntry* artist = av_dict_get(file->metadata, "artist", nullptr, 0);
  std::pair<std::string, std::string> tags{title ? title->value : "", artist ? artist->value : ""};
  avformat_close_input(&file);
  return tags;
}

// Titles in Cyrillic, Greek and Japanese, whatever the ANSI code page: each song is named
// in its own letters and tagged with its exact text, also two titles with the same ANSI
// form ("???? - ??????").
TEST_F(Keeper, TitlesInAnyScriptNameAndTagTheirSongs) {
  const std::string kino = "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE", star = "\xD0\x97\xD0\xB2\xD0\xB5\xD0\xB7\xD0\xB4\xD0\xB0";
  const std::string songs[][2] = {{kino, star},
                                  {kino, "\xD0\x93" + star.substr(2)},
                                  {"\xCE\x9C\xCE\xAC\xCF\x81\xCE\xB9\xCE\xBF\xCF\x82", "\xCE\xA7\xCE\xB1\xCF\x81\xCE\xAC?"},
                                  {"", "\xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x8E\xB5"}};
  Start(true);
  tap_->Title("Opening");  // the songs that the stream begins and ends in are incomplete
  Feed(5);
  for (const auto& [artist, title] : songs) {
    tap_->Title(artist.empty() ? title : artist + " - " + title);
    Feed(35);
  }
  tap_->Title("End");
  Feed(1);
  tap_->Ended();
  keeper_.reset();
  for (const auto& [artist, title] : songs) {
    std::string name = (artist.empty() ? "" : artist + " - ") + title;
    std::replace(name.begin(), name.end(), '?', '_');  // no character of a file name
    EXPECT_EQ(TitleAndArtist(base::Utf8FromAnsi(radio_) + "\\" + name + ".mp3"), std::pair(title, artist)) << name;
  }
}

// Three hours of one show, open when the program ends: it ends as soon as without the show
// (within the second it may wait), and the show is kept whole, as an incomplete song.
TEST_F(Keeper, TheEndWithALongSongOpenIsQuickAndKeepsItWhole) {
  Start(true);
  tap_->Title("Opening");
  Feed(5);
  tap_->Title("Long Show");
  std::uintmax_t show = 0;
  for (int piece = 0; piece < 18; ++piece) {
    show += Feed(600);
    // As a station sends it: never more than the past keeps ahead of what is written.
    ASSERT_TRUE(WaitFor([&] { return Largest() + (4 << 20) >= show; }, 20000)) << "written: " << Largest();
  }
  const auto start = std::chrono::steady_clock::now();
  keeper_.reset();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  std::printf("the end took %lld ms\n", static_cast<long long>(ms.count()));
  EXPECT_LT(ms.count(), 1000) << "the end waited for the songs";
  ASSERT_EQ(FilesUnder(radio_), std::vector<std::string>{"incomplete\\Long Show.mp3"});
  EXPECT_GE(fs::file_size(radio_ + "\\incomplete\\Long Show.mp3"), show);
}

// Save Previous Song of a 25-minute set at 320 kbit/s (60 MB) while the station plays on:
// no frame handed over by the player waits for the copy.
TEST_F(Keeper, ASaveOfALongSongNeverHoldsUpThePlayer) {
  Start(false, true);
  tap_->Title("Long Set");
  const std::uintmax_t set = Feed(25 * 60);
  tap_->Title("Next");
  const std::uintmax_t next = Feed(10);
  EXPECT_EQ(keeper_->PastBytes(), (set + next) / frame_.size() * (frame_.size() + songs::kFrameBookkeeping))
      << "the past holds each frame, none twice, with its bookkeeping";
  keeper_->SavePreviousSong();
  double longest = 0;
  for (const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
       std::chrono::steady_clock::now() < until;) {
    const auto before = std::chrono::steady_clock::now();
    tap_->Frame(reinterpret_cast<const std::uint8_t*>(frame_.data()), frame_.size(), kTicks);
    longest = std::max(longest, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - before).count());
    Sleep(1);
  }
  std::printf("the longest a frame waited: %.1f ms\n", longest);
  EXPECT_LT(longest, 100) << "ms that a frame waited: a quarter of what the player keeps queued";
  ASSERT_TRUE(WaitFor([&] { return !keeper_->Written().empty(); }, 20000)) << keeper_->TakeFailure();
  EXPECT_GE(fs::file_size(keeper_->Written()[0]), set);
}

// What runs left: the files of one that ended are kept where they play (in "incomplete",
// under the song's name) and deleted where they do not; those of one that goes on, and
// files of other programs, stay as they are.
TEST_F(Keeper, WhatARunThatEndedLeftIsKeptAndARunThatGoesOnIsLeftAlone) {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string command = std::string("\"") + self + "\" --gtest_list_tests";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION ended{}, running{};
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                             &ended));
  ASSERT_EQ(WaitForSingleObject(ended.hProcess, 30000), WAIT_OBJECT_0);
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &si,
                             &running));
  const std::string gone = std::to_string(ended.dwProcessId), alive = std::to_string(running.dwProcessId);
  std::string frames;
  for (int i = 0; i < 40; ++i) frames += SilentFrame(false);
  const std::string oggHeaders = "OggS" + std::string(23, '\0') + "OpusHead";
  const std::pair<std::string, std::string> files[] = {
      {"~song" + gone + "-1.frames", frames},
      {"~song" + gone + "-2.frames", "\x01vorbis" + std::string(5000, 'v')},
      {"Artist - Tune.mp3.~" + gone + "-3.part", std::string("ID3\x04\0\0\0\0\0\0", 10) + frames},
      {"Empty.opus.~" + gone + "-4.part", oggHeaders},
      {"Other.mp3.~" + alive + "-1.part", frames},
      {"~song" + alive + "-2.frames", frames},
      {"Tune.mp3.part", frames},
      {"Kept.mp3", frames}};
  for (const auto& [name, bytes] : files) base::WriteTextFile(radio_ + "\\" + name, bytes);
  // A song titled in another script than the ANSI code page's.
  const std::string kino = "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE";
  std::ofstream(fs::path(radio_) / Utf8Path(kino + ".mp3.~" + gone + "-5.part"), std::ios::binary) << frames;
  Start(false);
  const auto done = [&] {
    return fs::exists(radio_ + "\\incomplete\\Artist - Tune.mp3") &&
           fs::exists(fs::path(radio_) / Utf8Path("incomplete\\" + kino + ".mp3")) &&
           !fs::exists(radio_ + "\\Empty.opus.~" + gone + "-4.part") &&
           !fs::exists(radio_ + "\\~song" + gone + "-1.frames") && !fs::exists(radio_ + "\\~song" + gone + "-2.frames");
  };
  EXPECT_TRUE(WaitFor(done, 5000)) << "the files of the run that ended are where they were";
  keeper_.reset();
  TerminateProcess(running.hProcess, 0);
  for (HANDLE h : {ended.hProcess, ended.hThread, running.hProcess, running.hThread}) CloseHandle(h);
  std::vector<std::string> left = FilesUnder(radio_);
  ASSERT_EQ(left.size(), 7u);
  EXPECT_TRUE(left[4].starts_with("incomplete\\Radio 20") && left[4].ends_with(".mp3")) << left[4];
  left.erase(left.begin() + 4);
  EXPECT_EQ(left, (std::vector<std::string>{"Kept.mp3", "Other.mp3.~" + alive + "-1.part", "Tune.mp3.part",
                                            "incomplete\\Artist - Tune.mp3", "incomplete\\" + kino + ".mp3",
                                            "~song" + alive + "-2.frames"}));
  EXPECT_EQ(fs::file_size(radio_ + "\\incomplete\\Artist - Tune.mp3"), 10 + frames.size());
}

// FFmpeg's complaints while a file is decoded whole; empty when it decodes cleanly.
std::atomic<int> complaints{0};
int DecodeComplaints(const std::string& path) {
  complaints = 0;
  av_log_set_callback([](void*, int level, const char*, va_list) {
    if (level <= AV_LOG_ERROR) ++complaints;
  });
  AVFormatContext* in = nullptr;
  int frames = 0;
  if (avformat_open_input(&in, path.c_str(), nullptr, nullptr) == 0 && avformat_find_stream_info(in, nullptr) >= 0) {
    const AVCodec* decoder = avcodec_find_decoder(in->streams[0]->codecpar->codec_id);
    AVCodecContext* codec = avcodec_alloc_context3(decoder);
    avcodec_parameters_to_context(codec, in->streams[0]->codecpar);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    for (bool more = avcodec_open2(codec, decoder, nullptr) == 0; more;) {
      more = av_read_frame(in, packet) >= 0;
      avcodec_send_packet(codec, more ? packet : nullptr);
      while (avcodec_receive_frame(codec, frame) == 0) ++frames;
      av_packet_unref(packet);
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&codec);
  }
  avformat_close_input(&in);
  av_log_set_callback(av_log_default_callback);
  return frames > 100 ? complaints.load() : -1;
}

// An Ogg station that begins a new chain for each song, at another rate, channel count and
// quality: each song is kept with its own chain's headers and decodes without a word.
TEST_F(Keeper, AChainedOggStationGivesSongsThatDecode) {
  base::WriteTextFile(folder_ / "songs.ini", "Record=1\r\n");
  keeper_ = std::make_unique<songs::SongKeeper>();
  keeper_->Load(folder_.Path());
  keeper_->SetStation("Radio");
  tap_ = keeper_->Tap();
  playback::MediaReader reader([] { return false; });
  reader.Open(MediaPath("chained.ogg"));
  tap_->Connected(reader.Format(), false);
  reader.SetFrameSink([&](const std::uint8_t* data, std::size_t size, std::int64_t ticks) { tap_->Frame(data, size, ticks); },
                      [&](const playback::StreamFormat& format) { tap_->NewFormat(format); });
  std::vector<std::int16_t> sound;
  for (std::string title; reader.Read(sound); sound.clear()) {
    if (reader.NewTitle(title)) tap_->Title(title);
    tap_->Sound(reader.SampleRate(), sound.data(), sound.size());
  }
  tap_->Ended();
  keeper_.reset();
  const std::vector<std::string> songs = {"Artist 2 - Chain 2.ogg", "incomplete\\Artist 1 - Chain 1.ogg",
                                          "incomplete\\Artist 3 - Chain 3.ogg"};
  ASSERT_EQ(FilesUnder(radio_), songs);
  for (const std::string& song : songs) EXPECT_EQ(DecodeComplaints(radio_ + "\\" + song), 0) << song;
}

}  // namespace
