#!/usr/bin/env bash
# Volume and Disconnect at the sound card (not a test): the real main window plays the
# local MP3 station, and the fader set from 100 % to 0 % and back, the fader dragged to
# the bottom and the Disconnect button are each timed until the new level reaches the
# sound server's null sink (bench/VolumeBench.cpp). Goal: a median of at most 100 ms each.
# Usage: bench/volume.sh [RUNS]      (default 5)
set -euo pipefail
. "$(dirname "$0")/../scripts/common.sh"
. "$(dirname "$0")/reference.sh"

RUNS=${1:-5}
bench=$TUNORA_ROOT/build/win32/bench/volume_bench.exe
[ -f "$bench" ] || die "$bench is missing: run scripts/build.sh first"
if [ -z "${TUNORA_STATION_MP3:-}" ]; then
  STATION_MOUNTS=mp3 exec "$TUNORA_ROOT/scripts/session.sh" bash "$TUNORA_ROOT/tests/playback/with-station.sh" "$0" "$@"
fi
wine wineboot -i >/dev/null 2>&1 || true
echo "== the fader and Disconnect, from the action to the new level at the sink ($RUNS runs)"
WINEDEBUG=-all wine "$bench" "$TUNORA_STATION_MP3" "$RUNS"
print_reference volume
