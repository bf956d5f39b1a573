#include "playback/FrameSyncRules.h"

namespace playback {

namespace {
constexpr std::size_t kHeaderBytes = 7;
// Longer input is not held while no lock is found: the oldest bytes go first.
constexpr std::size_t kMaxPending = 64 * 1024;
}  // namespace

bool ParseAdtsHeader(const unsigned char* d, AdtsHeader& h) {
  if (d[0] != 0xFF || (d[1] & 0xF6) != 0xF0) return false;  // sync word and layer 0
  h.mpeg2 = (d[1] & 0x08) != 0;
  h.profile = d[2] >> 6;
  h.rateIndex = (d[2] >> 2) & 0x0F;
  h.channels = ((d[2] & 0x01) << 2) | (d[3] >> 6);
  h.length = (std::size_t(d[3] & 0x03) << 11) | (std::size_t(d[4]) << 3) | (d[5] >> 5);
  const bool crc = (d[1] & 0x01) == 0;
  // Rates 13 to 15 are reserved; a frame holds at least its header (and CRC).
  return h.rateIndex < 13 && h.length >= kHeaderBytes + (crc ? 2 : 0);
}

void AdtsSync::Push(const void* data, std::size_t n) {
  in_.append(static_cast<const char*>(data), n);
}

void AdtsSync::Drop(std::size_t n) {
  in_.erase(0, n);
  dropped_ += n;
}

bool AdtsSync::Agrees(std::size_t at, AdtsHeader& h) const {
  return ParseAdtsHeader(reinterpret_cast<const unsigned char*>(in_.data()) + at, h) && h.profile == ref_.profile &&
         h.rateIndex == ref_.rateIndex && h.channels == ref_.channels && h.mpeg2 == ref_.mpeg2;
}

int AdtsSync::CanLockAt(std::size_t at) const {
  const auto* d = reinterpret_cast<const unsigned char*>(in_.data());
  AdtsHeader first;
  if (in_.size() < at + kHeaderBytes) return -1;
  if (!ParseAdtsHeader(d + at, first)) return 0;
  std::size_t next = at + first.length;
  for (int i = 1; i < kLockFrames; ++i) {
    AdtsHeader h;
    if (in_.size() < next + kHeaderBytes) return ended_ ? 0 : -1;
    if (!ParseAdtsHeader(d + next, h) || h.profile != first.profile || h.rateIndex != first.rateIndex ||
        h.channels != first.channels || h.mpeg2 != first.mpeg2)
      return 0;
    next += h.length;
  }
  return 1;
}

std::size_t AdtsSync::Pull(std::string& out) {
  const std::size_t before = out.size();
  for (;;) {
    if (!locked_) {
      std::size_t at = 0;
      int verdict = 0;
      while ((verdict = CanLockAt(at)) == 0) ++at;
      Drop(at);
      if (verdict < 0) {
        if (in_.size() > kMaxPending) Drop(in_.size() - kMaxPending);
        break;
      }
      ParseAdtsHeader(reinterpret_cast<const unsigned char*>(in_.data()), ref_);
      locked_ = true;
    }
    // Locked: the frame at the start goes out once the next header is seen to follow it
    // (or the stream has ended with the frame whole).
    AdtsHeader h;
    if (in_.size() < kHeaderBytes) break;
    if (!Agrees(0, h)) {
      locked_ = false;
      ++losses_;
      continue;
    }
    AdtsHeader next;
    if (in_.size() < h.length + kHeaderBytes) {
      if (!ended_ || in_.size() < h.length) break;
    } else if (!Agrees(h.length, next)) {
      // The frame's length or its successor is damaged: the frame is not to be trusted.
      Drop(1);
      locked_ = false;
      ++losses_;
      continue;
    }
    out.append(in_, 0, h.length);
    in_.erase(0, h.length);
  }
  return out.size() - before;
}

}  // namespace playback
