#!/usr/bin/env bash
# Starts the program, records through its REC button, kills the process with SIGKILL in
# the middle of the recording, and then checks the file it left.
# Usage: kill-during-recording.sh startup_tests.exe tunora.exe
set -euo pipefail
tests=$1
dir=$(mktemp -d "${TMPDIR:-/tmp}/tunora-kill.XXXXXX")
# The program runs from a copy in the folder, as a user's copy runs from its own folder:
# its command line then names this folder, which finds its process and no other.
cp "$2" "$dir/tunora.exe"
program_pids() {
  for p in /proc/[0-9]*; do
    tr '\0' ' ' <"$p/cmdline" 2>/dev/null | grep -qF -- "${dir##*/}/tunora.exe" && echo "${p#/proc/}"
  done
  return 0
}
# Whatever ends this script, no copy of the program outlives it.
trap 'kill -9 $(program_pids) 2>/dev/null || true; rm -rf "$dir"' EXIT
export TUNORA_KILL_DIR="Z:${dir//\//\\}"
# The program it starts outlives it (until the kill below): its output goes to a file,
# so that nothing it or Wine leaves running holds the test runner's pipe open.
wine "$tests" "$dir/tunora.exe" --gtest_filter=KilledRecording.Starts >"$dir/starts.log" 2>&1 \
  || { cat "$dir/starts.log"; exit 1; }
cat "$dir/starts.log"
# The recording goes on for a while with its header refreshed every 2 s.
sleep 7
pids=$(program_pids)
if [ -z "$pids" ]; then
  echo "the program is no longer running; Wine's processes:" >&2
  ps -eo pid,etime,args | grep -i '\.exe' | grep -v grep >&2
  exit 1
fi
for pid in $pids; do
  ls -l "/proc/$pid/fd" 2>/dev/null | grep -qF -- "$dir/webfile.wav" \
    || echo "note: process $pid does not hold the recording open" >&2
done
kill -9 $pids
for pid in $pids; do
  while kill -0 "$pid" 2>/dev/null; do sleep 0.1; done
done
wine "$tests" "$dir/tunora.exe" --gtest_filter=KilledRecording.LeftAPlayableFile
