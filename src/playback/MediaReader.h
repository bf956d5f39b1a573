// Reads a stream or a sound file with FFmpeg and hands out its sound as 16-bit stereo
// samples at the rate the media opened with, whatever its frames change to later (a
// mono stream on both channels at its own level), and on request each decoded frame as
// it is, for the taps.
// Playlists (PLS, M3U, ASX) are followed to their first entry that opens. Every blocking
// call can be cut short.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "playback/HlsListCap.h"
#include "playback/OggChainRules.h"
#include "playback/ReconnectRules.h"
#include "playback/SoundTap.h"
#include "playback/StreamTap.h"

struct AVFormatContext;
struct AVCodecContext;
struct SwrContext;
struct AVPacket;
struct AVIOContext;
struct AVFrame;
struct AVVorbisParseContext;

namespace playback {

class FrameSync;
class RefusalWatch;

class MediaError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class MediaReader {
 public:
  // cancelled() is asked often during every blocking call; true ends the call.
  explicit MediaReader(std::function<bool()> cancelled);
  ~MediaReader();
  MediaReader(const MediaReader&) = delete;
  MediaReader& operator=(const MediaReader&) = delete;

  // Any blocking call not done within ms from now fails (a hung or stalled server).
  void SetDeadline(unsigned ms);
  // From now on a read fails as soon as the stream stalls or sends bytes without sound
  // (the watch's rules), instead of at a deadline: for a live stream that plays.
  void WatchStream(unsigned stallMs = kStallMs, unsigned undecodableMs = kUndecodableMs);
  // The address of the stream that opened: the playlist's entry when it came from one.
  const std::string& OpenedUrl() const { return openedUrl_; }
  // Connects to the address that `text` names (StationAddress), follows playlists and
  // prepares the decoder; raises MediaError.
  void Open(const std::string& text);
  // Opens url as the stream it was before (no playlist is looked for); raises MediaError.
  void OpenStream(const std::string& url);
  // The server announced the media's size: a file sent over the network, not a live
  // stream, although it cannot be measured in time.
  bool SizeKnown() const;
  int SampleRate() const { return rate_; }
  double DurationSeconds() const { return duration_; }
  int BitRate() const { return bitRate_; }
  long long BytesRead() const;
  // When (GetTickCount64) the station's server answered the last Open; 0 for a file.
  unsigned long long AnsweredTick() const { return answeredTick_; }
  // The next decoded sound, appended to out as interleaved stereo; false at the end of
  // the media. Raises MediaError when reading fails. With `own`, the decoded frame is
  // also copied there as the decoder made it (none, 0 frames, when its format cannot be
  // handed on), with its position among the frames decoded since the media opened.
  bool Read(std::vector<std::int16_t>& out, DecodedSound* own = nullptr);
  // The codec of the frames of the stream that opened.
  StreamFormat Format() const;
  // Every frame of the sound read from now on also goes to `sink`, as it arrived, with
  // its length in samples at the format's rate; `formats` hears of each new format that
  // the stream goes on in (a new Ogg chain), before the first frame in it.
  using FrameSink = std::function<void(const std::uint8_t* data, std::size_t size, std::int64_t ticks)>;
  using FormatSink = std::function<void(const StreamFormat& format)>;
  void SetFrameSink(FrameSink sink, FormatSink formats) {
    frameSink_ = std::move(sink);
    formatSink_ = std::move(formats);
  }
  // The stream's title when it announced a new one since the last call (ICY metadata,
  // Vorbis or Opus comments, ID3 tags), as the stream's own bytes; false otherwise.
  bool NewTitle(std::string& raw);

 private:
  static int Interrupt(void* self);
  // The call was cancelled or its deadline passed.
  bool Stopped();
  // The read callback of an ADTS or MP3 stream: only whole, confirmed frames reach the
  // demuxer.
  static int ReadSynced(void* self, std::uint8_t* buf, int size);
  bool TimedOut() const;
  bool OpenMedia(const std::string& url, std::string& error);
  // The failure in words: a server certificate that was refused on this connection, or a
  // lookup of its name that could not be started, else `otherwise`.
  std::string Failure(const std::string& otherwise) const;
  // The entries of the playlist at url; isPlaylist is false when it is no playlist, and
  // webPage then tells a web page.
  std::vector<std::string> FetchPlaylist(const std::string& url, bool& isPlaylist, bool& webPage, std::string& error);
  void Close();
  // Looks for a new title in the connection's ICY metadata and in the tags that the
  // demuxer updated.
  void FindTitle();
  void OfferTitle(const std::string& raw, bool emptyToo);
  // Hands the packet read to the frame sink, and a new chain's format to the format sink.
  void HandOnFrame();
  // A new Vorbis chain's headers are complete: its frames are of its format from here on.
  void NewVorbisChain();
  // Converts the decoded frame into out, first making the converter anew when the
  // frame's channels, sample format or rate differ from those it was made for.
  void Convert(std::vector<std::int16_t>& out);
  // The decoded frame as it is into own.
  void CopyFrame(DecodedSound& own) const;

  std::function<bool()> cancelled_;
  unsigned long long deadline_ = 0;
  // A deadline passed: the connection is dead, whatever a later call reports (the
  // reader may hand out what it still holds before the error).
  bool timedOut_ = false;
  unsigned long long answeredTick_ = 0;
  long long bytesAtDeadline_ = 0;     // what had arrived when the deadline was set
  bool sendingWhenTimedOut_ = false;  // bytes kept coming up to the deadline
  bool watching_ = false;             // the watch, not the deadline, ends a read
  StreamWatch watch_;
  std::string openedUrl_;
  std::unique_ptr<RefusalWatch> refusal_;  // tells a refused connection at once
  HlsListCap listCap_;
  AVFormatContext* format_ = nullptr;
  AVIOContext* io_ = nullptr;      // the network connection, when this reader made it
  AVIOContext* syncIo_ = nullptr;  // the frames of io_ found by sync_
  std::unique_ptr<FrameSync> sync_;
  std::string synced_;
  std::size_t syncedAt_ = 0;
  bool networkEnded_ = false;
  AVCodecContext* codec_ = nullptr;
  SwrContext* resampler_ = nullptr;
  // What the converter takes: a stream may change any of these at any frame.
  int inChannels_ = 0;
  std::uint64_t inMask_ = 0;
  int inFormat_ = -1;
  int inRate_ = 0;
  std::uint64_t decodedFrames_ = 0;
  AVPacket* packet_ = nullptr;
  AVFrame* frame_ = nullptr;
  int stream_ = -1;
  int rate_ = 0;
  double duration_ = 0;
  int bitRate_ = 0;
  FrameSink frameSink_;
  FormatSink formatSink_;
  std::string headers_;  // the codec's set-up that the frames handed on need
  VorbisChain vorbisChain_;
  // The chain that plays when FFmpeg's stream does not describe it (a Vorbis chain after
  // the first), and the lengths of its frames, which FFmpeg reckons by the first chain.
  std::shared_ptr<const AVCodecParameters> chain_;
  AVVorbisParseContext* vorbisParse_ = nullptr;
  std::string title_;
  bool titleNew_ = false;
  std::string icyBlock_;  // the last ICY metadata block seen
  unsigned long long nextIcyLook_ = 0;
};

}  // namespace playback
