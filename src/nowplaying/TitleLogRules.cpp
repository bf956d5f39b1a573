#include "nowplaying/TitleLogRules.h"

#include <cstdio>

namespace nowplaying {

namespace {

std::string Field(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  return out;
}

}  // namespace

std::string TitleLogLine(const LogTime& t, std::string_view station, std::string_view title) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  return std::string(stamp) + "\t" + Field(station) + "\t" + Field(title) + "\r\n";
}

std::string TitleLogNewerHalf(std::string_view log) {
  std::size_t from = log.size() / 2;
  // Whole lines only: the cut moves on past the line it falls into, unless it falls
  // right at a line's start.
  if (from > 0 && log[from - 1] != '\n') {
    const std::size_t end = log.find('\n', from);
    from = end == std::string_view::npos ? log.size() : end + 1;
  }
  return std::string(log.substr(from));
}

}  // namespace nowplaying
