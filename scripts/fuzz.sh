#!/usr/bin/env bash
# Runs every fuzz target (or those named) for SECONDS each, one after the other, niced,
# and prints executions and findings per target. Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
#
# The targets are built with clang's libFuzzer, AddressSanitizer and UBSan into
# build/fuzz. Each grows a working corpus in build/fuzz/corpus/TARGET, started from the
# seeds in fuzz/corpus/TARGET and the regression inputs in fuzz/regressions/TARGET. A
# finding ends its target's run and is saved in build/fuzz/findings/TARGET/; once fixed,
# copy it into fuzz/regressions/TARGET so that `make test` replays it from then on.
# build/fuzz/executions/TARGET adds up the executions of every run.
set -euo pipefail
. "$(dirname "$0")/common.sh"
cd "$TUNORA_ROOT"

SECONDS_EACH=${1:-60}
shift || true
[[ "$SECONDS_EACH" =~ ^[0-9]+$ ]] || die "usage: scripts/fuzz.sh [SECONDS] [TARGET...]"
ALL=(settings stations skin_file region playlist frame_sync wave jpeg bitmap trusted_hosts leftover title stream_headers directory_answer schedule keys)
TARGETS=("${@:-${ALL[@]}}")
[ $# -gt 0 ] || TARGETS=("${ALL[@]}")

# The longest input the fuzzer makes for each target (the targets cap their input too).
declare -A MAX_LEN=([settings]=1024 [stations]=1024 [skin_file]=2048 [region]=4096 [playlist]=4096
  [frame_sync]=8192 [wave]=4096 [jpeg]=8192 [bitmap]=8192 [trusted_hosts]=4096
  [leftover]=8192 [title]=8192 [stream_headers]=16384
  [directory_answer]=16384 [schedule]=4096 [keys]=4096)

"$TUNORA_ROOT/scripts/setup-packages.sh"
BUILD=${BUILD:-$TUNORA_ROOT/build}/fuzz
mkdir -p "$BUILD"
CC=clang CXX=clang++ cmake -S . -B "$BUILD" -DTUNORA_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  >"$BUILD.configure.log" 2>&1 || { cat "$BUILD.configure.log" >&2; die "configuring the fuzz build failed"; }
nice cmake --build "$BUILD" -j"${JOBS:-2}" >"$BUILD.build.log" 2>&1 \
  || { tail -40 "$BUILD.build.log" >&2; die "building the fuzz targets failed (log: $BUILD.build.log)"; }

mkdir -p "$BUILD/logs" "$BUILD/executions"
rows=()
found_any=0
for t in "${TARGETS[@]}"; do
  [ -n "${MAX_LEN[$t]:-}" ] || die "no fuzz target named $t (targets: ${ALL[*]})"
  corpus=$BUILD/corpus/$t findings=$BUILD/findings/$t log=$BUILD/logs/$t.log
  mkdir -p "$corpus" "$findings"
  say "fuzzing $t for ${SECONDS_EACH}s (log: $log)"
  before=$(ls "$findings" | wc -l)
  seeds=("fuzz/corpus/$t")
  [ -d "fuzz/regressions/$t" ] && seeds+=("fuzz/regressions/$t")
  set +e
  nice -n 10 "$BUILD/fuzz/fuzz_$t" -max_total_time="$SECONDS_EACH" -max_len="${MAX_LEN[$t]}" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "${seeds[@]}" >"$log" 2>&1
  status=$?
  set -e
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  runs=${runs:-0}
  total=$(( $(cat "$BUILD/executions/$t" 2>/dev/null || echo 0) + runs ))
  echo "$total" >"$BUILD/executions/$t"
  new=$(( $(ls "$findings" | wc -l) - before ))
  what=-
  if [ "$new" -gt 0 ]; then
    what=$(ls -t "$findings" | head -1)
    what=$findings/$what
    found_any=1
  elif [ "$status" -ne 0 ]; then
    what="exit status $status, see $log"
    found_any=1
    new=1
  fi
  rows+=("$(printf '%-11s %14s %9s %16s %9s  %s' "$t" "$runs" "$(( runs / (SECONDS_EACH > 0 ? SECONDS_EACH : 1) ))" \
    "$total" "$new" "$what")")
done

printf '\n%-11s %14s %9s %16s %9s  %s\n' target executions "per s" "all runs" findings "saved as"
printf '%s\n' "${rows[@]}"
exit $found_any
