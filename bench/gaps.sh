#!/usr/bin/env bash
# Gaps on a busy machine (not a test): a station played from the real main window for
# SECONDS while two busy loops at normal priority keep both cores full, and beside it
# Wine's floor (bench/tone.c, a tone through waveOut and nothing else) under the same
# load. What reaches the sound server's null sink is recorded natively (parec, outside
# Wine) and its longest silence after the first sound is printed. Goal: at most 100 ms.
# Usage: bench/gaps.sh [SECONDS]      (default 45)
set -euo pipefail
. "$(dirname "$0")/../scripts/common.sh"

SECONDS_PLAYED=${1:-45}
bench=$TUNORA_ROOT/build/win32/bench/click_bench.exe
tone=$TUNORA_ROOT/build/bench/tone.exe
[ -f "$bench" ] || die "$bench is missing: run scripts/build.sh first"
if [ ! -f "$tone" ] || [ "$TUNORA_ROOT/bench/tone.c" -nt "$tone" ]; then
  mkdir -p "$(dirname "$tone")"
  i686-w64-mingw32-gcc-posix -O2 -static -o "$tone" "$TUNORA_ROOT/bench/tone.c" -lwinmm
fi
if [ -z "${TUNORA_STATION_MP3:-}" ]; then
  exec "$TUNORA_ROOT/scripts/session.sh" bash "$TUNORA_ROOT/tests/playback/with-station.sh" "$0" "$@"
fi
wine wineboot -i >/dev/null 2>&1 || true
# A real station runs on another machine: its encoder and Icecast are kept above the
# load here, so that what is measured is the receiver's own gaps.
while read -r pid _; do renice -n -10 -p "$pid" >/dev/null 2>&1 || true; done <"$TUNORA_STATION_PIDS"

# longest_silence RAW: the longest stretch (ms) quieter than -40 dBFS in 5 ms blocks,
# from the first sound to the end of the recording.
longest_silence() {
  python3 - "$1" <<'PY'
import array, math, sys
data = array.array("h", open(sys.argv[1], "rb").read())
block = 220  # 5 ms at 44.1 kHz
loud = [max(abs(v) for v in data[i:i + block]) > 328 for i in range(0, len(data) - block, block)]
first = loud.index(True) if True in loud else len(loud)
last = len(loud) - 1 - loud[::-1].index(True) if True in loud else 0
run = longest = 0
for v in loud[first:last + 1]:
    run = 0 if v else run + 1
    longest = max(longest, run)
print(f"{longest * 5} ms longest silence in {(last - first) * 5 / 1000:.1f} s of sound")
PY
}

# measure LABEL COMMAND...: runs COMMAND with two busy loops beside it, recording the sink.
measure() {
  local label=$1 raw=$TUNORA_SESSION/$1.raw rec busy1 busy2; shift
  parec --device=tunora_out.monitor --format=s16le --rate=44100 --channels=1 --raw >"$raw" &
  rec=$!
  yes >/dev/null & busy1=$!
  yes >/dev/null & busy2=$!
  "$@" >/dev/null 2>&1 || true
  kill "$busy1" "$busy2" "$rec" 2>/dev/null || true
  wait "$rec" 2>/dev/null || true
  printf '%-22s %s\n' "$label" "$(longest_silence "$raw")"
}

echo "== the longest silence at the sink, $SECONDS_PLAYED s with both cores kept busy (goal: at most 100 ms)"
measure "tunora (main window)" env WINEDEBUG=-all wine "$bench" play "$TUNORA_STATION_MP3" "$SECONDS_PLAYED"
measure "Wine's floor (tone)" timeout "$SECONDS_PLAYED" env WINEDEBUG=-all wine "$tone"
