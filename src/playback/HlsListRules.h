// What the HLS lists of one stream may take. A master list names a list per variant and
// rendition, and the HLS reader reads each of them whole when the stream opens, and keeps
// what it read; a live list is read again every few seconds and replaces its earlier
// reading. Portable.
#pragma once

#include <map>
#include <string>

namespace playback {

// The most that the lists of one stream take together, at their latest reading each.
constexpr long long kMaxHlsListBytes = 4 * 1024 * 1024;
// The most lists one stream may name: real stations name a few variants and renditions.
constexpr std::size_t kMaxHlsLists = 100;
inline constexpr const char* kHlsListTooLarge = "The station's HLS lists are larger than 4 MB together";
inline constexpr const char* kHlsTooManyLists = "The station's HLS list names more than 100 lists";

class HlsListBudget {
 public:
  // The list at `address` has been read up to `bytes` in its latest reading (a reading
  // anew starts from 0). Returns the reason when the lists together go past a cap (and
  // keeps returning it), else nullptr.
  const char* Read(const std::string& address, long long bytes);
  long long TotalBytes() const { return total_; }

 private:
  std::map<std::string, long long> lists_;
  long long total_ = 0;
  const char* exceeded_ = nullptr;
};

}  // namespace playback
