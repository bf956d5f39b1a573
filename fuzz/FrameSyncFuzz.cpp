// The lock-on to ADTS (AAC) and MP3 frames of a stream joined at any byte, fed in pieces
// of any size. What comes out must be whole frames, one after the other, and never more
// bytes than went in.
#include "FuzzInput.h"
#include "playback/FrameSyncRules.h"

namespace {

constexpr std::size_t kMaxInput = 256 * 1024;

// The length of the frame at the start of `frames`, or 0 when no header of the format
// is there.
std::size_t FrameAt(playback::FrameFormat format, std::string_view frames) {
  const auto* d = reinterpret_cast<const unsigned char*>(frames.data());
  if (format == playback::FrameFormat::Adts) {
    playback::AdtsHeader h;
    return frames.size() >= 7 && playback::ParseAdtsHeader(d, h) ? h.length : 0;
  }
  playback::Mp3Header h;
  return frames.size() >= 4 && playback::ParseMp3Header(d, h) ? h.length : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput || size < 2) return 0;
  fuzz::Input in(data, size);
  const auto format = (in.Byte() & 1) ? playback::FrameFormat::Adts : playback::FrameFormat::Mp3;
  // Pieces of 1 to 256 bytes, or 1 to 16 bytes: the network hands over what it has.
  const std::size_t most = (in.Byte() & 1) ? 256 : 16;
  playback::FrameSync sync(format);
  std::string out;
  std::size_t pushed = 0;
  std::size_t piece = 1 + in.Size() % most;
  while (in.Size() > 0) {
    const std::size_t n = std::min(piece, in.Size());
    sync.Push(in.Data(), n);
    pushed += n;
    for (std::size_t i = 0; i < n; ++i) in.Byte();
    const std::size_t before = out.size();
    FUZZ_CHECK(sync.Pull(out) == out.size() - before);
    piece = 1 + (piece * 7 + n) % most;
  }
  sync.End();
  sync.Pull(out);
  FUZZ_CHECK(out.size() + sync.Dropped() <= pushed);
  if (!out.empty()) FUZZ_CHECK(sync.Found());

  for (std::string_view rest = out; !rest.empty();) {
    const std::size_t length = FrameAt(format, rest);
    FUZZ_CHECK(length > 0 && length <= rest.size());
    rest.remove_prefix(length);
  }
  const unsigned char tag[10] = {'I', 'D', '3', data[0], data[1], std::uint8_t(size), 0, 0, 0, 0};
  FUZZ_CHECK(playback::Id3v2TagLength(tag) <= 20);
  return 0;
}
