#include "directory/AnswerRules.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <unordered_set>

#include <nlohmann/json.hpp>

#include "directory/SearchRules.h"

namespace directory {

namespace {

using Json = nlohmann::json;

// Values deeper than a station's own fields are skipped while parsing, so that an
// answer nested thousands deep costs no memory.
constexpr int kKeptDepth = 3;
constexpr std::size_t kMaxTextBytes = 2048;

std::string Text(const Json& station, const char* key) {
  const auto it = station.find(key);
  if (it == station.end() || !it->is_string()) return {};
  std::string text = it->get<std::string>();
  if (text.size() > kMaxTextBytes) text.resize(kMaxTextBytes);
  // Control characters would break the list's lines and the group file's.
  std::replace_if(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; },
                  ' ');
  return text;
}

// A count sent as a number or as a text of digits; 0 otherwise, clamped to int.
int Count(const Json& station, const char* key) {
  const auto it = station.find(key);
  if (it == station.end()) return 0;
  double value = 0;
  if (it->is_number()) {
    value = it->get<double>();
  } else if (it->is_string()) {
    const std::string text = it->get<std::string>();
    if (text.empty() || text.size() > 18 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
      return 0;
    value = std::stod(text);
  }
  if (!(value > 0)) return 0;  // NaN too
  return value >= double(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max() : int(value);
}

// A flag sent as a boolean, a number or "true"/"1"; `otherwise` when missing or unreadable.
bool Flag(const Json& station, const char* key, bool otherwise) {
  const auto it = station.find(key);
  if (it == station.end()) return otherwise;
  if (it->is_boolean()) return it->get<bool>();
  if (it->is_number()) return it->get<double>() != 0;
  if (it->is_string()) {
    const std::string text = it->get<std::string>();
    if (text == "1" || text == "true") return true;
    if (text == "0" || text == "false") return false;
  }
  return otherwise;
}

std::string Trimmed(std::string text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.back())) text.pop_back();
  std::size_t start = 0;
  while (start < text.size() && blank(text[start])) ++start;
  return text.substr(start);
}

Station ReadStation(const Json& entry) {
  Station s;
  s.id = Text(entry, "stationuuid");
  if (!ValidStationId(s.id)) s.id.clear();
  s.name = Trimmed(Text(entry, "name"));
  s.url = Trimmed(Text(entry, "url_resolved"));
  if (s.url.empty()) s.url = Trimmed(Text(entry, "url"));
  s.countryCode = Text(entry, "countrycode");
  s.codec = Text(entry, "codec");
  s.tags = Text(entry, "tags");
  s.bitrate = Count(entry, "bitrate");
  s.votes = Count(entry, "votes");
  s.clicks = Count(entry, "clickcount");
  s.hls = Flag(entry, "hls", false);
  // A station the directory never checked is not taken for broken.
  s.broken = !Flag(entry, "lastcheckok", true);
  if (s.name.empty()) s.name = s.url;
  return s;
}

}  // namespace

std::vector<Station> ParseAnswer(std::string_view json, bool showBroken) {
  if (json.size() > kMaxAnswerBytes) throw AnswerError("the answer is too large");
  const Json::parser_callback_t shallow = [](int depth, Json::parse_event_t, Json&) { return depth < kKeptDepth; };
  const Json answer = Json::parse(json.begin(), json.end(), shallow, false);
  if (answer.is_discarded() || !answer.is_array()) throw AnswerError("the answer is not a list of stations");
  std::vector<Station> stations;
  for (const Json& entry : answer) {
    if (!entry.is_object()) continue;
    Station s = ReadStation(entry);
    if (s.url.empty() || (s.broken && !showBroken)) continue;
    stations.push_back(std::move(s));
    if (stations.size() >= std::size_t(kMaxLimit)) break;
  }
  std::stable_sort(stations.begin(), stations.end(), [](const Station& a, const Station& b) { return a.votes > b.votes; });
  std::unordered_set<std::string> seen;
  std::erase_if(stations, [&seen](const Station& s) { return !seen.insert(StreamKey(s.url)).second; });
  return stations;
}

std::string StreamKey(std::string_view url) {
  std::string key = Trimmed(std::string(url));
  const std::size_t scheme = key.find("://");
  const std::size_t hostEnd = scheme == std::string::npos ? 0 : key.find_first_of("/?#", scheme + 3);
  const std::size_t lowerTo = scheme == std::string::npos ? 0 : (hostEnd == std::string::npos ? key.size() : hostEnd);
  std::transform(key.begin(), key.begin() + std::ptrdiff_t(lowerTo), key.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
  if (hostEnd != std::string::npos && hostEnd + 1 == key.size() && key[hostEnd] == '/') key.pop_back();
  return key;
}

std::string AsciiUrl(std::string_view url) {
  std::string out;
  for (std::size_t i = 0; i < url.size(); ++i)
    out += static_cast<unsigned char>(url[i]) < 0x80 ? std::string(1, url[i]) : PercentEncoded(url.substr(i, 1));
  return out;
}

std::string ResultRow(const Station& station, std::string_view name, std::size_t nameWidth) {
  std::string row(name.substr(0, nameWidth));
  if (name.size() > nameWidth && nameWidth >= 3) row.replace(nameWidth - 3, 3, "...");
  row.resize(nameWidth, ' ');
  const auto column = [&row](std::string text, std::size_t width, bool right) {
    if (text.size() > width) text.resize(width);
    const std::string pad(width - text.size(), ' ');
    row += "  ";
    row += right ? pad + text : text + pad;
  };
  column(station.countryCode, 2, false);
  column(station.codec, 5, false);
  column(station.bitrate > 0 ? std::to_string(station.bitrate) : "-", 4, true);
  column(std::to_string(station.votes), 7, true);
  return row;
}

}  // namespace directory
