#include "playback/FrameSyncRules.h"

namespace playback {

namespace {
constexpr std::size_t kAdtsHeaderBytes = 7;
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
  return h.rateIndex < 13 && h.length >= kAdtsHeaderBytes + (crc ? 2 : 0);
}

bool ParseMp3Header(const unsigned char* d, Mp3Header& h) {
  static constexpr int kMpeg1Rates[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
  static constexpr int kMpeg2Rates[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
  static constexpr int kSampleRates[] = {44100, 48000, 32000};
  if (d[0] != 0xFF || (d[1] & 0xE0) != 0xE0) return false;  // sync word
  h.version = (d[1] >> 3) & 0x03;
  const int layer = (d[1] >> 1) & 0x03;
  const int rateIndex = d[2] >> 4, sampleIndex = (d[2] >> 2) & 0x03;
  // Version 1 and sample rate 3 are reserved, bit rate 0 (free format) has no frame
  // length, 15 is forbidden, and so is emphasis 2.
  if (h.version == 1 || layer != 1 || rateIndex == 0 || rateIndex == 15 || sampleIndex == 3 || (d[3] & 0x03) == 2)
    return false;
  const bool mpeg1 = h.version == 3;
  h.sampleRate = kSampleRates[sampleIndex] >> (mpeg1 ? 0 : h.version == 2 ? 1 : 2);
  h.bitRate = (mpeg1 ? kMpeg1Rates : kMpeg2Rates)[rateIndex];
  h.mono = (d[3] >> 6) == 3;
  h.crc = (d[1] & 0x01) == 0;
  const std::size_t padding = (d[2] >> 1) & 0x01;
  h.length = std::size_t((mpeg1 ? 144000 : 72000) * h.bitRate / h.sampleRate) + padding;
  return true;
}

std::size_t Id3v2TagLength(const unsigned char* d) {
  // Larger is taken for bytes that only look like a tag, not to skip a long stretch of
  // the stream for them.
  constexpr std::size_t kMaxTag = 1024 * 1024;
  if (d[0] != 'I' || d[1] != 'D' || d[2] != '3' || d[3] == 0xFF || d[4] == 0xFF) return 0;
  std::size_t size = 0;
  for (int i = 6; i < 10; ++i) {
    if (d[i] & 0x80) return 0;  // the size is "synchsafe": seven bits a byte
    size = size << 7 | d[i];
  }
  return size > kMaxTag ? 0 : 10 + size + ((d[5] & 0x10) ? 10 : 0);
}

void FrameSync::Push(const void* data, std::size_t n) {
  in_.append(static_cast<const char*>(data), n);
}

void FrameSync::Drop(std::size_t n) {
  in_.erase(0, n);
  dropped_ += n;
}

bool FrameSync::Header(std::size_t at, std::uint32_t& key, std::size_t& length) const {
  const auto* d = reinterpret_cast<const unsigned char*>(in_.data()) + at;
  if (format_ == FrameFormat::Adts) {
    AdtsHeader h;
    if (!ParseAdtsHeader(d, h)) return false;
    key = std::uint32_t(h.profile) | std::uint32_t(h.rateIndex) << 2 | std::uint32_t(h.channels) << 6 |
          std::uint32_t(h.mpeg2) << 9;
    length = h.length;
    return true;
  }
  Mp3Header h;
  if (!ParseMp3Header(d, h)) return false;
  key = std::uint32_t(h.sampleRate) << 4 | std::uint32_t(h.version) << 2 | std::uint32_t(h.mono) << 1 |
        std::uint32_t(h.crc);
  length = h.length;
  return true;
}

bool FrameSync::Agrees(std::size_t at, std::size_t& length) const {
  std::uint32_t key = 0;
  return Header(at, key, length) && key == key_;
}

int FrameSync::CanLockAt(std::size_t at) const {
  std::uint32_t first = 0, key = 0;
  std::size_t length = 0;
  if (in_.size() < at + HeaderBytes()) return -1;
  if (!Header(at, first, length)) return 0;
  std::size_t next = at + length;
  for (int i = 1; i < kLockFrames; ++i) {
    if (in_.size() < next + HeaderBytes()) return ended_ ? 0 : -1;
    if (!Header(next, key, length) || key != first) return 0;
    next += length;
  }
  return 1;
}

std::size_t FrameSync::Pull(std::string& out) {
  const std::size_t before = out.size();
  for (;;) {
    if (skipping_ > 0) {
      const std::size_t n = std::min(skipping_, in_.size());
      in_.erase(0, n);
      skipping_ -= n;
      if (skipping_ > 0) break;
    }
    if (!locked_) {
      std::size_t at = 0;
      int verdict = 0;
      std::size_t tag = 0;
      // An ID3v2 tag before the MP3 frames (a stream from its very start) is passed over
      // whole: a picture in it may hold anything.
      while ((verdict = CanLockAt(at)) == 0) {
        if (format_ == FrameFormat::Mp3 && in_.compare(at, 3, "ID3") == 0) {
          if (in_.size() < at + 10) {
            verdict = -1;  // perhaps a tag: its header is not all here yet
            break;
          }
          if ((tag = Id3v2TagLength(reinterpret_cast<const unsigned char*>(in_.data()) + at)) > 0) break;
        }
        ++at;
      }
      Drop(at);
      if (verdict == 0) {
        skipping_ = tag;
        continue;
      }
      if (verdict < 0) {
        if (in_.size() > kMaxPending) Drop(in_.size() - kMaxPending);
        break;
      }
      std::size_t length = 0;
      Header(0, key_, length);
      locked_ = found_ = true;
    }
    // Locked: the frame at the start goes out once the next header is seen to follow it
    // (or the stream has ended with the frame whole).
    std::size_t length = 0, nextLength = 0;
    if (in_.size() < HeaderBytes()) break;
    if (!Agrees(0, length)) {
      locked_ = false;
      ++losses_;
      continue;
    }
    if (in_.size() < length + HeaderBytes()) {
      if (!ended_ || in_.size() < length) break;
    } else if (!Agrees(length, nextLength)) {
      // The frame's length or its successor is damaged: the frame is not to be trusted.
      Drop(1);
      locked_ = false;
      ++losses_;
      continue;
    }
    out.append(in_, 0, length);
    in_.erase(0, length);
  }
  return out.size() - before;
}

}  // namespace playback
