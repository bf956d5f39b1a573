// What a file left in the songs folder is: its name (up to the first newline of the
// input), and whether its first bytes (the rest) hold a stream that plays. A part's song
// name is what comes before its owner, and only a stream of the kinds kept is named.
#include "FuzzInput.h"
#include "songs/LeftoverRules.h"

namespace {

constexpr std::size_t kMaxInput = 64 * 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput) return 0;
  fuzz::Input in(data, size);
  const std::string name(in.Piece('\n'));
  const songs::Leftover left = songs::ParseLeftoverName(name);
  if (left.kind != songs::LeftoverKind::None) FUZZ_CHECK(left.owner != 0);
  if (left.kind == songs::LeftoverKind::Part) {
    FUZZ_CHECK(!left.songFile.empty() && name.starts_with(left.songFile + ".~") && name.ends_with(".part"));
  } else {
    FUZZ_CHECK(left.songFile.empty());
  }
  const std::string head(in.Rest());
  const std::string playable = songs::PlayableStream(head);
  FUZZ_CHECK(playable.empty() || playable == ".mp3" || playable == ".aac" || playable == ".ogg");
  if (playable == ".ogg") FUZZ_CHECK(head.starts_with("OggS"));
  return 0;
}
