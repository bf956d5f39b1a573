#!/usr/bin/env bash
# Runs a command beside the tests' own station directory (fake-directory.py), whose
# stations play the local test station: TUNORA_DIRECTORY is its address and
# TUNORA_DIRECTORY_CLICKS the file where it notes each click. Needs the station's
# addresses in the environment (tests/playback/with-station.sh).
set -euo pipefail
: "${TUNORA_STATION_MP3:?no local test station}"
dir=$(mktemp -d "${TMPDIR:-/tmp}/tunora-directory.XXXXXX")
python3 "$(dirname "$0")/fake-directory.py" 0 "$TUNORA_STATION_MP3" "${TUNORA_STATION_OGG:-$TUNORA_STATION_MP3}" \
  "$dir/clicks.log" >"$dir/port" 2>"$dir/server.log" &
server=$!
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; rm -rf "$dir"' EXIT
for _ in $(seq 100); do [ -s "$dir/port" ] && break; sleep 0.1; done
[ -s "$dir/port" ] || { cat "$dir/server.log" >&2; echo "the fake directory did not start" >&2; exit 1; }
export TUNORA_DIRECTORY="http://127.0.0.1:$(head -1 "$dir/port")"
export TUNORA_DIRECTORY_CLICKS="$(winepath -w "$dir/clicks.log" 2>/dev/null || echo "$dir/clicks.log")"
"$@"
