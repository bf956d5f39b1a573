#!/usr/bin/env bash
# Skin benchmark (not a test), under Wine: the outline scan and ApplySkin(false),
# medians of RUNS (default 200). See bench/SkinBench.cpp.
set -euo pipefail
. "$(dirname "$0")/../scripts/common.sh"
exe=$TUNORA_ROOT/build/win32/bench/skin_bench.exe
[ -f "$exe" ] || die "$exe is missing: run scripts/build.sh first"
exec "$TUNORA_ROOT/scripts/session.sh" wine "$exe" "${1:-200}"
