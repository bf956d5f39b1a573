#include "songs/SongNameRules.h"

#include <cstdio>
#include <cstring>

#include "base/LineRules.h"
#include "base/PathRules.h"

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

std::string SafeFileName(const std::string& name, const base::CodePageShape& shape) {
  std::string out;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto u = static_cast<unsigned char>(name[i]);
    if (shape.isLeadByte && shape.isLeadByte(u)) {
      // A whole double-byte character; a lead byte with nothing after it is no character.
      if (i + 1 < name.size())
        out.append(name, i++, 2);
      else
        out += '_';
      continue;
    }
    out += u < 0x20 || std::strchr("<>:\"/\\|?*", name[i]) ? '_' : name[i];
  }
  while (!out.empty() && (out.back() == '.' || out.back() == ' ')) out.pop_back();
  if (out.empty()) return "_";
  // Windows opens the device, not a file, for these names with any extension.
  if (const std::size_t device = base::ReservedDeviceNameLength(out)) out.insert(device, "_");
  return out;
}

std::string SongPath(const std::string& folder, const std::string& station, const std::string& name,
                     const std::string& extension, bool incomplete) {
  const std::string dir = folder + "\\" + SafeFileName(station) + (incomplete ? "\\incomplete" : "") + "\\";
  const std::size_t used = base::Utf16Units(dir) + base::Utf16Units(extension) + kNameReserve;
  if (used >= kMaxPath) return "";
  const std::size_t room = kMaxPath - used;
  std::string safe = SafeFileName(name);
  // A cut may leave a trailing blank or dot, or a device name that needs its '_' again.
  for (std::size_t cut = room; base::Utf16Units(safe) > room && cut > 0; --cut)
    safe = SafeFileName(safe.substr(0, base::WholeCharactersCutUtf16(safe, cut)));
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
