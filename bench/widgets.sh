#!/usr/bin/env bash
# Runs the widget benchmark under Wine on a private virtual display: paint costs, then
# the CPU share of an idle window with a scrolling display over SECONDS (default 30).
set -euo pipefail
. "$(dirname "$0")/../scripts/common.sh"
exe=$TUNORA_ROOT/build/win32/bench/widget_bench.exe
[ -f "$exe" ] || die "$exe is missing: run scripts/build.sh first"
exec "$TUNORA_ROOT/scripts/session.sh" bash -c 'wine "$1" paint && wine "$1" idle "$2"' bench "$exe" "${1:-30}"
