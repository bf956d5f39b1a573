#!/usr/bin/env bash
# Starts the program under Wine as a user meets it. On a desktop it opens on $DISPLAY;
# without one it runs on a private virtual display, saves a screenshot once the main
# window shows and keeps running until interrupted (Ctrl+C). Without a running sound
# server it starts a private PulseAudio for the program. The program's files (settings,
# station groups, skins, recordings) live in a per-user data directory, never in the
# source tree. A local demo station (a 440 Hz tone on 127.0.0.1:$DEMO_PORT) runs beside
# the program, and a new data directory gets a station group whose first preset is it.
set -euo pipefail
. "$(dirname "$0")/common.sh"

exe=${TUNORA_EXE:-$TUNORA_ROOT/build/win32/src/tunora.exe}  # the tests name the one they built
[ -f "$exe" ] || die "$exe is missing: build it with 'make run' or 'make build'"

files=$TUNORA_DATA/files
mkdir -p "$files"
DEMO_PORT=${TUNORA_DEMO_PORT:-8317}
demo="http://127.0.0.1:$DEMO_PORT/tone.mp3"

# A newcomer hears something at once: the demo station, then a few public stations for
# machines that reach the internet. Only a directory without any settings is seeded.
group="$files/Ovexia Radio Network1.dat"
if [ ! -e "$files/Defaults.ini" ] && [ ! -e "$group" ]; then
  printf '%s\r\n' \
    "Tunora Demo Tone (local)" "$demo" \
    "SomaFM Groove Salad" "http://ice1.somafm.com/groovesalad-128-mp3" \
    "Radio Paradise" "http://stream.radioparadise.com/mp3-128" \
    "BBC World Service" "http://stream.live.vc.bbcmedia.co.uk/bbc_world_service" \
    none none none none none none >"$group"
  say "seeded $group"
fi

station=$TUNORA_DATA/station
if STATION_PORT=$DEMO_PORT "$TUNORA_ROOT/scripts/station.sh" start "$station" >/dev/null; then
  trap '"$TUNORA_ROOT/scripts/station.sh" stop "$station"' EXIT
  say "the demo station plays on $demo"
else
  say "warning: the demo station did not start (port $DEMO_PORT busy?); see $station"
fi
export WINEPREFIX=$TUNORA_DATA/wine KEEP_PREFIX=
[ -f "$WINEPREFIX/system.reg" ] || thin_prefix "$("$TUNORA_ROOT/scripts/wine-prefix.sh")" "$WINEPREFIX"
# Web pages (the about box's links, the logo) open through the .htm file type, whose open
# command is Wine's own browser handler. Wine registers the type with its HTML engine,
# which the project's prefix leaves out. The wineserver this starts must be gone before
# the program runs: its desktop process would have no display, and the program's windows
# would fail.
if ! grep -q '^\[Software\\\\Classes\\\\\.htm\]' "$WINEPREFIX/system.reg"; then
  wine reg add 'HKCR\.htm' /ve /d htmlfile /f >/dev/null 2>&1 || true
  wineserver -w
fi

headless=1
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  headless=0
  export KEEP_DISPLAY=1
fi
pactl info >/dev/null 2>&1 && export KEEP_PULSE=1

say "the program's files: $files"
if [ $headless = 0 ]; then
  if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
    # Let the desktop's window manager manage the program's windows.
    wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 || true
  else
    # A display without a window manager: Wine would wait two seconds for one each
    # time a window is hidden or destroyed (Exit would take six seconds instead of 2.5).
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  fi
  "$TUNORA_ROOT/scripts/session.sh" bash -c 'cd "$1" && wine "$2"' run "$files" "$exe"
  exit
fi

shot=$TUNORA_DATA/screenshot.png
"$TUNORA_ROOT/scripts/session.sh" bash -c '
  files=$1 exe=$2 shot=$3
  # No window manager on the virtual display: unmanaged windows need none.
  wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
  xsetroot -solid "#2b3440" 2>/dev/null || true
  cd "$files"
  wine "$exe" &
  program=$!
  for _ in $(seq 300); do
    xdotool search --onlyvisible --name "^Ovexia Tunora\$" >/dev/null 2>&1 && break
    if ! kill -0 $program 2>/dev/null; then
      wait $program
      echo "[tunora] the program ended (status $?) before its window showed" >&2
      exit 1
    fi
    sleep 0.1
  done
  sleep 1
  import -window root "$shot" && echo "[tunora] running on the virtual display $DISPLAY; screenshot: $shot" >&2
  echo "[tunora] press Ctrl+C to stop" >&2
  wait $program
' run "$files" "$exe" "$shot"
