#!/usr/bin/env bash
# Shows the three station dialogs on a private virtual display and saves a screenshot.
# Usage: tests/stations/gallery/show.sh [PNG]   (default build/station-dialogs.png)
set -euo pipefail
. "$(dirname "$0")/../../../scripts/common.sh"
exec "$TUNORA_ROOT/scripts/show-window.sh" "$TUNORA_ROOT/build/win32/tests/station_dialogs.exe" "Station Dialogs" \
  "${1:-$TUNORA_ROOT/build/station-dialogs.png}"
