// The player on its own, for the player's tests: a tone written to a file, what the
// sound server's sink hears, a page fetched, and servers of the tests' own that
// misbehave, watch the stream or never answer a name.
#pragma once

#include <windows.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <mmsystem.h>
#include <tlhelp32.h>
#include <wincrypt.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <thread>
#include <vector>

#include "playback/CertificateCheck.h"
#include "support/LoopbackServer.h"
#include "playback/NameLookup.h"
#include "playback/NameLookupRules.h"
#include "support/ProcessCounts.h"
#include "support/SoundCapture.h"
#include "playback/StationPlayer.h"
#include "support/StationTesting.h"
#include "support/Waiting.h"
#include "playback/WindowsMediaPlayer.h"

extern "C" {
#include <libavformat/avio.h>
#include <libavutil/error.h>
// Asked by our build of FFmpeg's TLS once a handshake is done (scripts/patches).
extern int (*ff_schannel_check_peer)(const char* host, const void* certContext);
}

using playback::StationPlayer;
using testing_support::WaitFor;

// A file in the temporary directory that no other test or run uses at the same time: the
// process id and a count go before the name's extension.
inline std::string TempPath(const std::string& name) {
  static std::atomic<int> count{0};
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  const std::size_t dot = name.rfind('.');
  const std::string stem = name.substr(0, dot), extension = dot == std::string::npos ? "" : name.substr(dot);
  return std::string(dir) + stem + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count) +
         extension;
}

// A WAVE file of a sine tone, 16-bit stereo.
inline std::string WriteTone(const std::string& name, double seconds, int rate = 44100, double hz = 1000) {
  const std::string path = TempPath(name);
  std::ofstream(path, std::ios::binary) << ToneWave(seconds, rate, hz);
  return path;
}

// Records what reaches the sound server's null sink (through its monitor source) and
// measures the tone's frequency and level, skipping the first tenth: the capture starts
// before the sound settles.
inline Tone Listen(DWORD ms) {
  SoundCapture capture(ms);
  if (!capture.Recording()) return {};
  capture.Finish();
  return MeasureTone(capture.Samples(), SoundCapture::kRate, capture.Samples().size() / 10);
}

// Waits until the device has played `seconds` more of the player's sound: what was queued
// before a change (of volume, of address) has then left it, however slowly a busy
// machine plays.
inline bool PlaysOn(const StationPlayer& p, double seconds, DWORD ms = 5000) {
  const double from = p.CurrentPosition();
  return WaitFor([&] { return p.CurrentPosition() >= from + seconds; }, ms);
}

// Deletes a file that a player played, once the player has let go of it.
inline bool DeleteOnceReleased(const std::string& path) {
  return WaitFor([&] { return DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND; }, 2000);
}

// Reads about `bytes` of a live stream as a client: material for servers that misbehave.
inline std::string Fetch(const std::string& url, std::size_t bytes) {
  const SOCKET s = OpenStream(url);
  std::string data;
  char buf[4096];
  while (s != INVALID_SOCKET && data.size() < bytes) {
    const int n = recv(s, buf, sizeof buf, 0);
    if (n <= 0) break;
    data.append(buf, std::size_t(n));
  }
  if (s != INVALID_SOCKET) closesocket(s);
  return data;
}

// A one-connection server on 127.0.0.1: sends an MP3 header and `body`, then closes the
// connection or, with `hold`, keeps it open sending nothing until destroyed.
class MisbehavingServer {
 public:
  MisbehavingServer(std::string body, bool hold) : body_(std::move(body)), hold_(hold) {
    listener_ = ListenOnLoopback(port_);
    thread_ = std::thread([this] { Serve(); });
  }
  ~MisbehavingServer() {
    done_ = true;
    closesocket(listener_);
    thread_.join();
  }
  std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/live"; }

 private:
  void Serve() {
    SOCKET c = accept(listener_, nullptr, nullptr);
    if (c == INVALID_SOCKET) return;
    char request[2048];
    recv(c, request, sizeof request, 0);
    const std::string head = "HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n";
    send(c, head.data(), int(head.size()), 0);
    send(c, body_.data(), int(body_.size()), 0);
    if (hold_) WaitFor([this] { return done_.load(); }, INFINITE);
    closesocket(c);
  }
  std::string body_;
  bool hold_;
  SOCKET listener_;
  int port_ = 0;
  std::atomic<bool> done_{false};
  std::thread thread_;
};

// Counts what a stream tap is told out of turn: a new stream that begins before the last
// one ended, frames or sound outside a connection, or two calls at the same time.
class TurnWatch : public playback::StreamTap {
 public:
  void Connected(const playback::StreamFormat&, bool resumed) override { Turn(open_ && !resumed, true); }
  void NewFormat(const playback::StreamFormat&) override { Turn(!open_, open_); }
  void Frame(const std::uint8_t*, std::size_t, std::int64_t) override { Turn(!open_, open_); }
  void Sound(int, const std::int16_t*, std::size_t) override { Turn(!open_, open_); }
  void Title(const std::string&) override {}
  void Ended() override { Turn(false, false); }
  std::atomic<int> faults{0};

 private:
  void Turn(bool wrong, bool open) {
    faults += int(busy_.exchange(true)) + int(wrong);
    open_ = open;
    busy_ = false;
  }
  std::atomic<bool> busy_{false}, open_{false};
};

// A name server that answers no name of ".silent.invalid" while it lives (or for 20 s: a
// player that waits for it fails its test rather than hangs); other names are looked up
// as usual.
class SilentNameServer {
 public:
  SilentNameServer() : before_(playback::SetNameResolver(&Resolve)) {}
  ~SilentNameServer() {
    playback::SetNameResolver(before_);
    SetEvent(answer_);
  }
  static inline std::atomic<int> asked{0};

 private:
  static int Resolve(const char* host, const char* service, const addrinfo* hints, addrinfo** found) {
    if (!std::strstr(host, ".silent.invalid")) return getaddrinfo(host, service, hints, found);
    ++asked;
    WaitForSingleObject(answer_, 20000);
    return EAI_FAIL;
  }
  static inline HANDLE answer_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  playback::NameResolver before_;
};
