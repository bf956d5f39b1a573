// The title log, titles.txt in the program's folder: one line per title change,
// "YYYY-MM-DD HH:MM:SS<TAB>station<TAB>title" in UTF-8, CR LF. Once the
// file passes kTitleLogLimit bytes its older half is dropped, whole lines at a time.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace nowplaying {

constexpr std::size_t kTitleLogLimit = 1024 * 1024;

struct LogTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// One line of the log, CR LF included. Tabs and line breaks inside the station name or
// the title become spaces, so that a line always has exactly three fields.
std::string TitleLogLine(const LogTime& time, std::string_view station, std::string_view title);

// Whether a log of this many bytes has passed the limit.
inline bool TitleLogTooLong(std::size_t bytes) {
  return bytes > kTitleLogLimit;
}

// What is kept of a log that passed the limit: its newer half, starting at the first
// whole line.
std::string TitleLogNewerHalf(std::string_view log);

}  // namespace nowplaying
