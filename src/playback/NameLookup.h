// Host names looked up where the lookup can be given up. FFmpeg's TCP connections (our
// build of it, scripts/patches) ask here instead of getaddrinfo, with the connection's
// interrupt callback: a name is looked up on a thread of its own, which the connection
// leaves as soon as the callback says stop (another station, Stop, Exit, the deadline),
// so that nothing waits for a name server that does not answer. A numeric address is
// answered at once. The bound of NameLookupRules applies: a lookup past it fails at once
// and says why (LastLookupFault).
#pragma once

#include <winsock2.h>

#include <string>
#include <vector>

struct addrinfo;

namespace playback {

// Makes FFmpeg's TCP connections look names up here; done once, by the first stream reader.
void InstallNameLookup();

// What looks a name up on the lookup's thread: getaddrinfo, unless a test puts another
// in (a name server that never answers). Its answer is freed with freeaddrinfo.
using NameResolver = int (*)(const char* host, const char* service, const addrinfo* hints, addrinfo** found);
// Returns the resolver it replaces.
NameResolver SetNameResolver(NameResolver resolver);

// Why the last lookup on this thread was refused (the bound, no thread), in words since
// ClearLookupFault; empty when none was.
std::string LastLookupFault();
void ClearLookupFault();

// The addresses that the last lookup on this thread found for host and port (at most a
// few), for a connection of the caller's own beside FFmpeg's that needs no lookup of its
// own; false while none is known since ForgetFoundAddresses.
bool FoundAddresses(const std::string& host, int port, std::vector<sockaddr_storage>& addresses,
                    std::vector<int>& lengths);
void ForgetFoundAddresses();

}  // namespace playback
