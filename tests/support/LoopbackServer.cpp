#include "support/LoopbackServer.h"

#include <windows.h>

void StartSockets() {
  static const bool started = [] {
    WSADATA wsa;
    return WSAStartup(MAKEWORD(2, 2), &wsa) == 0;
  }();
  (void)started;
}

SOCKET ListenOnLoopback(int& port) {
  StartSockets();
  SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  listen(s, 16);
  int len = sizeof a;
  getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
  port = ntohs(a.sin_port);
  return s;
}

SOCKET OpenStream(const std::string& url) {
  const std::size_t hostAt = url.find("//") + 2, portAt = url.find(':', hostAt), pathAt = url.find('/', hostAt);
  SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(std::uint16_t(std::atoi(url.substr(portAt + 1, pathAt - portAt - 1).c_str())));
  const std::string request = "GET " + url.substr(pathAt) + " HTTP/1.0\r\n\r\n";
  if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
      send(s, request.data(), int(request.size()), 0) != int(request.size())) {
    closesocket(s);
    return INVALID_SOCKET;
  }
  std::string head;
  char c;
  while (head.size() < 16384 && head.find("\r\n\r\n") == std::string::npos) {
    if (recv(s, &c, 1, 0) != 1) {
      closesocket(s);
      return INVALID_SOCKET;
    }
    head += c;
  }
  return s;
}

std::string DeadUrl(const std::string& path) {
  int port = 0;
  closesocket(ListenOnLoopback(port));
  return "http://127.0.0.1:" + std::to_string(port) + path;
}

Reply Ok(const std::string& contentType, std::string body) {
  const std::string length = std::to_string(body.size());
  return {"HTTP/1.0 200 OK\r\nContent-Type: " + contentType + "\r\nContent-Length: " + length + "\r\n",
          std::move(body)};
}

Reply Redirect(int code, const std::string& location) {
  return {"HTTP/1.0 " + std::to_string(code) + " Moved\r\nLocation: " + location + "\r\nContent-Length: 0\r\n", ""};
}

Reply NotFound() {
  return {"HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n", ""};
}

LoopbackServer::LoopbackServer(Handler handler) : handler_(std::move(handler)) {
  listener_ = ListenOnLoopback(port_);
  acceptor_ = std::thread([this] { Accept(); });
}

LoopbackServer::~LoopbackServer() {
  closesocket(listener_);
  acceptor_.join();
  for (std::thread& t : connections_) t.join();
}

std::string LoopbackServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void LoopbackServer::Accept() {
  for (;;) {
    SOCKET c = accept(listener_, nullptr, nullptr);
    if (c == INVALID_SOCKET) return;
    connections_.emplace_back([this, c] { Serve(c); });
  }
}

void LoopbackServer::Serve(SOCKET c) {
  std::string request;
  char buf[2048];
  while (request.find("\r\n\r\n") == std::string::npos && request.size() < 16384) {
    const int n = recv(c, buf, sizeof buf, 0);
    if (n <= 0) break;
    request.append(buf, std::size_t(n));
  }
  const std::size_t pathAt = request.find(' ') + 1, pathEnd = request.find(' ', pathAt);
  if (pathAt > 0 && pathEnd != std::string::npos) {
    ++requests_;
    ++answering_;
    const Reply reply = handler_(request.substr(pathAt, pathEnd - pathAt));
    const std::string all = reply.head + "\r\n" + reply.body;
    // A client that has heard enough closes its end: the send then fails and ends here.
    // A paced reply sends its body a twentieth of a second at a time, as a station does.
    const std::size_t piece = reply.bytesPerSecond ? std::max(reply.bytesPerSecond / 20, 1u) : 65536;
    for (std::size_t sent = 0; sent < all.size();) {
      if (reply.bytesPerSecond && sent > reply.head.size()) Sleep(50);
      const int n = send(c, all.data() + sent, int(std::min(all.size() - sent, piece)), 0);
      if (n <= 0) break;
      sent += std::size_t(n);
    }
    --answering_;
  }
  // A graceful close: the client reads the end of the body before the connection goes
  // (closing at once may reset it and lose what is still on its way).
  shutdown(c, SD_SEND);
  const DWORD wait = 2000;
  setsockopt(c, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&wait), sizeof wait);
  while (recv(c, buf, sizeof buf, 0) > 0) {
  }
  closesocket(c);
}
