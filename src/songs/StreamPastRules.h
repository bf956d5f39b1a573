// The past of the station that plays: its last half hour of frames as they arrived (at
// most 64 MB), the loudness of its sound in 20 ms blocks, and its songs, each cut from
// the next at the quietest moment within 3 s of the title change, since stations change
// titles a few seconds early or late; among moments equally quiet (within 1 dB) the one
// nearest the title change. One past per stream: a new station or a new start
// begins a new one. Within it, each stretch in one format is a segment of its own (a new
// Ogg chain brings new headers; a connection again may bring another rate): a cut within
// the window of a segment's start is made there, and no file holds two segments.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "playback/StreamTap.h"

namespace songs {

constexpr double kKeepSeconds = 30 * 60;
constexpr std::size_t kKeepBytes = 64u << 20;
constexpr double kCutWindowSeconds = 3;
constexpr double kBlockSeconds = 0.02;
// Each song's file reaches this far into the songs on either side.
constexpr double kOverlapSeconds = 1;
// What a frame kept costs beside its bytes: its record in the past and the allocation
// that holds its bytes. A stream of tiny packets must not take the memory unseen.
constexpr std::size_t kFrameBookkeeping = 64;

struct Frame {
  long long index;  // counts from the stream's first frame
  double at;        // seconds since the stream's first frame
  double seconds;
  std::string bytes;
};

// A stretch of the stream in one format, from its first frame on.
struct Segment {
  long long first;  // the index of its first frame
  double at;        // when it began
  playback::StreamFormat format;
};

struct Song {
  long long id = 0;
  std::string title;      // empty: the station named none
  double titleAt = 0;     // when the station announced it
  double begin = -1;      // the cut from the song before; below 0 while undecided
  double end = -1;        // the cut to the song after; below 0 while it plays
  bool joined = false;    // it was under way when the stream began
  bool cutOff = false;    // the stream ended during it
  int gaps = 0;           // drops that were bridged during it
  bool Begun() const { return begin >= 0; }
  bool Ended() const { return end >= 0; }
};

// How much of the song itself a file that covers [from, to) of the stream holds: the
// overlap into the songs on either side does not count.
double SongSecondsIn(const Song& song, double from, double to);

class StreamPast {
 public:
  StreamPast(playback::StreamFormat format, std::string station, double keepSeconds = kKeepSeconds,
             std::size_t keepBytes = kKeepBytes);

  void AddFrame(const std::uint8_t* data, std::size_t size, std::int64_t ticks);
  void AddSound(int rate, const std::int16_t* samples, std::size_t count);
  void AddTitle(const std::string& title);
  // A drop was bridged: the song under way notes a gap.
  void Resumed();
  // The frames from here on are in another format (new headers, rate or channels).
  void NewSegment(playback::StreamFormat format);
  // Whether frames in format `b` may follow frames in format `a` in one file.
  static bool SameFormat(const playback::StreamFormat& a, const playback::StreamFormat& b);
  // The stream is over: the song under way is cut off where it stopped.
  void End();

  // The format of the frames that come now, and that of the frame at `index`.
  const playback::StreamFormat& Format() const { return segments_.back().format; }
  const Segment& SegmentOf(long long index) const;
  // The index of the first frame after the segment of the frame at `index`; NextIndex()
  // while that segment goes on.
  long long SegmentEnd(long long index) const;
  // The first frame at or after `first`, and before `before`, that a file may begin
  // with so that it decodes alone; failing that, the earliest frame of the segment that
  // `first` needs (MP3's bit reservoir reaches back at most 511 bytes); else `first`.
  long long DecodableFrom(long long first, long long before) const;
  const std::string& Station() const { return station_; }
  bool Live() const { return live_; }
  bool TitlesSent() const { return !songs_.empty(); }
  // The end of the last frame, and the start of the oldest kept, in seconds.
  double Now() const { return now_; }
  double Oldest() const { return frames_.empty() ? now_ : frames_.front().at; }
  // The bytes of the frames kept with their bookkeeping (kFrameBookkeeping each).
  std::size_t BytesKept() const { return bytes_; }
  const std::deque<Song>& Songs() const { return songs_; }
  const Song* FindSong(long long id) const;
  // How far the song's frames may be taken now: the end of its file once it is cut from
  // the next, else no further than any later cut could still leave it.
  double TakeUntil(const Song& song) const;
  // The index of the first frame kept that starts at or after `at`.
  long long IndexAt(double at) const;
  long long NextIndex() const { return nextIndex_; }
  // Copies of the frames kept from index `from` on that start before `before`, at most
  // `most` bytes of them (but at least one frame), within the segment of the first: the
  // caller holds the lock that the player waits for while it copies, so a large stretch
  // is taken a piece at a time.
  std::vector<Frame> FramesFrom(long long from, double before, std::size_t most = SIZE_MAX) const;

 private:
  struct Block {
    double at;
    float power;
  };
  // Cuts the songs whose title changed long enough ago to see both sides of the change.
  void Decide(bool all);
  double Cut(double titleAt, double after) const;
  void Trim();
  std::deque<Frame>::const_iterator FrameAt(long long index) const;

  std::deque<Segment> segments_;
  std::string station_;
  double keepSeconds_;
  std::size_t keepBytes_;
  std::deque<Frame> frames_;
  std::size_t bytes_ = 0;
  long long nextIndex_ = 0;
  double now_ = 0;
  std::deque<Block> blocks_;
  double soundAt_ = 0;  // where the next block of sound starts
  double blockPower_ = 0;
  int blockFrames_ = 0;
  std::deque<Song> songs_;
  long long nextSong_ = 1;
  bool live_ = true;
};

}  // namespace songs
