#include "schedule/StationTake.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "base/Encoding.h"
#include "playback/MediaReader.h"
#include "playback/PlaylistRules.h"
#include "playback/ReconnectRules.h"
#include "playback/TitleRules.h"

namespace schedule {

namespace {

constexpr unsigned kConnectMs = 10000;
constexpr unsigned kStartStallMs = 15000;
// The attempts go on for as long as the take runs: its end stops them.
constexpr unsigned kAttemptsMs = 25u * 3600 * 1000;

}  // namespace

StationTake::StationTake(std::string url, std::shared_ptr<playback::StreamTap> files) {
  thread_ = std::thread([this, url = std::move(url), files = std::move(files), shared = shared_] {
    try {
      Run(url, files);
    } catch (const std::exception& e) {
      std::lock_guard lock(shared->mutex);
      shared->error = e.what();
    }
    shared->ended = true;
  });
}

StationTake::~StationTake() {
  stop_ = true;
  for (unsigned waited = 0; !Ended() && waited < kEndWaitMs; waited += 10) Sleep(10);
  // A thread held up by a disk that does not answer goes on alone; its state is shared.
  if (Ended())
    thread_.join();
  else
    thread_.detach();
}

std::string StationTake::LastError() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->error;
}

bool StationTake::Wait(unsigned ms) {
  for (unsigned waited = 0; !stop_ && waited < ms; waited += 50) Sleep(50);
  return !stop_;
}

void StationTake::Run(const std::string& url, const std::shared_ptr<playback::StreamTap>& files) {
  playback::ReconnectPlan plan(kAttemptsMs);
  std::string address = url;
  bool played = false;
  while (!stop_) {
    bool ended = false, live = true;
    {
      // The reader goes before the next wait: its connection is closed between attempts.
      playback::MediaReader reader([this] { return stop_.load(); });
      try {
        reader.SetDeadline(kConnectMs);
        if (played)
          reader.OpenStream(address);
        else
          reader.Open(url);
        address = reader.OpenedUrl();
        const std::string scheme = playback::SchemeOf(address);
        live = !scheme.empty() && scheme != "file" && reader.DurationSeconds() == 0 && !reader.SizeKnown();
        files->Connected(reader.Format(), played);
        reader.SetFrameSink(
            [&](const std::uint8_t* data, std::size_t size, std::int64_t ticks) { files->Frame(data, size, ticks); },
            [&](const playback::StreamFormat& format) { files->NewFormat(format); });
        {
          std::lock_guard lock(shared_->mutex);
          shared_->error.clear();
        }
        const int rate = std::max(reader.SampleRate(), 1);
        std::uint64_t frames = 0;
        std::vector<std::int16_t> sound;
        while (!stop_) {
          // As the player: a stream that plays is watched closely, a start given longer.
          if (live && played)
            reader.WatchStream();
          else
            reader.SetDeadline(kStartStallMs);
          sound.clear();
          if (!reader.Read(sound)) {
            ended = true;
            break;
          }
          if (std::string raw; reader.NewTitle(raw)) {
            const std::u16string title = playback::DecodeTitle(raw);
            files->Title(base::Utf8FromWide({reinterpret_cast<const wchar_t*>(title.data()), title.size()}));
          }
          played = true;
          frames += sound.size() / 2;
          plan.Sound(frames * 1000 / unsigned(rate));
        }
      } catch (const playback::MediaError& e) {
        std::lock_guard lock(shared_->mutex);
        shared_->error = e.what();
      }
    }
    // A file, or a sound file sent with its size, is over at its end.
    if (stop_ || (ended && !live)) break;
    const std::optional<unsigned> wait = plan.Failed(GetTickCount64());
    if (!wait || !Wait(*wait)) break;
  }
  files->Ended();
}

}  // namespace schedule
