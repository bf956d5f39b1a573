#include "playback/RefusalWatch.h"

#include <windows.h>

#include "playback/NameLookup.h"
#include "playback/PlaylistRules.h"

namespace playback {

void RefusalWatch::Start(const std::string& url) {
  Finish();
  addresses_.clear();
  lengths_.clear();
  next_ = 0;
  refused_ = false;
  ForgetFoundAddresses();
  beginAt_ = HostAndPort(url, host_, port_) ? GetTickCount64() + kDelayMs : 0;
}

void RefusalWatch::Begin() {
  // The addresses that FFmpeg's own lookup found: a lookup of the watch's would wait for
  // the name server once more, inside the interrupt callback that has to answer at once.
  // Until that lookup has answered, the watch is asked again later.
  if (!FoundAddresses(host_, port_, addresses_, lengths_)) return;
  beginAt_ = 0;
  static const bool started = [] {
    WSADATA wsa;
    return WSAStartup(MAKEWORD(2, 2), &wsa) == 0;
  }();
  if (started) ConnectNext();
}

bool RefusalWatch::ConnectNext() {
  while (next_ < addresses_.size()) {
    const sockaddr_storage& a = addresses_[next_];
    const int length = lengths_[next_++];
    socket_ = socket(a.ss_family, SOCK_STREAM, IPPROTO_TCP);
    if (socket_ == INVALID_SOCKET) continue;
    u_long nonBlocking = 1;
    ioctlsocket(socket_, FIONBIO, &nonBlocking);
    if (connect(socket_, reinterpret_cast<const sockaddr*>(&a), length) == 0 || WSAGetLastError() == WSAEWOULDBLOCK)
      return true;
    const bool refusedAtOnce = WSAGetLastError() == WSAECONNREFUSED;
    closesocket(socket_);
    socket_ = INVALID_SOCKET;
    if (!refusedAtOnce) {
      addresses_.clear();  // some other failure: FFmpeg will tell
      return false;
    }
  }
  refused_ = !addresses_.empty();
  return false;
}

void RefusalWatch::Finish() {
  if (socket_ != INVALID_SOCKET) closesocket(socket_);
  socket_ = INVALID_SOCKET;
  next_ = addresses_.size();
}

bool RefusalWatch::Refused() {
  if (beginAt_ != 0 && GetTickCount64() >= beginAt_) Begin();
  if (socket_ == INVALID_SOCKET) return refused_;
  fd_set writable, failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(socket_, &writable);
  FD_SET(socket_, &failed);
  timeval now{0, 0};
  if (select(0, nullptr, &writable, &failed, &now) <= 0) return false;
  if (FD_ISSET(socket_, &writable)) {
    Finish();  // the server answers: FFmpeg's connection will get through too
    return false;
  }
  int error = 0;
  int size = sizeof error;
  getsockopt(socket_, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size);
  closesocket(socket_);
  socket_ = INVALID_SOCKET;
  if (error != WSAECONNREFUSED) {
    Finish();
    return false;
  }
  ConnectNext();
  return refused_;
}

}  // namespace playback
