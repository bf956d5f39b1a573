// Songs benchmark (not a test): side by side, the program's CPU share while it plays the
// local test station alone and while Record Songs keeps its songs; the memory the past
// takes for 30 minutes of a 128 kbit/s stream and of 64 kbit/s Opus in 20 ms packets; the time Save Last 10 Minutes takes for
// ten full minutes, and how late the 100 ms tick comes meanwhile. The past is filled
// with the frames of a real MP3 file, so that the file written is a real one.
//   songs_bench.exe SECONDS MP3-FILE
#include <windows.h>
#include <psapi.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "app/MainForm.h"
#include "support/MainWindowView.h"

using namespace bench;

namespace {

struct Figures {
  double cpuPercent = 0;
  double worstLateMs = 0;
};

// The CPU share and the tick's worst lateness until `done` holds or `ms` pass.
template <typename Done>
Figures Measure(TMainForm& m, double ms, Done done) {
  MainWindowView& w = View(m);
  double last = Millis(), worst = 0;
  const auto monitor = w.TimerTunora.OnTimer;
  w.TimerTunora.OnTimer = [&] {
    worst = std::max(worst, Millis() - last - 100);
    last = Millis();
    monitor();
  };
  const double cpu = CpuSeconds(), start = Millis();
  WaitFor(done, ms);
  w.TimerTunora.OnTimer = monitor;
  return {(CpuSeconds() - cpu) / ((Millis() - start) / 1e3) * 100, worst};
}

// The process's memory in use (Wine counts no private bytes; its working set is what
// the system sees).
double UsedMegabytes() {
  PROCESS_MEMORY_COUNTERS c{};
  GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof c);
  return double(c.WorkingSetSize) / (1 << 20);
}

// The frames of an MP3 file and their format.
struct Frames {
  playback::StreamFormat format;
  std::vector<std::string> frames;
  std::vector<std::int64_t> ticks;
};

Frames ReadFrames(const std::string& path) {
  Frames f;
  AVFormatContext* in = nullptr;
  if (avformat_open_input(&in, path.c_str(), nullptr, nullptr) < 0 || avformat_find_stream_info(in, nullptr) < 0)
    return f;
  AVStream* s = in->streams[0];
  AVCodecParameters* copy = avcodec_parameters_alloc();
  avcodec_parameters_copy(copy, s->codecpar);
  f.format.parameters.reset(copy, [](const AVCodecParameters* p) {
    auto* q = const_cast<AVCodecParameters*>(p);
    avcodec_parameters_free(&q);
  });
  f.format.codec = avcodec_get_name(s->codecpar->codec_id);
  f.format.sampleRate = s->codecpar->sample_rate;
  AVPacket* packet = av_packet_alloc();
  while (av_read_frame(in, packet) >= 0) {
    f.frames.emplace_back(reinterpret_cast<char*>(packet->data), std::size_t(packet->size));
    f.ticks.push_back(av_rescale_q(packet->duration, s->time_base, AVRational{1, f.format.sampleRate}));
    av_packet_unref(packet);
  }
  av_packet_free(&packet);
  avformat_close_input(&in);
  return f;
}

// Feeds `seconds` of the file's frames, over and over, with silence as their sound.
void Feed(playback::StreamTap& tap, const Frames& f, double seconds) {
  tap.Connected(f.format, false);
  tap.Title("Bench Artist - Bench Song");
  std::vector<std::int16_t> silence(2304);
  for (double at = 0; at < seconds;) {
    for (std::size_t i = 0; i < f.frames.size() && at < seconds; ++i) {
      tap.Frame(reinterpret_cast<const std::uint8_t*>(f.frames[i].data()), f.frames[i].size(), f.ticks[i]);
      tap.Sound(f.format.sampleRate, silence.data(), std::size_t(f.ticks[i]) * 2);
      at += double(f.ticks[i]) / f.format.sampleRate;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc >= 2 ? std::atoi(argv[1]) : 60;
  const Frames file = ReadFrames(argc >= 3 ? argv[2] : "");
  if (file.frames.empty()) {
    std::printf("usage: songs_bench SECONDS MP3-FILE\n");
    return 1;
  }
  const std::string work = StartProgramIn("tunora-songsbench-");
  TMainForm& m = *MainForm;
  MainWindowView& w = View(m);

  if (const char* station = std::getenv("TUNORA_STATION_MP3")) {
    w.EditStationURL[0].SetText(station);
    w.VrDemoButtonStation[0].SetCaption("Tone");
    m.PlayStation("Tone", station);
    Pump(3000);
    const Figures alone = Measure(m, seconds * 1000.0, [] { return false; });
    w.Songs.SetRecording(true);
    const Figures recording = Measure(m, seconds * 1000.0, [] { return false; });
    w.Songs.SetRecording(false);
    m.VrDemoButtonStopClick(w.VrDemoButtonStop);
    std::printf("over %d s             playing   playing with Record Songs\n", seconds);
    std::printf("cpu, %% of a core   %8.2f   %8.2f\n", alone.cpuPercent, recording.cpuPercent);
    std::printf("worst lateness, ms  %8.1f   %8.1f\n", alone.worstLateMs, recording.worstLateMs);
    std::printf("Record Songs costs %.2f points of a core (goal: at most 0.3)\n",
                recording.cpuPercent - alone.cpuPercent);
  } else {
    std::printf("no local test station: the CPU shares are left out\n");
  }

  // A separate keeper, so that the window's own past is not in the figure.
  const double before = UsedMegabytes();
  {
    songs::SongKeeper keeper;
    keeper.Load(work);
    Feed(*keeper.Tap(), file, 30 * 60);
    std::printf("\nthe past of 30 minutes at %d kbit/s: %.1f MB (goal: at most 64)\n",
                int(file.format.parameters->bit_rate / 1000), UsedMegabytes() - before);
  }
  {
    // A stream of small packets: 64 kbit/s Opus in 20 ms packets, 90,000 frames.
    Frames opus;
    opus.format = {"opus", 48000, 2, "", {}};
    opus.frames.assign(1, std::string(160, '\x7C'));
    opus.ticks.assign(1, 960);
    const double base = UsedMegabytes();
    songs::SongKeeper keeper;
    keeper.Load(work);
    Feed(*keeper.Tap(), opus, 30 * 60);
    std::printf("the past of 30 minutes of 64 kbit/s Opus in 20 ms packets: %.1f MB, %.1f MB counted (goal: at most 64)\n",
                UsedMegabytes() - base, double(keeper.PastBytes()) / (1 << 20));
  }
  Feed(*w.Songs.Tap(), file, 12 * 60);
  // Record Songs above may have written the song it cut off: the save is the next file.
  const std::size_t written = w.Songs.Written().size();
  const double start = Millis();
  w.Songs.SaveLastMinutes();
  const Figures saving = Measure(m, 30000, [&] { return w.Songs.Written().size() > written; });
  const double took = Millis() - start;
  if (w.Songs.Written().size() <= written) {
    std::printf("Save Last 10 Minutes wrote nothing: %s\n", w.Songs.TakeFailure().c_str());
    return 1;
  }
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExA(w.Songs.Written().back().c_str(), GetFileExInfoStandard, &data);
  std::printf("Save Last 10 Minutes: %.0f ms for %.1f MB (goal: at most 1000 ms); the tick at worst %.1f ms late "
              "meanwhile (goal: at most 50)\n",
              took, double(data.nFileSizeLow) / (1 << 20), saving.worstLateMs);
  return 0;
}
