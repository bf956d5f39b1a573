#include "songs/FrameStartRules.h"

namespace songs {

namespace {

struct Layer3 {
  bool valid = false;
  bool mpeg1 = false;
  int sideInfoAt = 0;  // after the header and its CRC
  int sideInfoBytes = 0;
};

Layer3 ReadHeader(const std::string& frame) {
  Layer3 h;
  if (frame.size() < 4) return h;
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(frame[i]); };
  const unsigned version = (b(1) >> 3) & 3, layer = (b(1) >> 1) & 3;
  if (b(0) != 0xFF || (b(1) & 0xE0) != 0xE0 || version == 1 || layer != 1) return h;
  h.mpeg1 = version == 3;
  const bool mono = (b(3) >> 6) == 3;
  h.sideInfoAt = (b(1) & 1) ? 4 : 6;  // a cleared protection bit: a 16-bit CRC follows
  h.sideInfoBytes = h.mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
  h.valid = frame.size() >= std::size_t(h.sideInfoAt + h.sideInfoBytes);
  return h;
}

}  // namespace

int Mp3ReservoirReach(const std::string& frame) {
  const Layer3 h = ReadHeader(frame);
  if (!h.valid) return -1;
  const unsigned first = static_cast<unsigned char>(frame[std::size_t(h.sideInfoAt)]);
  const unsigned second = static_cast<unsigned char>(frame[std::size_t(h.sideInfoAt) + 1]);
  // Nine bits in MPEG-1, eight in MPEG-2 and 2.5.
  return h.mpeg1 ? int((first << 1) | (second >> 7)) : int(first);
}

int Mp3MainDataBytes(const std::string& frame) {
  const Layer3 h = ReadHeader(frame);
  return h.valid ? int(frame.size()) - h.sideInfoAt - h.sideInfoBytes : 0;
}

bool FramesLeanOnEarlier(const std::string& codec) {
  return codec == "mp3";
}

}  // namespace songs
