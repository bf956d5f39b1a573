// The directory's search and click requests as addresses: the filters a user typed,
// escaped into a query, and a station's click address. Portable.
#pragma once

#include <string>
#include <string_view>

namespace directory {

// Stations asked for by default, and at most: one answer of this many stays far below
// the answer's size cap.
inline constexpr int kDefaultLimit = 200;
inline constexpr int kMaxLimit = 500;

struct SearchQuery {
  // UTF-8, as the directory expects; empty filters are left out of the request.
  std::string name, countryCode, tag, codec;
  bool showBroken = false;  // stations that the directory's checks found broken too
  int limit = kDefaultLimit;
};

// Every byte but the unreserved characters (letters, digits, "-._~") as %XX.
std::string PercentEncoded(std::string_view text);

// "/json/stations/search?..." for the query: the most voted first, blanks around the
// filters left out, the limit kept within 1..kMaxLimit.
std::string SearchPath(const SearchQuery& query);

// A station's id as the directory writes it: hex digits and dashes, at most 64.
bool ValidStationId(std::string_view id);
// "/json/url/<id>", which counts a click on the station; "" for an id that is not valid.
std::string ClickPath(std::string_view id);

// A server's base address and a path as one address (without a doubled slash).
std::string RequestUrl(std::string_view server, std::string_view path);

}  // namespace directory
