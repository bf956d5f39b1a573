#include "songs/SongFile.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <memory>

namespace songs {

namespace {

std::string ErrorText(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

void Check(int r, const std::string& what) {
  if (r < 0) throw SongFileError(what + ": " + ErrorText(r));
}

struct Output {
  AVFormatContext* context = nullptr;
  ~Output() {
    if (!context) return;
    if (context->pb) avio_closep(&context->pb);
    avformat_free_context(context);
  }
};

void SetTag(AVDictionary** tags, const char* key, const std::string& value) {
  if (!value.empty()) av_dict_set(tags, key, value.c_str(), 0);
}

}  // namespace

void WriteSongFile(const std::string& path, const char* muxer, const playback::StreamFormat& format,
                   const SongTags& tags, const NextFrame& next) {
  if (!format.parameters || format.sampleRate <= 0) throw SongFileError("The stream's format is not known");
  std::string bytes;
  std::int64_t ticks = 0;
  if (!next(bytes, ticks)) throw SongFileError("There is nothing to write");
  Output out;
  Check(avformat_alloc_output_context2(&out.context, nullptr, muxer, path.c_str()), "The file cannot be made");
  AVStream* stream = avformat_new_stream(out.context, nullptr);
  if (!stream) throw std::bad_alloc();
  Check(avcodec_parameters_copy(stream->codecpar, format.parameters.get()), "The stream's format cannot be copied");
  stream->codecpar->codec_tag = 0;
  // Frames that carry their own ADTS headers are written as they are; the muxer would
  // put a second header before each of them if it knew the codec's configuration.
  const auto* first = reinterpret_cast<const unsigned char*>(bytes.data());
  if (format.codec == "aac" && bytes.size() > 1 && first[0] == 0xFF && (first[1] & 0xF6) == 0xF0) {
    av_freep(&stream->codecpar->extradata);
    stream->codecpar->extradata_size = 0;
  }
  stream->time_base = AVRational{1, format.sampleRate};
  for (AVDictionary** d : {&out.context->metadata, &stream->metadata}) {
    SetTag(d, "title", tags.title);
    SetTag(d, "artist", tags.artist);
    SetTag(d, "album", tags.album);
    SetTag(d, "date", tags.date);
    SetTag(d, "comment", tags.comment);
  }
  Check(avio_open(&out.context->pb, path.c_str(), AVIO_FLAG_WRITE), "The file cannot be made");
  // ADTS has no tags of its own: an ID3v2 tag before the frames is what players read.
  AVDictionary* options = nullptr;
  if (std::string(muxer) == "adts") av_dict_set(&options, "write_id3v2", "1", 0);
  const int header = avformat_write_header(out.context, &options);
  av_dict_free(&options);
  Check(header, "The file cannot be written");
  const AVRational samples{1, format.sampleRate};
  std::unique_ptr<AVPacket, void (*)(AVPacket*)> packet(av_packet_alloc(), [](AVPacket* p) { av_packet_free(&p); });
  if (!packet) throw std::bad_alloc();
  std::int64_t at = 0;
  do {
    Check(av_new_packet(packet.get(), int(bytes.size())), "The file cannot be written");
    std::copy(bytes.begin(), bytes.end(), packet->data);
    packet->stream_index = 0;
    packet->pts = packet->dts = av_rescale_q(at, samples, stream->time_base);
    packet->duration = av_rescale_q(ticks, samples, stream->time_base);
    at += ticks;
    Check(av_write_frame(out.context, packet.get()), "The file cannot be written");
    av_packet_unref(packet.get());
  } while (next(bytes, ticks));
  Check(av_write_trailer(out.context), "The file cannot be finished");
  // A full disk may show only when the last bytes leave the buffer.
  avio_flush(out.context->pb);
  Check(out.context->pb->error, "The file cannot be finished");
  Check(avio_closep(&out.context->pb), "The file cannot be finished");
}

}  // namespace songs
