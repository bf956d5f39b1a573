#include "playback/PlaylistRules.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "base/PathRules.h"

namespace playback {

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return out;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && Lower(s.substr(0, prefix.size())) == Lower(prefix);
}

// Lines split at CR, LF or CR LF.
std::vector<std::string_view> Lines(std::string_view body) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= body.size(); ++i) {
    if (i == body.size() || body[i] == '\r' || body[i] == '\n') {
      lines.push_back(body.substr(start, i - start));
      if (i + 1 < body.size() && body[i] == '\r' && body[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  return lines;
}

std::string PathOf(std::string_view url) {
  std::string_view u = url;
  const std::size_t cut = u.find_first_of("?#");
  if (cut != std::string_view::npos) u = u.substr(0, cut);
  return Lower(u);
}

bool EndsWith(const std::string& s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// A path on this machine or a network share: "C:\x", "C:/x" or "\\server\share".
bool IsLocalPath(std::string_view s) {
  const bool drive = s.size() >= 2 && s[1] == ':' && std::isalpha(static_cast<unsigned char>(s[0]));
  return drive || s.substr(0, 2) == "\\\\";
}

bool LooksLikeEntry(std::string_view s) {
  if (s.empty()) return false;
  return !SchemeOf(s).empty() || IsLocalPath(s) || s.front() == '/' || s.front() == '.' ||
         std::isalnum(static_cast<unsigned char>(s.front()));
}

// Decodes the five XML entities of an ASX attribute value.
std::string DecodeEntities(std::string_view s) {
  static const std::map<std::string, char> entities{
      {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '&') {
      const std::size_t semi = s.find(';', i);
      if (semi != std::string_view::npos && semi - i <= 5) {
        auto it = entities.find(Lower(s.substr(i + 1, semi - i - 1)));
        if (it != entities.end()) {
          out.push_back(it->second);
          i = semi;
          continue;
        }
      }
    }
    out.push_back(s[i]);
  }
  return out;
}

std::vector<std::string> ParsePls(std::string_view body) {
  // FileN=url, in the order of N; a playlist may list them in any order.
  std::map<long, std::string> files;
  for (std::string_view line : Lines(body)) {
    line = Trim(line);
    if (!StartsWithNoCase(line, "file")) continue;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view number = Trim(line.substr(4, eq - 4));
    if (number.empty() || number.size() > 6 ||
        !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
      continue;
    files.emplace(std::stol(std::string(number)), std::string(Trim(line.substr(eq + 1))));
  }
  std::vector<std::string> out;
  for (auto& [n, url] : files) out.push_back(url);
  return out;
}

std::vector<std::string> ParseM3u(std::string_view body) {
  std::vector<std::string> out;
  for (std::string_view line : Lines(body)) {
    line = Trim(line);
    if (line.empty() || line.front() == '#') continue;
    out.emplace_back(line);
  }
  return out;
}

std::vector<std::string> ParseAsx(std::string_view body) {
  // <ref href="..."/> in the order they come, tags and attributes in any case.
  std::vector<std::string> out;
  const std::string lower = Lower(body);
  std::size_t at = 0;
  while ((at = lower.find("<ref", at)) != std::string::npos) {
    const std::size_t end = lower.find('>', at);
    if (end == std::string::npos) break;
    const std::size_t href = lower.find("href", at);
    if (href != std::string::npos && href < end) {
      std::size_t v = lower.find_first_not_of(" \t\r\n=", href + 4);
      if (v < end && (body[v] == '"' || body[v] == '\'')) {
        const char quote = body[v];
        const std::size_t close = body.find(quote, v + 1);
        if (close != std::string_view::npos && close < end)
          out.push_back(DecodeEntities(Trim(body.substr(v + 1, close - v - 1))));
      }
    }
    at = end;
  }
  return out;
}

}  // namespace

std::string DemuxerForContentType(std::string_view contentType) {
  std::string type = Lower(Trim(contentType.substr(0, contentType.find(';'))));
  static const std::pair<const char*, const char*> known[] = {
      {"audio/mpeg", "mp3"},      {"audio/mp3", "mp3"},      {"audio/mpeg3", "mp3"},  {"audio/x-mpeg", "mp3"},
      {"audio/aac", "aac"},       {"audio/aacp", "aac"},     {"audio/x-aac", "aac"},  {"audio/ogg", "ogg"},
      {"application/ogg", "ogg"}, {"audio/opus", "ogg"},     {"audio/vorbis", "ogg"}, {"audio/flac", "flac"},
      {"audio/x-flac", "flac"},   {"audio/x-ms-wma", "asf"},
  };
  for (const auto& [t, demuxer] : known)
    if (type == t) return demuxer;
  return {};
}

std::string SchemeOf(std::string_view url) {
  const std::size_t colon = url.find(':');
  // "C:\..." is a drive letter, not a scheme.
  if (colon == std::string_view::npos || colon < 2) return {};
  for (std::size_t i = 0; i < colon; ++i) {
    const unsigned char c = static_cast<unsigned char>(url[i]);
    if (!(std::isalnum(c) || c == '+' || c == '-' || c == '.') || (i == 0 && !std::isalpha(c))) return {};
  }
  return Lower(url.substr(0, colon));
}

bool HostAndPort(std::string_view url, std::string& host, int& port) {
  const std::string scheme = SchemeOf(url);
  if (scheme != "http" && scheme != "https") return false;
  std::string_view rest = url.substr(scheme.size() + 1);
  if (rest.substr(0, 2) != "//") return false;
  rest.remove_prefix(2);
  std::string_view authority = rest.substr(0, rest.find_first_of("/?#"));
  const std::size_t at = authority.rfind('@');  // user and password
  if (at != std::string_view::npos) authority.remove_prefix(at + 1);
  std::string_view portText;
  if (!authority.empty() && authority.front() == '[') {
    const std::size_t close = authority.find(']');
    if (close == std::string_view::npos) return false;
    host = authority.substr(1, close - 1);
    const std::string_view after = authority.substr(close + 1);
    if (!after.empty() && after.front() != ':') return false;
    if (!after.empty()) portText = after.substr(1);
  } else {
    const std::size_t colon = authority.find(':');
    host = authority.substr(0, colon);
    if (colon != std::string_view::npos) portText = authority.substr(colon + 1);
  }
  if (host.empty()) return false;
  port = scheme == "https" ? 443 : 80;
  if (portText.empty()) return true;
  if (portText.size() > 5 ||
      !std::all_of(portText.begin(), portText.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  port = std::stoi(std::string(portText));
  return port >= 1 && port <= 65535;
}

std::string PrintableAddress(std::string_view url) {
  constexpr std::size_t kMost = 80;
  std::string out;
  for (const char ch : url) {
    const unsigned char c = static_cast<unsigned char>(ch);
    std::string piece(1, ch);
    if (c == '\r') {
      piece = "\\r";
    } else if (c == '\n') {
      piece = "\\n";
    } else if (c < 0x20 || c == 0x7F) {
      static const char kHex[] = "0123456789ABCDEF";
      piece = std::string("\\x") + kHex[c >> 4] + kHex[c & 15];
    }
    // Cut between whole characters: a control character is spelled out in up to four.
    if (out.size() + piece.size() > kMost) return out + "...";
    out += piece;
  }
  return out;
}

namespace {

std::string Quoted(std::string_view url) {
  return "\"" + PrintableAddress(url) + "\"";
}

}  // namespace

std::string_view StationAddress(std::string_view text) {
  return Trim(text);
}

bool PlaylistEntryAllowed(std::string_view playlistUrl, std::string_view entry, std::string* why) {
  if (!StationUrlAllowed(entry, why)) return false;
  const std::string listScheme = IsLocalPath(playlistUrl) ? std::string() : SchemeOf(playlistUrl);
  // A local playlist may name what a station may (shares and devices are refused above).
  if (listScheme.empty() || listScheme == "file") return true;
  const std::string scheme = IsLocalPath(entry) ? std::string() : SchemeOf(entry);
  if (scheme == "http" || scheme == "https") return true;
  if (why) *why = Quoted(entry) + " is no http or https address, which a playlist from the network may not lead to";
  return false;
}

bool HlsAddressAllowed(std::string_view listUrl, std::string_view address, std::string* why) {
  // An encrypted segment is opened through the crypto protocol, which opens what follows
  // (FFmpeg knows the prefix in small letters only).
  if (address.substr(0, 7) == "crypto+" || address.substr(0, 7) == "crypto:") address.remove_prefix(7);
  return PlaylistEntryAllowed(listUrl, address, why);
}

bool StationUrlAllowed(std::string_view u, std::string* why) {
  if (Trim(u).empty()) {
    if (why) *why = "The station has no URL";
    return false;
  }
  // Windows would drop blanks at a path's end ("COM1 " is COM1); the reader leaves them
  // out before it checks (StationAddress).
  if (Trim(u).size() != u.size()) {
    if (why) *why = "The address " + Quoted(u) + " has blanks or line breaks around it";
    return false;
  }
  // A path on this machine or beyond: no colon at all, a drive letter, or a separator
  // first (\\server\share, \??\..., /x).
  const std::size_t colon = u.find(':');
  const bool drive = colon == 1 && std::isalpha(static_cast<unsigned char>(u[0]));
  const bool path = colon == std::string_view::npos || drive || u.front() == '\\' || u.front() == '/';
  // A path may hold blanks; an address none, nor a line break that would carry more
  // lines into the request. Nothing is trimmed: what is checked is what is opened, and a
  // NUL would end the text that a C function sees before the part that was checked.
  const bool clean = std::none_of(u.begin(), u.end(), [path](char ch) {
    const unsigned char c = static_cast<unsigned char>(ch);
    return c < (path ? 0x20 : 0x21) || c == 0x7F;
  });
  if (!clean) {
    if (why) *why = "The address " + Quoted(u) + " holds " + (path ? "" : "blanks or ") + "control characters";
    return false;
  }
  const std::string scheme = path ? std::string() : Lower(u.substr(0, colon));
  static const char* const allowed[] = {"http", "https", "tcp", "tls", "hls", "crypto", "file"};
  if (!path && std::find(std::begin(allowed), std::end(allowed), scheme) == std::end(allowed)) {
    if (why) *why = "The address " + Quoted(u.substr(0, 40)) + " has a scheme that cannot be played; use http or https";
    return false;
  }
  // What the system is handed for a file: the path, or what follows "file:".
  if ((path || scheme == "file") && base::IsNetworkOrDevicePath(path ? u : u.substr(5))) {
    if (why)
      *why = "The address " + Quoted(u) +
             " is on another computer or is a device, and is not opened; give a network folder a drive letter";
    return false;
  }
  return true;
}

PlaylistKind DetectPlaylist(std::string_view url, std::string_view contentType, std::string_view body) {
  const std::string head = Lower(body.substr(0, std::min<std::size_t>(body.size(), 512)));
  const std::string_view start = Trim(head);
  if (start.rfind("[playlist]", 0) == 0) return PlaylistKind::Pls;
  if (start.rfind("<asx", 0) == 0) return PlaylistKind::Asx;
  if (start.rfind("#extm3u", 0) == 0)
    return head.find("#ext-x-") != std::string::npos ? PlaylistKind::None : PlaylistKind::M3u;
  const std::string type = Lower(contentType);
  const std::string path = PathOf(url);
  if (type.find("scpls") != std::string::npos || EndsWith(path, ".pls")) return PlaylistKind::Pls;
  if (type.find("ms-asf") != std::string::npos || type.find("asx") != std::string::npos || EndsWith(path, ".asx"))
    return head.find("<asx") != std::string::npos ? PlaylistKind::Asx : PlaylistKind::None;
  if (EndsWith(path, ".m3u") || type.find("mpegurl") != std::string::npos) {
    if (EndsWith(path, ".m3u8") || head.find("#ext-x-") != std::string::npos) return PlaylistKind::None;
    // A plain list of addresses, not audio under a playlist's name: its first line is a
    // printable address.
    const std::vector<std::string_view> lines = Lines(start);
    const std::string_view first = lines.empty() ? std::string_view() : Trim(lines.front());
    const bool printable = !first.empty() && std::all_of(first.begin(), first.end(), [](char c) {
      return static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7F;
    });
    return printable && (first.front() == '#' || LooksLikeEntry(first)) ? PlaylistKind::M3u : PlaylistKind::None;
  }
  return PlaylistKind::None;
}

bool LooksLikeWebPage(std::string_view contentType, std::string_view body) {
  const std::string type = Lower(contentType);
  if (type.rfind("text/html", 0) == 0 || type.rfind("application/xhtml", 0) == 0) return true;
  const std::string head = Lower(body.substr(0, std::min<std::size_t>(body.size(), 512)));
  const std::string_view start = Trim(head);
  return start.rfind("<!doctype html", 0) == 0 || start.rfind("<html", 0) == 0;
}

std::vector<std::string> ParsePlaylist(PlaylistKind kind, std::string_view body, std::string_view baseUrl) {
  if (body.size() > kMaxPlaylistBytes) body = body.substr(0, kMaxPlaylistBytes);
  std::vector<std::string> raw;
  switch (kind) {
    case PlaylistKind::Pls:
      raw = ParsePls(body);
      break;
    case PlaylistKind::M3u:
      raw = ParseM3u(body);
      break;
    case PlaylistKind::Asx:
      raw = ParseAsx(body);
      break;
    case PlaylistKind::None:
      break;
  }
  std::vector<std::string> out;
  for (const std::string& entry : raw)
    if (LooksLikeEntry(entry)) out.push_back(ResolveUrl(baseUrl, entry));
  return out;
}

std::string ResolveUrl(std::string_view base, std::string_view ref) {
  // A drive or network path is no reference relative to a URL: it stays as it is (and a
  // playlist from the network may not lead to it).
  if (!SchemeOf(ref).empty() || IsLocalPath(ref) || base.empty()) return std::string(ref);
  const std::string scheme = SchemeOf(base);
  if (scheme.empty()) return std::string(ref);
  const std::size_t authorityStart = base.find("//");
  if (authorityStart == std::string_view::npos) return std::string(ref);
  if (ref.substr(0, 2) == "//") return scheme + ":" + std::string(ref);
  const std::size_t pathStart = base.find('/', authorityStart + 2);
  const std::string origin(base.substr(0, pathStart == std::string_view::npos ? base.size() : pathStart));
  if (!ref.empty() && ref.front() == '/') return origin + std::string(ref);
  // Relative to the base's directory.
  std::string dir = pathStart == std::string_view::npos ? "/" : std::string(base.substr(pathStart));
  const std::size_t cut = dir.find_first_of("?#");
  if (cut != std::string::npos) dir.resize(cut);
  dir.resize(dir.rfind('/') + 1);
  while (true) {
    if (ref.substr(0, 2) == "./") {
      ref.remove_prefix(2);
    } else if (ref.substr(0, 3) == "../") {
      ref.remove_prefix(3);
      if (dir.size() > 1) {
        dir.pop_back();
        dir.resize(dir.rfind('/') + 1);
      }
    } else {
      break;
    }
  }
  return origin + dir + std::string(ref);
}

}  // namespace playback
