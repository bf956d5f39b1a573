#!/usr/bin/env bash
# Runs a Windows test program in a machine of its own making: a private Wine prefix
# (own registry, own wineserver) changed as the scenario says, with the sound system the
# scenario asks for. Usage: scenario.sh SCENARIO PROGRAM.exe [ARGS...]
#   no-environment  no media player class key, no sound server: no output device at all
#   output-only     a sound output device and no capture device
#   no-directsound  the session's sound, but no DirectSound library to load
set -euo pipefail
. "$(dirname "$0")/../../scripts/common.sh"

scenario=$1; shift
work=$(mktemp -d "${TMPDIR:-/tmp}/tunora-scenario.XXXXXX")
export WINEPREFIX=$work/wine WINEDEBUG=-all
thin_prefix "$("$TUNORA_ROOT/scripts/wine-prefix.sh")" "$WINEPREFIX"
cleanup() { wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"; }
trap cleanup EXIT

drivers='HKCU\Software\Wine\Drivers'
case $scenario in
  no-environment)
    wine reg delete 'HKLM\Software\Classes\CLSID\{6BF52A52-394A-11D3-B153-00C04F79FAA6}\ProgID' /f >/dev/null 2>&1
    wine reg add "$drivers" /v Audio /d pulse /f >/dev/null 2>&1
    export PULSE_SERVER=unix:$work/no-server
    filter='NoEnvironment.*'
    ;;
  output-only)
    # ALSA's null device for playback only; its own configuration, so that no card or
    # system plug-in of the machine adds a device.
    wine reg add "$drivers" /v Audio /d alsa /f >/dev/null 2>&1
    printf '%s\n' 'pcm.!default { type asym playback.pcm "silent" }' 'pcm.silent { type null }' >"$work/asound.conf"
    export ALSA_CONFIG_PATH=$work/asound.conf PULSE_SERVER=unix:$work/no-server
    filter='OutputOnly.*'
    ;;
  no-directsound)
    export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}dsound=d"
    filter='NoDirectSound.*'
    ;;
  *) die "unknown scenario $scenario" ;;
esac
program=$1; shift
wine "$program" "$@" --gtest_filter="$filter"
