// Which directory servers a search asks, in what order. The directory's own way: look up
// every address of its round-robin name, take each address's own server name, shuffle
// them, and go on to the next one when a server fails. A user's directory.ini may name
// the servers instead. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace directory {

// The name whose addresses are the directory's servers.
inline constexpr const char* kRoundRobinName = "all.api.radio-browser.info";

// The base addresses of a `Servers=` value: http or https addresses separated by
// blanks, without a trailing slash; other words are left out.
std::vector<std::string> ParseServers(std::string_view value);

// The servers behind the names that the round-robin name's addresses have, each once
// ("https://<name>"), in an order shuffled by `seed`; names that are no host names
// (empty, a bare address in numbers, characters a host name has not) are left out.
std::vector<std::string> ServersFromNames(const std::vector<std::string>& names, std::uint32_t seed);

}  // namespace directory
