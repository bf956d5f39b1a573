// Servers on 127.0.0.1 for the player tests: a bare listening socket, and a small HTTP
// server whose replies a test chooses per request path.
#pragma once

#include <winsock2.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

void StartSockets();

// A listening socket on 127.0.0.1 at a free port.
SOCKET ListenOnLoopback(int& port);

// A client connection to a stream on 127.0.0.1 (http://127.0.0.1:PORT/PATH), past its
// reply's header: what follows is the stream. INVALID_SOCKET when it cannot be reached.
SOCKET OpenStream(const std::string& url);

// An address on 127.0.0.1 where nothing listens: a port that was bound and closed again
// here, rather than a fixed one that something on the machine might use.
std::string DeadUrl(const std::string& path);

// What the server sends for one request: the status line and header lines (each ending
// in CR LF, without the blank line), then the body, then it closes the connection.
struct Reply {
  std::string head;
  std::string body;
  unsigned bytesPerSecond = 0;  // 0: all at once
};
Reply Ok(const std::string& contentType, std::string body);
Reply Redirect(int code, const std::string& location);
Reply NotFound();

// Serves every connection on a thread of its own, so that a client may hold one
// connection while it opens the next (an HLS list and its segments).
class LoopbackServer {
 public:
  using Handler = std::function<Reply(const std::string& path)>;
  explicit LoopbackServer(Handler handler);
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  std::string Url(const std::string& path) const;
  int Requests() const { return requests_; }
  // Requests being answered now (a handler counts its own).
  int Answering() const { return answering_; }

 private:
  void Accept();
  void Serve(SOCKET c);

  Handler handler_;
  SOCKET listener_;
  int port_ = 0;
  std::atomic<int> requests_{0};
  std::atomic<int> answering_{0};
  // Joined, never detached: a detached thread that still touches the server's own
  // objects after the last wake-up outlives them (and hung the server's end under load).
  std::vector<std::thread> connections_;  // only the acceptor adds
  std::thread acceptor_;
};
