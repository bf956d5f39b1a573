#!/usr/bin/env bash
# Runs a songs test through the real main window while listening to the station as
# another listener, then reads every file it kept as a player would: ffprobe finds the
# tags, FFmpeg decodes the sound without an error, and the file's frames are bytes the
# station sent, unchanged and in order.
# Usage: check-songs.sh songs_tests.exe [gtest arguments]
set -euo pipefail
dir=$(mktemp -d "${TMPDIR:-/tmp}/tunora-songs.XXXXXX")
trap 'kill "${listener:-}" 2>/dev/null || true; rm -rf "$dir"' EXIT
export TUNORA_SONGS_DIR="Z:${dir//\//\\}"
touch "$dir/sent.mp3"
[ -z "${TUNORA_STATION_MP3:-}" ] || { curl -sN "$TUNORA_STATION_MP3" -o "$dir/sent.mp3" & listener=$!; }
"$@"
# The listener writes each piece as it comes (-N) and is given a moment to take in the
# last frames the program kept before it saved them.
[ -z "${listener:-}" ] || { sleep 1; kill "$listener" 2>/dev/null || true; }
python3 - "$dir" <<'PY'
import json, pathlib, subprocess, sys
root = pathlib.Path(sys.argv[1]); sent = (root / "sent.mp3").read_bytes()
songs = sorted(p for p in (root / "Songs").rglob("*") if p.suffix in (".mp3", ".aac", ".ogg", ".opus"))
assert songs, "no song was kept"
def frame_length(h):
    rates = [0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320]
    return 144000 * rates[h[2] >> 4] // [44100, 48000, 32000][(h[2] >> 2) & 3] + ((h[2] >> 1) & 1)
for song in songs:
    info = json.loads(subprocess.run(["ffprobe", "-v", "error", "-of", "json", "-show_format", "-show_streams",
                                      str(song)], check=True, capture_output=True).stdout)
    probe = info["format"]
    # Ogg keeps its comments with the stream, the others with the file.
    tags = {k.lower(): v for part in [probe] + info["streams"] for k, v in part.get("tags", {}).items()}
    name = song.stem.split(" (")[0]
    title = name.split(" - ", 1)[-1]
    assert tags.get("album") == "Tone Station", (song, tags)
    assert tags.get("date", "")[:2] == "20", (song, tags)
    if not name.startswith("Tone Station 20"):
        assert tags.get("title") == title, (song, tags)
        if " - " in name: assert tags.get("artist") == name.split(" - ")[0], (song, tags)
    errors = subprocess.run(["ffmpeg", "-v", "error", "-i", str(song), "-f", "null", "-"], capture_output=True).stderr
    assert not errors, (song, errors)
    print(f"{song.relative_to(root)}: {float(probe['duration']):.1f} s, tags {tags}")
    if song.suffix != ".mp3": continue  # the others are not what the listener beside us heard
    data = song.read_bytes()
    at = 10 + (data[6] << 21 | data[7] << 14 | data[8] << 7 | data[9]) if data[:3] == b"ID3" else 0
    if b"Xing" in data[at:at + 64] or b"Info" in data[at:at + 64]:
        at += frame_length(data[at:at + 4])
    assert len(data) - at > 100000 and data[at:] in sent, (song, "its frames are not what the station sent")
expected = root / "Songs" / "expected-length.txt"
if expected.exists():
    song = root / "Songs" / "Tone Station" / "Artist Three - Third Song.mp3"
    length = float(subprocess.run(["ffprobe", "-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0",
                                   str(song)], check=True, capture_output=True, text=True).stdout)
    # The length heard is read when the window sees each title, which a busy machine may
    # delay by up to a buffer's depth; a song saved from the click would be 20 s short.
    assert abs(length - float(expected.read_text())) <= 2, (length, expected.read_text())
    print(f"the saved song lasts {length:.1f} s, as heard {float(expected.read_text()):.1f} s")
PY
