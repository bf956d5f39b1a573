#include "directory/DirectoryFileRules.h"

#include <algorithm>

#include "base/LineRules.h"
#include "directory/SearchRules.h"

namespace directory {

namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
  return out;
}

std::vector<std::string_view> Fields(std::string_view value, std::size_t count) {
  std::vector<std::string_view> fields;
  while (fields.size() + 1 < count) {
    const std::size_t bar = value.find('|');
    if (bar == std::string_view::npos) break;
    fields.push_back(value.substr(0, bar));
    value.remove_prefix(bar + 1);
  }
  fields.push_back(value);
  return fields;
}

std::optional<int> Number(std::string_view text, int lo, int hi) {
  if (text.empty() || text.size() > 3 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  const int n = std::stoi(std::string(text));
  return n >= lo && n <= hi ? std::optional<int>(n) : std::nullopt;
}

bool Day(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
    if (text[i] < '0' || text[i] > '9') return false;
  return true;
}

bool SameSlot(const PresetStation& p, const std::string& band, int group, int preset) {
  return p.band == band && p.group == group && p.preset == preset;
}

}  // namespace

DirectoryFile ParseDirectoryFile(std::string_view text) {
  DirectoryFile file;
  std::string section;
  for (const std::string& line : base::SplitLines(text)) {
    if (!line.empty() && line.front() == '[') {
      section = Lower(line.substr(0, line.find(']')));
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = Lower(line.substr(0, equals));
    const std::string_view value = std::string_view(line).substr(equals + 1);
    if (section == "[directory" && key == "servers") {
      file.servers = value;
    } else if (section == "[presets" && key == "preset") {
      const auto f = Fields(value, 5);
      if (f.size() != 5 || f[0].empty() || !ValidStationId(f[3]) || f[4].empty()) continue;
      const auto group = Number(f[1], 1, 100), preset = Number(f[2], 1, 7);
      if (!group || !preset) continue;
      KeepPresetStation(file, std::string(f[0]), *group, *preset, std::string(f[3]), std::string(f[4]));
    } else if (section == "[clicks" && key == "click") {
      const auto f = Fields(value, 2);
      if (f.size() == 2 && ValidStationId(f[0]) && Day(f[1])) file.clicks[std::string(f[0])] = f[1];
    }
  }
  return file;
}

std::string DirectoryFileText(const DirectoryFile& file) {
  std::vector<std::string> lines{"[Directory]", "Servers=" + file.servers, "[Presets]"};
  for (const PresetStation& p : file.presets)
    lines.push_back("Preset=" + p.band + "|" + std::to_string(p.group) + "|" + std::to_string(p.preset) + "|" + p.id +
                    "|" + p.url);
  lines.push_back("[Clicks]");
  for (const auto& [id, day] : file.clicks) lines.push_back("Click=" + id + "|" + day);
  return base::JoinLines(lines);
}

void KeepPresetStation(DirectoryFile& file, const std::string& band, int group, int preset, const std::string& id,
                       const std::string& url) {
  std::erase_if(file.presets, [&](const PresetStation& p) { return SameSlot(p, band, group, preset); });
  // A band name holds no '|' (it names files); a line break would cut the line.
  const bool writable = band.find_first_of("|\r\n") == std::string::npos && url.find_first_of("\r\n") == std::string::npos;
  if (ValidStationId(id) && !band.empty() && !url.empty() && writable) file.presets.push_back({band, group, preset, id, url});
}

std::optional<std::string> PresetStationId(const DirectoryFile& file, const std::string& band, int group, int preset,
                                           const std::string& url) {
  for (const PresetStation& p : file.presets)
    if (SameSlot(p, band, group, preset)) return p.url == url ? std::optional<std::string>(p.id) : std::nullopt;
  return std::nullopt;
}

bool PresetEmpty(std::string_view name, std::string_view url) {
  const auto blank = [](std::string_view t) { return t.find_first_not_of(" \t") == std::string_view::npos; };
  return Lower(name) == "none" || (blank(name) && blank(url));
}

bool TakeClick(DirectoryFile& file, const std::string& id, const std::string& today) {
  if (!ValidStationId(id)) return false;
  std::erase_if(file.clicks, [&today](const auto& click) { return click.second != today; });
  return file.clicks.emplace(id, today).second;
}

}  // namespace directory
