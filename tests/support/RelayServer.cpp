#include "support/RelayServer.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "support/LoopbackServer.h"

namespace {

constexpr long long kBytesPerSecond = 128000 / 8;
constexpr long long kLeadBytes = kBytesPerSecond * RelayServer::kLeadMs / 1000;

}  // namespace

DWORD HeardDrop(DWORD droppedTick, DWORD noticedTick) {
  return noticedTick > droppedTick + RelayServer::kLeadMs ? noticedTick - RelayServer::kLeadMs : droppedTick;
}

RelayServer::RelayServer(std::string source) : source_(std::move(source)) {
  listener_ = ListenOnLoopback(port_);
  acceptor_ = std::thread([this] { Accept(); });
}

RelayServer::~RelayServer() {
  quit_ = true;
  Down();
  acceptor_.join();
  for (std::thread& t : threads_) t.join();
}

DWORD RelayServer::Drop() {
  std::lock_guard lock(mutex_);
  for (SOCKET c : open_) shutdown(c, SD_BOTH);
  return GetTickCount();
}

void RelayServer::Down() {
  SOCKET listener = INVALID_SOCKET;
  {
    std::lock_guard lock(mutex_);
    std::swap(listener, listener_);
  }
  if (listener != INVALID_SOCKET) closesocket(listener);
  Drop();
}

void RelayServer::Accept() {
  for (;;) {
    SOCKET listener;
    {
      std::lock_guard lock(mutex_);
      listener = listener_;
    }
    SOCKET c = listener == INVALID_SOCKET ? INVALID_SOCKET : accept(listener, nullptr, nullptr);
    if (c == INVALID_SOCKET) return;
    ++connections_;
    if (acceptAndClose_) {
      closesocket(c);
      continue;
    }
    std::lock_guard lock(mutex_);
    open_.push_back(c);
    threads_.emplace_back([this, c] { Serve(c); });
  }
}

void RelayServer::Serve(SOCKET client) {
  char buf[4096];
  recv(client, buf, sizeof buf, 0);  // the request: one segment from the player
  SOCKET source = OpenStream(source_);
  const std::string head = "HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n";
  bool ok = source != INVALID_SOCKET && send(client, head.data(), int(head.size()), 0) == int(head.size());
  if (ok) answered_ = GetTickCount();
  const DWORD start = GetTickCount();
  long long sent = 0;
  while (ok && !quit_) {
    const long long due = kLeadBytes + (long long)(GetTickCount() - start) * kBytesPerSecond / 1000;
    if (sent >= due || mode_ == Mode::Stall) {
      Sleep(20);
      // A player that left, or a drop, shows as the end of the connection.
      fd_set readable;
      FD_ZERO(&readable);
      FD_SET(client, &readable);
      timeval now{0, 0};
      if (select(0, &readable, nullptr, nullptr, &now) > 0 && recv(client, buf, sizeof buf, 0) <= 0) break;
      continue;
    }
    const int want = int(std::min<long long>(due - sent, sizeof buf));
    int n = recv(source, buf, want, 0);
    if (n <= 0) break;
    if (mode_ == Mode::Garbage)
      for (int i = 0; i < n; ++i) buf[i] = char(std::rand());
    n = send(client, buf, n, 0);
    if (n <= 0) break;
    sent += n;
  }
  if (source != INVALID_SOCKET) closesocket(source);
  std::lock_guard lock(mutex_);
  open_.erase(std::remove(open_.begin(), open_.end(), client), open_.end());
  closesocket(client);
}
