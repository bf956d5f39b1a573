#!/usr/bin/env bash
# Reconnection benchmark (not a test), part of the player benchmark: how soon a dropped
# station is heard again once its server answers (bench/ReconnectBench.cpp), timed on a
# private sound server's null sink with the local test station behind a relay.
# Usage: bench/reconnect.sh [RUNS]      (default 5)
set -euo pipefail
. "$(dirname "$0")/../scripts/common.sh"

RUNS=${1:-5}
bench=$TUNORA_ROOT/build/win32/bench/reconnect_bench.exe
[ -f "$bench" ] || die "$bench is missing: run scripts/build.sh first"

# The station and a private display and sound server, once.
if [ -z "${TUNORA_STATION_MP3:-}" ]; then
  exec "$TUNORA_ROOT/scripts/session.sh" bash "$TUNORA_ROOT/tests/playback/with-station.sh" "$0" "$@"
fi
wine wineboot -i >/dev/null 2>&1 || true
WINEDEBUG=-all wine "$bench" "$TUNORA_STATION_MP3" "$RUNS"
