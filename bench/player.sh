#!/usr/bin/env bash
# Player benchmark (not a test): launch-to-first-sound, CPU and peak memory of the
# station player (bench/PlayUrl.cpp) beside Wine's floor (a program that only plays a
# tone through waveOut) and, natively, ffplay and mpv when installed. Every figure comes
# from ../shared/tools/time-to-audio in a private PulseAudio, from the local Icecast
# (the real-world case) and from its instant server (the player's own time).
# Last, how soon a dropped station is heard again once its server answers
# (bench/reconnect.sh).
# Usage: bench/player.sh [RUNS] [CPU_SECONDS]      (default 10 runs, 30 s)
set -euo pipefail
. "$(dirname "$0")/../scripts/common.sh"

RUNS=${1:-10}
CPU=${2:-30}
tta=${TIME_TO_AUDIO:-$TUNORA_ROOT/../shared/tools/time-to-audio}
[ -x "$tta" ] || die "time-to-audio not found at $tta (set TIME_TO_AUDIO)"
play=$TUNORA_ROOT/build/win32/bench/play_url.exe
[ -f "$play" ] || die "$play is missing: run scripts/build.sh first"
out=$TUNORA_ROOT/build/bench
mkdir -p "$out"
for prog in tone sleeper; do
  [ "$out/$prog.exe" -nt "$TUNORA_ROOT/bench/$prog.c" ] ||
    i686-w64-mingw32-gcc-posix -O2 -static -o "$out/$prog.exe" "$TUNORA_ROOT/bench/$prog.c" -lwinmm
done

work=$(mktemp -d "${TMPDIR:-/tmp}/tunora-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
prefix=$work/wine
thin_prefix "$("$TUNORA_ROOT/scripts/wine-prefix.sh")" "$prefix"
wine_args=(--xvfb --env "WINEPREFIX=$prefix" --env WINEDEBUG=-all --env "WINEDLLOVERRIDES=mscoree,mshtml="
           --service "wine $out/sleeper.exe")

measure() {  # LABEL SERVER STREAM ARGS...
  local label=$1 server=$2 stream=$3; shift 3
  "$tta" -n "$RUNS" --cpu-secs "$CPU" --server "$server" --stream "$stream" --label "$label" \
    --json "$work/$label-$server-$stream.json" "$@" 2>&1 | tail -n 4 ||
    echo "$label: some runs failed (see above)"
}

# BENCH_SERVERS and BENCH_STREAMS narrow the run, e.g. BENCH_STREAMS=opus.
for server in ${BENCH_SERVERS:-direct icecast}; do
  for stream in ${BENCH_STREAMS:-mp3 aac opus}; do
    echo "== $stream from the $server server"
    measure tunora "$server" "$stream" "${wine_args[@]}" -- wine "$play" {url}
    measure wine-floor "$server" "$stream" "${wine_args[@]}" -- wine "$out/tone.exe"
    if command -v ffplay >/dev/null; then
      measure ffplay "$server" "$stream" -- ffplay -nodisp -loglevel quiet {url}
    fi
    if command -v mpv >/dev/null; then
      measure mpv "$server" "$stream" -- mpv --no-video --really-quiet {url}
    fi
  done
done

echo "== a dropped station heard again"
"$TUNORA_ROOT/bench/reconnect.sh" "$RUNS"
