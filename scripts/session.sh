#!/usr/bin/env bash
# Runs a command inside a private session: a virtual display (unless KEEP_DISPLAY=1 and
# $DISPLAY is set), a private PulseAudio with a null sink and a 440 Hz sine source
# (the monitor of a second null sink that a sine plays into: PulseAudio's own sine
# source makes its sound in 2-second blocks, which no 1-second capture buffer survives)
# and a second source of 880 Hz made the same way (a capture device to choose)
# (unless KEEP_PULSE=1 and a server answers), and a private Wine prefix whose wineserver
# stays up for the whole command. Everything it started, and only that, is stopped at
# the end. Exports TUNORA_SESSION (its directory), DISPLAY, PULSE_SERVER, WINEPREFIX.
set -euo pipefail
. "$(dirname "$0")/common.sh"

SESSION=$(mktemp -d "${TMPDIR:-/tmp}/tunora-session.XXXXXX")
export TUNORA_SESSION=$SESSION
pids=()

cleanup() {
  local rc=$?
  [ -n "${WINEPREFIX:-}" ] && [ -z "${KEEP_PREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$SESSION"
  exit $rc
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ "${KEEP_DISPLAY:-}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
  :
else
  exec 3<> "$SESSION/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset >"$SESSION/xvfb.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$SESSION/display" ] && break; sleep 0.05; done
  [ -s "$SESSION/display" ] || die "the virtual display did not start: $(cat "$SESSION/xvfb.log")"
  export DISPLAY=:$(head -n 1 "$SESSION/display")
  exec 3>&-
fi

if [ "${KEEP_PULSE:-}" = 1 ] && pactl info >/dev/null 2>&1; then
  :
else
  export XDG_RUNTIME_DIR=$SESSION/xdg
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  cat >"$SESSION/pulse.pa" <<PA
load-module module-native-protocol-unix socket=$SESSION/pulse.sock auth-anonymous=1
load-module module-null-sink sink_name=tunora_out rate=48000 sink_properties=device.description=TunoraOutput
load-module module-null-sink sink_name=tunora_sine rate=48000 sink_properties=device.description=TunoraSine
load-module module-sine sink=tunora_sine frequency=440
load-module module-null-sink sink_name=tunora_sine880 rate=48000 sink_properties=device.description=TunoraSine880
load-module module-sine sink=tunora_sine880 frequency=880
set-default-sink tunora_out
set-default-source tunora_sine.monitor
PA
  HOME=$SESSION pulseaudio -n -F "$SESSION/pulse.pa" --daemonize=no --exit-idle-time=-1 \
    --disallow-exit --use-pid-file=no >"$SESSION/pulse.log" 2>&1 &
  pids+=($!)
  export PULSE_SERVER=unix:$SESSION/pulse.sock
  for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.05; done
  pactl info >/dev/null 2>&1 || die "PulseAudio did not start: $(cat "$SESSION/pulse.log")"
fi

export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX=$SESSION/wine
  thin_prefix "$("$TUNORA_ROOT/scripts/wine-prefix.sh")" "$WINEPREFIX"
  # Written into the user's registry file before Wine reads it (a `wine reg add` costs
  # half a second each): a program that crashes prints its backtrace and ends, instead
  # of waiting on the debugger's dialog until the test runner's time-out.
  printf '\n[Software\\\\Wine\\\\WineDbg]\n"ShowCrashDialog"=dword:00000000\n' >>"$WINEPREFIX/user.reg"
  if [ -z "${KEEP_DISPLAY:-}" ]; then
    # The virtual display has no window manager: Wine would wait two seconds for one at
    # every hidden window. Unmanaged windows need none.
    printf '\n[Software\\\\Wine\\\\X11 Driver]\n"Managed"="N"\n' >>"$WINEPREFIX/user.reg"
  fi
  wineserver -p   # persistent: every Wine process of the command shares one warm server
fi
wineserver -p 2>/dev/null || true  # a given prefix may have its server running already

"$@"
