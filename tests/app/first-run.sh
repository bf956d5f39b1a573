#!/usr/bin/env bash
# A newcomer's first `make run` on a machine without a display: scripts/run.sh with a data
# directory that does not exist yet. The main window must show on the private display,
# playing nothing yet, with the demo station as preset 1; Ctrl+C must then end the
# program and everything the script started. Usage: first-run.sh tunora.exe
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/common.sh"
export TUNORA_EXE=$1
data=$(mktemp -d "${TMPDIR:-/tmp}/tunora-first-run.XXXXXX")
rmdir "$data"  # the script meets no data directory at all
log=$data.log
run=""
cleanup() {
  [ -n "$run" ] && kill -9 -- -"$run" 2>/dev/null || true
  WINEPREFIX=$data/wine wineserver -k 2>/dev/null || true
  rm -rf "$data" "$log"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; echo "--- run.sh said:" >&2; cat "$log" >&2; exit 1; }

# A free port may be taken by another program before the demo station binds it: then
# run.sh says so, and the first run is made again, from nothing, on another port.
for attempt in 1 2 3; do
  port=$(free_port)
  setsid env -u DISPLAY TUNORA_DATA="$data" TUNORA_DEMO_PORT="$port" "$root/scripts/run.sh" >"$log" 2>&1 &
  run=$!
  for _ in $(seq 900); do
    grep -q 'press Ctrl+C\|the demo station did not start' "$log" && break
    kill -0 "$run" 2>/dev/null || fail "run.sh ended before the program ran"
    sleep 0.1
  done
  grep -q 'the demo station did not start' "$log" || break
  [ $attempt = 3 ] && fail "the demo station found no free port in three tries"
  cleanup
done
grep -q 'press Ctrl+C' "$log" || fail "no screenshot within 90 s"
display=$(sed -n 's/.*running on the virtual display \(:[0-9]*\);.*/\1/p' "$log")
[ -n "$display" ] || fail "run.sh named no display"

window=$(DISPLAY=$display xdotool search --onlyvisible --name '^Ovexia Tunora$' | head -1) \
  || fail "no main window on $display"
width=$(DISPLAY=$display xwininfo -id "$window" | sed -n 's/.*Width: *//p')
[ "$width" -ge 590 ] && [ "$width" -le 620 ] || fail "the main window is $width pixels wide, not about 600"
# The screenshot shows the window, not the bare background of the display.
colours=$(identify -format '%k' "$data/screenshot.png")
[ "$colours" -gt 100 ] || fail "the screenshot holds $colours colours: the window is not on it"
grep -q "127.0.0.1:$port/tone.mp3" "$data/files/Ovexia Radio Network1.dat" \
  || fail "the new data directory has no station group with the demo station"
bytes=$({ curl -s --max-time 5 "http://127.0.0.1:$port/tone.mp3" || true; } | head -c 4096 | wc -c)
[ "$bytes" -eq 4096 ] || fail "the demo station on port $port sent $bytes bytes, not a stream"

# Ctrl+C reaches every process of the terminal's foreground group.
kill -INT -- -"$run"
for _ in $(seq 300); do
  kill -0 "$run" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$run" 2>/dev/null && fail "run.sh is still running 30 s after Ctrl+C"
left=$(ps -o pid=,stat=,args= --sid "$run" | awk '$2 !~ /^Z/' || true)  # the dead are not left
[ -z "$left" ] || fail "processes left after Ctrl+C: $left"
echo "first run: the main window showed on $display and Ctrl+C ended everything"
