// A station of a test's own on 127.0.0.1: it relays the local test station's MP3 stream
// at the stream's own pace (so that a drop is heard when it happens, not seconds later
// when a head start runs out), and the test makes it drop, stall, send garbage, close
// every new connection at once, or go down for good.
#pragma once

#include <winsock2.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The moment a drop at droppedTick reaches the listener's ear, when the player noticed it
// (its stream ended) at noticedTick: a player that started slowly holds more of the
// stream than the relay's head start, and plays it before it can notice.
DWORD HeardDrop(DWORD droppedTick, DWORD noticedTick);

class RelayServer {
 public:
  // source: the station's http://127.0.0.1:PORT/PATH address of a 128 kb/s MP3 stream.
  explicit RelayServer(std::string source);
  ~RelayServer();
  RelayServer(const RelayServer&) = delete;
  RelayServer& operator=(const RelayServer&) = delete;

  // What a connection is sent at once, ahead of the stream's pace.
  static constexpr DWORD kLeadMs = 500;

  std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/live"; }
  // Connections accepted so far.
  int Connections() const { return connections_; }
  // When the last connection was answered (GetTickCount), 0 before any.
  DWORD AnsweredTick() const { return answered_; }

  // What the connections being relayed send from now on.
  enum class Mode { Relay, Stall, Garbage };
  void SetMode(Mode mode) { mode_ = mode; }
  // New connections are closed as soon as they are accepted.
  void SetAcceptAndClose(bool on) { acceptAndClose_ = on; }
  // Closes every connection being relayed; returns the moment (GetTickCount).
  DWORD Drop();
  // Drops, and listens no more: every later connection is refused.
  void Down();

 private:
  void Accept();
  void Serve(SOCKET client);

  std::string source_;
  SOCKET listener_;
  int port_ = 0;
  std::atomic<int> connections_{0};
  std::atomic<DWORD> answered_{0};
  std::atomic<Mode> mode_{Mode::Relay};
  std::atomic<bool> acceptAndClose_{false};
  std::atomic<bool> quit_{false};
  std::mutex mutex_;
  std::vector<SOCKET> open_;  // the connections being relayed
  std::vector<std::thread> threads_;
  std::thread acceptor_;
};
