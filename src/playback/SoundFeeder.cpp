#include "playback/SoundFeeder.h"

#include <algorithm>
#include <system_error>

namespace playback {

namespace {

constexpr std::size_t kRingSamples = std::size_t(48000) * SoundFeeder::kRingMs / 1000 * 2;
constexpr unsigned kPieceMs = 20;  // what goes to the device at a time while it has room

std::atomic<bool> testRefusal{false};

}  // namespace

SoundFeeder::SoundFeeder() : ring_(kRingSamples) {
  wake_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  room_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!wake_ || !room_) {
    if (wake_) CloseHandle(wake_);
    if (room_) CloseHandle(room_);
    throw std::system_error(int(GetLastError()), std::system_category(), "no event for the sound device");
  }
  try {
    thread_ = std::thread([this] { Run(); });
  } catch (...) {
    CloseHandle(wake_);
    CloseHandle(room_);
    throw;
  }
}

SoundFeeder::~SoundFeeder() {
  quit_ = true;
  SetEvent(wake_);
  thread_.join();
  CloseHandle(wake_);
  CloseHandle(room_);
}

bool SoundFeeder::Begin(int rate, const Cancelled& cancelled) {
  const int before = rate_;
  if (before == rate) return true;
  if (before != 0) {
    Flush();
    if (!Drain(cancelled)) return false;
    reopen_ = true;
  }
  rate_ = rate;
  SetEvent(wake_);
  return true;
}

bool SoundFeeder::Write(const std::int16_t* samples, std::size_t count, const Cancelled& cancelled) {
  flush_ = false;
  while (count > 0) {
    if (silenced_ || cancelled()) return false;
    const std::size_t n = ring_.Write(samples, count);
    samples += n;
    count -= n;
    written_ += n / 2;
    if (n > 0) SetEvent(wake_);
    if (count > 0) WaitForSingleObject(room_, 20);
  }
  return true;
}

void SoundFeeder::Flush() {
  flush_ = true;
  SetEvent(wake_);
}

bool SoundFeeder::Drain(const Cancelled& cancelled) {
  Flush();
  while (played_ < written_ && !missing_) {
    if (silenced_ || cancelled()) return false;
    WaitForSingleObject(room_, 20);
  }
  return true;
}

void SoundFeeder::SetVolume(int percent) {
  volume_ = std::clamp(percent, 0, 100);
  SetEvent(wake_);
}

void SoundFeeder::SetGain(int permille) {
  gain_ = std::clamp(permille, 0, 1000);
  SetEvent(wake_);
}

void SoundFeeder::Silence() {
  silenced_ = true;
  SetEvent(wake_);
}

void SoundFeeder::RefuseNextBufferForTests() { testRefusal = true; }
void SoundFeeder::Run() {
  // What it does takes microseconds, and a late round is heard: it goes before all
  // other work.
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  bool silent = false;
  while (!quit_) {
    if (silenced_ && !silent) {
      silent = true;
      out_.Reset();
      ring_.Discard();
      queuedMs_ = 0;
    }
    try {
      if (!silent) Feed(GetTickCount64());
    } catch (const std::exception&) {
      // The device's buffers could not be made (memory ran out): as if there were no
      // device; it is tried again in a few seconds.
      out_.Close();
      missing_ = true;
      retryAt_ = GetTickCount64() + kRetryMs;
    }
    const HANDLE wait[] = {wake_, out_.DoneEvent()};
    WaitForMultipleObjects(out_.IsOpen() ? 2 : 1, wait, FALSE, kBeatMs);
  }
  out_.Close();
}

void SoundFeeder::Feed(unsigned long long now) {
  if (reopen_.exchange(false) && out_.IsOpen()) {
    // A new rate: what played at the old one is the new rate's starting point.
    const std::uint64_t played = out_.PlayedFrames();
    PublishPosition(played);
    baseMs_ = positionMs_;
    playedTotalBefore_ += playedBefore_ + played;
    playedBefore_ = 0;
    out_.Close();
    retryAt_ = now;
  }
  const int rate = rate_;
  if (rate <= 0) return;
  if (!out_.IsOpen()) {
    if (now < retryAt_) return;
    std::string error;  // not shown: a missing device says so in general
    if (!out_.Open(rate, error)) {
      missing_ = true;
      retryAt_ = now + kRetryMs;
      return;
    }
    openRate_ = rate;
    missing_ = false;
    primed_ = false;
    appliedLevel_ = -1;
    watch_.Reset();
  }
  if (const int level = volume_ * gain_; appliedLevel_ != level) {
    appliedLevel_ = level;
    out_.SetVolume(level / 100000.0);
  }
  const std::uint64_t played = out_.PlayedFrames();
  std::uint64_t queued = out_.SubmittedFrames() > played ? out_.SubmittedFrames() - played : 0;
  watch_.Look(now, played, queued);
  if (watch_.Lost()) {
    LoseDevice(now);
    return;
  }
  const std::size_t startSamples = std::size_t(rate) * kStartMs / 1000 * 2;
  const bool flushing = flush_;
  if (!primed_) primed_ = ring_.Queued() >= startSamples || (flushing && ring_.Queued() > 0);
  if (primed_) {
    const std::uint64_t target = std::uint64_t(rate) * kQueueMs / 1000;
    const std::uint64_t piece = std::uint64_t(rate) * kPieceMs / 1000;
    if (played > 0 && ring_.Queued() > 0) {
      const int ms = int(queued * 1000 / unsigned(rate));
      if (lowestMs_ < 0 || ms < lowestMs_) lowestMs_ = ms;
    }
    while (queued < target) {
      const std::size_t waiting = ring_.Queued() / 2;  // frames
      if (waiting == 0) break;
      // Whole pieces (the target may be passed by one): a small one only when the
      // device is about to run dry or nothing more is coming, since each is a call into
      // the sound system and takes a buffer of its own.
      if (waiting < piece && queued >= 2 * piece && !flushing) break;
      std::size_t room = 0;
      std::int16_t* buffer = out_.Claim(room);
      if (!buffer) break;
      const std::size_t frames = std::min<std::uint64_t>({waiting, room, std::max(target - queued, piece)});
      const std::size_t n = ring_.Read(buffer, frames * 2) / 2;
      std::string error;
      if (testRefusal.exchange(false) || !out_.Commit(n, error)) {
        LoseDevice(now);
        return;
      }
      queued += n;
      SetEvent(room_);
    }
    if (queued == 0 && ring_.Queued() == 0 && !flushing) primed_ = false;  // ran dry: start again
  }
  queuedMs_ = int(queued * 1000 / unsigned(rate));
  PublishPosition(played);
  if (played_ >= written_) SetEvent(room_);
}

void SoundFeeder::LoseDevice(unsigned long long now) {
  // What the device held is gone with it: counted as played, so that nothing waits for it.
  playedBefore_ += out_.SubmittedFrames();
  out_.Close();
  primed_ = false;
  retryAt_ = now;
  queuedMs_ = 0;
}

void SoundFeeder::PublishPosition(std::uint64_t playedHere) {
  const std::uint64_t frames = playedBefore_ + playedHere;
  if (openRate_ > 0) positionMs_ = baseMs_ + (long long)(frames * 1000 / unsigned(openRate_));
  // The total counts every rate's frames alike: it is compared with what was written.
  played_ = playedTotalBefore_ + frames;
}

}  // namespace playback
