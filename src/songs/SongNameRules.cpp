#include "songs/SongNameRules.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "base/LineRules.h"

namespace songs {

FileKind FileKindFor(const std::string& codec) {
  if (codec == "mp3") return {"mp3", ".mp3"};
  if (codec == "aac") return {"adts", ".aac"};
  if (codec == "vorbis") return {"ogg", ".ogg"};
  if (codec == "opus") return {"opus", ".opus"};
  return {nullptr, ""};
}

ArtistAndTitle SplitArtist(const std::string& title) {
  const std::size_t dash = title.find(" - ");
  if (dash == std::string::npos || dash == 0 || dash + 3 >= title.size()) return {"", title};
  return {title.substr(0, dash), title.substr(dash + 3)};
}

std::string SafeFileName(const std::string& name) {
  std::string out;
  for (const char c : name) {
    const auto u = static_cast<unsigned char>(c);
    out += u < 0x20 || std::strchr("<>:\"/\\|?*", c) ? '_' : c;
  }
  while (!out.empty() && (out.back() == '.' || out.back() == ' ')) out.pop_back();
  if (out.empty()) return "_";
  // Windows opens the device, not a file, for these names with any extension.
  std::string stem = out.substr(0, out.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char& c : stem) c = char(std::toupper(static_cast<unsigned char>(c)));
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  bool device = false;
  for (const char* d : kDevices) device = device || stem == d;
  if (stem.size() == 4 && (stem.rfind("COM", 0) == 0 || stem.rfind("LPT", 0) == 0) && stem[3] >= '0' && stem[3] <= '9')
    device = true;
  return device ? out + "_" : out;
}

std::string SongPath(const std::string& folder, const std::string& station, const std::string& name,
                     const std::string& extension, bool incomplete) {
  const std::string dir = folder + "\\" + SafeFileName(station) + (incomplete ? "\\incomplete" : "") + "\\";
  const std::size_t used = dir.size() + extension.size() + kNameReserve;
  if (used >= kMaxPath) return "";
  std::string safe = SafeFileName(name);
  if (safe.size() > kMaxPath - used) {
    safe.resize(kMaxPath - used);
    safe = SafeFileName(safe);  // a cut may leave a trailing blank or dot
  }
  return dir + safe + extension;
}

std::string UniquePath(const std::string& path, const std::function<bool(const std::string&)>& exists) {
  if (!exists(path)) return path;
  const std::size_t slash = path.find_last_of('\\');
  const std::size_t dot = path.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  const std::string stem = hasExtension ? path.substr(0, dot) : path;
  const std::string extension = hasExtension ? path.substr(dot) : "";
  for (int n = 2;; ++n) {
    const std::string candidate = stem + " (" + std::to_string(n) + ")" + extension;
    if (!exists(candidate)) return candidate;
  }
}

std::string StretchName(const std::string& station, int year, int month, int day, int hour, int minute, int second) {
  char when[32];
  std::snprintf(when, sizeof when, " %04d-%02d-%02d %02d-%02d-%02d", year, month, day, hour, minute, second);
  return station + when;
}

SongSettings ParseSongSettings(const std::string& text) {
  SongSettings s;
  for (const std::string& line : base::SplitLines(text)) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    if (key == "Record") s.record = value == "1";
    if (key == "Folder") s.folder = value;
  }
  return s;
}

std::string SongSettingsText(const SongSettings& s) {
  return base::JoinLines({"[Songs]", std::string("Record=") + (s.record ? "1" : "0"), "Folder=" + s.folder});
}

}  // namespace songs
