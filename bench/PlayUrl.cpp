// Plays one URL with the station player until interrupted or the media ends (not part of
// the program): the subject of the player benchmark.
//   play_url.exe URL [SECONDS]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "playback/StationPlayer.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: play_url URL [SECONDS]\n");
    return 2;
  }
  const DWORD limit = argc > 2 ? DWORD(std::atoi(argv[2])) * 1000 : INFINITE;
  playback::StationPlayer player;
  player.SetVolume(100);
  player.SetUrl(argv[1]);
  player.Play();
  const DWORD start = GetTickCount();
  for (;;) {
    Sleep(50);
    const int s = player.State();
    if (s == playback::psMediaEnded) return 0;
    if (s == playback::psStopped && !player.LastError().empty()) {
      std::fprintf(stderr, "%s\n", player.LastError().c_str());
      return 1;
    }
    if (limit != INFINITE && GetTickCount() - start > limit) return 0;
  }
}
