#!/usr/bin/env bash
# Start-up benchmark: how long from launching `wine PROGRAM` until its main window is
# visible on the X display, for the receiver and, side by side, for two floors: a program
# that does nothing but open one window (bench/nothing.c), Wine's floor, the time no
# program can beat; and one of the receiver's shape without its work (bench/floor.c: a
# splash, a shaped window with a picture and a tray icon, the receiver's libraries), so
# that the cost of the shape and the libraries is seen apart from the cost of our own
# work. The runs are interleaved so that drift of the machine hits all alike, and
# everything runs in one private session whose wineserver stays up, so Wine's cold start
# is left out; one untimed launch of each program warms the caches first. With
# TUNORA_START_LOG set to a Windows path, the receiver appends the times of its start's
# steps there.
#
# Usage: bench/startup.sh [RUNS]          (default 9 runs of each program)
# Environment:
#   TUNORA_EXE     the program to measure   (default build/win32/src/tunora.exe)
#   TUNORA_TITLE   its main window's title  (default "Ovexia Tunora")
#   BENCH_TIMEOUT  seconds a run may take until the window shows (default 20)
#   BENCH_OUT      where the floors are built (default build/bench)
set -euo pipefail
. "$(dirname "$0")/../scripts/common.sh"

RUNS=${1:-9}
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
  floor=$out/floor.exe
  if [ ! -f "$floor" ] || [ "$TUNORA_ROOT/bench/floor.c" -nt "$floor" ]; then
    say "building $floor"
    i686-w64-mingw32-gcc-win32 -O2 -mwindows -static -o "$floor" "$TUNORA_ROOT/bench/floor.c" \
      -lws2_32 -lsecur32 -lcrypt32 -lbcrypt -lshell32 -lole32 -lwinmm -lwininet -lmsimg32
  fi
  # The program as it ships: without its debug data, which the loader would read too.
  shipped=$out/$(basename "$exe")
  i686-w64-mingw32-objcopy --strip-all "$exe" "$shipped"
  export BENCH_NOTHING_EXE=$nothing BENCH_FLOOR_EXE=$floor BENCH_PROGRAM_EXE=$shipped
  exec "$TUNORA_ROOT/scripts/session.sh" "$0" "$RUNS"
fi

PROGRAM=$BENCH_PROGRAM_EXE
PROGRAM_TITLE=${TUNORA_TITLE:-Ovexia Tunora}
NOTHING=$BENCH_NOTHING_EXE
NOTHING_TITLE="Nothing Window"
FLOOR=$BENCH_FLOOR_EXE
FLOOR_TITLE="Floor Window"
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
launch "$FLOOR" "$FLOOR_TITLE" >/dev/null || fail "floor.exe failed to start"
launch "$PROGRAM" "$PROGRAM_TITLE" >/dev/null || fail "$(basename "$PROGRAM") failed to start"

declare -A exe=([nothing]=$NOTHING [floor]=$FLOOR [program]=$PROGRAM)
declare -A title=([nothing]=$NOTHING_TITLE [floor]=$FLOOR_TITLE [program]=$PROGRAM_TITLE)
declare -A times=()
names=(nothing floor program)
for ((i = 1; i <= RUNS; i++)); do
  # Rotate the order so that no program always runs right after the same other one.
  for ((k = 0; k < 3; k++)); do
    which=${names[(i + k) % 3]}
    ms=$(launch "${exe[$which]}" "${title[$which]}") || fail "run $i of $(basename "${exe[$which]}") failed"
    times[$which]+="$ms "
  done
  printf 'run %-3d %s\n' "$i" "$(for w in "${names[@]}"; do set -- ${times[$w]}; printf '%s %5d ms   ' "$(basename "${exe[$w]}")" "${!#}"; done)"
done

declare -A med=()
echo
printf '%-14s %-10s %s\n' program median_ms runs
for w in "${names[@]}"; do
  med[$w]=$(printf '%s\n' ${times[$w]} | median)
  printf '%-14s %-10s %s\n' "$(basename "${exe[$w]}")" "${med[$w]}" "${times[$w]% }"
done
awk -v p="${med[program]}" -v n="${med[nothing]}" -v f="${med[floor]}" 'BEGIN {
  if (n <= 0 || f <= 0) { print "a floor measured as 0 ms: no ratio"; exit }
  printf "ratio program/nothing: %.2f (goal: at most 1.50)\n", p / n
  printf "ratio program/floor:   %.2f (our own work)\n", p / f
  printf "ratio floor/nothing:   %.2f (the shape, the pictures and the libraries)\n", f / n
}'
