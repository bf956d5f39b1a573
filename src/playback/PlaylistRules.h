// What a station URL leads to: a stream, or a playlist (PLS, M3U, ASX) whose entries are
// the streams to try in order; and which URL schemes a station may use. Portable.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace playback {

// Playlists are small: a body longer than this is no playlist (it is fetched no further).
constexpr std::size_t kMaxPlaylistBytes = 64 * 1024;

enum class PlaylistKind { None, Pls, M3u, Asx };

// Recognises a playlist by its content first (a server may call it anything), then by
// its content type and by the URL's extension. HLS (".m3u8", "#EXT-X-") is no playlist
// here: the stream reader plays it as a stream.
PlaylistKind DetectPlaylist(std::string_view url, std::string_view contentType, std::string_view body);

// Whether a body that is no playlist is a web page (HTML by its content type or its
// start): the station's address leads to a site, not to a stream.
bool LooksLikeWebPage(std::string_view contentType, std::string_view body);

// The entries of a playlist in their order, relative entries resolved against the
// playlist's own URL. Entries that are neither URLs nor paths are left out.
std::vector<std::string> ParsePlaylist(PlaylistKind kind, std::string_view body, std::string_view baseUrl);

// Resolves a reference against a base URL (RFC 3986, without dot-segment folding beyond
// "./" and "../").
std::string ResolveUrl(std::string_view base, std::string_view ref);

// The FFmpeg demuxer a stream's content type names ("mp3", "aac", "ogg", "flac", "asf"),
// or "" when the type says nothing certain and the content must be probed. Taking the
// server's word saves probing a live stream that was joined in the middle of a frame.
std::string DemuxerForContentType(std::string_view contentType);

// The scheme of a URL in lower case ("" for a local path such as C:\x.wav or /x.wav).
std::string SchemeOf(std::string_view url);

// The host and port an http or https URL connects to (the port defaults to 80 or 443);
// false for other URLs and for a port that is no number from 1 to 65535. An IPv6 host
// comes without its brackets.
bool HostAndPort(std::string_view url, std::string& host, int& port);

// The address that a station's text names: the text without the blanks and line breaks
// around it (a preset typed with a blank after it plays). The reader checks and opens this
// address, and no other.
std::string_view StationAddress(std::string_view text);

// Whether a playlist at playlistUrl may lead to entry, exactly as it is; sets why, naming
// the entry, when it may not. A playlist fetched from the network leads to http and https
// streams only: a server must not make the player open local files, network shares or
// other kinds of addresses. A local playlist may name what a station may, which is no
// network share or device: a file that someone else wrote must not make Windows offer the
// user's credentials to a foreign server, nor open a port that blocks the player.
bool PlaylistEntryAllowed(std::string_view playlistUrl, std::string_view entry, std::string* why = nullptr);

// Whether an HLS list at listUrl may lead to address (a list, a segment or a key that the
// HLS reader opens in turn): as a playlist's entry may, judged by what an encrypted
// segment's "crypto+" or "crypto:" address opens.
bool HlsAddressAllowed(std::string_view listUrl, std::string_view address, std::string* why = nullptr);

// Whether the stream reader may open the URL exactly as it is: http, https, tcp, tls, hls,
// crypto, file, and local paths; never a network share or device path
// (base::IsNetworkOrDevicePath), by which a "file:" address is judged too. An address
// holds no blank and no control character, a path no control character, around it or
// inside. Sets why when it may not.
bool StationUrlAllowed(std::string_view url, std::string* why);

// The address as a message shows it: at most 80 characters (then "..."), a control
// character as \r, \n or \xNN.
std::string PrintableAddress(std::string_view url);

}  // namespace playback
