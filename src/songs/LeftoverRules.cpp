#include "songs/LeftoverRules.h"

#include <cstdint>

#include "playback/FrameSyncRules.h"

namespace songs {

namespace {

constexpr const char* kPartEnd = ".part";
constexpr const char* kSpoolStart = "~song";
constexpr const char* kSpoolEnd = ".frames";

// "<pid>-<n>" and nothing else; the pid, or 0 when the text is not that.
unsigned long OwnerAndNumber(const std::string& text) {
  const std::size_t dash = text.find('-');
  if (dash == 0 || dash == std::string::npos || dash + 1 == text.size() || dash > 10 || text.size() - dash > 11)
    return 0;
  unsigned long long owner = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i == dash) continue;
    if (text[i] < '0' || text[i] > '9') return 0;
    if (i < dash) owner = owner * 10 + unsigned(text[i] - '0');
  }
  return owner <= 0xFFFFFFFFull ? static_cast<unsigned long>(owner) : 0;
}

}  // namespace

Leftover ParseLeftoverName(const std::string& fileName) {
  Leftover found;
  if (fileName.starts_with(kSpoolStart) && fileName.ends_with(kSpoolEnd)) {
    const std::size_t start = std::string(kSpoolStart).size(), end = fileName.size() - std::string(kSpoolEnd).size();
    if (end > start && (found.owner = OwnerAndNumber(fileName.substr(start, end - start))) != 0)
      found.kind = LeftoverKind::Spool;
    return found;
  }
  if (!fileName.ends_with(kPartEnd)) return found;
  const std::size_t end = fileName.size() - std::string(kPartEnd).size();
  const std::size_t mark = fileName.rfind(".~", end);
  if (mark == std::string::npos || mark == 0) return found;
  if ((found.owner = OwnerAndNumber(fileName.substr(mark + 2, end - mark - 2))) == 0) return found;
  found.kind = LeftoverKind::Part;
  found.songFile = fileName.substr(0, mark);
  return found;
}

std::string PartSuffix(unsigned long owner, unsigned long number) {
  return ".~" + std::to_string(owner) + "-" + std::to_string(number) + kPartEnd;
}

std::string PlayableStream(const std::string& head) {
  if (head.starts_with("OggS")) {
    // Header pages have granule position 0; the first page of sound has more.
    for (std::size_t at = 0; at != std::string::npos && at + 14 <= head.size(); at = head.find("OggS", at + 4)) {
      std::uint64_t granule = 0;
      for (int i = 7; i >= 0; --i) granule = granule << 8 | static_cast<unsigned char>(head[at + 6 + std::size_t(i)]);
      if (head[at + 4] == 0 && granule != 0 && granule != ~std::uint64_t(0)) return ".ogg";
    }
    return "";
  }
  for (const auto& [format, extension] :
       {std::pair{playback::FrameFormat::Mp3, ".mp3"}, std::pair{playback::FrameFormat::Adts, ".aac"}}) {
    playback::FrameSync sync(format);
    sync.Push(head.data(), head.size());
    sync.End();
    std::string frames;
    if (sync.Pull(frames) > 0) return extension;
  }
  return "";
}

bool SameStreamKind(const std::string& extension, const std::string& playable) {
  if (playable.empty()) return false;
  if (playable == ".ogg") return extension == ".ogg" || extension == ".opus";
  return extension == playable;
}

}  // namespace songs
