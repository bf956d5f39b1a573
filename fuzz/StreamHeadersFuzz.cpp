// What a station's packets say about themselves: Vorbis chain headers collected from
// packets of any content, and the bit reservoir of MP3 frames. The collected headers must
// lace back into exactly the three packets taken, and no frame may claim more bytes than
// it holds.
#include "FuzzInput.h"
#include "playback/OggChainRules.h"
#include "songs/FrameStartRules.h"

namespace {

constexpr std::size_t kMaxInput = 64 * 1024;

// Reads one lacing value (255-steps) from `laced` at `at`.
std::size_t Unlace(const std::string& laced, std::size_t& at) {
  std::size_t size = 0;
  while (at < laced.size() && static_cast<unsigned char>(laced[at]) == 255) size += 255, ++at;
  FUZZ_CHECK(at < laced.size());
  return size + static_cast<unsigned char>(laced[at++]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput) return 0;
  fuzz::Input in(data, size);
  playback::VorbisChain chain;
  std::string identification, comment, setup;
  // Packets of a length the input gives, each kind marked by what the reader would see.
  while (in.Size() > 0) {
    const std::size_t length = std::min<std::size_t>(in.Word() % 4096, in.Size());
    const std::string packet(in.Rest().substr(0, length));
    for (std::size_t i = 0; i < length; ++i) in.Byte();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(packet.data());
    const playback::VorbisPacket kind = playback::VorbisPacketKind(bytes, packet.size());
    if (kind == playback::VorbisPacket::Identification) identification = packet, comment.clear(), setup.clear();
    if (kind == playback::VorbisPacket::Comment) comment = packet;
    if (!chain.Add(bytes, packet.size())) continue;
    FUZZ_CHECK(kind == playback::VorbisPacket::Setup);
    FUZZ_CHECK(chain.SampleRate() > 0 && chain.Channels() > 0);
    const std::string headers = chain.Headers();
    FUZZ_CHECK(!headers.empty() && headers[0] == 2);
    std::size_t at = 1;
    const std::size_t first = Unlace(headers, at), second = Unlace(headers, at);
    FUZZ_CHECK(at + first + second <= headers.size());
    FUZZ_CHECK(headers.compare(at, first, identification) == 0 && first == identification.size());
    FUZZ_CHECK(headers.compare(at + first, second, comment) == 0 && second == comment.size());
    FUZZ_CHECK(headers.substr(at + first + second) == packet);

    const int reach = songs::Mp3ReservoirReach(packet);
    FUZZ_CHECK(reach < 512);
    const int lent = songs::Mp3MainDataBytes(packet);
    FUZZ_CHECK(lent >= 0 && std::size_t(lent) <= packet.size());
  }
  const std::string whole(reinterpret_cast<const char*>(data), size);
  FUZZ_CHECK(songs::Mp3ReservoirReach(whole) < 512);
  const int lent = songs::Mp3MainDataBytes(whole);
  FUZZ_CHECK(lent >= 0 && std::size_t(lent) <= whole.size());
  return 0;
}
