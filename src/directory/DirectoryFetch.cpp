#include "directory/DirectoryFetch.h"

#include <winsock2.h>
#include <windows.h>
#include <ws2tcpip.h>

#include <memory>

extern "C" {
#include <libavformat/avio.h>
#include <libavutil/dict.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
}

#include "directory/AnswerRules.h"
#include "directory/ServerRules.h"
#include "playback/CertificateCheck.h"
#include "playback/NameLookup.h"
#include "playback/NameLookupRules.h"
#include "version.h"

namespace directory {

namespace {

constexpr const char* kUserAgent = "Ovexia Tunora/" TUNORA_VERSION_TEXT;
constexpr int kChunk = 64 * 1024;

struct Watch {
  const std::function<bool()>* cancelled;
  unsigned long long quietUntil, endAt;
  bool timedOut = false;

  static int Interrupt(void* self) {
    auto* w = static_cast<Watch*>(self);
    if (*w->cancelled && (*w->cancelled)()) return 1;
    const unsigned long long now = GetTickCount64();
    if (now > w->quietUntil || now > w->endAt) w->timedOut = true;
    return w->timedOut;
  }
};

std::string ErrorText(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = "";
  av_strerror(code, text, sizeof text);
  return text;
}

// Why the connection failed: the certificate or the name lookup where either said no,
// else FFmpeg's reason.
std::string Failure(const Watch& watch, int code) {
  if (watch.timedOut) return "no answer within " + std::to_string(kQuietMs / 1000) + " s";
  if (const playback::CertificateFault fault = playback::LastCertificateFault(); fault.Refused()) return fault.Text();
  if (std::string lookup = playback::LastLookupFault(); !lookup.empty()) return lookup;
  return ErrorText(code);
}

}  // namespace

Fetched Fetch(const std::string& url, const std::function<bool()>& cancelled) {
  av_log_set_level(AV_LOG_QUIET);
  playback::InstallCertificateCheck();
  playback::InstallNameLookup();
  playback::ClearCertificateFault();
  playback::ClearLookupFault();
  const unsigned long long start = GetTickCount64();
  Watch watch{&cancelled, start + kQuietMs, start + kLongestMs};
  const AVIOInterruptCB interrupt{&Watch::Interrupt, &watch};
  AVDictionary* options = nullptr;
  av_dict_set(&options, "protocol_whitelist", "http,https,tcp,tls", 0);
  av_dict_set(&options, "user_agent", kUserAgent, 0);
  AVIOContext* io = nullptr;
  const int opened = avio_open2(&io, url.c_str(), AVIO_FLAG_READ, &interrupt, &options);
  av_dict_free(&options);
  Fetched out;
  if (opened < 0) {
    out.error = Failure(watch, opened);
    return out;
  }
  std::unique_ptr<unsigned char[]> chunk(new unsigned char[kChunk]);
  for (;;) {
    const int n = avio_read_partial(io, chunk.get(), kChunk);
    if (n == AVERROR_EOF || (n == 0 && avio_feof(io))) break;
    if (n == 0) {
      if (!Watch::Interrupt(&watch)) continue;
      out.error = Failure(watch, AVERROR_EXIT);
      break;
    }
    if (n < 0) {
      out.error = Failure(watch, n);
      break;
    }
    if (out.body.size() + std::size_t(n) > kMaxAnswerBytes) {
      out.error = "the answer is larger than " + std::to_string(kMaxAnswerBytes / (1024 * 1024)) + " MB";
      break;
    }
    out.body.append(reinterpret_cast<const char*>(chunk.get()), std::size_t(n));
    watch.quietUntil = GetTickCount64() + kQuietMs;
  }
  avio_closep(&io);
  if (!out.Ok()) out.body.clear();
  return out;
}

std::vector<std::string> LookUpServerNames(const std::function<bool()>& cancelled) {
  // Lookups that a cancelled search left finish on their own; two at most at a time.
  static const playback::LookupThreads threads(2);
  auto names = std::make_shared<std::vector<std::string>>();
  const unsigned long long endAt = GetTickCount64() + kQuietMs;
  const auto lookUp = [names] {
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return;
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(kRoundRobinName, "443", &hints, &found) == 0) {
      for (const addrinfo* a = found; a; a = a->ai_next) {
        char host[NI_MAXHOST] = "";
        if (getnameinfo(a->ai_addr, socklen_t(a->ai_addrlen), host, sizeof host, nullptr, 0, NI_NAMEREQD) == 0)
          names->push_back(host);
      }
      freeaddrinfo(found);
    }
    WSACleanup();
  };
  const auto stop = [&] { return (cancelled && cancelled()) || GetTickCount64() > endAt; };
  if (threads.Run(lookUp, stop, std::chrono::milliseconds(20)) != playback::LookupWait::Answered) return {};
  return *names;
}

}  // namespace directory
