#!/usr/bin/env bash
# A long play (not a test): the real main window switches between the local MP3 and AAC
# stations every 15 s with Record Songs on and the station recorded directly, while both
# stations announce a new title every 5 s (bench/SoakBench.cpp). Every minute it prints
# private bytes, the bytes the songs' past holds, threads and handles. Goal: from the
# fifth minute on, private bytes less the past within 2 MB, threads and handles constant.
# Usage: bench/soak.sh [MINUTES]      (default 45)
set -euo pipefail
. "$(dirname "$0")/../scripts/common.sh"
. "$(dirname "$0")/reference.sh"

MINUTES=${1:-45}
bench=$TUNORA_ROOT/build/win32/bench/soak_bench.exe
[ -f "$bench" ] || die "$bench is missing: run scripts/build.sh first"
if [ -z "${TUNORA_STATION_MP3:-}" ]; then
  STATION_MOUNTS="mp3 aac" exec "$TUNORA_ROOT/scripts/session.sh" bash \
    "$TUNORA_ROOT/tests/playback/with-station.sh" "$0" "$@"
fi
wine wineboot -i >/dev/null 2>&1 || true

# A new title every 5 s on both stations, whichever plays (TUNORA_SOAK_NO_TITLES: none, to
# tell what the titles hold on to).
(
  n=0
  while sleep 5; do
    [ -z "${TUNORA_SOAK_NO_TITLES:-}" ] || continue
    n=$((n + 1))
    for mount in /tone.mp3 /tone.aac; do
      "$TUNORA_ROOT/scripts/station.sh" title "$TUNORA_STATION_DIR" "Soak Artist - Song $n" "$mount" 2>/dev/null || true
    done
  done
) &
titles=$!
trap 'kill "$titles" 2>/dev/null || true' EXIT

echo "== $MINUTES minutes: a station switch every 15 s, a title every 5 s, Record Songs and the direct recording on"
WINEDEBUG=-all wine "$bench" "$MINUTES" "$TUNORA_STATION_MP3" "$TUNORA_STATION_AAC"
print_reference soak
