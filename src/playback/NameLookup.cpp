#include "playback/NameLookup.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <mutex>
#include <utility>

#include "playback/NameLookupRules.h"

extern "C" {
#include <libavformat/avio.h>
// Set in our build of FFmpeg's TCP protocol (scripts/patches): asked instead of
// getaddrinfo, with the connection's interrupt callback.
extern int (*ff_tcp_getaddrinfo)(const char* node, const char* service, const struct addrinfo* hints,
                                 struct addrinfo** res, const AVIOInterruptCB* interrupt);
}

namespace playback {

namespace {

// How often a waiting connection asks its interrupt callback: a cancelled one leaves
// within this.
constexpr std::chrono::milliseconds kPoll{20};

int SystemResolver(const char* host, const char* service, const addrinfo* hints, addrinfo** found) {
  return getaddrinfo(host, service, hints, found);
}

std::atomic<NameResolver> resolver{&SystemResolver};

const LookupThreads& Threads() {
  static const LookupThreads threads;
  return threads;
}

// What a lookup asks for: the fields of FFmpeg's hints that a question has, no pointers.
addrinfo Question(const addrinfo* hints) {
  addrinfo q{};
  if (!hints) return q;
  q.ai_flags = hints->ai_flags;
  q.ai_family = hints->ai_family;
  q.ai_socktype = hints->ai_socktype;
  q.ai_protocol = hints->ai_protocol;
  return q;
}

// One lookup's question and answer, held by the caller and by the lookup's thread; the
// last of the two to let go frees an answer that the caller did not take. It keeps
// Winsock started until then, whatever FFmpeg's connections do meanwhile.
struct Lookup {
  Lookup(const char* host, const char* service, const addrinfo* hints)
      : host(host), service(service ? service : ""), hints(Question(hints)) {
    WSADATA wsa;
    winsock = WSAStartup(MAKEWORD(2, 2), &wsa) == 0;
  }
  ~Lookup() {
    if (found) freeaddrinfo(found);
    if (winsock) WSACleanup();
  }
  Lookup(const Lookup&) = delete;
  Lookup& operator=(const Lookup&) = delete;
  void Resolve(NameResolver resolve) {
    error = resolve(host.c_str(), service.empty() ? nullptr : service.c_str(), &hints, &found);
  }

  std::string host, service;
  addrinfo hints;
  bool winsock = false;
  addrinfo* found = nullptr;
  int error = EAI_FAIL;
};

// What this thread's lookups left, kept without a destructor: the C runtime may free a
// thread's storage before it runs the destructors of what lives there.
struct FoundRecord {
  char host[256];
  int port;
  int count;
  sockaddr_storage addresses[4];
  int lengths[4];
};
thread_local FoundRecord lastFound;
thread_local char lastFault[512];

void Remember(const char* host, const char* service, const addrinfo* found) {
  FoundRecord& r = lastFound;
  r.count = 0;
  if (std::strlen(host) >= sizeof r.host) return;
  std::strcpy(r.host, host);
  r.port = service ? std::atoi(service) : 0;
  for (const addrinfo* a = found; a && r.count < int(std::size(r.addresses)); a = a->ai_next) {
    if (!a->ai_addr || a->ai_addrlen > sizeof(sockaddr_storage)) continue;
    std::memcpy(&r.addresses[r.count], a->ai_addr, a->ai_addrlen);
    r.lengths[r.count++] = int(a->ai_addrlen);
  }
}

int LookUp(const char* host, const char* service, const addrinfo* hints, addrinfo** found,
           const AVIOInterruptCB* interrupt) {
  *found = nullptr;
  // No name server answers these: the local host that a listener binds, a numeric address.
  if (!host) return getaddrinfo(host, service, hints, found);
  try {
    addrinfo numeric = Question(hints);
    numeric.ai_flags |= AI_NUMERICHOST;
    if (getaddrinfo(host, service, &numeric, found) == 0) {
      Remember(host, service, *found);
      return 0;
    }
    *found = nullptr;
    const auto lookup = std::make_shared<Lookup>(host, service, hints);
    const NameResolver resolve = resolver;
    const auto stop = [interrupt] {
      return interrupt && interrupt->callback && interrupt->callback(interrupt->opaque) != 0;
    };
    const LookupWait wait = Threads().Run([lookup, resolve] { lookup->Resolve(resolve); }, stop, kPoll);
    if (wait == LookupWait::Answered) {
      if (lookup->error == 0) Remember(host, service, lookup->found);
      *found = std::exchange(lookup->found, nullptr);
      return lookup->error;
    }
    // A connection that was cancelled is not told why; a refused one says it in words.
    if (wait == LookupWait::Abandoned) return EAI_AGAIN;
    const std::string why = LookupRefusedText(wait, host);
    why.copy(lastFault, sizeof lastFault - 1);
    lastFault[std::min(why.size(), sizeof lastFault - 1)] = '\0';
    return wait == LookupWait::Busy ? EAI_AGAIN : EAI_MEMORY;
  } catch (...) {
    // Memory ran out: nothing may leave into FFmpeg's C code.
    return EAI_MEMORY;
  }
}

}  // namespace

void InstallNameLookup() {
  static std::once_flag once;
  std::call_once(once, [] { ff_tcp_getaddrinfo = &LookUp; });
}

NameResolver SetNameResolver(NameResolver replacement) {
  return resolver.exchange(replacement ? replacement : &SystemResolver);
}

std::string LastLookupFault() {
  return lastFault;
}

void ClearLookupFault() {
  lastFault[0] = '\0';
}

bool FoundAddresses(const std::string& host, int port, std::vector<sockaddr_storage>& addresses,
                    std::vector<int>& lengths) {
  const FoundRecord& r = lastFound;
  if (r.count == 0 || r.port != port || _stricmp(r.host, host.c_str()) != 0) return false;
  addresses.assign(r.addresses, r.addresses + r.count);
  lengths.assign(r.lengths, r.lengths + r.count);
  return true;
}

void ForgetFoundAddresses() {
  lastFound.count = 0;
}

}  // namespace playback
