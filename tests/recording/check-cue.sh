#!/usr/bin/env bash
# Records a station whose titles change into a cue sheet through the real main window,
# then reads the sheet with cuetools, as a cue player would: three tracks, their titles and
# performer (the third's in Cyrillic, '?' in the sheet's ANSI lines), and the second
# starting within the recording.
# Usage: check-cue.sh recorder_tests.exe
set -euo pipefail
dir=$(mktemp -d "${TMPDIR:-/tmp}/tunora-cue.XXXXXX")
trap 'rm -rf "$dir"' EXIT
export TUNORA_CUE_DIR="Z:${dir//\//\\}"
wine "$1" --gtest_filter=DirectRecording.TitlesHeardMakeACueSheet
[ -s "$dir/direct.cue" ] || { echo "no cue sheet was kept" >&2; exit 1; }
tracks=$(cueprint -t '%n|%p|%t\n' "$dir/direct.cue")
expected=$'1|First Artist|First Song\n2||Second Song\n3|????|??????'
[ "$tracks" = "$expected" ] || { printf 'cueprint read:\n%s\nexpected:\n%s\n' "$tracks" "$expected" >&2; exit 1; }
breaks=$(cuebreakpoints "$dir/direct.cue")
breaks=${breaks%%$'\n'*}  # the second track's
seconds=$(( $(stat -c %s "$dir/direct.wav") / 176400 ))
minute=${breaks%%:*} rest=${breaks#*:}
at=$(( minute * 60 + 10#${rest%%.*} ))
[ "$at" -ge 1 ] && [ "$at" -lt "$seconds" ] || { echo "break at $breaks, recording of $seconds s" >&2; exit 1; }
echo "cue sheet read: $breaks within $seconds s"
