#!/usr/bin/env bash
# `make dist`: builds the Windows program and packs the release into dist/ (see
# scripts/package.sh for what the zip holds).
set -euo pipefail
. "$(dirname "$0")/common.sh"
cd "$TUNORA_ROOT"
TUNORA_WINDOWS_ONLY=1 TUNORA_BUILD_TARGET=tunora "$TUNORA_ROOT/scripts/build.sh"
zip=$("$TUNORA_ROOT/scripts/package.sh" "${BUILD:-$TUNORA_ROOT/build}/win32" "$TUNORA_ROOT/dist")
say "made $zip ($(stat -c %s "$zip") bytes)"
