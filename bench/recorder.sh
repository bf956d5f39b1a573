#!/usr/bin/env bash
# Recorder benchmark (not a test), under Wine with the session's sine source as the
# capture input: the program's CPU share over SECONDS (default 60) idle and while it
# records 44.1 kHz 16-bit stereo, side by side with Wine's capture alone; then, with the
# local test station, playing it against playing and recording it directly; and the
# lateness of its 100 ms tick in each.
set -euo pipefail
. "$(dirname "$0")/../scripts/common.sh"
exe=$TUNORA_ROOT/build/win32/bench/recorder_bench.exe
[ -f "$exe" ] || die "$exe is missing: run scripts/build.sh first"
exec "$TUNORA_ROOT/scripts/session.sh" bash "$TUNORA_ROOT/tests/playback/with-station.sh" wine "$exe" "${1:-60}"
