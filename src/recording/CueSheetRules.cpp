#include "recording/CueSheetRules.h"

#include <cstdio>

namespace recording {

void CueTracks::Heard(const std::string& title, std::int64_t atBytes) {
  if (title.empty() || (!tracks_.empty() && tracks_.back().title == title)) return;
  tracks_.push_back({title, atBytes});
}

std::string CueSheetPath(const std::string& wavePath) {
  const std::size_t dot = wavePath.find_last_of('.');
  const std::size_t slash = wavePath.find_last_of("\\/");
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? wavePath.substr(0, dot) : wavePath) + ".cue";
}

namespace {

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) out += c == '"' ? '\'' : static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
  return out + "\"";
}

std::string Index(std::int64_t atBytes, std::uint32_t bytesPerSecond) {
  const std::int64_t frames = bytesPerSecond ? atBytes * 75 / bytesPerSecond : 0;
  char text[32];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(frames / 75 / 60),
                static_cast<long long>(frames / 75 % 60), static_cast<long long>(frames % 75));
  return text;
}

}  // namespace

std::string CueSheetText(const std::string& waveName, const std::vector<CueTrack>& tracks,
                         std::uint32_t bytesPerSecond) {
  std::string text = "FILE " + Quoted(waveName) + " WAVE\r\n";
  for (std::size_t i = 0; i < tracks.size() && i < 99; ++i) {
    char number[8];
    std::snprintf(number, sizeof number, "%02zu", i + 1);
    const std::string& title = tracks[i].title;
    text += std::string("  TRACK ") + number + " AUDIO\r\n";
    const std::size_t dash = title.find(" - ");
    if (dash == std::string::npos) {
      text += "    TITLE " + Quoted(title) + "\r\n";
    } else {
      text += "    TITLE " + Quoted(title.substr(dash + 3)) + "\r\n";
      text += "    PERFORMER " + Quoted(title.substr(0, dash)) + "\r\n";
    }
    text += "    INDEX 01 " + Index(tracks[i].atBytes, bytesPerSecond) + "\r\n";
  }
  return text;
}

}  // namespace recording
