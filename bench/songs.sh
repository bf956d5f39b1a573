#!/usr/bin/env bash
# Songs benchmark (not a test), under Wine with the local test station: CPU while
# playing alone and with Record Songs, the past's memory for 30 minutes, and the time of
# Save Last 10 Minutes with the tick's lateness meanwhile (bench/SongsBench.cpp).
#   songs.sh [SECONDS]   (default 60 per CPU figure)
set -euo pipefail
. "$(dirname "$0")/../scripts/common.sh"
exe=$TUNORA_ROOT/build/win32/bench/songs_bench.exe
media=$TUNORA_ROOT/build/win32/tests/media/live.mp3
[ -f "$exe" ] && [ -f "$media" ] || die "$exe or $media is missing: run scripts/build.sh first"
exec "$TUNORA_ROOT/scripts/session.sh" bash "$TUNORA_ROOT/tests/playback/with-station.sh" \
  wine "$exe" "${1:-60}" "Z:${media//\//\\}"
