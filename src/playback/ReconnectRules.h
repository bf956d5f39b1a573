// When and how often the player brings a dropped live stream back by itself: the health
// watch of a stream that plays (stalled, or bytes without sound), and the plan of
// attempts after a drop. Portable.
#pragma once

#include <optional>

namespace playback {

// A live stream that plays is dropped when no bytes and no sound came for this long...
inline constexpr unsigned kStallMs = 5000;
// ...or when bytes keep coming without any sound in them for longer than this.
inline constexpr unsigned kUndecodableMs = 2000;
// The attempts end this long after the drop, and the drop's error is shown.
inline constexpr unsigned kReconnectBudgetMs = 60000;
// This much sound from the stream after the attempts ends them: a later drop starts
// afresh. Counted in sound, not in time: the time until a drop is noticed (5 s for a
// stall) and a station's opening burst must never make a short return look steady.
inline constexpr unsigned kSteadyMs = 30000;

// Whether a stream that dropped is brought back: a live stream (neither a file nor media
// of known length) that has played. A station that never played keeps its error.
bool MayReconnect(bool live, bool hasPlayed);

enum class StreamHealth { Fine, Stalled, Undecodable };

// Follows a playing stream by the bytes that arrived and the sound decoded from them.
class StreamWatch {
 public:
  explicit StreamWatch(unsigned stallMs = kStallMs, unsigned undecodableMs = kUndecodableMs)
      : stallMs_(stallMs), undecodableMs_(undecodableMs) {}

  // Sound came out of the stream at nowMs, `bytes` having arrived in all.
  void Sound(unsigned long long nowMs, long long bytes);
  // The stream's state at nowMs with `bytes` arrived in all.
  StreamHealth Check(unsigned long long nowMs, long long bytes);

  // Bytes without sound that make a stream undecodable rather than stalled: less may be
  // the start of a frame the station never finished.
  static constexpr long long kUndecodableBytes = 4096;
  // The reader looks at least every few hundred milliseconds while it reads or waits; a
  // longer pause was the program's own (a machine too busy to run it, or asleep): that
  // time is not held against the stream.
  static constexpr unsigned long long kAwayMs = 1500;

 private:
  // Called at every look: a pause of the watcher itself moves the stream's clocks on.
  void Looked(unsigned long long nowMs);

  unsigned stallMs_, undecodableMs_;
  unsigned long long lookedMs_ = 0;
  unsigned long long soundMs_ = 0, bytesMs_ = 0;
  long long bytesAtSound_ = 0, bytes_ = 0;
};

// The attempts after a drop: waits of 0.5, 1, 2, 4 and 8 s, then 8 s, until the budget
// from the drop is spent. A connection that fails before sound returns (refused, or
// accepted and closed at once) is one failed attempt like any other, so a server that
// closes at once never makes the player spin; a stream that comes back and drops again
// before it played steadily goes on with the same plan.
class ReconnectPlan {
 public:
  explicit ReconnectPlan(unsigned budgetMs = kReconnectBudgetMs) : budget_(budgetMs) {}

  // The stream, or an attempt to bring it back, failed at nowMs: the wait before the next
  // attempt, or nothing when the attempts are over.
  std::optional<unsigned> Failed(unsigned long long nowMs);
  // `soundMs` of sound came from the stream since it came back (called as it grows).
  void Sound(unsigned long long soundMs);
  // Attempts are under way (the last failure was not followed by steady sound).
  bool Active() const { return active_; }
  // The drop that started the attempts, for the time left of the budget.
  unsigned long long DropMs() const { return dropMs_; }
  unsigned BudgetMs() const { return budget_; }

  static unsigned Backoff(int attempt);

 private:
  unsigned budget_;
  bool active_ = false;
  unsigned long long dropMs_ = 0, soundMs_ = 0;
  int attempts_ = 0;
};

}  // namespace playback
