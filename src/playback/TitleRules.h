// Now-playing titles: where a stream's title is found in what the stream carries (ICY
// metadata blocks, Vorbis comments, ID3 frames that FFmpeg hands out as tags), and how
// its bytes become text that can be shown: valid UTF-8 is read as UTF-8, anything else
// as Windows-1252, with numeric character references decoded; control characters never
// pass, and a title has at most kMaxTitleChars characters. Portable, so that hostile
// titles can be tested and fuzzed.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace playback {

constexpr std::size_t kMaxTitleChars = 256;

// The StreamTitle of an ICY metadata block ("StreamTitle='...';StreamUrl='...';",
// padded with NULs), as raw bytes; nullopt when the block names no title. A title may
// hold quotes of its own: it ends at the quote that the next field or the block's end
// follows, else at its first "';". A block that ends early (the closing quote is
// missing) gives what it holds; one that runs on into other bytes (its length byte
// promised more than the server meant) gives the title before them.
std::optional<std::string> IcyStreamTitle(std::string_view block);

// The title made from the tags of a Vorbis comment or an ID3 frame: "ARTIST - TITLE",
// or the one that is present; the raw ICY StreamTitle when a demuxer passes one on.
std::string TitleFromTags(std::string_view artist, std::string_view title, std::string_view streamTitle);

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing
// above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// The text of a title as UTF-16 code units: decoded as UTF-8 when valid and as
// Windows-1252 otherwise, with its numeric character references ("&#1050;", "&#x41A;",
// as Icecast sends what a mount's charset lacks) decoded; line breaks and tabs become
// spaces, other control characters are dropped, runs of spaces shrink to one, the ends
// are trimmed, and what lies beyond kMaxTitleChars characters is cut. A character
// outside the Basic Multilingual Plane is a surrogate pair and counts as one.
std::u16string DecodeTitle(std::string_view bytes);

// At most one notification per interval: a title that changes sooner waits, and only
// the newest waiting title is shown when the interval has passed.
class NotificationGate {
 public:
  explicit NotificationGate(unsigned long long intervalMs) : interval_(intervalMs) {}
  // A new title to show.
  void Offer(const std::string& text);
  // The text to show at time now (milliseconds of any steady clock), if any; each
  // offered text is given out at most once.
  std::optional<std::string> Due(unsigned long long now);

 private:
  unsigned long long interval_;
  bool shownAny_ = false;
  unsigned long long lastShown_ = 0;
  std::optional<std::string> waiting_;
};

}  // namespace playback
