#!/usr/bin/env bash
# Title benchmark (not a test): the CPU time of the station player (bench/PlayUrl.cpp)
# playing the local station's MP3 mount, once with a title that never changes and once
# with a new title every half second (each one read, decoded and published). Reading
# titles should cost nothing measurable beyond playing.
# Usage: bench/titles.sh [RUNS] [SECONDS]      (default 3 runs of 20 s)
set -euo pipefail
. "$(dirname "$0")/../scripts/common.sh"

RUNS=${1:-3}
SECONDS_EACH=${2:-20}
play=$TUNORA_ROOT/build/win32/bench/play_url.exe
[ -f "$play" ] || die "$play is missing: run scripts/build.sh first"

# The station and a private display and sound server, once.
if [ -z "${TUNORA_STATION_MP3:-}" ]; then
  exec "$TUNORA_ROOT/scripts/session.sh" bash "$TUNORA_ROOT/tests/playback/with-station.sh" "$0" "$@"
fi

# cpu_of SECONDS: user+system CPU seconds of one play.
cpu_of() {
  python3 - "$play" "$TUNORA_STATION_MP3" "$1" <<'PY'
import resource, subprocess, sys
before = resource.getrusage(resource.RUSAGE_CHILDREN)
subprocess.run(["wine", sys.argv[1], sys.argv[2], sys.argv[3]], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
after = resource.getrusage(resource.RUSAGE_CHILDREN)
print("%.2f" % (after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime))
PY
}

wine wineboot -i >/dev/null 2>&1 || true
for run in $(seq "$RUNS"); do
  "$TUNORA_ROOT/scripts/station.sh" title "$TUNORA_STATION_DIR" "Tone 440 Hz"
  still=$(cpu_of "$SECONDS_EACH")
  (
    i=0
    while :; do
      i=$((i + 1))
      "$TUNORA_ROOT/scripts/station.sh" title "$TUNORA_STATION_DIR" "Caf$(printf '\xc3\xa9') title number $i" || true
      sleep 0.5
    done
  ) &
  changer=$!
  changing=$(cpu_of "$SECONDS_EACH")
  kill "$changer" 2>/dev/null || true
  wait "$changer" 2>/dev/null || true
  echo "run $run: ${SECONDS_EACH} s of MP3: ${still} s CPU with one title, ${changing} s CPU with a new title every 0.5 s"
done
