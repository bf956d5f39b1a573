#!/usr/bin/env bash
# Runs a command with the local test station up, its addresses in the environment.
set -euo pipefail
. "$(dirname "$0")/../../scripts/common.sh"
dir=$(mktemp -d "${TMPDIR:-/tmp}/tunora-station.XXXXXX")
trap '"$TUNORA_ROOT/scripts/station.sh" stop "$dir" >/dev/null 2>&1 || true; rm -rf "$dir"' EXIT
set -a
eval "$("$TUNORA_ROOT/scripts/station.sh" start "$dir")"
set +a
"$@"
