#!/usr/bin/env bash
# Start-up benchmark: how long from launching `wine PROGRAM` until its main window is
# visible on the X display, for the receiver and, side by side, for a program that does
# nothing but open one window (bench/nothing.c). The latter is Wine's floor: the time no
# program can beat. The runs are interleaved so that drift of the machine hits both
# alike, and everything runs in one private session whose wineserver stays up, so Wine's
# cold start is left out; one untimed launch of each program warms the caches first.
#
# Usage: bench/startup.sh [RUNS]          (default 7 runs of each program)
# Environment:
#   TUNORA_EXE     the program to measure   (default build/win32/src/tunora.exe)
#   TUNORA_TITLE   its main window's title  (default "Ovexia Tunora")
#   BENCH_TIMEOUT  seconds a run may take until the window shows (default 20)
#   BENCH_OUT      where nothing.exe is built (default build/bench)
set -euo pipefail
. "$(dirname "$0")/../scripts/common.sh"

RUNS=${1:-7}
[[ $RUNS =~ ^[1-9][0-9]*$ ]] || die "usage: $0 [RUNS]   (RUNS: a positive number)"

# Re-run inside a private session (display, sound server, Wine prefix, warm wineserver).
if [ -z "${TUNORA_SESSION:-}" ]; then
  for tool in wine wineserver xdotool Xvfb i686-w64-mingw32-gcc-win32; do
    command -v "$tool" >/dev/null 2>&1 || die "$tool is not installed"
  done
  exe=${TUNORA_EXE:-$TUNORA_ROOT/build/win32/src/tunora.exe}
  [ -f "$exe" ] || die "$exe does not exist: build the program first (or set TUNORA_EXE)"
  out=${BENCH_OUT:-$TUNORA_ROOT/build/bench}
  mkdir -p "$out"
  nothing=$out/nothing.exe
  if [ ! -f "$nothing" ] || [ "$TUNORA_ROOT/bench/nothing.c" -nt "$nothing" ]; then
    say "building $nothing"
    i686-w64-mingw32-gcc-win32 -O2 -mwindows -static -o "$nothing" "$TUNORA_ROOT/bench/nothing.c"
  fi
  export BENCH_NOTHING_EXE=$nothing BENCH_PROGRAM_EXE=$(realpath "$exe")
  exec "$TUNORA_ROOT/scripts/session.sh" "$0" "$RUNS"
fi

PROGRAM=$BENCH_PROGRAM_EXE
PROGRAM_TITLE=${TUNORA_TITLE:-Ovexia Tunora}
NOTHING=$BENCH_NOTHING_EXE
NOTHING_TITLE="Nothing Window"
TIMEOUT=${BENCH_TIMEOUT:-20}

now_us() { local t=${EPOCHREALTIME/[.,]/}; echo $((10#$t)); }

# Title as an anchored regular expression: the whole title, nothing more.
title_regex() { printf '^%s$' "$(printf '%s' "$1" | sed 's/[][\.*^$+?(){}|]/\\&/g')"; }

visible_titles() {
  local w names=()
  for w in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
    names+=("\"$(xdotool getwindowname "$w" 2>/dev/null)\"")
  done
  [ ${#names[@]} -gt 0 ] && printf '%s ' "${names[@]}" || printf 'none'
}

# stop PID EXE: ask the program to close (WM_CLOSE to its windows), force it after a
# grace period, and return only when its process is gone: a program that refuses to
# run twice must find no earlier copy at the next launch.
stop() {
  local pid=$1 image
  image=$(basename "$2")
  wine taskkill /im "$image" >/dev/null 2>&1 || true
  for _ in $(seq 500); do kill -0 "$pid" 2>/dev/null || break; sleep 0.02; done
  if kill -0 "$pid" 2>/dev/null; then
    say "$image did not close within 10 s; killing it"
    wine taskkill /f /im "$image" >/dev/null 2>&1 || kill -KILL "$pid" 2>/dev/null || true
  fi
  wait "$pid" 2>/dev/null || true
}

# launch EXE TITLE: prints the milliseconds until the window TITLE is visible; on failure
# says why on stderr and returns 1.
launch() {
  local exe=$1 title=$2 regex pid t0 t rc
  regex=$(title_regex "$title")
  if xdotool search --onlyvisible --name "$regex" >/dev/null 2>&1; then
    say "a window \"$title\" is already visible before the launch"; return 1
  fi
  t0=$(now_us)
  (cd "$WORKDIR" && exec wine "$exe") >>"$LOG" 2>&1 &
  pid=$!
  while :; do
    if xdotool search --onlyvisible --name "$regex" >/dev/null 2>&1; then
      t=$(now_us)
      stop "$pid" "$exe"
      echo $(((t - t0 + 500) / 1000))
      return 0
    fi
    if ! kill -0 "$pid" 2>/dev/null; then
      rc=0; wait "$pid" || rc=$?
      say "$(basename "$exe") exited (status $rc) without showing the window \"$title\""
      return 1
    fi
    if (( $(now_us) - t0 > TIMEOUT * 1000000 )); then
      say "$(basename "$exe") showed no window \"$title\" within $TIMEOUT s;" \
          "visible windows: $(visible_titles)"
      stop "$pid" "$exe"
      return 1
    fi
    sleep 0.01
  done
}

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print int((v[NR / 2] + v[NR / 2 + 1]) / 2 + 0.5) }'; }

# The programs write their settings into the working directory: give them one of their
# own, kept for all runs so that every timed start finds the settings of the previous.
WORKDIR=$TUNORA_SESSION/work
LOG=$TUNORA_SESSION/programs.log
mkdir -p "$WORKDIR"
: >"$LOG"

fail() { say "$*"; [ -s "$LOG" ] && { say "program output:"; tail -n 20 "$LOG" >&2; }; exit 1; }

say "warming up (untimed)"
launch "$NOTHING" "$NOTHING_TITLE" >/dev/null || fail "nothing.exe failed to start"
launch "$PROGRAM" "$PROGRAM_TITLE" >/dev/null || fail "$(basename "$PROGRAM") failed to start"

nothing_ms=() program_ms=()
for ((i = 1; i <= RUNS; i++)); do
  # Alternate the order so that neither program always runs right after the other.
  if ((i % 2)); then order=(nothing program); else order=(program nothing); fi
  for which in "${order[@]}"; do
    if [ "$which" = nothing ]; then
      ms=$(launch "$NOTHING" "$NOTHING_TITLE") || fail "run $i of nothing.exe failed"
      nothing_ms+=("$ms")
    else
      ms=$(launch "$PROGRAM" "$PROGRAM_TITLE") || fail "run $i of $(basename "$PROGRAM") failed"
      program_ms+=("$ms")
    fi
  done
  printf 'run %-3d nothing.exe %5d ms   %s %5d ms\n' "$i" "${nothing_ms[-1]}" \
    "$(basename "$PROGRAM")" "${program_ms[-1]}"
done

n_med=$(printf '%s\n' "${nothing_ms[@]}" | median)
p_med=$(printf '%s\n' "${program_ms[@]}" | median)
echo
printf '%-14s %-10s %s\n' program median_ms runs
printf '%-14s %-10s %s\n' nothing.exe "$n_med" "${nothing_ms[*]}"
printf '%-14s %-10s %s\n' "$(basename "$PROGRAM")" "$p_med" "${program_ms[*]}"
awk -v p="$p_med" -v n="$n_med" 'BEGIN {
  if (n <= 0) { print "Wine floor measured as 0 ms: no ratio"; exit }
  printf "ratio program/nothing: %.2f\n", p / n
  printf "tunora adds %d%% over Wine'"'"'s floor (goal: < 30%%)\n", (p - n) * 100 / n + (p >= n ? 0.5 : -0.5)
}'
