// Playlists as they come from a station: its URL, the content type the server names and
// the body, through detection, parsing and the checks of what an entry may lead to.
#include "FuzzInput.h"
#include "base/PathRules.h"
#include "playback/PlaylistRules.h"

namespace {

constexpr std::size_t kMaxInput = playback::kMaxPlaylistBytes + 1024;

// What another protocol may be handed, exactly as it is (what was checked is what is
// opened): no control character, a NUL least of all (a C function would see the text end
// there), and no blank in an address (a path may hold blanks).
bool Clean(std::string_view u) {
  const bool address = !playback::SchemeOf(u).empty() && !(u.size() > 1 && u[1] == ':');
  for (const char ch : u) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F || (address && c == ' ')) return false;
  }
  return !u.empty();
}

void CheckAddress(std::string_view url) {
  const std::string scheme = playback::SchemeOf(url);
  for (char c : scheme) FUZZ_CHECK(!(c >= 'A' && c <= 'Z'));
  std::string host;
  int port = 0;
  if (playback::HostAndPort(url, host, port)) {
    FUZZ_CHECK(!host.empty() && port >= 1 && port <= 65535);
    FUZZ_CHECK(scheme == "http" || scheme == "https");
  }
  std::string why;
  if (!playback::StationUrlAllowed(url, &why)) {
    FUZZ_CHECK(!why.empty() && why.size() < 200);
  } else {
    FUZZ_CHECK(Clean(url));
    // What the system opens as a file reaches no other computer and no device.
    if (scheme.empty() || scheme == "file")
      FUZZ_CHECK(!base::IsNetworkOrDevicePath(scheme.empty() ? url : url.substr(5)));
  }
  (void)playback::DemuxerForContentType(url);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput) return 0;
  fuzz::Input in(data, size);
  const std::string_view url = in.Piece('\n');
  const std::string_view type = in.Piece('\n');
  const std::string_view body = in.Rest();
  CheckAddress(url);
  (void)playback::DemuxerForContentType(type);

  const playback::PlaylistKind kind = playback::DetectPlaylist(url, type, body);
  for (playback::PlaylistKind k : {playback::PlaylistKind::Pls, playback::PlaylistKind::M3u,
                                   playback::PlaylistKind::Asx, playback::PlaylistKind::None}) {
    const std::vector<std::string> entries = playback::ParsePlaylist(k, body, url);
    if (k == playback::PlaylistKind::None) FUZZ_CHECK(entries.empty());
    for (const std::string& entry : entries) {
      FUZZ_CHECK(!entry.empty());
      CheckAddress(entry);
      // A playlist from the network leads to http and https streams only.
      const std::string scheme = playback::SchemeOf(entry);
      std::string why;
      if (playback::PlaylistEntryAllowed("http://radio.example/list", entry, &why))
        FUZZ_CHECK((scheme == "http" || scheme == "https") && Clean(entry));
      else
        FUZZ_CHECK(!why.empty() && why.find_first_of("\r\n") == std::string::npos);
      if (playback::PlaylistEntryAllowed(url, entry)) FUZZ_CHECK(Clean(entry));
      // The crypto protocol hands on what follows its prefix, and that is what must be clean.
      const bool crypto = entry.rfind("crypto+", 0) == 0 || entry.rfind("crypto:", 0) == 0;
      const std::string_view nested = std::string_view(entry).substr(crypto ? 7 : 0);
      if (playback::HlsAddressAllowed(url, entry)) FUZZ_CHECK(Clean(nested));
    }
    (void)kind;
  }
  // A reference resolved against the URL, as a relative entry is.
  (void)playback::ResolveUrl(url, type);
  return 0;
}
