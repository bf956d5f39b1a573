#include "playback/OggChainRules.h"

#include <cstring>

namespace playback {

namespace {

constexpr std::size_t kIdentificationSize = 30;
// A station's headers beyond this are no Vorbis headers (libvorbis's set-up is a few KB).
constexpr std::size_t kMostHeaderBytes = 1 << 20;

void Lace(std::string& out, std::size_t size) {
  for (; size >= 255; size -= 255) out += '\xFF';
  out += char(size);
}

}  // namespace

VorbisPacket VorbisPacketKind(const std::uint8_t* data, std::size_t size) {
  if (size < 7 || std::memcmp(data + 1, "vorbis", 6) != 0) return VorbisPacket::Audio;
  switch (data[0]) {
    case 1: return VorbisPacket::Identification;
    case 3: return VorbisPacket::Comment;
    case 5: return VorbisPacket::Setup;
    default: return VorbisPacket::Audio;
  }
}

bool VorbisChain::Add(const std::uint8_t* data, std::size_t size) {
  if (size > kMostHeaderBytes) return false;
  const std::string packet(reinterpret_cast<const char*>(data), size);
  switch (VorbisPacketKind(data, size)) {
    case VorbisPacket::Identification: {
      comment_.clear();
      setup_.clear();
      identification_.clear();
      if (size < kIdentificationSize) return false;
      const int channels = data[11];
      const std::uint32_t rate = data[12] | data[13] << 8 | data[14] << 16 | std::uint32_t(data[15]) << 24;
      if (channels == 0 || rate == 0 || rate > 1000000) return false;
      identification_ = packet;
      channels_ = channels;
      rate_ = int(rate);
      return false;
    }
    case VorbisPacket::Comment:
      if (!identification_.empty()) comment_ = packet;
      return false;
    case VorbisPacket::Setup:
      if (identification_.empty() || comment_.empty()) return false;
      setup_ = packet;
      return true;
    default:
      return false;
  }
}

std::string VorbisChain::Headers() const {
  std::string out(1, '\x02');
  Lace(out, identification_.size());
  Lace(out, comment_.size());
  return out + identification_ + comment_ + setup_;
}

}  // namespace playback
