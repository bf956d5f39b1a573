#!/usr/bin/env bash
# Runs a Windows program on a private virtual display, waits for its window with the
# given title, saves a screenshot of the display and ends the program.
# Usage: scripts/show-window.sh EXE TITLE PNG
set -euo pipefail
. "$(dirname "$0")/common.sh"
[ $# -eq 3 ] || die "usage: $0 EXE TITLE PNG"
exe=$1 title=$2
[ -f "$exe" ] || die "$exe is missing: run scripts/build.sh first"
shot=$(realpath -m "$3")
exec "$TUNORA_ROOT/scripts/session.sh" bash -c '
  wine "$1" &
  for _ in $(seq 100); do xdotool search --onlyvisible --name "^$2\$" >/dev/null 2>&1 && break; sleep 0.1; done
  sleep 2
  import -window root "$3"
  wine taskkill /im "$(basename "$1")" >/dev/null 2>&1 || true
  wait
  echo "[tunora] screenshot: $3" >&2
' show-window "$exe" "$title" "$shot"
