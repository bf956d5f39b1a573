#!/usr/bin/env bash
# Makes the README's screenshots from the real program on a private virtual display:
# the main window playing the local demo station, the about box over it, the tray
# icon's menu, and Find Station with the tests' own station directory.
#
#   scripts/readme-shots.sh [OUTDIR]   (default: docs/)
#
# Writes OUTDIR/main-window.png, OUTDIR/about-box.png, OUTDIR/tray.png and
# OUTDIR/find-station.png. The program runs in a fresh
# working directory of its own, with a station group whose first preset is the demo
# station (a 440 Hz tone from the local test station on 127.0.0.1:$TUNORA_SHOTS_PORT,
# default 8318); nothing of the user's own files is read or written.
set -euo pipefail
. "$(dirname "$0")/common.sh"

exe=$TUNORA_ROOT/build/win32/src/tunora.exe
[ -f "$exe" ] || die "$exe is missing: build it first (TUNORA_WINDOWS_ONLY=1 scripts/build.sh)"
for tool in xdotool import convert; do
  command -v $tool >/dev/null 2>&1 || die "$tool is missing (scripts/setup-packages.sh installs it)"
done
out=$(mkdir -p "${1:-$TUNORA_ROOT/docs}" && cd "${1:-$TUNORA_ROOT/docs}" && pwd)

work=$(mktemp -d "${TMPDIR:-/tmp}/tunora-shots.XXXXXX")
station=$work/station
cleanup() {
  [ -z "${directory:-}" ] || kill "$directory" 2>/dev/null || true
  "$TUNORA_ROOT/scripts/station.sh" stop "$station" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

port=${TUNORA_SHOTS_PORT:-8318}
STATION_PORT=$port "$TUNORA_ROOT/scripts/station.sh" start "$station" >/dev/null ||
  die "the demo station did not start on port $port (busy? set TUNORA_SHOTS_PORT); see $station"
mkdir "$work/files"
printf '%s\r\n' \
  "Tunora Demo Tone (local)" "http://127.0.0.1:$port/tone.mp3" \
  "SomaFM Groove Salad" "http://ice1.somafm.com/groovesalad-128-mp3" \
  "Radio Paradise" "http://stream.radioparadise.com/mp3-128" \
  "BBC World Service" "http://stream.live.vc.bbcmedia.co.uk/bbc_world_service" \
  none none none none none none >"$work/files/Ovexia Radio Network1.dat"
# The station directory of the tests, whose stations play the demo station.
python3 "$TUNORA_ROOT/tests/directory/fake-directory.py" 0 "http://127.0.0.1:$port/tone.mp3" \
  "http://127.0.0.1:$port/tone.ogg" "$work/clicks.log" >"$work/directory-port" &
directory=$!
for _ in $(seq 50); do [ -s "$work/directory-port" ] && break; sleep 0.1; done
printf '[Directory]\r\nServers=http://127.0.0.1:%s/api\r\n' "$(head -1 "$work/directory-port")" \
  >"$work/files/directory.ini"

"$TUNORA_ROOT/scripts/session.sh" bash -c '
  set -euo pipefail
  files=$1 exe=$2 out=$3
  say() { printf "[tunora] %s\n" "$*" >&2; }
  die() { say "error: $*"; exit 1; }
  # No window manager on the virtual display: unmanaged windows need none.
  wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
  xsetroot -solid "#2b3440" 2>/dev/null || true

  # The visible window of the program with the given size: "X Y" of its top left.
  window_at() {
    local id
    for id in $(xdotool search --onlyvisible --class tunora.exe 2>/dev/null); do
      # A window may go between the search and this question.
      geometry=$(xdotool getwindowgeometry --shell "$id" 2>/dev/null) || continue
      eval "$geometry"
      if [ "$WIDTH" = "$1" ] && [ "$HEIGHT" = "$2" ]; then echo "$X $Y"; return 0; fi
    done
    return 1
  }
  wait_window() {  # wait_window W H: "X Y" once the window shows
    local i
    for i in $(seq 200); do window_at "$1" "$2" && return 0; sleep 0.1; done
    return 1
  }
  shoot() {  # shoot X Y W H FILE
    import -window root -crop "$3x$4+$1+$2" +repage -strip "$5"
  }

  cd "$files"
  wine "$exe" &
  program=$!
  read -r mx my < <(wait_window 601 352) || die "the main window did not show"
  sleep 1
  # The first preset, then the pointer out of the way so that no button shows its
  # mouse-over look; the station plays once a whole second has come through.
  xdotool mousemove $((mx + 140)) $((my + 75)) click 1
  xdotool mousemove 0 0
  sleep 6
  shoot "$mx" "$my" 601 352 "$out/main-window.png"

  # "About", in the button block.
  xdotool mousemove $((mx + 534)) $((my + 305)) click 1
  xdotool mousemove 0 0
  read -r ax ay < <(wait_window 560 417) || die "the about box did not show"
  sleep 1
  shoot "$ax" "$ay" 560 417 "$out/about-box.png"
  # Keys reach no window here without a window manager to focus it: OK by the mouse.
  xdotool mousemove $((ax + 70)) $((ay + 389)) click 1
  xdotool mousemove 0 0
  sleep 0.5

  # The tray menu: a right click on the icon in the tray window of Wine (no desktop shell
  # here), the icon being the first in its client area.
  tray=$(xdotool search --name "Wine System Tray" | head -n 1) || die "no tray window"
  eval "$(xdotool getwindowgeometry --shell "$tray")"
  xdotool mousemove $((X + 12)) $((Y + HEIGHT - 12)) click 3
  sleep 1
  xdotool mousemove $((X + 2)) $((Y + HEIGHT - 2))
  sleep 0.5
  shoot "$X" "$Y" 330 300 "$out/tray.png"
  xdotool mousemove 5 $((Y + 600)) click 1  # a click beside the menu closes it
  sleep 0.5

  # Find Station: Ctrl+F on the main window, a search, the first result selected. Keys
  # go to the window under the pointer (no window manager gives the focus), once a
  # click on its bare face has made it the active one again after the tray menu.
  xdotool mousemove $((mx + 300)) $((my + 12)) click 1
  sleep 0.5
  xdotool key ctrl+f
  read -r fx fy < <(wait_window 560 440) || die "Find Station did not show"
  xdotool mousemove $((fx + 400)) $((fy + 14))
  sleep 0.5
  xdotool type --delay 50 "tone"
  xdotool key Return
  sleep 2
  shoot "$fx" "$fy" 560 440 "$out/find-station.png"
  xdotool key Escape

  kill $program 2>/dev/null || true
  wait $program 2>/dev/null || true
' shots "$work/files" "$exe" "$out"
say "wrote $out/main-window.png, $out/about-box.png, $out/tray.png and $out/find-station.png"
