#include "directory/SearchRules.h"

#include <algorithm>

namespace directory {

namespace {

bool Unreserved(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~';
}

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::string PercentEncoded(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) {
    if (Unreserved(c)) {
      out += char(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::string SearchPath(const SearchQuery& query) {
  std::string path = "/json/stations/search?";
  const auto add = [&path](const char* key, std::string_view value) {
    value = Trimmed(value);
    if (value.empty()) return;
    path += key;
    path += '=';
    path += PercentEncoded(value);
    path += '&';
  };
  add("name", query.name);
  add("countrycode", query.countryCode);
  add("tag", query.tag);
  add("codec", query.codec);
  path += query.showBroken ? "hidebroken=false" : "hidebroken=true";
  path += "&order=votes&reverse=true&limit=" + std::to_string(std::clamp(query.limit, 1, kMaxLimit));
  return path;
}

bool ValidStationId(std::string_view id) {
  if (id.empty() || id.size() > 64) return false;
  return std::all_of(id.begin(), id.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == '-';
  });
}

std::string ClickPath(std::string_view id) {
  return ValidStationId(id) ? "/json/url/" + std::string(id) : std::string();
}

std::string RequestUrl(std::string_view server, std::string_view path) {
  while (!server.empty() && server.back() == '/') server.remove_suffix(1);
  std::string url(server);
  if (path.empty() || path.front() != '/') url += '/';
  url += path;
  return url;
}

}  // namespace directory
