# Shared settings of the project's scripts: where the caches live and how to report.
# Sourced, never run.

TUNORA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TUNORA_CACHE=${TUNORA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tunora}
TUNORA_DATA=${TUNORA_DATA:-${XDG_DATA_HOME:-$HOME/.local/share}/tunora}
CROSS=i686-w64-mingw32

say() { printf '[tunora] %s\n' "$*" >&2; }
die() { printf '[tunora] error: %s\n' "$*" >&2; exit 1; }

# hold_lock FILE: an exclusive lock on FILE, held until the calling shell ends. What is
# made once on first use (the dependency builds, the Wine prefix, the licence texts) is
# made under it, so that runs started side by side wait for one maker instead of
# deleting each other's half-made work.
hold_lock() {
  local fd
  mkdir -p "$(dirname "$1")"
  exec {fd}>>"$1"
  flock "$fd"
}

# The Wine prefix is keyed by Wine's version: a new Wine gets a fresh prefix.
wine_prefix_dir() { echo "$TUNORA_CACHE/wine-$(wine --version 2>/dev/null | tr -c 'A-Za-z0-9.\n' '_')"; }

# thin_prefix BASE DEST: a Wine prefix with a registry and user folders of its own that
# shares BASE's C:\windows (read-only in use, 600 MB), so each run or test gets a
# private prefix for free.
thin_prefix() {
  local base=$1 dest=$2 entry
  mkdir -p "$dest/dosdevices" "$dest/drive_c"
  cp "$base"/system.reg "$base"/user.reg "$base"/userdef.reg "$base"/.update-timestamp "$dest"/
  for entry in "$base"/drive_c/*; do
    if [ "$(basename "$entry")" = windows ]; then ln -sfn "$entry" "$dest/drive_c/windows"
    else cp -a "$entry" "$dest/drive_c/"; fi
  done
  ln -sfn ../drive_c "$dest/dosdevices/c:"
  ln -sfn / "$dest/dosdevices/z:"
}

# The folder of a shared test fixture (the run's station, the unpacked release): inside
# the test run's own folder when `make test` made one (TUNORA_TEST_RUN), so that two runs
# side by side each keep their own; else DEFAULT itself.
run_fixture_dir() {
  if [ -n "${TUNORA_TEST_RUN:-}" ]; then echo "$TUNORA_TEST_RUN/$(basename "$1")"; else echo "$1"; fi
}

# A TCP port on 127.0.0.1 that nothing listens on right now.
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }
