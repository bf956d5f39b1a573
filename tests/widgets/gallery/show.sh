#!/usr/bin/env bash
# Shows the widget gallery on a private virtual display and saves a screenshot of it.
# Usage: tests/widgets/gallery/show.sh [PNG]   (default build/gallery.png)
set -euo pipefail
. "$(dirname "$0")/../../../scripts/common.sh"
exe=$TUNORA_ROOT/build/win32/tests/widget_gallery.exe
[ -f "$exe" ] || die "$exe is missing: run scripts/build.sh first"
shot=$(realpath -m "${1:-$TUNORA_ROOT/build/gallery.png}")
exec "$TUNORA_ROOT/scripts/session.sh" bash -c '
  wine "$1" &
  for _ in $(seq 100); do xdotool search --onlyvisible --name "^Widget Gallery\$" >/dev/null 2>&1 && break; sleep 0.1; done
  sleep 2
  import -window root "$2"
  wine taskkill /im widget_gallery.exe >/dev/null 2>&1 || true
  wait
  echo "[tunora] gallery screenshot: $2" >&2
' gallery "$exe" "$shot"
