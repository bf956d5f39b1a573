// Learns early that a server refuses connections. FFmpeg waits for its socket to become
// writable, but Winsock reports a refused connection as an exception instead, so FFmpeg
// would only give up at its time-out. When FFmpeg has not got through after a moment,
// the watch makes a connection of its own beside FFmpeg's, watched from the reader's
// interrupt callback, and closes it as soon as it knows. A server that answers at once
// never sees the watch.
#pragma once

#include <winsock2.h>

#include <string>
#include <vector>

namespace playback {

class RefusalWatch {
 public:
  RefusalWatch() = default;
  ~RefusalWatch() { Finish(); }
  RefusalWatch(const RefusalWatch&) = delete;
  RefusalWatch& operator=(const RefusalWatch&) = delete;

  // How long FFmpeg has to connect on its own before the watch starts.
  static constexpr unsigned kDelayMs = 250;

  // Watches the host and port of an http or https URL from now on; any other URL is
  // left alone. Forgets the previous URL.
  void Start(const std::string& url);
  // Looks, without waiting, whether the connection was refused at every address of the
  // host (once the delay is over and FFmpeg's lookup has found the host's addresses, they
  // are connected to). A connection that succeeds ends the watch: FFmpeg then reports
  // for itself.
  bool Refused();
  // Ends watching (FFmpeg is through, or has failed); Refused() keeps its answer.
  void Stop() {
    beginAt_ = 0;
    Finish();
  }

 private:
  void Begin();
  bool ConnectNext();
  void Finish();

  std::string host_;
  int port_ = 0;
  unsigned long long beginAt_ = 0;  // 0: nothing to watch, or already begun

  std::vector<sockaddr_storage> addresses_;
  std::vector<int> lengths_;
  std::size_t next_ = 0;
  SOCKET socket_ = INVALID_SOCKET;
  bool refused_ = false;
};

}  // namespace playback
