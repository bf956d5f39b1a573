#!/usr/bin/env bash
# Shows the widget gallery on a private virtual display and saves a screenshot of it.
# Usage: tests/widgets/gallery/show.sh [PNG]   (default build/gallery.png)
set -euo pipefail
. "$(dirname "$0")/../../../scripts/common.sh"
exec "$TUNORA_ROOT/scripts/show-window.sh" "$TUNORA_ROOT/build/win32/tests/widget_gallery.exe" "Widget Gallery" \
  "${1:-$TUNORA_ROOT/build/gallery.png}"
