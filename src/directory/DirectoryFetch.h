// One request to a directory server, made the way the player opens a station: FFmpeg's
// http and https with the program's own certificate check and name lookups. It gives up
// when no byte came for kQuietMs, when `cancelled` says so, and when the answer grows
// past kMaxAnswerBytes. Called on a worker thread, never on the user-interface thread.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace directory {

// A server silent this long has failed, and the next one is asked.
inline constexpr unsigned kQuietMs = 5000;
// No request takes longer than this, however slowly its bytes come.
inline constexpr unsigned kLongestMs = 20000;

struct Fetched {
  std::string body;
  std::string error;  // in words; empty when the whole answer came
  bool Ok() const { return error.empty(); }
};

Fetched Fetch(const std::string& url, const std::function<bool()>& cancelled);

// The names of the directory's servers: each address of its round-robin name, looked up
// backwards. Empty when the lookups fail, take longer than kQuietMs, or are cancelled.
std::vector<std::string> LookUpServerNames(const std::function<bool()>& cancelled);

}  // namespace directory
