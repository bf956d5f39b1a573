// Lookups of host names that the caller may stop waiting for. A name server that does not
// answer holds a lookup for many seconds, and the system's lookup cannot be cut short:
// each lookup runs on a thread of its own, its caller waits only while its stop() says
// go on, and an abandoned lookup finishes on its own later, freeing what it found with
// itself. The lookups still running, abandoned ones included, are bounded, so that a
// listener who switches stations while the name server is silent does not pile up
// threads without end. Portable.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace playback {

// Lookups that may run at once, those whose callers gave up on them included.
inline constexpr int kMaxLookups = 4;

enum class LookupWait {
  Answered,   // lookup() returned
  Abandoned,  // stop() said so first; lookup() goes on alone and frees what it holds
  Busy,       // as many lookups as allowed are running: lookup() was not started
  NoThread,   // no thread could be started for it
};

class LookupThreads {
 public:
  explicit LookupThreads(int limit = kMaxLookups);

  // Runs lookup() on a thread of its own and waits for it, asking stop() every `poll`,
  // on the caller's thread. What lookup() fills belongs to the caller once it answered;
  // otherwise it is for lookup's own captures to free (they go with its thread).
  // lookup() must not throw.
  LookupWait Run(std::function<void()> lookup, const std::function<bool()>& stop, std::chrono::milliseconds poll) const;
  // The lookups running now, abandoned ones included.
  int Running() const;

 private:
  struct Count;
  std::shared_ptr<Count> count_;  // shared with the threads, which may outlive this
};

// Why a lookup of `host` was not started, in words for the listener.
std::string LookupRefusedText(LookupWait why, const std::string& host);

}  // namespace playback
