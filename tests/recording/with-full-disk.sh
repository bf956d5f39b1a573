#!/usr/bin/env bash
# Runs a command with TUNORA_FULL_DIR naming (as a Windows path) a folder on a fresh
# 1 MB file system, which a recording fills in a few seconds, and TUNORA_READONLY_DIR
# one on a file system mounted read-only (root may write anywhere else). Both are tmpfs
# mounted here and removed at the end; without the right to mount (not root), the
# command runs without it and the full-disk test skips itself.
set -euo pipefail
mount_point=$(mktemp -d "${TMPDIR:-/tmp}/tunora-full.XXXXXX")
remove() {
  if mountpoint -q "$mount_point"; then umount -R "$mount_point" || umount -R -l "$mount_point"; fi
  rmdir "$mount_point" 2>/dev/null || true
}
trap remove EXIT
if [ "$(id -u)" = 0 ] && mount -t tmpfs -o size=1m tunora-full "$mount_point" 2>/dev/null; then
  export TUNORA_FULL_DIR="Z:${mount_point//\//\\}"
  mkdir "$mount_point/read-only"
  mount -t tmpfs -o size=16k,ro tunora-read-only "$mount_point/read-only" &&
    export TUNORA_READONLY_DIR="$TUNORA_FULL_DIR\\read-only"
  # A test runner that kills this script at its time-out leaves no trap to run: a
  # watcher in a session of its own removes the file system once this script is gone.
  setsid bash -c 'while kill -0 "$1" 2>/dev/null; do sleep 1; done
    if mountpoint -q "$2"; then umount -R "$2" || umount -R -l "$2"; fi; rmdir "$2" 2>/dev/null' \
    watcher $$ "$mount_point" </dev/null >/dev/null 2>&1 &
else
  echo "with-full-disk: cannot mount a small file system; the full-disk test is skipped" >&2
fi
"$@"
