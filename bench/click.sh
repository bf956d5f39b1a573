#!/usr/bin/env bash
# Click-to-sound benchmark (not a test): a left click on a preset of the real main window
# until that station's tone reaches the sound server's null sink, from idle and when
# another station plays (bench/ClickBench.cpp, with each stage of the player's start),
# beside mpv launched natively on the same kind of mount (a local Icecast MP3 mount with
# its 64 KB burst), timed by bench/time-to-audio.py including mpv's own start.
# mpv is installed from the distribution on the first run when it is missing.
# Usage: bench/click.sh [RUNS]      (default 5)
set -euo pipefail
. "$(dirname "$0")/../scripts/common.sh"

RUNS=${1:-5}
bench=$TUNORA_ROOT/build/win32/bench/click_bench.exe
[ -f "$bench" ] || die "$bench is missing: run scripts/build.sh first"

if [ -z "${TUNORA_STATION_MP3:-}" ]; then
  if ! command -v mpv >/dev/null; then
    say "installing mpv to compare with"
    sudo=; [ "$(id -u)" = 0 ] || sudo=sudo
    $sudo apt-get install -y -qq mpv >/dev/null 2>&1 ||
      { $sudo apt-get update -qq >/dev/null 2>&1 && $sudo apt-get install -y -qq mpv >/dev/null 2>&1; } ||
      say "mpv cannot be installed: only the program is measured"
  fi
  exec "$TUNORA_ROOT/scripts/session.sh" bash "$TUNORA_ROOT/tests/playback/with-station.sh" "$0" "$RUNS"
fi
echo "== tunora, a click on a preset of the main window to the station's first sound"
wine wineboot -i >/dev/null 2>&1 || true
WINEDEBUG=-all wine "$bench" "$TUNORA_STATION_MP3" "$TUNORA_STATION_AAC" "$RUNS"
# The program has ended: the session's sink is mpv's alone.
if command -v mpv >/dev/null; then
  echo "== mpv, launched natively, to its first sound (Icecast MP3 mount, 64 KB burst)"
  "$TUNORA_ROOT/bench/time-to-audio.py" -n "$RUNS" --url "$TUNORA_STATION_MP3" --label mpv \
    -- mpv --no-video --really-quiet {url} | tail -n 4 || echo "mpv: some runs heard nothing"
fi
