#include "playback/MediaReader.h"

#include <windows.h>

#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/vorbis_parser.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include "base/Encoding.h"
#include "playback/CertificateCheck.h"
#include "playback/RefusalWatch.h"
#include "playback/FrameSyncRules.h"
#include "playback/NameLookup.h"
#include "playback/PlaylistRules.h"
#include "playback/TitleRules.h"

namespace playback {

namespace {

constexpr const char* kProtocols = "http,https,tcp,tls,hls,crypto,file";
// What a stream from the network may open in turn (HLS segments and keys, redirects):
// never a file on this machine.
constexpr const char* kNetworkProtocols = "http,https,tcp,tls,hls,crypto";

const char* ProtocolsFor(const std::string& url) {
  const std::string scheme = SchemeOf(url);
  return scheme.empty() || scheme == "file" ? kProtocols : kNetworkProtocols;
}

// A station's connection made for it: only the protocols its address may reach, our
// name, and the ICY titles asked for. The caller frees it.
AVDictionary* StationOptions(const std::string& url) {
  AVDictionary* options = nullptr;
  av_dict_set(&options, "protocol_whitelist", ProtocolsFor(url), 0);
  av_dict_set(&options, "user_agent", "Ovexia Tunora", 0);
  av_dict_set(&options, "icy", "1", 0);
  return options;
}

constexpr const char* kNoAnswer = "The station does not answer";

// Rates outside these give a sound buffer of no length, or sizes that overflow.
constexpr int kMinSampleRate = 20;
constexpr int kMaxSampleRate = 384000;

bool RatePlayable(int rate) {
  return rate >= kMinSampleRate && rate <= kMaxSampleRate;
}

std::string RateError(int rate) {
  return "The sound has a sample rate that cannot be played (" + std::to_string(rate) + " Hz)";
}

std::string ErrorText(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = "";
  av_strerror(code, text, sizeof text);
  return text;
}

// The title in a set of tags: a Vorbis comment, ID3 frames, or the ICY title that a
// demuxer passes on; empty when there is none.
std::string TagTitle(const AVDictionary* tags) {
  const auto get = [tags](const char* key) {
    const AVDictionaryEntry* e = av_dict_get(tags, key, nullptr, 0);
    return std::string(e && e->value ? e->value : "");
  };
  return TitleFromTags(get("artist"), get("title"), get("StreamTitle"));
}

}  // namespace

MediaReader::MediaReader(std::function<bool()> cancelled)
    : cancelled_(std::move(cancelled)), refusal_(std::make_unique<RefusalWatch>()) {
  av_log_set_level(AV_LOG_QUIET);
  InstallCertificateCheck();
  InstallNameLookup();
  SetDeadline(10000);
}

MediaReader::~MediaReader() {
  Close();
}

void MediaReader::SetDeadline(unsigned ms) {
  watching_ = false;
  deadline_ = GetTickCount64() + ms;
  bytesAtDeadline_ = BytesRead();
}

void MediaReader::WatchStream(unsigned stallMs, unsigned undecodableMs) {
  if (watching_) return;
  watching_ = true;
  watch_ = StreamWatch(stallMs, undecodableMs);
  watch_.Sound(GetTickCount64(), BytesRead());
}

bool MediaReader::Stopped() {
  if (cancelled_ && cancelled_()) return true;
  if (watching_) {
    if (!timedOut_) {
      const StreamHealth health = watch_.Check(GetTickCount64(), BytesRead());
      timedOut_ = health != StreamHealth::Fine;
      sendingWhenTimedOut_ = health == StreamHealth::Undecodable;
    }
    return timedOut_;
  }
  if (!timedOut_ && GetTickCount64() > deadline_) {
    timedOut_ = true;
    // Bytes that kept coming without a frame in them are no stall: the station sends
    // something that is not its sound (garbage, or another stream's data).
    sendingWhenTimedOut_ = BytesRead() > bytesAtDeadline_ + 4096;
  }
  return timedOut_;
}

int MediaReader::Interrupt(void* self) {
  auto* r = static_cast<MediaReader*>(self);
  return r->Stopped() || r->refusal_->Refused() || r->listCap_.Check(r->format_, r->io_);
}

bool MediaReader::TimedOut() const {
  return timedOut_;
}

void MediaReader::Close() {
  av_vorbis_parse_free(&vorbisParse_);
  chain_.reset();
  vorbisChain_ = {};
  headers_.clear();
  av_frame_free(&frame_);
  av_packet_free(&packet_);
  swr_free(&resampler_);
  inChannels_ = 0;
  inMask_ = 0;
  inFormat_ = -1;
  inRate_ = 0;
  decodedFrames_ = 0;
  avcodec_free_context(&codec_);
  avformat_close_input(&format_);
  if (syncIo_) av_freep(&syncIo_->buffer);
  avio_context_free(&syncIo_);
  sync_.reset();
  synced_.clear();
  syncedAt_ = 0;
  networkEnded_ = false;
  avio_closep(&io_);
  title_.clear();
  titleNew_ = false;
  icyBlock_.clear();
  nextIcyLook_ = 0;
  stream_ = -1;
}

long long MediaReader::BytesRead() const {
  if (io_) return avio_tell(io_);
  return format_ && format_->pb ? avio_tell(format_->pb) : 0;
}

int MediaReader::ReadSynced(void* self, std::uint8_t* buf, int size) {
  // A stream that shows no frame in this much is not of its kind at all (MP2 sent as
  // audio/mpeg, say): it fails at once rather than at the deadline.
  constexpr std::size_t kSearchBytes = 64 * 1024;
  auto* r = static_cast<MediaReader*>(self);
  while (r->syncedAt_ == r->synced_.size()) {
    r->synced_.clear();
    r->syncedAt_ = 0;
    if (r->networkEnded_) return AVERROR_EOF;
    if (!r->sync_->Found() && r->sync_->Dropped() > kSearchBytes) return AVERROR_INVALIDDATA;
    unsigned char chunk[4096];
    const int n = avio_read_partial(r->io_, chunk, sizeof chunk);
    if (n == AVERROR_EOF) {
      r->sync_->End();
      r->networkEnded_ = true;
    } else if (n < 0) {
      return n;
    } else {
      r->sync_->Push(chunk, std::size_t(n));
    }
    r->sync_->Pull(r->synced_);
  }
  const int n = int(std::min<std::size_t>(std::size_t(size), r->synced_.size() - r->syncedAt_));
  std::memcpy(buf, r->synced_.data() + r->syncedAt_, std::size_t(n));
  r->syncedAt_ += std::size_t(n);
  return n;
}

void MediaReader::Open(const std::string& text) {
  // What is checked here is what is opened, and what a playlist's entries are judged by.
  const std::string url(StationAddress(text));
  std::string why;
  if (!StationUrlAllowed(url, &why)) throw MediaError(why);
  std::string error;
  if (OpenMedia(url, error)) return;
  if (refusal_->Refused() || LastCertificateFault().Refused() || !LastLookupFault().empty()) throw MediaError(error);
  // Not a stream FFmpeg knows: it may be a playlist, whatever its name. When it is none,
  // the stream's own failure is the one to report.
  std::string playlistError;
  bool isPlaylist = false, webPage = false;
  const std::vector<std::string> entries = FetchPlaylist(url, isPlaylist, webPage, playlistError);
  if (webPage) throw MediaError("The station's address leads to a web page, not to a stream");
  if (!isPlaylist) throw MediaError(error);
  std::string refused;
  int refusals = 0, selfLinks = 0;
  bool tried = false;
  for (const std::string& entry : entries) {
    if (Stopped()) break;
    if (entry == url) {
      ++selfLinks;  // followed, it would only lead here again
      continue;
    }
    std::string why;
    if (!PlaylistEntryAllowed(url, entry, &why)) {
      if (++refusals <= 3) refused += (refused.empty() ? "" : "; ") + why;
      continue;
    }
    tried = true;
    if (OpenMedia(entry, error)) return;
  }
  if (tried) throw MediaError(error);
  if (selfLinks > 0 && refusals == 0) throw MediaError("The station's playlist leads only back to itself");
  if (refusals > 0)
    throw MediaError("The station's playlist names no address that may be played from it: " + refused +
                     (refusals > 3 ? "; ..." : ""));
  throw MediaError(playlistError.empty() ? error : playlistError);
}

void MediaReader::OpenStream(const std::string& url) {
  std::string error;
  if (!StationUrlAllowed(url, &error) || !OpenMedia(url, error)) throw MediaError(error);
}

bool MediaReader::SizeKnown() const {
  // An HLS list's own size says nothing of the stream it lists.
  if (!io_ || !format_ || std::strcmp(format_->iformat->name, "hls") == 0) return false;
  return avio_size(io_) > 0;
}

std::string MediaReader::Failure(const std::string& otherwise) const {
  const CertificateFault fault = LastCertificateFault();
  if (fault.Refused()) return fault.Text();
  const std::string lookup = LastLookupFault();
  return lookup.empty() ? otherwise : lookup;
}

bool MediaReader::OpenMedia(const std::string& url, std::string& error) {
  Close();
  ClearCertificateFault();
  ClearLookupFault();
  timedOut_ = false;
  answeredTick_ = 0;
  openedUrl_ = url;
  refusal_->Start(url);  // watches http and https only; forgets the last URL's refusal
  const std::string scheme = SchemeOf(url);
  const std::string name = scheme.empty() ? base::Utf8FromAnsi(url) : url;
  const AVInputFormat* forced = nullptr;
  if (scheme == "http" || scheme == "https") {
    // The connection is made here, so that the server's content type can choose the
    // demuxer before any probing.
    AVDictionary* options = StationOptions(url);
    const AVIOInterruptCB cb{&MediaReader::Interrupt, this};
    const int r = avio_open2(&io_, name.c_str(), AVIO_FLAG_READ, &cb, &options);
    answeredTick_ = GetTickCount64();
    refusal_->Stop();
    av_dict_free(&options);
    if (r < 0) {
      error = refusal_->Refused() ? "The station refuses the connection"
              : TimedOut()      ? kNoAnswer
                                : Failure("The station cannot be reached: " + ErrorText(r));
      return false;
    }
    uint8_t* mime = nullptr;
    av_opt_get(io_, "mime_type", AV_OPT_SEARCH_CHILDREN, &mime);
    const std::string demuxer = DemuxerForContentType(mime ? reinterpret_cast<char*>(mime) : "");
    av_free(mime);
    if (!demuxer.empty()) forced = av_find_input_format(demuxer.c_str());
  }
  const bool adts = forced && std::strcmp(forced->name, "aac") == 0;
  format_ = avformat_alloc_context();
  format_->interrupt_callback = {&MediaReader::Interrupt, this};
  listCap_.Attach(format_);
  if (io_) {
    format_->pb = io_;
    format_->flags |= AVFMT_FLAG_CUSTOM_IO;
    if (adts || (forced && std::strcmp(forced->name, "mp3") == 0)) {
      // FFmpeg's ADTS reader takes any sync word for a frame; a false one in a stream
      // joined mid-frame or damaged swallows up to 8 KB of good frames. Its MP3 reader
      // is content with two headers in a row: joined mid-frame, a periodic sound (a
      // tone) can offer a chain of false layer I headers, and the stream is then taken
      // for layer I, which cannot be decoded.
      constexpr int kBufferBytes = 4096;
      sync_ = std::make_unique<FrameSync>(adts ? FrameFormat::Adts : FrameFormat::Mp3);
      syncIo_ = avio_alloc_context(static_cast<unsigned char*>(av_malloc(kBufferBytes)), kBufferBytes, 0, this,
                                   &MediaReader::ReadSynced, nullptr, nullptr);
      format_->pb = syncIo_;
    }
  }
  // Start quickly: a live stream is not probed for long.
  format_->probesize = 64 * 1024;
  format_->max_analyze_duration = 500000;
  AVDictionary* options = StationOptions(url);
  // The HLS reader would reuse a connection by reaching behind the files it opened, which
  // the list cap wraps: every list and segment gets a connection of its own.
  av_dict_set(&options, "http_persistent", "0", 0);
  int r = avformat_open_input(&format_, name.c_str(), forced, &options);
  av_dict_free(&options);
  const std::string noFrames =
      std::string("The station's stream holds no ") + (adts ? "AAC" : "MP3") + " frames that can be played";
  if (r < 0) {
    error = listCap_.Stopped()         ? listCap_.Reason()
            : TimedOut()               ? kNoAnswer
            : sync_ && !sync_->Found() ? noFrames
                                       : Failure("The station cannot be opened: " + ErrorText(r));
    format_ = nullptr;
    return false;
  }
  r = avformat_find_stream_info(format_, nullptr);
  if (sync_ && !sync_->Found()) {
    error = TimedOut() ? kNoAnswer : noFrames;
    return false;
  }
  if (r < 0) {
    error = listCap_.Stopped() ? listCap_.Reason() : "The station sends nothing that can be played: " + ErrorText(r);
    return false;
  }
  const AVCodec* decoder = nullptr;
  stream_ = av_find_best_stream(format_, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
  if (stream_ == AVERROR_DECODER_NOT_FOUND) {
    // Say which: the sound is there, in a format this player does not decode.
    const int any = av_find_best_stream(format_, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    const char* name = any >= 0 ? avcodec_get_name(format_->streams[any]->codecpar->codec_id) : "unknown";
    error = std::string("The station's sound is in a format that cannot be played (") + name + ")";
    return false;
  }
  if (stream_ < 0 || !decoder) {
    error = "The station sends no sound that can be played";
    return false;
  }
  AVStream* s = format_->streams[stream_];
  codec_ = avcodec_alloc_context3(decoder);
  avcodec_parameters_to_context(codec_, s->codecpar);
  if ((r = avcodec_open2(codec_, decoder, nullptr)) < 0) {
    error = "The sound cannot be decoded: " + ErrorText(r);
    return false;
  }
  rate_ = codec_->sample_rate > 0 ? codec_->sample_rate : 44100;
  if (!RatePlayable(rate_)) {
    error = RateError(rate_);
    return false;
  }
  // A file knows its length; a live stream over the network has none.
  const bool file = !(format_->iformat->flags & AVFMT_NOFILE) && format_->pb && !(format_->pb->seekable == 0);
  duration_ = file && format_->duration > 0 ? double(format_->duration) / AV_TIME_BASE : 0.0;
  bitRate_ = int(s->codecpar->bit_rate > 0 ? s->codecpar->bit_rate : format_->bit_rate);
  packet_ = av_packet_alloc();
  frame_ = av_frame_alloc();
  headers_.assign(reinterpret_cast<const char*>(s->codecpar->extradata), std::size_t(std::max(s->codecpar->extradata_size, 0)));
  // The tags of the start: a file's ID3 title, the first Vorbis comment of a stream.
  std::string tagged = TagTitle(s->metadata);
  if (tagged.empty()) tagged = TagTitle(format_->metadata);
  OfferTitle(tagged, false);
  format_->event_flags &= ~AVFMT_EVENT_FLAG_METADATA_UPDATED;
  s->event_flags &= ~AVSTREAM_EVENT_FLAG_METADATA_UPDATED;
  return true;
}

std::vector<std::string> MediaReader::FetchPlaylist(const std::string& url, bool& isPlaylist, bool& webPage,
                                                    std::string& error) {
  const std::string name = SchemeOf(url).empty() ? base::Utf8FromAnsi(url) : url;
  AVIOContext* io = nullptr;
  AVDictionary* options = nullptr;
  av_dict_set(&options, "protocol_whitelist", ProtocolsFor(url), 0);
  const AVIOInterruptCB cb{&MediaReader::Interrupt, this};
  const int r = avio_open2(&io, name.c_str(), AVIO_FLAG_READ, &cb, &options);
  av_dict_free(&options);
  if (r < 0) {
    error = TimedOut() ? kNoAnswer : Failure("The station cannot be reached: " + ErrorText(r));
    return {};
  }
  std::string body(kMaxPlaylistBytes, '\0');
  int got = 0;
  while (got < int(body.size())) {
    const int n = avio_read(io, reinterpret_cast<unsigned char*>(body.data()) + got, int(body.size()) - got);
    if (n <= 0) break;
    got += n;
  }
  body.resize(std::size_t(got));
  uint8_t* mime = nullptr;
  av_opt_get(io, "mime_type", AV_OPT_SEARCH_CHILDREN, &mime);
  const std::string type = mime ? reinterpret_cast<char*>(mime) : "";
  av_free(mime);
  avio_closep(&io);
  const PlaylistKind kind = DetectPlaylist(url, type, body);
  isPlaylist = kind != PlaylistKind::None;
  webPage = !isPlaylist && LooksLikeWebPage(type, body);
  if (!isPlaylist) return {};
  std::vector<std::string> entries = ParsePlaylist(kind, body, url);
  if (entries.empty()) error = "The station's playlist names no stream";
  return entries;
}

bool MediaReader::Read(std::vector<std::int16_t>& out, DecodedSound* own) {
  for (;;) {
    int r = avcodec_receive_frame(codec_, frame_);
    if (r == 0) {
      const std::size_t before = out.size();
      Convert(out);
      if (own) CopyFrame(*own);
      decodedFrames_ += std::uint64_t(std::max(frame_->nb_samples, 0));
      av_frame_unref(frame_);
      if (watching_ && out.size() > before) watch_.Sound(GetTickCount64(), BytesRead());
      return true;
    }
    if (r == AVERROR_EOF) return false;
    if (r != AVERROR(EAGAIN)) throw MediaError("The sound cannot be decoded: " + ErrorText(r));
    // Bytes that arrive without pause never make the connection wait, where the watch
    // is asked otherwise: it is asked here too.
    if (watching_ && Stopped() && TimedOut())
      r = AVERROR_EXIT;
    else
      r = av_read_frame(format_, packet_);
    // The HLS reader ends a stream whose reloaded list failed.
    if (r < 0 && listCap_.Stopped()) throw MediaError(listCap_.Reason());
    if (r == AVERROR_EOF) {
      avcodec_send_packet(codec_, nullptr);  // drain the decoder
      continue;
    }
    if (r < 0 && TimedOut())
      throw MediaError(sendingWhenTimedOut_ ? "The station sends no sound that can be played any more"
                                            : "The station stopped sending");
    // FFmpeg calls the end of a live stream over http (whose length is unknown) an
    // input/output error.
    if (r == AVERROR(EIO) && io_) throw MediaError("The station closed the connection");
    if (r < 0) throw MediaError(Failure("The stream broke off: " + ErrorText(r)));
    if (packet_->stream_index == stream_) {
      FindTitle();
      if (frameSink_) HandOnFrame();
      // A damaged frame is skipped: the decoder finds the next one.
      if (avcodec_send_packet(codec_, packet_) == AVERROR(EAGAIN)) {
        av_packet_unref(packet_);
        continue;
      }
    }
    av_packet_unref(packet_);
  }
}

StreamFormat MediaReader::Format() const {
  StreamFormat f;
  if (!format_ || stream_ < 0) return f;
  const AVCodecParameters* from = chain_ ? chain_.get() : format_->streams[stream_]->codecpar;
  AVCodecParameters* copy = avcodec_parameters_alloc();
  if (!copy || avcodec_parameters_copy(copy, from) < 0) {
    avcodec_parameters_free(&copy);
    throw std::bad_alloc();
  }
  f.parameters.reset(copy, [](const AVCodecParameters* p) {
    auto* q = const_cast<AVCodecParameters*>(p);
    avcodec_parameters_free(&q);
  });
  f.codec = avcodec_get_name(from->codec_id);
  f.sampleRate = from->sample_rate > 0 ? from->sample_rate : rate_;
  f.channels = from->ch_layout.nb_channels;
  f.headers.assign(reinterpret_cast<const char*>(from->extradata), std::size_t(std::max(from->extradata_size, 0)));
  return f;
}

void MediaReader::HandOnFrame() {
  const AVStream* s = format_->streams[stream_];
  const AVCodecParameters* par = s->codecpar;
  const auto* data = packet_->data;
  const auto size = std::size_t(std::max(packet_->size, 0));
  if (par->codec_id == AV_CODEC_ID_VORBIS) {
    // A new chain's headers come as packets; they are no sound.
    if (VorbisPacketKind(data, size) != VorbisPacket::Audio) {
      if (vorbisChain_.Add(data, size)) NewVorbisChain();
      return;
    }
  } else if (std::size_t(std::max(par->extradata_size, 0)) != headers_.size() ||
             (par->extradata_size > 0 && std::memcmp(par->extradata, headers_.data(), headers_.size()) != 0)) {
    // FFmpeg read a new chain's headers itself (Opus): its frames need them.
    headers_.assign(reinterpret_cast<const char*>(par->extradata), std::size_t(std::max(par->extradata_size, 0)));
    if (formatSink_) formatSink_(Format());
  }
  const int rate = chain_ ? chain_->sample_rate : par->sample_rate > 0 ? par->sample_rate : rate_;
  std::int64_t ticks = 0;
  if (vorbisParse_)
    ticks = std::max(av_vorbis_parse_frame(vorbisParse_, data, int(size)), 0);
  else if (packet_->duration > 0)
    ticks = av_rescale_q(packet_->duration, s->time_base, AVRational{1, rate});
  // A frame without a length lasts what the codec's frames last.
  if (ticks <= 0 && !vorbisParse_) ticks = par->frame_size > 0 ? par->frame_size : 1152;
  frameSink_(data, size, ticks);
}

void MediaReader::NewVorbisChain() {
  const std::string headers = vorbisChain_.Headers();
  AVCodecParameters* p = avcodec_parameters_alloc();
  if (!p || avcodec_parameters_copy(p, format_->streams[stream_]->codecpar) < 0) {
    avcodec_parameters_free(&p);
    throw std::bad_alloc();
  }
  chain_.reset(p, [](const AVCodecParameters* q) {
    auto* owned = const_cast<AVCodecParameters*>(q);
    avcodec_parameters_free(&owned);
  });
  av_freep(&p->extradata);
  p->extradata_size = 0;
  p->extradata = static_cast<uint8_t*>(av_mallocz(headers.size() + AV_INPUT_BUFFER_PADDING_SIZE));
  if (!p->extradata) throw std::bad_alloc();
  std::memcpy(p->extradata, headers.data(), headers.size());
  p->extradata_size = int(headers.size());
  p->sample_rate = vorbisChain_.SampleRate();
  av_channel_layout_uninit(&p->ch_layout);
  av_channel_layout_default(&p->ch_layout, vorbisChain_.Channels());
  p->bit_rate = 0;
  av_vorbis_parse_free(&vorbisParse_);
  // Without a parser of its own (a set-up it cannot read), FFmpeg's lengths stand.
  vorbisParse_ = av_vorbis_parse_init(p->extradata, p->extradata_size);
  headers_ = headers;
  if (formatSink_) formatSink_(Format());
}

void MediaReader::Convert(std::vector<std::int16_t>& out) {
  const AVFrame& f = *frame_;
  const int rate = f.sample_rate > 0 ? f.sample_rate : rate_;
  if (!RatePlayable(rate)) throw MediaError(RateError(rate));
  const int channels = f.ch_layout.nb_channels > 0 ? f.ch_layout.nb_channels : 2;
  AVChannelLayout in{};
  if (f.ch_layout.order == AV_CHANNEL_ORDER_NATIVE)
    av_channel_layout_copy(&in, &f.ch_layout);
  else
    av_channel_layout_default(&in, channels);
  const std::uint64_t mask = in.order == AV_CHANNEL_ORDER_NATIVE ? in.u.mask : 0;
  const auto append = [&](const uint8_t** data, int samples) {
    const int room = swr_get_out_samples(resampler_, samples);
    if (room <= 0) return;
    const std::size_t at = out.size();
    out.resize(at + std::size_t(room) * 2);
    uint8_t* dest[1] = {reinterpret_cast<uint8_t*>(out.data() + at)};
    const int n = swr_convert(resampler_, dest, room, data, samples);
    out.resize(at + std::size_t(std::max(n, 0)) * 2);
  };
  if (!resampler_ || channels != inChannels_ || mask != inMask_ || f.format != inFormat_ || rate != inRate_) {
    if (resampler_) append(nullptr, 0);  // what the old converter still holds
    swr_free(&resampler_);
    AVChannelLayout stereo{};
    av_channel_layout_default(&stereo, 2);
    const int made = swr_alloc_set_opts2(&resampler_, &stereo, AV_SAMPLE_FMT_S16, rate_, &in, AVSampleFormat(f.format),
                                         rate, 0, nullptr);
    // A mono stream is heard on both speakers at its own level: the converter's own
    // choice would take 3 dB off it.
    const double bothAtUnity[2] = {1.0, 1.0};
    if (made < 0 || (channels == 1 && swr_set_matrix(resampler_, bothAtUnity, 1) < 0) || swr_init(resampler_) < 0) {
      swr_free(&resampler_);
      av_channel_layout_uninit(&in);
      throw MediaError("The sound format cannot be converted");
    }
    inChannels_ = channels;
    inMask_ = mask;
    inFormat_ = f.format;
    inRate_ = rate;
  }
  av_channel_layout_uninit(&in);
  append(const_cast<const uint8_t**>(f.extended_data), f.nb_samples);
}

namespace {

bool TapType(int format, SampleType& type) {
  switch (av_get_packed_sample_fmt(AVSampleFormat(format))) {
    case AV_SAMPLE_FMT_U8: type = SampleType::U8; return true;
    case AV_SAMPLE_FMT_S16: type = SampleType::S16; return true;
    case AV_SAMPLE_FMT_S32: type = SampleType::S32; return true;
    case AV_SAMPLE_FMT_FLT: type = SampleType::Float; return true;
    case AV_SAMPLE_FMT_DBL: type = SampleType::Double; return true;
    default: return false;
  }
}

}  // namespace

void MediaReader::CopyFrame(DecodedSound& own) const {
  // A frame larger than any codec makes (a second at the highest rate) is not copied.
  constexpr int kMostChannels = 8, kMostFrames = 384000;
  const AVFrame& f = *frame_;
  own = DecodedSound();
  own.channels = f.ch_layout.nb_channels;
  own.rate = f.sample_rate > 0 ? f.sample_rate : rate_;
  own.position = decodedFrames_;
  if (!TapType(f.format, own.type) || own.channels < 1 || own.channels > kMostChannels || f.nb_samples <= 0 ||
      f.nb_samples > kMostFrames || !f.extended_data)
    return;
  own.planar = av_sample_fmt_is_planar(AVSampleFormat(f.format)) != 0;
  own.layout = f.ch_layout.order == AV_CHANNEL_ORDER_NATIVE ? f.ch_layout.u.mask : 0;
  own.bits = codec_->bits_per_raw_sample > 0 ? codec_->bits_per_raw_sample : int(SampleBytes(own.type)) * 8;
  const int planes = own.planar ? own.channels : 1;
  const std::size_t planeBytes =
      std::size_t(f.nb_samples) * SampleBytes(own.type) * std::size_t(own.planar ? 1 : own.channels);
  if (f.linesize[0] < 0 || planeBytes > std::size_t(f.linesize[0])) return;
  own.data.resize(planeBytes * std::size_t(planes));
  for (int p = 0; p < planes; ++p) {
    if (!f.extended_data[p]) {
      own.data.clear();
      return;
    }
    std::memcpy(own.data.data() + planeBytes * std::size_t(p), f.extended_data[p], planeBytes);
  }
  own.frames = std::size_t(f.nb_samples);
}

}  // namespace playback

namespace playback {

void MediaReader::OfferTitle(const std::string& raw, bool emptyToo) {
  if ((raw.empty() && !emptyToo) || raw == title_) return;
  title_ = raw;
  titleNew_ = true;
}

void MediaReader::FindTitle() {
  // A new chained Ogg stream brings its comment as the packet's side data.
  std::size_t size = 0;
  if (const uint8_t* data = av_packet_get_side_data(packet_, AV_PKT_DATA_METADATA_UPDATE, &size)) {
    AVDictionary* tags = nullptr;
    if (av_packet_unpack_dictionary(data, size, &tags) == 0) OfferTitle(TagTitle(tags), false);
    av_dict_free(&tags);
  }
  AVStream* s = format_->streams[stream_];
  if (s->event_flags & AVSTREAM_EVENT_FLAG_METADATA_UPDATED) {
    s->event_flags &= ~AVSTREAM_EVENT_FLAG_METADATA_UPDATED;
    OfferTitle(TagTitle(s->metadata), false);
  }
  if (format_->event_flags & AVFMT_EVENT_FLAG_METADATA_UPDATED) {
    format_->event_flags &= ~AVFMT_EVENT_FLAG_METADATA_UPDATED;
    OfferTitle(TagTitle(format_->metadata), false);
  }
  // The ICY metadata block of the connection, looked at four times a second: it comes
  // every few seconds at most, and the look copies the block.
  AVIOContext* connection = io_ ? io_ : format_->pb;
  if (!connection) return;
  const unsigned long long now = GetTickCount64();
  if (now < nextIcyLook_) return;
  nextIcyLook_ = now + 250;
  uint8_t* block = nullptr;
  if (av_opt_get(connection, "icy_metadata_packet", AV_OPT_SEARCH_CHILDREN, &block) < 0 || !block) return;
  const std::string text = reinterpret_cast<char*>(block);
  av_free(block);
  if (text == icyBlock_) return;
  icyBlock_ = text;
  // A block that names a title, even an empty one, replaces the title.
  if (const std::optional<std::string> title = IcyStreamTitle(text)) OfferTitle(*title, true);
}

bool MediaReader::NewTitle(std::string& raw) {
  if (!titleNew_) return false;
  titleNew_ = false;
  raw = title_;
  return true;
}

}  // namespace playback
