#!/usr/bin/env bash
# Runs a command with the local test station up, its addresses in the environment: the
# station that TUNORA_SHARED_STATION names (a directory where a station runs, for tests
# that only listen), or else one started for this command alone and stopped after it.
set -euo pipefail
. "$(dirname "$0")/../../scripts/common.sh"
if [ -n "${TUNORA_SHARED_STATION:-}" ]; then
  TUNORA_SHARED_STATION=$(run_fixture_dir "$TUNORA_SHARED_STATION")
  [ -s "$TUNORA_SHARED_STATION/station.env" ] || die "no station runs in $TUNORA_SHARED_STATION"
  set -a
  . "$TUNORA_SHARED_STATION/station.env"
  set +a
  exec "$@"
fi
dir=$(mktemp -d "${TMPDIR:-/tmp}/tunora-station.XXXXXX")
trap '"$TUNORA_ROOT/scripts/station.sh" stop "$dir" >/dev/null 2>&1 || true; rm -rf "$dir"' EXIT
set -a
eval "$("$TUNORA_ROOT/scripts/station.sh" start "$dir")"
set +a
"$@"
