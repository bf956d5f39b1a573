#include "directory/ServerRules.h"

#include <algorithm>
#include <random>

namespace directory {

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
  return text;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() > prefix.size() && Lower(std::string(text.substr(0, prefix.size()))) == prefix;
}

// Letters, digits, dashes and dots, with at least one letter: what a reverse lookup
// answers for a server; an address in numbers has no server name.
bool HostName(std::string_view name) {
  if (name.empty() || name.size() > 253 || name.front() == '.' || name.front() == '-') return false;
  bool letter = false;
  for (char c : name) {
    const bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    letter = letter || alpha;
    if (!alpha && !(c >= '0' && c <= '9') && c != '-' && c != '.') return false;
  }
  return letter;
}

}  // namespace

std::vector<std::string> ParseServers(std::string_view value) {
  std::vector<std::string> servers;
  std::size_t at = 0;
  while (at < value.size()) {
    const std::size_t start = value.find_first_not_of(" \t", at);
    if (start == std::string_view::npos) break;
    std::size_t end = value.find_first_of(" \t", start);
    if (end == std::string_view::npos) end = value.size();
    std::string_view word = value.substr(start, end - start);
    at = end;
    while (!word.empty() && word.back() == '/') word.remove_suffix(1);
    const bool controls = std::any_of(word.begin(), word.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
    if (controls || !(StartsWith(word, "http://") || StartsWith(word, "https://"))) continue;
    if (std::find(servers.begin(), servers.end(), word) == servers.end()) servers.emplace_back(word);
  }
  return servers;
}

std::vector<std::string> ServersFromNames(const std::vector<std::string>& names, std::uint32_t seed) {
  std::vector<std::string> servers;
  for (std::string name : names) {
    if (!name.empty() && name.back() == '.') name.pop_back();  // a fully qualified answer
    if (!HostName(name)) continue;
    const std::string server = "https://" + Lower(name);
    if (std::find(servers.begin(), servers.end(), server) == servers.end()) servers.push_back(server);
  }
  std::mt19937 random(seed);
  std::shuffle(servers.begin(), servers.end(), random);
  return servers;
}

}  // namespace directory
