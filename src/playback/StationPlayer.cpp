#include "playback/StationPlayer.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <system_error>

#include "playback/CertificateCheck.h"
#include "playback/CertificateRules.h"
#include "playback/MediaReader.h"
#include "playback/PlaylistRules.h"
#include "playback/ReconnectRules.h"
#include "playback/TitleRules.h"
#include "playback/WaveOutput.h"

namespace playback {

namespace {

constexpr int kStartBufferMs = 150;  // sound queued before the device starts

void ApplyVolume(std::int16_t* s, std::size_t n, int volume) {
  if (volume >= 100) return;
  for (std::size_t i = 0; i < n; ++i) s[i] = std::int16_t(int(s[i]) * volume / 100);
}

// A title's text in the ANSI code page; '?' for each character the code page lacks
// (no look-alike: a title shows what it says or a '?'). UTF-8 has every character, and
// takes neither of those options.
std::string ToAnsi(const std::u16string& text) {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const UINT page = GetACP();
  const DWORD flags = page == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const char* missing = page == CP_UTF8 ? nullptr : "?";
  const int n = WideCharToMultiByte(CP_ACP, flags, wide, int(text.size()), nullptr, 0, missing, nullptr);
  std::string out(std::size_t(std::max(n, 0)), '\0');
  WideCharToMultiByte(CP_ACP, flags, wide, int(text.size()), out.data(), n, missing, nullptr);
  return out;
}

std::string ToUtf8(const std::u16string& text) {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide, int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(std::size_t(std::max(n, 0)), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, int(text.size()), out.data(), n, nullptr, nullptr);
  return out;
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
    title_.clear();
    playRequested_ = false;
    ++generation_;
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
    title_.clear();
    ++generation_;
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
    title_.clear();
    ++generation_;
    state_ = psStopped;
    positionMs_ = 0;
    bufferPercent_ = 0;
  }
  wake_.notify_all();
}

void StationPlayer::SetTap(std::shared_ptr<SoundTap> tap) {
  std::lock_guard lock(mutex_);
  tap_ = std::move(tap);
}

std::shared_ptr<SoundTap> StationPlayer::Tap() const {
  std::lock_guard lock(mutex_);
  return tap_;
}

void StationPlayer::SetStreamTap(std::shared_ptr<StreamTap> tap) {
  std::lock_guard lock(mutex_);
  streamTap_ = std::move(tap);
}

std::shared_ptr<StreamTap> StationPlayer::StreamTapNow() const {
  std::lock_guard lock(mutex_);
  return streamTap_;
}

void StationPlayer::SetVolume(int volume) {
  volume_ = std::clamp(volume, 0, 100);
}

std::string StationPlayer::LastError() const {
  std::lock_guard lock(mutex_);
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
  return ToAnsi(title_);
}

std::string StationPlayer::TitleUtf8() const {
  std::lock_guard lock(mutex_);
  return ToUtf8(title_);
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
  bufferPercent_ = 100;
}

void StationPlayer::PublishStream(unsigned generation, long long durationMs, int bitRate) {
  std::lock_guard lock(mutex_);
  if (!Current(generation)) return;
  durationMs_ = durationMs;
  bitRate_ = bitRate;
}

std::string StationPlayer::PublishTitle(unsigned generation, const std::string& raw) {
  std::u16string title = DecodeTitle(raw);
  std::string ansi = ToAnsi(title);
  std::lock_guard lock(mutex_);
  if (Current(generation)) title_ = std::move(title);
  return ansi;
}

void StationPlayer::Fail(unsigned generation, const std::string& why, const CertificateFault& untrusted) {
  std::lock_guard lock(mutex_);
  if (generation_ != generation) return;
  lastError_ = why;
  untrusted_ = untrusted;
  title_.clear();
  state_ = psStopped;
  playRequested_ = false;
}

void StationPlayer::Run() {
  unsigned seen = 0;
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
    auto before = std::make_unique<std::thread>(std::move(play_));
    std::thread* handed = before.get();
    try {
      play_ = std::thread([this, url, generation, handed] {
        const std::unique_ptr<std::thread> owned(handed);
        PlayMedia(url, generation, *owned);
        if (owned->joinable()) owned->join();
      });
      before.release();
    } catch (const std::system_error& e) {
      if (before->joinable()) before->join();
      Fail(generation, std::string("The station player cannot start a thread: ") + e.what());
    }
  }
  if (play_.joinable()) play_.join();
}

// The sound device of one media, kept open across the connections of a live stream so
// that its sound and its position clock go on where they stopped.
struct StationPlayer::Device {
  WaveOutput out;
  int rate = 0;
  long long baseMs = 0;   // the position when the device was opened
  long long written = 0;  // sample frames queued since then
  long long PositionMs() const { return rate > 0 ? baseMs + out.PlayedFrames() * 1000 / rate : baseMs; }
};

// What one connection to the media came to.
struct StationPlayer::Outcome {
  bool played = false;  // its sound left the device
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

void StationPlayer::PlayMedia(const std::string& url, unsigned generation, std::thread& before) {
  // A play uses little processor time, and a late one is heard: it goes before the busy
  // work of other programs.
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
  const auto cancelled = [this, generation] { return !Current(generation); };
  {
    std::lock_guard lock(mutex_);
    if (!Current(generation)) return;
    bufferPercent_ = 0;
    bitRate_ = 0;
    durationMs_ = 0;
    state_ = psWaiting;
  }
  Device device;
  const PlayerTimeouts timeouts = Timeouts();
  ReconnectPlan plan(timeouts.reconnectBudgetMs);
  std::string address = url;
  bool hasPlayed = false, live = false;
  Outcome drop;  // the last failure of the stream while it played
  for (;;) {
    const Outcome o = PlayConnection(address, generation, device, plan, timeouts, before);
    if (cancelled()) break;
    if (o.played) {
      hasPlayed = true;
      live = o.live && !o.sized;
      // Back to the stream itself: a playlist may name another stream on a new fetch.
      address = o.opened;
      drop = o;
    }
    if (!MayReconnect(live, hasPlayed)) {
      Finish(generation, o, device);
      break;
    }
    const std::optional<unsigned> wait = plan.Failed(GetTickCount64());
    if (!wait) {
      Finish(generation, drop, device);
      break;
    }
    // The sound still queued plays on while the player waits.
    device.out.Flush(cancelled);
    {
      std::lock_guard lock(mutex_);
      if (!Current(generation)) break;
      state_ = psBuffering;
      bufferPercent_ = 0;
    }
    if (!WaitCurrent(generation, *wait)) break;
  }
  if (before.joinable()) before.join();
  if (const std::shared_ptr<StreamTap> stream = StreamTapNow()) stream->Ended();
  device.out.Close();
}

StationPlayer::Outcome StationPlayer::PlayConnection(const std::string& url, unsigned generation, Device& device,
                                                     ReconnectPlan& plan, const PlayerTimeouts& timeouts,
                                                     std::thread& before) {
  const auto cancelled = [this, generation] { return !Current(generation); };
  Outcome o;
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
    if (!device.out.IsOpen() || device.rate != reader.SampleRate()) {
      device.baseMs = device.PositionMs();
      std::string error;
      if (!device.out.Open(reader.SampleRate(), error)) throw MediaError(error);
      device.rate = reader.SampleRate();
      device.written = 0;
    }
    Publish(generation, psBuffering);
    stream = StreamTapNow();
    if (stream) {
      stream->Connected(reader.Format(), plan.Active());
      reader.SetFrameSink([&stream](const std::uint8_t* data, std::size_t size, std::int64_t ticks) {
        stream->Frame(data, size, ticks);
      });
    }

    const long long startFrames = device.written;  // sound of the connections before
    const std::size_t startSamples = std::size_t(reader.SampleRate()) * kStartBufferMs / 1000 * 2;
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
      if (!reader.Read(pending)) {
        o.ended = true;
        break;
      }
      MarkStart(generation, &StartTimes::decoded);
      if (std::string title; reader.NewTitle(title)) {
        const std::string shown = PublishTitle(generation, title);
        if (stream) stream->Title(shown);
      }
      if (stream) stream->Sound(reader.SampleRate(), pending.data(), pending.size());
      if (const std::shared_ptr<SoundTap> tap = Tap())
        tap->Decoded(reader.SampleRate(), pending.data(), pending.size());
      ApplyVolume(pending.data(), pending.size(), volume_);
      if (!device.out.Write(pending.data(), pending.size(), cancelled)) break;
      MarkStart(generation, &StartTimes::written);
      queued += pending.size();
      device.written += static_cast<long long>(pending.size() / 2);
      if (!started) {
        const int percent = int(std::min<std::size_t>(100, queued * 100 / std::max<std::size_t>(startSamples, 1)));
        std::lock_guard lock(mutex_);
        if (Current(generation)) bufferPercent_ = percent;
        if (queued >= startSamples) started = true;
      }
      if (device.out.PlayedFrames() > startFrames) {
        plan.Sound(static_cast<unsigned long long>(device.written - startFrames) * 1000 / unsigned(device.rate));
        o.played = true;
        MarkStart(generation, &StartTimes::playing);
        PublishPosition(generation, device.PositionMs(), true);
      }
      if (bitRate == 0) {
        // No bit rate in the headers: measure it from the bytes received.
        const unsigned long long ms = GetTickCount64() - t0;
        if (ms > 1000) {
          bitRate = int(reader.BytesRead() * 8 * 1000 / (long long)ms);
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
  return o;
}

void StationPlayer::Finish(unsigned generation, const Outcome& how, Device& device) {
  const auto cancelled = [this, generation] { return !Current(generation); };
  if (!how.ended) {
    Fail(generation, how.error, how.untrusted);
    return;
  }
  // Play out what is queued, keeping the position up to date.
  device.out.Flush(cancelled);
  const long long endMs = device.rate > 0 ? device.baseMs + device.written * 1000 / device.rate : device.baseMs;
  for (;;) {
    const long long ms = device.PositionMs();
    PublishPosition(generation, ms, false);
    if (cancelled() || ms >= endMs || !device.out.IsOpen()) break;
    Sleep(20);
  }
  // A file ends; a live stream from the network only ends when its station stops
  // sending it, which the listener is told.
  std::lock_guard lock(mutex_);
  if (Current(generation)) {
    if (how.live) lastError_ = "The station ended the stream";
    title_.clear();
    state_ = psMediaEnded;
  }
}

}  // namespace playback
