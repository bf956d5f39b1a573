// The directory's answer to a search: a JSON array of stations, read as hostile input.
// Fields that are missing or of another type than expected read as empty or 0; stations
// without a stream address are left out, so are those that the directory's own checks
// found broken (unless asked for), and of stations that lead to the same stream only the
// most voted one stays. Portable.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace directory {

// The largest answer read; a longer one is refused rather than parsed.
inline constexpr std::size_t kMaxAnswerBytes = 4 * 1024 * 1024;

class AnswerError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Station {
  std::string id;    // stationuuid; empty when the directory sent none that is valid
  std::string name;  // UTF-8, without control characters
  std::string url;   // url_resolved where there is one, else url
  std::string countryCode, codec, tags;
  int bitrate = 0, votes = 0, clicks = 0;
  bool hls = false;
  bool broken = false;  // the directory's last check of it failed
};

// The stations of the answer, most voted first (the directory's order among equals);
// raises AnswerError for an answer that is not a JSON array (a web page, an error text,
// a cut answer) or is larger than kMaxAnswerBytes.
std::vector<Station> ParseAnswer(std::string_view json, bool showBroken);

// The address that two entries leading to the same stream share: without blanks around
// it, the scheme and host in small letters, without a lone "/" as its path.
std::string StreamKey(std::string_view url);

// An address as the player takes it: bytes past ASCII escaped as %XX (the directory
// sends them as UTF-8), everything else as it is, for the player's own checks.
std::string AsciiUrl(std::string_view url);

// One line of the result list in columns: the name cut or padded to nameWidth, the
// country, the codec, the bit rate in kbit/s and the votes (0 bit rate: "-").
std::string ResultRow(const Station& station, std::string_view name, std::size_t nameWidth);

}  // namespace directory
