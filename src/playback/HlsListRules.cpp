#include "playback/HlsListRules.h"

namespace playback {

const char* HlsListBudget::Read(const std::string& address, long long bytes) {
  if (exceeded_) return exceeded_;
  long long& list = lists_[address];
  total_ += bytes - list;
  list = bytes;
  if (lists_.size() > kMaxHlsLists) exceeded_ = kHlsTooManyLists;
  if (total_ > kMaxHlsListBytes) exceeded_ = kHlsListTooLarge;
  return exceeded_;
}

}  // namespace playback
