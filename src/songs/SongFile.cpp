#include "songs/SongFile.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <utility>

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

void SetTag(AVDictionary** tags, const char* key, const std::string& value) {
  if (!value.empty()) av_dict_set(tags, key, value.c_str(), 0);
}

}  // namespace

struct SongFileWriter::Output {
  AVFormatContext* context = nullptr;
  AVStream* stream = nullptr;
  AVPacket* packet = nullptr;
  std::int64_t at = 0;  // samples written
  ~Output() {
    av_packet_free(&packet);
    if (!context) return;
    if (context->pb) avio_closep(&context->pb);
    avformat_free_context(context);
  }
};

SongFileWriter::SongFileWriter(std::string path, const char* muxer, playback::StreamFormat format, SongTags tags)
    : path_(std::move(path)), muxer_(muxer), format_(std::move(format)), tags_(std::move(tags)) {}

SongFileWriter::~SongFileWriter() = default;

bool SongFileWriter::Started() const {
  return out_ != nullptr;
}

void SongFileWriter::Write(const std::string& bytes, std::int64_t ticks) {
  if (!out_) {
    if (!format_.parameters || format_.sampleRate <= 0) throw SongFileError("The stream's format is not known");
    auto out = std::make_unique<Output>();
    Check(avformat_alloc_output_context2(&out->context, nullptr, muxer_, path_.c_str()), "The file cannot be made");
    out->stream = avformat_new_stream(out->context, nullptr);
    out->packet = av_packet_alloc();
    if (!out->stream || !out->packet) throw std::bad_alloc();
    AVStream* stream = out->stream;
    Check(avcodec_parameters_copy(stream->codecpar, format_.parameters.get()), "The stream's format cannot be copied");
    stream->codecpar->codec_tag = 0;
    // Frames that carry their own ADTS headers are written as they are; the muxer would
    // put a second header before each of them if it knew the codec's configuration.
    const auto* first = reinterpret_cast<const unsigned char*>(bytes.data());
    if (format_.codec == "aac" && bytes.size() > 1 && first[0] == 0xFF && (first[1] & 0xF6) == 0xF0) {
      av_freep(&stream->codecpar->extradata);
      stream->codecpar->extradata_size = 0;
    }
    stream->time_base = AVRational{1, format_.sampleRate};
    for (AVDictionary** d : {&out->context->metadata, &stream->metadata}) {
      SetTag(d, "title", tags_.title);
      SetTag(d, "artist", tags_.artist);
      SetTag(d, "album", tags_.album);
      SetTag(d, "date", tags_.date);
    }
    Check(avio_open(&out->context->pb, path_.c_str(), AVIO_FLAG_WRITE), "The file cannot be made");
    // ADTS has no tags of its own: an ID3v2 tag before the frames is what players read.
    AVDictionary* options = nullptr;
    if (std::string(muxer_) == "adts") av_dict_set(&options, "write_id3v2", "1", 0);
    const int header = avformat_write_header(out->context, &options);
    av_dict_free(&options);
    Check(header, "The file cannot be written");
    out_ = std::move(out);
  }
  Output& out = *out_;
  const AVRational samples{1, format_.sampleRate};
  Check(av_new_packet(out.packet, int(bytes.size())), "The file cannot be written");
  std::copy(bytes.begin(), bytes.end(), out.packet->data);
  out.packet->stream_index = 0;
  out.packet->pts = out.packet->dts = av_rescale_q(out.at, samples, out.stream->time_base);
  out.packet->duration = av_rescale_q(ticks, samples, out.stream->time_base);
  out.at += ticks;
  const int r = av_write_frame(out.context, out.packet);
  av_packet_unref(out.packet);
  Check(r, "The file cannot be written");
}

void SongFileWriter::Flush() {
  if (!out_) return;
  // Ogg holds its frames until a page is full: a page is ended here.
  if (out_->context->oformat->flags & AVFMT_ALLOW_FLUSH)
    Check(av_write_frame(out_->context, nullptr), "The file cannot be written");
  avio_flush(out_->context->pb);
  Check(out_->context->pb->error, "The file cannot be written");
}

void SongFileWriter::Finish() {
  if (!out_) throw SongFileError("There is nothing to write");
  Output& out = *out_;
  Check(av_write_trailer(out.context), "The file cannot be finished");
  // A full disk may show only when the last bytes leave the buffer.
  avio_flush(out.context->pb);
  Check(out.context->pb->error, "The file cannot be finished");
  Check(avio_closep(&out.context->pb), "The file cannot be finished");
}

}  // namespace songs
