// How soon a dropped station is heard again (not part of the program): the station
// player plays a relay of the local test station, the relay drops the connection and
// answers the player's next connection at once; the sound is timed on the sound server's
// null sink. Prints each run and the medians against the goal: the sound returns within
// 1 s of the server answering again.
//   reconnect_bench.exe STATION_MP3_URL [RUNS]
#include <windows.h>
#include <winsock2.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "support/RelayServer.h"
#include "support/SoundCapture.h"
#include "playback/StationPlayer.h"
#include "support/Waiting.h"

using testing_support::WaitFor;

namespace {

long Median(std::vector<long> v) {
  if (v.empty()) return -1;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: reconnect_bench STATION_MP3_URL [RUNS]\n");
    return 2;
  }
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  std::vector<long> fromAnswer, fromDrop;
  for (int run = 1; run <= runs; ++run) {
    RelayServer relay(argv[1]);
    playback::StationPlayer player;
    player.SetVolume(100);
    player.SetUrl(relay.Url());
    player.Play();
    if (!WaitFor([&] { return player.CurrentPosition() >= 2.0; }, 10000)) {
      std::printf("run %d: the station did not play: %s\n", run, player.LastError().c_str());
      continue;
    }
    SoundCapture heard(8000);
    if (!heard.Recording()) {
      std::fprintf(stderr, "the sound server's null sink monitor cannot be recorded\n");
      return 1;
    }
    Sleep(300);
    const DWORD dropped = relay.Drop();
    const DWORD noticed = WaitFor([&] { return player.State() != playback::psPlaying; }, 8000) ? GetTickCount() : 0;
    WaitFor([&] { return relay.Connections() >= 2 && player.State() == playback::psPlaying; }, 8000);
    heard.Finish();
    const DWORD answered = relay.AnsweredTick();
    // A player that started slowly holds more than the relay's head start: the drop is
    // heard when that has played.
    const DWORD heardDrop = HeardDrop(dropped, noticed ? noticed : dropped);
    const DWORD silent = heard.SilenceFrom(heardDrop);
    const DWORD back = heard.SoundFrom(silent ? silent : heardDrop);
    if (relay.Connections() < 2 || !back || back < answered) {
      std::printf(
          "run %d: the sound did not come back after the drop (noticed after %ld ms, %d connections, silent "
          "from %ld ms, answered at %ld ms, sound at %ld ms)\n",
          run, noticed ? long(noticed - dropped) : -1L, relay.Connections(), silent ? long(silent - dropped) : -1L,
          long(answered - dropped), back ? long(back - dropped) : -1L);
      continue;
    }
    fromAnswer.push_back(long(back - answered));
    fromDrop.push_back(long(back - heardDrop));
    std::printf(
        "run %d: sound back %ld ms after the server answered again (%ld ms after the drop; the player "
        "noticed the drop after %ld ms; %d connections)\n",
        run, fromAnswer.back(), fromDrop.back(), noticed ? long(noticed - dropped) : -1L, relay.Connections());
  }
  const long median = Median(fromAnswer);
  std::printf(
      "median over %zu runs: %ld ms after the server answered again (goal: within 1000 ms: %s), %ld ms "
      "after the drop\n",
      fromAnswer.size(), median, median >= 0 && median <= 1000 ? "met" : "NOT met", Median(fromDrop));
  return fromAnswer.empty() ? 1 : 0;
}
