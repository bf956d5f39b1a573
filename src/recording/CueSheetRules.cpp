#include "recording/CueSheetRules.h"

#include <cctype>
#include <cstdio>

namespace recording {

std::size_t CueTracks::Heard(const std::string& title, std::int64_t atBytes, const std::string& utf8) {
  if (tracks_.empty() ? title.empty() : tracks_.back().title == title && tracks_.back().utf8 == utf8)
    return std::string::npos;
  if (!tracks_.empty() && tracks_.back().atBytes == atBytes) {
    tracks_.pop_back();
    const std::size_t changed = tracks_.size();
    Heard(title, atBytes, utf8);
    return changed;
  }
  tracks_.push_back({title, atBytes, utf8});
  return tracks_.size() - 1;
}

std::size_t CueSheetOf(std::size_t track) {
  return track < kCueSheetTracks ? 0 : 1 + (track - kCueSheetTracks) / (kCueSheetTracks - 1);
}

std::size_t CueSheetFirstTrack(std::size_t sheet) {
  return sheet == 0 ? 0 : kCueSheetTracks + (sheet - 1) * (kCueSheetTracks - 1);
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

// TITLE and PERFORMER lines of `title`, each keyword after `lead`.
std::string TitleLines(const std::string& lead, const std::string& title) {
  const std::size_t dash = title.find(" - ");
  if (dash == std::string::npos) return title.empty() ? "" : lead + "TITLE " + Quoted(title) + "\r\n";
  return lead + "TITLE " + Quoted(title.substr(dash + 3)) + "\r\n" + lead + "PERFORMER " +
         Quoted(title.substr(0, dash)) + "\r\n";
}

std::string Track(std::size_t number, const CueTrack& track, const std::string& index) {
  char line[32];
  std::snprintf(line, sizeof line, "  TRACK %02zu AUDIO\r\n", number);
  return line + TitleLines("    ", track.title) + TitleLines("    REM UTF8-", track.utf8) + "    INDEX 01 " + index +
         "\r\n";
}

std::string Stem(const std::string& path) {
  const std::size_t dot = path.find_last_of('.');
  const std::size_t slash = path.find_last_of("\\/");
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return hasExtension ? path.substr(0, dot) : path;
}

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// The sheet's word for the file's type: MP3 for an MP3 file (a scheduled recording of a
// station's own frames), WAVE for the rest, as cue readers take any other file.
std::string FileType(const std::string& name) {
  return SameName(name.size() >= 4 ? name.substr(name.size() - 4) : "", ".mp3") ? " MP3" : " WAVE";
}

}  // namespace

bool IsOwnCueSheet(const std::string& text, const std::string& waveName) {
  const std::string mark = std::string(kCueSheetMark) + "\r\n";
  if (!text.starts_with(mark)) return false;
  const std::string file = "FILE ";
  const std::size_t end = text.find("\r\n", mark.size());
  const std::string line = text.substr(mark.size(), end == std::string::npos ? std::string::npos : end - mark.size());
  const std::string wave = FileType(waveName);
  return line.size() >= file.size() + wave.size() && line.starts_with(file) && line.ends_with(wave) &&
         SameName(line.substr(file.size(), line.size() - file.size() - wave.size()), Quoted(waveName));
}

std::string CueSheetPath(const std::string& wavePath) {
  return Stem(wavePath) + ".cue";
}

std::string CueSheetPartPath(const std::string& firstSheet, std::size_t sheet) {
  return sheet == 0 ? firstSheet : Stem(firstSheet) + " (part " + std::to_string(sheet + 1) + ").cue";
}

std::string CueSheetOtherPath(const std::string& path, int n) {
  return n <= 1 ? path : Stem(path) + " (" + std::to_string(n) + ").cue";
}

std::string CueSheetText(const std::string& waveName, std::size_t sheet, std::span<const CueTrack> tracks,
                         std::uint32_t bytesPerSecond) {
  std::string text = std::string(kCueSheetMark) + "\r\nFILE " + Quoted(waveName) + FileType(waveName) + "\r\n";
  std::size_t number = 1;
  if (sheet > 0) {
    // Everything before this sheet's titles, so that its first break is where they begin.
    const std::string before = "Tracks 1 to " + std::to_string(CueSheetFirstTrack(sheet)) +
                               (sheet == 1 ? " (the sheet before)" : " (the sheets before)");
    text += Track(number++, {before, 0, ""}, Index(0, bytesPerSecond));
  }
  for (std::size_t i = 0; i < tracks.size() && number <= kCueSheetTracks; ++i, ++number)
    text += Track(number, tracks[i], Index(tracks[i].atBytes, bytesPerSecond));
  return text;
}

}  // namespace recording
