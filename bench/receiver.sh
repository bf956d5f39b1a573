#!/usr/bin/env bash
# Receiver benchmark (not a test), under Wine with the local test station: the cost of
# one status-monitor tick, idle and while the MP3 station plays, then the program's CPU
# share over SECONDS (default 60) idle and playing, each with the monitor's timer
# running and stopped, side by side.
set -euo pipefail
. "$(dirname "$0")/../scripts/common.sh"
exe=$TUNORA_ROOT/build/win32/bench/receiver_bench.exe
[ -f "$exe" ] || die "$exe is missing: run scripts/build.sh first"
exec "$TUNORA_ROOT/scripts/session.sh" bash "$TUNORA_ROOT/tests/playback/with-station.sh" bash -c '
  exe=$1 seconds=$2
  wine "$exe" tick "$TUNORA_STATION_MP3"
  for timer in on off; do wine "$exe" cpu "$seconds" $timer; done
  for timer in on off; do wine "$exe" cpu "$seconds" $timer "$TUNORA_STATION_MP3"; done
' bench "$exe" "${1:-60}"
