#!/usr/bin/env bash
# Starts the program, records through its REC button, kills the process with SIGKILL in
# the middle of the recording (the process that holds the recording open), and then
# checks the file it left. Usage: kill-during-recording.sh startup_tests.exe tunora.exe
set -euo pipefail
tests=$1 program=$2
dir=$(mktemp -d "${TMPDIR:-/tmp}/tunora-kill.XXXXXX")
trap 'rm -rf "$dir"' EXIT
export TUNORA_KILL_DIR="Z:${dir//\//\\}"
# The program it starts outlives it (until the kill below): its output goes to a file,
# so that nothing it or Wine leaves running holds the test runner's pipe open.
wine "$tests" "$program" --gtest_filter=KilledRecording.Starts >"$dir/starts.log" 2>&1 \
  || { cat "$dir/starts.log"; exit 1; }
cat "$dir/starts.log"
# The recording goes on for a while with its header refreshed every 2 s.
sleep 7
# The program's own process: the Wine server holds the file open too, and killing it
# instead would leave the program running, orphaned, with the recording open.
pid=
for p in /proc/[0-9]*; do
  tr '\0' ' ' <"$p/cmdline" 2>/dev/null | grep -qi 'tunora\.exe' || continue
  if ls -l "$p/fd" 2>/dev/null | grep -q -- "$dir/webfile.wav"; then pid=${p#/proc/}; break; fi
done
if [ -z "$pid" ]; then
  echo "no program process holds $dir/webfile.wav open; Wine's processes:" >&2
  ps -eo pid,etime,args | grep -i '\.exe' | grep -v grep >&2
  exit 1
fi
kill -9 "$pid"
while kill -0 "$pid" 2>/dev/null; do sleep 0.1; done
wine "$tests" "$program" --gtest_filter=KilledRecording.LeftAPlayableFile
