#!/usr/bin/env bash
# Makes the project's base Wine prefix once ($TUNORA_CACHE/wine-<version>) and prints its
# path. Wine's Mono and Gecko installers are switched off: nothing here needs them, and
# they would try to download.
set -euo pipefail
. "$(dirname "$0")/common.sh"

prefix=$(wine_prefix_dir)
[ -f "$prefix/.complete" ] || hold_lock "$prefix.lock"
# Only a prefix that was never finished is made anew: nobody uses one before it is, and
# its maker held the lock until then.
if [ ! -f "$prefix/.complete" ]; then
  say "creating the Wine prefix $prefix (once)"
  rm -rf "$prefix"; mkdir -p "$(dirname "$prefix")"
  export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  export DISPLAY=   # wineboot needs no display; keep it off the user's screen
  wineboot -i >"$prefix.log" 2>&1 || { tail -n 20 "$prefix.log" >&2; die "wineboot failed; log: $prefix.log"; }
  wineserver -w
  touch "$prefix/.complete"
fi
echo "$prefix"
