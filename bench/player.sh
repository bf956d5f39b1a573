#!/usr/bin/env bash
# Player benchmark (not a test): launch-to-first-sound, CPU and peak memory of the
# station player (bench/PlayUrl.cpp) beside Wine's floor (a program that only plays a
# tone through waveOut) and, natively, ffplay and mpv when installed. Every figure comes
# from bench/time-to-audio.py in a private session (scripts/session.sh), from the local
# Icecast (the real-world case) and from a server of its own that answers at once (the
# player's own time).
# Last, how soon a dropped station is heard again once its server answers
# (bench/reconnect.sh).
# Usage: bench/player.sh [RUNS] [CPU_SECONDS]      (default 10 runs, 30 s)
set -euo pipefail
. "$(dirname "$0")/../scripts/common.sh"

RUNS=${1:-10}
CPU=${2:-30}
play=$TUNORA_ROOT/build/win32/bench/play_url.exe
[ -f "$play" ] || die "$play is missing: run scripts/build.sh first"
out=$TUNORA_ROOT/build/bench

if [ -z "${TUNORA_STATION_MP3:-}" ]; then
  mkdir -p "$out"
  for prog in tone sleeper; do
    [ "$out/$prog.exe" -nt "$TUNORA_ROOT/bench/$prog.c" ] ||
      i686-w64-mingw32-gcc-posix -O2 -static -o "$out/$prog.exe" "$TUNORA_ROOT/bench/$prog.c" -lwinmm
  done
  "$TUNORA_ROOT/scripts/session.sh" bash "$TUNORA_ROOT/tests/playback/with-station.sh" "$0" "$RUNS" "$CPU"
  echo "== a dropped station heard again"
  exec "$TUNORA_ROOT/bench/reconnect.sh" "$RUNS"
fi

# Inside the session: a Wine program that only sleeps keeps the prefix's services up, so
# that no run pays for starting them.
wine "$out/sleeper.exe" &
sleeper=$!
trap 'kill "$sleeper" 2>/dev/null || true' EXIT
measure() {  # LABEL SERVER STREAM PLAYER ARGS...
  local label=$1 server=$2 stream=$3; shift 3
  "$TUNORA_ROOT/bench/time-to-audio.py" -n "$RUNS" --cpu-secs "$CPU" --server "$server" --stream "$stream" \
    --label "$label" --json "$out/$label-$server-$stream.json" -- "$@" | tail -n 4 ||
    echo "$label: some runs failed (see above)"
}

# BENCH_SERVERS and BENCH_STREAMS narrow the run, e.g. BENCH_STREAMS=opus.
for server in ${BENCH_SERVERS:-direct icecast}; do
  for stream in ${BENCH_STREAMS:-mp3 aac opus}; do
    echo "== $stream from the $server server"
    measure tunora "$server" "$stream" wine "$play" {url}
    measure wine-floor "$server" "$stream" wine "$out/tone.exe"
    if command -v ffplay >/dev/null; then
      measure ffplay "$server" "$stream" ffplay -nodisp -loglevel quiet {url}
    fi
    if command -v mpv >/dev/null; then
      measure mpv "$server" "$stream" mpv --no-video --really-quiet {url}
    fi
  done
done
echo "every run's figures: $out/*.json"
