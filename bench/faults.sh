#!/usr/bin/env bash
# Stream-fault sweep (not part of `make test`): the main window and the real player
# against every fault of the fault server, with the longer good start of a real station
# (5 s before a stall, a close or garbage; `make test` uses 1 s). Prints per fault how
# long the reason took to show and the tick's report ("worst-late-ms" is the most any
# 100 ms tick came late), and fails where the fault test would.
# Usage: bench/faults.sh [SECONDS_OF_GOOD_STREAM] [ROUNDS]     (default 5 s, 1 round)
set -euo pipefail
. "$(dirname "$0")/../scripts/common.sh"

AFTER=${1:-5}
ROUNDS=${2:-1}
[[ $AFTER =~ ^[0-9]+(\.[0-9]+)?$ && $ROUNDS =~ ^[1-9][0-9]*$ ]] || die "usage: $0 [SECONDS] [ROUNDS]"
tests=$TUNORA_ROOT/build/win32/tests/fault_tests.exe
[ -f "$tests" ] || die "$tests is missing: run scripts/build.sh first"
export TUNORA_FAULT_AFTER=$AFTER
exec "$TUNORA_ROOT/scripts/session.sh" bash "$TUNORA_ROOT/tests/playback/with-station.sh" \
  wine "$tests" --gtest_repeat="$ROUNDS"
