#!/usr/bin/env bash
# Runs a command with TUNORA_FULL_DIR naming (as a Windows path) a folder on a fresh
# 1 MB file system, which a recording fills in a few seconds. The file system is a tmpfs
# mounted here and removed at the end; without the right to mount (not root), the
# command runs without it and the full-disk test skips itself.
set -euo pipefail
mount_point=$(mktemp -d "${TMPDIR:-/tmp}/tunora-full.XXXXXX")
cleanup() {
  mountpoint -q "$mount_point" && umount "$mount_point"
  rmdir "$mount_point"
}
trap cleanup EXIT
if [ "$(id -u)" = 0 ] && mount -t tmpfs -o size=1m tunora-full "$mount_point" 2>/dev/null; then
  export TUNORA_FULL_DIR="Z:${mount_point//\//\\}"
else
  echo "with-full-disk: cannot mount a small file system; the full-disk test is skipped" >&2
fi
"$@"
