#include "songs/StreamPastRules.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "songs/FrameStartRules.h"

namespace songs {

StreamPast::StreamPast(playback::StreamFormat format, std::string station, double keepSeconds, std::size_t keepBytes)
    : segments_{{0, 0, std::move(format)}},
      station_(std::move(station)),
      keepSeconds_(keepSeconds),
      keepBytes_(keepBytes) {}

void StreamPast::AddFrame(const std::uint8_t* data, std::size_t size, std::int64_t ticks) {
  if (!live_) return;
  const int rate = Format().sampleRate;
  const double seconds = rate > 0 ? double(ticks) / rate : 0.0;
  frames_.push_back({nextIndex_++, now_, seconds, std::string(reinterpret_cast<const char*>(data), size)});
  bytes_ += size + kFrameBookkeeping;
  now_ += seconds;
  Trim();
  Decide(false);
}

void StreamPast::AddSound(int rate, const std::int16_t* samples, std::size_t count) {
  if (!live_ || rate <= 0) return;
  const int perBlock = std::max(1, int(rate * kBlockSeconds));
  for (std::size_t i = 0; i + 1 < count; i += 2) {
    const double l = samples[i], r = samples[i + 1];
    blockPower_ += (l * l + r * r) / 2;
    if (++blockFrames_ < perBlock) continue;
    blocks_.push_back({soundAt_, float(blockPower_ / perBlock)});
    soundAt_ += double(perBlock) / rate;
    blockPower_ = 0;
    blockFrames_ = 0;
  }
}

void StreamPast::AddTitle(const std::string& title) {
  if (!live_) return;
  // A station repeats its title after a reconnection: the same song goes on.
  if (!songs_.empty() && songs_.back().title == title) return;
  Song song;
  song.id = nextSong_++;
  song.title = title;
  song.titleAt = now_;
  if (songs_.empty()) {
    // The first title names the song that was playing when the stream began.
    song.joined = true;
    song.begin = Oldest();
  }
  songs_.push_back(song);
}

void StreamPast::Resumed() {
  if (!live_) return;
  if (!songs_.empty() && !songs_.back().Ended()) ++songs_.back().gaps;
  // The sound of the new connection starts where its frames do.
  soundAt_ = now_;
  blockPower_ = 0;
  blockFrames_ = 0;
}

bool StreamPast::SameFormat(const playback::StreamFormat& a, const playback::StreamFormat& b) {
  return a.codec == b.codec && a.sampleRate == b.sampleRate && a.channels == b.channels && a.headers == b.headers;
}

void StreamPast::NewSegment(playback::StreamFormat format) {
  if (!live_) return;
  if (segments_.back().first == nextIndex_)
    segments_.back().format = std::move(format);  // no frame came in the format before
  else
    segments_.push_back({nextIndex_, now_, std::move(format)});
  // The sound in the new format starts where its frames do.
  soundAt_ = now_;
  blockPower_ = 0;
  blockFrames_ = 0;
}

const Segment& StreamPast::SegmentOf(long long index) const {
  const auto it = std::upper_bound(segments_.begin(), segments_.end(), index, [](long long i, const Segment& s) {
    return i < s.first;
  });
  return it == segments_.begin() ? segments_.front() : *std::prev(it);
}

long long StreamPast::SegmentEnd(long long index) const {
  const auto it = std::upper_bound(segments_.begin(), segments_.end(), index, [](long long i, const Segment& s) {
    return i < s.first;
  });
  return it == segments_.end() ? nextIndex_ : it->first;
}

std::deque<Frame>::const_iterator StreamPast::FrameAt(long long index) const {
  if (frames_.empty() || index < frames_.front().index || index >= nextIndex_) return frames_.end();
  return frames_.begin() + std::ptrdiff_t(index - frames_.front().index);
}

long long StreamPast::DecodableFrom(long long first, long long before) const {
  const auto start = FrameAt(first);
  if (start == frames_.end() || !FramesLeanOnEarlier(SegmentOf(first).format.codec)) return first;
  const long long end = std::min(before, SegmentEnd(first));
  for (auto it = start; it != frames_.end() && it->index < end; ++it)
    if (Mp3ReservoirReach(it->bytes) == 0) return it->index;
  // None begins its own sound: the frames before that hold what the first one needs.
  const long long segmentFirst = SegmentOf(first).first;
  long long need = Mp3ReservoirReach(start->bytes);
  for (auto it = start; need > 0 && it != frames_.begin() && std::prev(it)->index >= segmentFirst;) {
    --it;
    need -= Mp3MainDataBytes(it->bytes);
    if (need <= 0) return it->index;
  }
  return first;
}

void StreamPast::End() {
  if (!live_) return;
  Decide(true);
  if (!songs_.empty() && !songs_.back().Ended()) {
    songs_.back().end = now_;
    songs_.back().cutOff = true;
  }
  live_ = false;
}

double SongSecondsIn(const Song& song, double from, double to) {
  if (song.Begun()) from = std::max(from, song.begin);
  if (song.Ended()) to = std::min(to, song.end);
  return std::max(0.0, to - from);
}

const Song* StreamPast::FindSong(long long id) const {
  for (const Song& s : songs_)
    if (s.id == id) return &s;
  return nullptr;
}

long long StreamPast::IndexAt(double at) const {
  const auto it = std::lower_bound(frames_.begin(), frames_.end(), at, [](const Frame& f, double t) {
    return f.at < t;
  });
  return it == frames_.end() ? nextIndex_ : it->index;
}

std::vector<Frame> StreamPast::FramesFrom(long long from, double before, std::size_t most) const {
  std::vector<Frame> out;
  if (frames_.empty()) return out;
  const long long first = frames_.front().index;
  const long long end = SegmentEnd(std::max(from, first));
  std::size_t bytes = 0;
  for (auto i = std::size_t(std::max(from, first) - first); i < frames_.size(); ++i) {
    const Frame& f = frames_[i];
    if (f.at >= before || f.index >= end || (!out.empty() && bytes + f.bytes.size() > most)) break;
    bytes += f.bytes.size();
    out.push_back(f);
  }
  return out;
}

double StreamPast::TakeUntil(const Song& song) const {
  if (song.Ended()) return song.end + kOverlapSeconds;
  // The next title, or one that may come now, can cut up to the window before it.
  double horizon = now_;
  for (const Song& s : songs_)
    if (s.id > song.id) {
      horizon = s.titleAt;
      break;
    }
  return horizon - kCutWindowSeconds + kOverlapSeconds;
}

double StreamPast::Cut(double titleAt, double after) const {
  // A new segment near the title change is where the song changes (a new Ogg chain for
  // each song), and no file may reach across it.
  double boundary = -1;
  for (auto s = std::next(segments_.begin()); s != segments_.end(); ++s)
    if (s->at > after && std::abs(s->at - titleAt) <= kCutWindowSeconds &&
        (boundary < 0 || std::abs(s->at - titleAt) < std::abs(boundary - titleAt)))
      boundary = s->at;
  if (boundary >= 0) return boundary;
  const auto inWindow = [&](const Block& b) {
    return b.at >= titleAt - kCutWindowSeconds && b.at > after && b.at <= titleAt + kCutWindowSeconds;
  };
  double quietest = std::numeric_limits<double>::max();
  for (const Block& b : blocks_)
    if (inWindow(b)) quietest = std::min<double>(quietest, b.power);
  // A steady sound is equally loud everywhere: its cut stays at the title change.
  constexpr double kOneDecibel = 1.2589;
  double best = titleAt;
  bool found = false;
  for (const Block& b : blocks_) {
    const double mid = b.at + kBlockSeconds / 2;
    if (!inWindow(b) || b.power > quietest * kOneDecibel + 1) continue;
    if (!found || std::abs(mid - titleAt) < std::abs(best - titleAt)) best = mid;
    found = true;
  }
  // To the nearest frame boundary: a file holds whole frames.
  double cut = std::max(best, after);
  const auto it = std::lower_bound(frames_.begin(), frames_.end(), cut, [](const Frame& f, double t) {
    return f.at < t;
  });
  if (it == frames_.end()) return now_;
  if (it != frames_.begin() && cut - std::prev(it)->at < it->at - cut && std::prev(it)->at > after)
    return std::prev(it)->at;
  return it->at;
}

void StreamPast::Decide(bool all) {
  for (std::size_t i = 1; i < songs_.size(); ++i) {
    Song& song = songs_[i];
    if (song.Begun()) continue;
    if (!all && now_ < song.titleAt + kCutWindowSeconds) break;
    Song& before = songs_[i - 1];
    song.begin = Cut(song.titleAt, before.begin);
    before.end = song.begin;
  }
}

void StreamPast::Trim() {
  while (!frames_.empty() && (bytes_ > keepBytes_ || now_ - frames_.front().at > keepSeconds_)) {
    bytes_ -= frames_.front().bytes.size() + kFrameBookkeeping;
    frames_.pop_front();
  }
  while (segments_.size() > 1 && !frames_.empty() && segments_[1].first <= frames_.front().index)
    segments_.pop_front();
  const double oldest = Oldest();
  while (!blocks_.empty() && blocks_.front().at < oldest - kCutWindowSeconds) blocks_.pop_front();
  // A song is forgotten once nothing of it is kept; the one that plays always stays.
  while (songs_.size() > 1 && songs_.front().Ended() && songs_.front().end + kOverlapSeconds < oldest)
    songs_.pop_front();
}

}  // namespace songs
