#!/usr/bin/env bash
# Self-test of the local test station (scripts/station.sh): starts one in a private
# directory, checks every mount's codec, sample rate and tone, the ICY server's status
# line and MP3 data, the HTTPS front's MP3 data, the fault server's answers, that only
# 127.0.0.1 is listened on, and that `stop` leaves none of the station's processes
# behind. Ends with "N passed, M failed"; non-zero on a failure.
set -euo pipefail
. "$(dirname "$0")/common.sh"

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tunora-station-check.XXXXXX")
STATION=$WORK/station
passed=0 failed=0
trap '"$TUNORA_ROOT/scripts/station.sh" stop "$STATION" 2>/dev/null || true; rm -rf "$WORK"' EXIT

ok() { passed=$((passed + 1)); say "ok   $*"; }
bad() { failed=$((failed + 1)); say "FAIL $*"; }
finish() { echo "$passed passed, $failed failed"; exit $((failed > 0)); }

# tone_hz FILE: the frequency of the tone in FILE (raw s16le mono at 48 kHz), from the
# rising zero crossings, interpolated between samples; the first 0.2 s (encoder
# start-up) is left out.
tone_hz() {
  python3 - "$1" <<'PY'
import array, sys
pcm = array.array("h", open(sys.argv[1], "rb").read())[9600:]
ups = [i + a / (a - b) for i, (a, b) in enumerate(zip(pcm, pcm[1:])) if a < 0 <= b]
print(f"{(len(ups) - 1) * 48000 / (ups[-1] - ups[0]):.1f}" if len(ups) > 2 else 0)
PY
}

# near VALUE EXPECTED: within 1 %.
near() { awk -v v="$1" -v e="$2" 'BEGIN { d = v - e; exit !(d * d <= e * e / 10000) }'; }

started=$SECONDS
if env=$("$TUNORA_ROOT/scripts/station.sh" start "$STATION"); then
  ok "the station started in $((SECONDS - started)) s"
else
  bad "the station did not start"; finish
fi
eval "$env"
tones=$(printf '%s\n' "$TUNORA_STATION_MP3_HZ" "$TUNORA_STATION_AAC_HZ" "$TUNORA_STATION_OGG_HZ" "$TUNORA_STATION_OPUS_HZ" \
  "$TUNORA_STATION_MONO_HZ" | sort -u | wc -l)
if [ "$tones" = 5 ]; then ok "five mounts, five tones"; else bad "the mounts share tones ($tones different)"; fi

# Every mount (and the ICY relay) at once: ffprobe's view of the stream, and 2 s of it
# decoded to PCM.
declare -A EXPECT=([MP3]="mp3,44100,2" [AAC]="aac,44100,2" [OGG]="vorbis,44100,2" [OPUS]="opus,48000,2" [MONO]="mp3,44100,1")
decode() { ffmpeg -nostdin -v error "${@:2}" -t 2 -ac 1 -ar 48000 -f s16le -y "$WORK/$1.raw" 2>"$WORK/$1.log"; }
waits=()
for m in MP3 AAC OGG OPUS MONO; do
  url=TUNORA_STATION_$m
  # Its complaints about the frame it joined in the middle of (ADTS) are no answer.
  ffprobe -v error -show_entries stream=codec_name,sample_rate,channels -of csv=p=0 \
    "${!url}" >"$WORK/$m.probe" 2>"$WORK/$m.probe.log" & waits+=($!)
  decode "$m" -i "${!url}" & waits+=($!)
done
# The HTTPS front: the MP3 mount through TLS (ffmpeg does not check the certificate).
decode https -i "$TUNORA_STATION_HTTPS" & waits+=($!)
# The ICY server: its reply's head, then the MP3 it carries, decoded like the mounts.
python3 - "$TUNORA_STATION_ICY" "$WORK/icy" <<'PY' & waits+=($!)
import socket, sys, urllib.parse
u = urllib.parse.urlsplit(sys.argv[1])
with socket.create_connection((u.hostname, u.port), timeout=5) as s:
    s.sendall(b"GET / HTTP/1.0\r\nIcy-MetaData: 0\r\n\r\n")
    data = b""
    while len(data) < 48000:  # 3 s of 128 kb/s
        chunk = s.recv(65536)
        if not chunk: break
        data += chunk
head, _, body = data.partition(b"\r\n\r\n")
open(sys.argv[2] + ".head", "wb").write(head)
open(sys.argv[2] + ".mp3", "wb").write(body)
PY
for job in "${waits[@]}"; do wait "$job" || true; done

for m in MP3 AAC OGG OPUS MONO; do
  hz=TUNORA_STATION_${m}_HZ
  # A stream joined in the middle of a frame may make the decoder complain once; only
  # what ffprobe reports of the stream counts, and its complaints show when that is wrong.
  probe=$(tr -d '\n' <"$WORK/$m.probe")
  if [ "$probe" = "${EXPECT[$m]}" ]; then
    ok "$m mount: $probe"
  else
    bad "$m mount: '$probe', wanted ${EXPECT[$m]} ($(tail -n 3 "$WORK/$m.probe.log"))"
  fi
  got=$(tone_hz "$WORK/$m.raw" 2>/dev/null || echo 0)
  if near "$got" "${!hz}"; then ok "$m mount: $got Hz"; else bad "$m mount: $got Hz, wanted ${!hz} Hz ($(tail -n 3 "$WORK/$m.log"))"; fi
done

status=$(head -n 1 "$WORK/icy.head" 2>/dev/null | tr -d '\r')
if [ "$status" = "ICY 200 OK" ] && grep -qi '^content-type: audio/mpeg' "$WORK/icy.head"; then
  ok "ICY server: $status"
else
  bad "ICY server's reply began '$status'"
fi
decode icy -f mp3 -i "$WORK/icy.mp3" || true
got=$(tone_hz "$WORK/icy.raw" 2>/dev/null || echo 0)
if near "$got" "$TUNORA_STATION_MP3_HZ"; then ok "ICY server relays the MP3 tone: $got Hz"; else bad "ICY server's data: $got Hz"; fi
got=$(tone_hz "$WORK/https.raw" 2>/dev/null || echo 0)
if near "$got" "$TUNORA_STATION_MP3_HZ"; then ok "HTTPS front relays the MP3 tone: $got Hz"; else bad "HTTPS front's data: $got Hz ($(tail -n 3 "$WORK/https.log"))"; fi

# Listening sockets on the station's ports: all on 127.0.0.1 (0100007F in /proc/net).
icy_port=${TUNORA_STATION_ICY##*:}; icy_port=${icy_port%/}
tls_port=${TUNORA_STATION_HTTPS##*:}; tls_port=${tls_port%%/*}
fault_port=${TUNORA_STATION_FAULTS##*:}
binds=$(python3 - "$TUNORA_STATION_PORT" "$icy_port" "$tls_port" "$fault_port" <<'PY'
import sys
ports = {int(p) for p in sys.argv[1:]}
for table in ("/proc/net/tcp", "/proc/net/tcp6"):
    for line in open(table).readlines()[1:]:
        local, state = line.split()[1], line.split()[3]
        addr, port = local.split(":")
        if state == "0A" and int(port, 16) in ports:
            print(addr)
PY
)
if [ "$(sort -u <<<"$binds")" = 0100007F ] && [ "$(wc -l <<<"$binds")" = 4 ]; then
  ok "Icecast, the ICY server, the HTTPS front and the fault server listen on 127.0.0.1 only"
else
  bad "listening addresses: $(echo $binds)"
fi

# The fault server: a fault answers as it should, and its refusing port refuses.
faults=$(python3 - "$TUNORA_STATION_FAULTS" "$TUNORA_STATION_REFUSED" <<'PY'
import socket, sys, urllib.error, urllib.request
out = []
try:
    urllib.request.urlopen(sys.argv[1] + "/404", timeout=5)
except urllib.error.HTTPError as e:
    out.append(str(e.code))
with urllib.request.urlopen(sys.argv[1] + "/html", timeout=5) as page:
    out.append(page.headers.get_content_type())
port = int(sys.argv[2].split(":")[2].split("/")[0])
try:
    socket.create_connection(("127.0.0.1", port), timeout=5).close()
    out.append("accepted")
except ConnectionRefusedError:
    out.append("refused")
print(" ".join(out))
PY
) || true
if [ "$faults" = "404 text/html refused" ]; then ok "fault server: $faults"; else bad "fault server: '$faults'"; fi

cp "$TUNORA_STATION_PIDS" "$WORK/pids"
"$TUNORA_ROOT/scripts/station.sh" stop "$STATION"
left=()
while read -r pid st name; do
  # A process may vanish between the two reads: gone is gone.
  s=$(cat "/proc/$pid/stat" 2>/dev/null) || continue
  s=${s##*) }; set -- $s
  [ "$1" != Z ] && [ "${20}" = "$st" ] && left+=("$name ($pid)")
done <"$WORK/pids"
count=$(wc -l <"$WORK/pids")
if [ ${#left[@]} = 0 ] && [ "$count" = 11 ]; then ok "stop ended all $count processes"; else bad "left running after stop: ${left[*]:-} ($count recorded)"; fi
if "$TUNORA_ROOT/scripts/station.sh" stop "$STATION"; then ok "a second stop is harmless"; else bad "a second stop failed"; fi
finish
