// The station player: plays a stream URL or a sound file through the sound device. Each
// play has a thread of its own that connects, reads and decodes into the ring of a
// feeder, whose thread keeps the device fed, and connects again to a live stream that
// drops. The listeners of its sound (a recording, the songs) are called on threads of
// their own. A new play silences the one it ends at once and connects while that one is
// still closing (a server that refuses it is asked again once that one has let go), and
// takes the taps over once that one is done. Every member returns at once and reads
// what the plays publish.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "base/Lock.h"
#include "playback/CertificateCheck.h"
#include "playback/ReconnectRules.h"
#include "playback/TapLaneRules.h"
#include "playback/SoundTap.h"
#include "playback/StreamTap.h"

namespace playback {

class SoundFeeder;

// A member call that cannot be carried out, with the reason in words.
class PlayerError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// How long the player waits on a station before it gives up. Users get these values;
// tests and benchmarks shorten them.
struct PlayerTimeouts {
  unsigned connectMs = 10000;                       // a server that does not answer
  unsigned startStallMs = 15000;                    // a stream that stops sending before it played
  unsigned stallMs = kStallMs;                      // a live stream that plays and stops sending...
  unsigned undecodableMs = kUndecodableMs;          // ...or sends bytes without sound
  unsigned reconnectBudgetMs = kReconnectBudgetMs;  // the attempts to bring it back
};

// How long the last Play took to each step of its first connection, in milliseconds
// from the call; -1 for a step not reached (yet). For measuring the start.
struct StartTimes {
  long long answered = -1;  // the server's answer (its headers) arrived; files: opened
  long long opened = -1;    // the stream's format is known
  long long decoded = -1;   // the first sound is decoded
  long long written = -1;   // the first sound is handed to the sound device
  long long playing = -1;   // the device has played the first sound
};

// The play states, numbered as the media player control numbers them.
enum PlayState {
  psUndefined = 0,
  psStopped = 1,
  psPlaying = 3,
  psBuffering = 6,
  psWaiting = 7,
  psMediaEnded = 8,
  psTransitioning = 9,
  psReady = 10,
};

class StationPlayer {
 public:
  // Raises PlayerError when the worker thread cannot be started.
  StationPlayer();
  ~StationPlayer();
  StationPlayer(const StationPlayer&) = delete;
  StationPlayer& operator=(const StationPlayer&) = delete;

  // Opens the media without playing it; the empty text closes it and frees the file.
  void SetUrl(const std::string& url);
  std::string Url() const;
  // Starts playing the media in the background.
  void Play();
  // Ends playing; the state leaves "playing" at once.
  void Stop();

  // Buffering, not playing, also while a live stream that dropped is brought back.
  int State() const;
  // Seconds of sound that left the device; 0 after stop.
  double CurrentPosition() const;
  // 0..100, applied at the sound device at once.
  void SetVolume(int volume);
  int Volume() const { return volume_; }
  // A gain of its own beside the volume, in thousandths (0..1000), applied at the sound
  // device at once and kept for the plays that follow: a fade that leaves the volume as
  // the user set it.
  static constexpr int kFullGain = 1000;
  void SetGain(int permille);
  int Gain() const { return gain_; }
  // Percent of the start-up buffer filled, 100 once playing.
  int BufferingProgress() const { return bufferPercent_; }
  // Bits per second of the stream, from its headers or measured.
  int BitRate() const { return bitRate_; }
  // Seconds of a file; 0 for a live stream.
  double Duration() const { return durationMs_ / 1000.0; }
  // Why the media last asked to play could not be played, or why a live stream ended,
  // in words; empty while it plays, and after SetUrl, Play and Stop. While no sound
  // device can be opened, says so (the player tries again every few seconds).
  std::string LastError() const;
  // The certificate refused when that was the last error; none refused otherwise.
  CertificateFault Untrusted() const;
  // The title the stream announced last, in the ANSI code page; empty while none is
  // known, and again after Stop, Play, another URL, a failure or the media's end.
  std::string Title() const;
  // The same title in UTF-8, with every character it has.
  std::string TitleUtf8() const;
  // The decoded sound also goes to `tap` (before the volume), from the next sound on;
  // nullptr ends that. The tap is kept alive while a sound is handed to it, on a thread
  // of its own: a tap that falls seconds behind loses sound, one that throws is
  // switched off (TakeTapNotice tells both).
  void SetTap(std::shared_ptr<SoundTap> tap);
  // The station's frames, titles and sound also go to `tap`, from the next connection on;
  // nullptr ends that. Called like the tap above.
  void SetStreamTap(std::shared_ptr<StreamTap> tap);
  // What went wrong with a tap since the last call, in words; empty when nothing did.
  std::string TakeTapNotice();
  // From the next Play on.
  void SetTimeouts(const PlayerTimeouts& timeouts);
  StartTimes LastStartTimes() const;
  PlayerTimeouts Timeouts() const;

 private:
  struct Outcome;
  void Run();
  // Plays the media, and brings a live stream that dropped back while that may be tried.
  // `before` is the play this one ended: it is awaited before the first sound and the
  // taps, so that each tap hears the plays one after the other.
  // `sameServer`: the play before was on the same server; a refusal of the first
  // connection is tried once more when that play has let go.
  void PlayMedia(const std::string& url, unsigned generation, std::thread& before, bool sameServer);
  // One connection to the media, from opening it until it ends or fails.
  Outcome PlayConnection(const std::string& url, unsigned generation, SoundFeeder& feeder, ReconnectPlan& plan,
                         const PlayerTimeouts& timeouts, std::thread& before);
  // The media is over: ended (its queued sound plays out first) or failed.
  void Finish(unsigned generation, const Outcome& how, SoundFeeder& feeder);
  // Ends the sound of the play that was current (under mutex_).
  void SilenceCurrent();
  // Waits ms unless the media is ended sooner (Stop, another URL, the player's end);
  // false when it was.
  bool WaitCurrent(unsigned generation, unsigned ms);
  bool Current(unsigned generation) const { return generation_ == generation && !quit_; }
  void Publish(unsigned generation, PlayState s);
  void PublishStream(unsigned generation, long long durationMs, int bitRate);
  // The play of `generation` reached a step of its start at `tick` (0: now); only the
  // first time counts.
  void MarkStart(unsigned generation, long long StartTimes::*step, unsigned long long tick = 0);
  // The position of the media that is playing; with `playing`, also the playing state.
  void PublishPosition(unsigned generation, long long ms, bool playing);
  void Fail(unsigned generation, const std::string& why, const CertificateFault& untrusted = {});
  // The title announced with the sound written up to `atFrame`: it is shown once the
  // device has played that far, when the listener hears its song (the ring holds
  // seconds). Returns it in UTF-8, for the stream tap.
  std::string PublishTitle(unsigned generation, const std::string& raw, std::uint64_t atFrame);
  // The titles whose sound has been played become the title (under mutex_).
  void PromoteTitles() const;
  void ClearTitles();
  std::shared_ptr<SoundTap> Tap() const;
  std::shared_ptr<StreamTap> StreamTapNow() const;

  mutable base::Mutex mutex_;
  base::ConditionVariable wake_;   // a play waiting out a pause: its media ended
  base::ConditionVariable start_;  // the worker: a play is asked for
  std::string url_;
  std::string lastError_;
  CertificateFault untrusted_;
  struct PendingTitle {
    std::uint64_t atFrame;
    std::u16string text;
  };
  static constexpr std::size_t kPendingTitles = 64;
  mutable std::u16string title_;
  mutable std::deque<PendingTitle> titles_;  // announced, not heard yet
  bool playRequested_ = false;
  bool reconnecting_ = false;  // a live stream that dropped is being brought back
  std::atomic<unsigned> generation_{0};
  std::atomic<bool> quit_{false};

  std::atomic<int> state_{psUndefined};
  std::atomic<long long> positionMs_{0};  // while no play is current
  std::atomic<int> volume_{50};
  std::atomic<int> gain_{kFullGain};
  std::atomic<int> bufferPercent_{0};
  std::atomic<int> bitRate_{0};
  std::atomic<long long> durationMs_{0};
  PlayerTimeouts timeouts_;
  StartTimes startTimes_;                 // under mutex_
  unsigned long long playTick_ = 0;       // under mutex_: when Play was called
  std::shared_ptr<SoundTap> tap_;         // under mutex_
  std::shared_ptr<StreamTap> streamTap_;  // under mutex_
  std::shared_ptr<SoundFeeder> feeder_;   // under mutex_: the current play's
  TapLane soundLane_{"The recording of the station", 8u << 20};
  std::atomic<unsigned> connections_{0};  // numbers the connections for the sound tap
  TapLane streamLane_{"Recording the songs", 16u << 20};

  std::thread worker_;  // waits for plays to start
  std::thread play_;    // the latest play; the worker's own
};

}  // namespace playback
