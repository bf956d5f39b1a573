#!/usr/bin/env bash
# The station that the tests of one run share (a ctest fixture): `start DIR` starts it
# afresh in DIR, `stop DIR` stops it. Tests reach it through with-station.sh with
# TUNORA_SHARED_STATION=DIR.
set -euo pipefail
. "$(dirname "$0")/../../scripts/common.sh"
action=$1 dir=$(run_fixture_dir "$2")
"$TUNORA_ROOT/scripts/station.sh" stop "$dir" >/dev/null 2>&1 || true  # one left by a run that was cut short
case $action in
  # A burst of a second, not Icecast's four: a stream that drops or changes its title
  # shows it to the listener sooner, and the tests wait less.
  start) rm -rf "$dir"; STATION_BURST=${STATION_BURST:-16384} "$TUNORA_ROOT/scripts/station.sh" start "$dir" >/dev/null ;;
  stop) rm -rf "$dir" ;;
  *) die "usage: shared-station.sh start|stop DIR" ;;
esac
