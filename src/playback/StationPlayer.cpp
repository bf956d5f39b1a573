#include "playback/StationPlayer.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "base/Encoding.h"
#include "playback/CertificateCheck.h"
#include "playback/CertificateRules.h"
#include "playback/MediaReader.h"
#include "playback/PlaylistRules.h"
#include "playback/ReconnectRules.h"
#include "playback/SoundFeeder.h"
#include "playback/TitleRules.h"

namespace playback {

namespace {

constexpr unsigned kSameServerRetryMs = 300;
constexpr const char* kNoDeviceText = "No sound device: the player tries again every few seconds";

// Whether two addresses reach the same server (host and port): one that allows a single
// listener per address refuses a second connection while the first is open.
bool SameServer(const std::string& a, const std::string& b) {
  std::string hostA, hostB;
  int portA = 0, portB = 0;
  return HostAndPort(a, hostA, portA) && HostAndPort(b, hostB, portB) && portA == portB &&
         TrustedHostName(hostA) == TrustedHostName(hostB);
}

// When the environment asks for it (benchmarks), the least sound the device held while
// sound was waiting for it, a line a second: "<tick> queued_ms=<n> lowest_ms=<m>".
class DeviceLog {
 public:
  DeviceLog() {
    if (const char* path = std::getenv("TUNORA_DEVICE_LOG"); path && *path) file_ = std::fopen(path, "a");
  }
  ~DeviceLog() {
    if (file_) std::fclose(file_);
  }
  void Note(const SoundFeeder& feeder, bool final = false) {
    const unsigned long long now = GetTickCount64();
    if (!file_ || (!final && now < next_) || feeder.LowestQueuedMs() < 0) return;
    next_ = now + 1000;
    std::fprintf(file_, "%llu queued_ms=%d lowest_ms=%d\n", now, feeder.QueuedMs(), feeder.LowestQueuedMs());
    std::fflush(file_);
  }

 private:
  std::FILE* file_ = nullptr;
  unsigned long long next_ = 0;
};

// A title as the player keeps it, UTF-16, for the system's conversions.
std::wstring_view Wide(const std::u16string& text) {
  return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}

}  // namespace

StationPlayer::StationPlayer() {
  try {
    worker_ = std::thread([this] { Run(); });
  } catch (const std::system_error& e) {
    throw PlayerError(std::string("The station player cannot start its worker thread: ") + e.what());
  }
}

StationPlayer::~StationPlayer() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
    ++generation_;
    SilenceCurrent();
  }
  wake_.notify_all();
  start_.notify_one();
  worker_.join();
}

void StationPlayer::SetUrl(const std::string& url) {
  {
    std::lock_guard lock(mutex_);
    url_ = url;
    lastError_.clear();
    untrusted_ = {};
    ClearTitles();
    playRequested_ = false;
    ++generation_;
    SilenceCurrent();
    positionMs_ = 0;
    state_ = url.empty() ? psUndefined : psReady;
  }
  wake_.notify_all();
}

std::string StationPlayer::Url() const {
  std::lock_guard lock(mutex_);
  return url_;
}

void StationPlayer::Play() {
  {
    std::lock_guard lock(mutex_);
    if (url_.empty()) return;
    playRequested_ = true;
    lastError_.clear();
    untrusted_ = {};
    ClearTitles();
    ++generation_;
    SilenceCurrent();
    positionMs_ = 0;
    state_ = psTransitioning;
    startTimes_ = {};
    playTick_ = GetTickCount64();
  }
  wake_.notify_all();
  start_.notify_one();
}

StartTimes StationPlayer::LastStartTimes() const {
  std::lock_guard lock(mutex_);
  return startTimes_;
}

void StationPlayer::MarkStart(unsigned generation, long long StartTimes::*step, unsigned long long tick) {
  std::lock_guard lock(mutex_);
  if (Current(generation) && startTimes_.*step < 0)
    startTimes_.*step = (long long)((tick ? tick : GetTickCount64()) - playTick_);
}

void StationPlayer::Stop() {
  {
    std::lock_guard lock(mutex_);
    playRequested_ = false;
    lastError_.clear();
    untrusted_ = {};
    ClearTitles();
    ++generation_;
    SilenceCurrent();
    state_ = psStopped;
    positionMs_ = 0;
    bufferPercent_ = 0;
  }
  wake_.notify_all();
}

int StationPlayer::State() const {
  std::lock_guard lock(mutex_);
  // A station being brought back plays from the ring until the ring runs dry.
  if (state_ == psPlaying && reconnecting_ && feeder_ && feeder_->PlayedFrames() >= feeder_->WrittenFrames())
    return psBuffering;
  return state_;
}

void StationPlayer::SilenceCurrent() {
  reconnecting_ = false;
  if (!feeder_) return;
  feeder_->Silence();
  feeder_.reset();
}

double StationPlayer::CurrentPosition() const {
  std::lock_guard lock(mutex_);
  return (feeder_ ? feeder_->PositionMs() : positionMs_.load()) / 1000.0;
}

void StationPlayer::SetTap(std::shared_ptr<SoundTap> tap) {
  std::lock_guard lock(mutex_);
  tap_ = std::move(tap);
  soundLane_.Revive();
}

std::shared_ptr<SoundTap> StationPlayer::Tap() const {
  std::lock_guard lock(mutex_);
  return tap_;
}

void StationPlayer::SetStreamTap(std::shared_ptr<StreamTap> tap) {
  std::lock_guard lock(mutex_);
  streamTap_ = std::move(tap);
  streamLane_.Revive();
}

std::string StationPlayer::TakeTapNotice() {
  std::string notice = soundLane_.TakeNotice();
  if (notice.empty()) notice = streamLane_.TakeNotice();
  return notice;
}

std::shared_ptr<StreamTap> StationPlayer::StreamTapNow() const {
  std::lock_guard lock(mutex_);
  return streamTap_;
}

void StationPlayer::SetVolume(int volume) {
  std::lock_guard lock(mutex_);
  volume_ = std::clamp(volume, 0, 100);
  if (feeder_) feeder_->SetVolume(volume_);
}

void StationPlayer::SetGain(int permille) {
  std::lock_guard lock(mutex_);
  gain_ = std::clamp(permille, 0, kFullGain);
  if (feeder_) feeder_->SetGain(gain_);
}

std::string StationPlayer::LastError() const {
  std::lock_guard lock(mutex_);
  if (lastError_.empty() && feeder_ && feeder_->DeviceMissing()) return kNoDeviceText;
  return lastError_;
}

void StationPlayer::SetTimeouts(const PlayerTimeouts& timeouts) {
  std::lock_guard lock(mutex_);
  timeouts_ = timeouts;
}

PlayerTimeouts StationPlayer::Timeouts() const {
  std::lock_guard lock(mutex_);
  return timeouts_;
}

CertificateFault StationPlayer::Untrusted() const {
  std::lock_guard lock(mutex_);
  return untrusted_;
}

std::string StationPlayer::Title() const {
  std::lock_guard lock(mutex_);
  PromoteTitles();
  return base::AnsiFromWide(Wide(title_));
}

std::string StationPlayer::TitleUtf8() const {
  std::lock_guard lock(mutex_);
  PromoteTitles();
  return base::Utf8FromWide(Wide(title_));
}

// The worker's results are stored under the lock, after a last look at the generation:
// a Stop, Play or SetUrl that slips in between a check and the store would otherwise be
// overwritten by the media it ended, and the player would stay "playing" for good.
void StationPlayer::Publish(unsigned generation, PlayState s) {
  std::lock_guard lock(mutex_);
  if (Current(generation)) state_ = s;
}

void StationPlayer::PublishPosition(unsigned generation, long long ms, bool playing) {
  std::lock_guard lock(mutex_);
  if (!Current(generation)) return;
  positionMs_ = ms;
  if (!playing) return;
  state_ = psPlaying;
  reconnecting_ = false;
  bufferPercent_ = 100;
}

void StationPlayer::PublishStream(unsigned generation, long long durationMs, int bitRate) {
  std::lock_guard lock(mutex_);
  if (!Current(generation)) return;
  durationMs_ = durationMs;
  bitRate_ = bitRate;
}

std::string StationPlayer::PublishTitle(unsigned generation, const std::string& raw, std::uint64_t atFrame) {
  std::u16string title = DecodeTitle(raw);
  std::string utf8 = base::Utf8FromWide(Wide(title));
  std::lock_guard lock(mutex_);
  if (Current(generation) && titles_.size() < kPendingTitles) titles_.push_back({atFrame, std::move(title)});
  return utf8;
}

void StationPlayer::PromoteTitles() const {
  const std::uint64_t played = feeder_ ? feeder_->PlayedFrames() : UINT64_MAX;
  while (!titles_.empty() && titles_.front().atFrame <= played) {
    title_ = std::move(titles_.front().text);
    titles_.pop_front();
  }
}

void StationPlayer::ClearTitles() {
  title_.clear();
  titles_.clear();
}

void StationPlayer::Fail(unsigned generation, const std::string& why, const CertificateFault& untrusted) {
  std::lock_guard lock(mutex_);
  if (generation_ != generation) return;
  lastError_ = why;
  untrusted_ = untrusted;
  ClearTitles();
  state_ = psStopped;
  playRequested_ = false;
}

void StationPlayer::Run() {
  unsigned seen = 0;
  std::string lastUrl;
  for (;;) {
    std::string url;
    unsigned generation;
    {
      std::unique_lock lock(mutex_);
      start_.wait(lock, [&] { return quit_ || (generation_ != seen && playRequested_); });
      if (quit_) break;
      seen = generation = generation_;
      url = url_;
    }
    // The play that ran is ended by the new generation; the new one connects at once and
    // owns the old one's thread from then on.
    const bool sameServer = SameServer(url, lastUrl);
    lastUrl = url;
    auto before = std::make_unique<std::thread>(std::move(play_));
    std::thread* handed = before.get();
    try {
      play_ = std::thread([this, url, generation, handed, sameServer] {
        const std::unique_ptr<std::thread> owned(handed);
        try {
          PlayMedia(url, generation, *owned, sameServer);
        } catch (const std::exception& e) {
          // Whatever a play raises ends that play with its reason, never the program.
          Fail(generation, std::string("The station cannot be played: ") + e.what());
        } catch (...) {
          Fail(generation, "The station cannot be played");
        }
        if (owned->joinable()) owned->join();
      });
      before.release();
    } catch (const std::system_error& e) {
      if (before->joinable()) before->join();
      Fail(generation, std::string("The station player cannot start a thread: ") + e.what());
    } catch (const std::exception& e) {
      // Memory running out between two plays ends that play, not the worker.
      if (before && before->joinable()) before->join();
      Fail(generation, std::string("The station cannot be played: ") + e.what());
    }
  }
  if (play_.joinable()) play_.join();
}

// What one connection to the media came to.
struct StationPlayer::Outcome {
  bool played = false;  // its sound went to the device
  bool live = false;    // a live stream from the network, not a file
  bool sized = false;   // sent with its size: a file over the network, never tried again
  bool ended = false;   // the media came to its end; else it failed with `error`
  std::string error;
  CertificateFault untrusted;  // the error is this certificate
  std::string opened;         // the stream's address, after playlists
};

bool StationPlayer::WaitCurrent(unsigned generation, unsigned ms) {
  std::unique_lock lock(mutex_);
  return !wake_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return !Current(generation); });
}

void StationPlayer::PlayMedia(const std::string& url, unsigned generation, std::thread& before, bool sameServer) {
  // Reading and decoding use little processor time, and a late one empties the ring:
  // it goes before the busy work of other programs.
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
  const auto cancelled = [this, generation] { return !Current(generation); };
  const auto feeder = std::make_shared<SoundFeeder>();
  {
    std::lock_guard lock(mutex_);
    if (!Current(generation)) return;
    bufferPercent_ = 0;
    bitRate_ = 0;
    durationMs_ = 0;
    state_ = psWaiting;
    feeder->SetVolume(volume_);
    feeder->SetGain(gain_);
    feeder_ = feeder;
  }
  DeviceLog log;
  const PlayerTimeouts timeouts = Timeouts();
  ReconnectPlan plan(timeouts.reconnectBudgetMs);
  std::string address = url;
  bool hasPlayed = false, live = false;
  Outcome drop;  // the last failure of the stream while it played
  for (;;) {
    const Outcome o = PlayConnection(address, generation, *feeder, plan, timeouts, before);
    log.Note(*feeder, true);
    if (cancelled()) break;
    if (o.played) {
      hasPlayed = true;
      live = o.live && !o.sized;
      // Back to the stream itself: a playlist may name another stream on a new fetch.
      address = o.opened;
      drop = o;
    }
    if (sameServer && !hasPlayed && !o.played && !o.error.empty() && !o.untrusted.Refused()) {
      // A server that allows one listener per address refuses the new connection while
      // the old one is open: once the old play has let go (and the server has had a
      // moment to notice), once more.
      sameServer = false;
      if (before.joinable()) before.join();
      if (!WaitCurrent(generation, kSameServerRetryMs)) break;
      continue;
    }
    if (!MayReconnect(live, hasPlayed)) {
      Finish(generation, o, *feeder);
      break;
    }
    const std::optional<unsigned> wait = plan.Failed(GetTickCount64());
    if (!wait) {
      Finish(generation, drop, *feeder);
      break;
    }
    // The sound still in the ring plays on while the player waits: it plays until the
    // ring runs dry (State).
    feeder->Flush();
    {
      std::lock_guard lock(mutex_);
      if (!Current(generation)) break;
      if (state_ != psPlaying) state_ = psBuffering;
      reconnecting_ = true;
      bufferPercent_ = 0;
    }
    if (!WaitCurrent(generation, *wait)) break;
  }
  if (before.joinable()) before.join();
  if (const std::shared_ptr<StreamTap> stream = StreamTapNow()) streamLane_.Post([stream] { stream->Ended(); });
  std::lock_guard lock(mutex_);
  if (feeder_ == feeder) {
    positionMs_ = feeder->PositionMs();
    feeder_.reset();
  }
}

StationPlayer::Outcome StationPlayer::PlayConnection(const std::string& url, unsigned generation, SoundFeeder& feeder,
                                                     ReconnectPlan& plan, const PlayerTimeouts& timeouts,
                                                     std::thread& before) {
  const auto cancelled = [this, generation] { return !Current(generation); };
  Outcome o;
  std::uint64_t startFrames = feeder.WrittenFrames();  // sound of the connections before
  bool heard = false;                                  // the device played this one's sound
  std::shared_ptr<StreamTap> stream;  // declared before the reader, whose sink uses it
  MediaReader reader(cancelled);
  try {
    unsigned connectMs = timeouts.connectMs;
    if (plan.Active()) {
      // An attempt does not run past the end of the attempts.
      const unsigned long long now = GetTickCount64(), end = plan.DropMs() + plan.BudgetMs();
      connectMs =
          unsigned(std::clamp<unsigned long long>(end > now ? end - now : 0, std::min(1000u, connectMs), connectMs));
    }
    reader.SetDeadline(connectMs);
    if (plan.Active())
      reader.OpenStream(url);
    else
      reader.Open(url);
    // The server answered while the reader opened the stream: the reader knows when.
    MarkStart(generation, &StartTimes::answered, reader.AnsweredTick());
    MarkStart(generation, &StartTimes::opened);
    o.opened = reader.OpenedUrl();
    const long long durationMs = static_cast<long long>(reader.DurationSeconds() * 1000.0);
    int bitRate = reader.BitRate();
    PublishStream(generation, durationMs, bitRate);
    const std::string scheme = SchemeOf(url);
    o.live = !scheme.empty() && scheme != "file" && durationMs == 0;
    o.sized = reader.SizeKnown();
    // The play this one ended has closed its connection by now, or does so within
    // moments; its last sound and tap calls come before this one's first.
    if (before.joinable()) before.join();
    const int rate = reader.SampleRate();
    if (!feeder.Begin(rate, cancelled)) return o;
    if (!plan.Active()) Publish(generation, psBuffering);
    stream = StreamTapNow();
    if (stream) {
      streamLane_.Post([stream, format = reader.Format(), resumed = plan.Active()] { stream->Connected(format, resumed); });
      // Both sinks are called on this thread, while the reader reads.
      auto frameRate = std::make_shared<int>(std::max(reader.Format().sampleRate, 1));
      reader.SetFrameSink(
          [this, &stream, frameRate](const std::uint8_t* data, std::size_t size, std::int64_t ticks) {
            std::vector<std::uint8_t> frame(data, data + size);
            streamLane_.Post(
                [stream, frame = std::move(frame), ticks] { stream->Frame(frame.data(), frame.size(), ticks); }, size,
                unsigned(std::max<std::int64_t>(ticks, 0) * 1000 / *frameRate));
          },
          [this, &stream, frameRate](const StreamFormat& format) {
            *frameRate = std::max(format.sampleRate, 1);
            streamLane_.Post([stream, format] { stream->NewFormat(format); });
          });
    }

    startFrames = feeder.WrittenFrames();
    const unsigned connection = ++connections_;
    const std::size_t startSamples = std::size_t(rate) * SoundFeeder::kStartMs / 1000 * 2;
    std::vector<std::int16_t> pending;
    std::size_t queued = 0;
    bool started = false;
    const unsigned long long t0 = GetTickCount64();
    while (!cancelled()) {
      // A live stream that plays, or is being brought back, is watched closely: it
      // drops within seconds, so that the attempts start soon.
      if (o.live && !o.sized && (o.played || plan.Active()))
        reader.WatchStream(timeouts.stallMs, timeouts.undecodableMs);
      else
        reader.SetDeadline(timeouts.startStallMs);
      pending.clear();
      // The recording gets the decoder's frames themselves, copied only while it listens.
      const std::shared_ptr<SoundTap> tap = Tap();
      DecodedSound own;
      if (!reader.Read(pending, tap ? &own : nullptr)) {
        o.ended = true;
        break;
      }
      MarkStart(generation, &StartTimes::decoded);
      if (std::string title; reader.NewTitle(title)) {
        const std::string shown = PublishTitle(generation, title, feeder.WrittenFrames());
        if (stream) streamLane_.Post([stream, shown] { stream->Title(shown); });
      }
      const std::size_t bytes = pending.size() * sizeof(std::int16_t);
      const unsigned ms = unsigned(pending.size() / 2 * 1000 / unsigned(rate));
      if (stream)
        streamLane_.Post([stream, rate, sound = pending] { stream->Sound(rate, sound.data(), sound.size()); }, bytes, ms);
      if (tap && own.frames > 0) {
        own.connection = connection;
        const std::size_t ownBytes = own.data.size();
        const unsigned ownMs = unsigned(own.frames * 1000 / unsigned(std::max(own.rate, 1)));
        soundLane_.Post([tap, sound = std::move(own)] { tap->Decoded(sound); }, ownBytes, ownMs);
      }
      if (!feeder.Write(pending.data(), pending.size(), cancelled)) break;
      MarkStart(generation, &StartTimes::written);
      // Its sound is on its way to the listener: a live stream that drops after this
      // has played, and is brought back.
      o.played = true;
      plan.Sound((feeder.WrittenFrames() - startFrames) * 1000 / unsigned(rate));
      queued += pending.size();
      if (!started) {
        const int percent = int(std::min<std::size_t>(100, queued * 100 / std::max<std::size_t>(startSamples, 1)));
        std::lock_guard lock(mutex_);
        if (Current(generation)) bufferPercent_ = percent;
        if (queued >= startSamples) started = true;
      }
      if (!heard && feeder.PlayedFrames() > startFrames) {
        heard = true;
        MarkStart(generation, &StartTimes::playing);
        PublishPosition(generation, feeder.PositionMs(), true);
      }
      if (bitRate == 0) {
        // No bit rate in the headers: measure it from the bytes received.
        const unsigned long long elapsed = GetTickCount64() - t0;
        if (elapsed > 1000) {
          bitRate = int(reader.BytesRead() * 8 * 1000 / (long long)elapsed);
          PublishStream(generation, durationMs, bitRate);
        }
      }
    }
  } catch (const MediaError& e) {
    o.error = e.what();
    if (o.error.rfind(kCertificateFaultText, 0) == 0) o.untrusted = LastCertificateFault();
  } catch (const std::exception& e) {
    // Anything else (memory running out, a thread of the sound system that cannot start)
    // ends this media, not the program: an exception leaving the worker would end it.
    o.error = std::string("The station cannot be played: ") + e.what();
  }
  // A connection that ended before the device played its first sound (a short file, a
  // burst and a drop) still plays it from the ring: the player says so before it goes on.
  if (cancelled())
    if (const std::shared_ptr<SoundTap> tap = Tap()) soundLane_.Post([tap] { tap->Cut(); });
  if (o.played && !heard) feeder.Flush();
  for (unsigned waited = 0; o.played && !heard && waited < 3000 && !cancelled() && !feeder.DeviceMissing();
       waited += 10) {
    if (feeder.PlayedFrames() > startFrames) {
      heard = true;
      MarkStart(generation, &StartTimes::playing);
      PublishPosition(generation, feeder.PositionMs(), true);
    }
    Sleep(10);
  }
  return o;
}

void StationPlayer::Finish(unsigned generation, const Outcome& how, SoundFeeder& feeder) {
  const auto cancelled = [this, generation] { return !Current(generation); };
  // What arrived is heard before anything else happens: the ring holds seconds of it.
  // The position follows the device meanwhile.
  if (!feeder.Drain(cancelled)) return;
  if (!how.ended) {
    Fail(generation, how.error, how.untrusted);
    return;
  }
  // A file ends; a live stream from the network only ends when its station stops
  // sending it, which the listener is told.
  std::lock_guard lock(mutex_);
  if (Current(generation)) {
    if (how.live) lastError_ = "The station ended the stream";
    ClearTitles();
    state_ = psMediaEnded;
  }
}

}  // namespace playback
