#!/usr/bin/env bash
# Makes the sound samples of the reader tests into DIR: three-second stereo sine tones in
# the formats a station sends. tone.mp3 has neither ID3 tag nor Xing frame; live.mp3
# (six seconds at 48 kHz) is what ffmpeg's MP3 encoder sends down a pipe to a server, an
# ID3v2 tag and then frames; tagged.mp3 (six seconds) is what it writes into a file, an
# ID3v2 tag and a Xing/Info frame before the sound. The HLS list names five MPEG-TS
# segments of AAC. tone.mp2 is MPEG audio layer II, which is not played. switch.mp3 is a
# station that changes its frames twice: three seconds each of 440 Hz in stereo at
# 44.1 kHz, 660 Hz in mono, and 880 Hz in stereo at 48 kHz. sweep.mp3 is four seconds of
# a rising tone over noise, which never repeats itself, and sweep.raw what ffmpeg's own
# decoder makes of it (16-bit stereo at 44.1 kHz): what a recording of it must hold;
# sweep-mono.mp3 and sweep24.flac (24 bits) likewise, with their raw decodings.
#
#   make-media.sh DIR
set -euo pipefail
dir=$1
mkdir -p "$dir"
tone() {  # tone HZ OUTPUT OPTIONS...
  local hz=$1 out=$2
  shift 2
  ffmpeg -nostdin -loglevel error -y -f lavfi -i "sine=frequency=$hz:sample_rate=44100:duration=3" -ac 2 "$@" "$dir/$out"
}
tone 440 tone.mp3 -c:a libmp3lame -b:a 128k -write_xing 0 -id3v2_version 0 -f mp3
tone 550 tone.aac -c:a aac -b:a 96k -f adts
tone 880 tone.flac -c:a flac -f flac
tone 990 tone.wma -c:a wmav2 -b:a 96k -f asf
tone 660 tone.m3u8 -c:a aac -b:a 96k -f hls -hls_time 1 -hls_list_size 0 -hls_segment_filename "$dir/seg%d.ts"
ffmpeg -nostdin -loglevel error -f lavfi -i "sine=frequency=1000:sample_rate=48000:duration=6" -ac 2 \
  -c:a libmp3lame -b:a 128k -f mp3 pipe:1 >"$dir/live.mp3"
ffmpeg -nostdin -loglevel error -y -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=6" -ac 2 \
  -c:a libmp3lame -b:a 128k -f mp3 "$dir/tagged.mp3"
tone 440 tone.mp2 -c:a mp2 -b:a 128k -f mp2
part() {  # part HZ RATE CHANNELS: three seconds of bare MP3 frames on stdout
  ffmpeg -nostdin -loglevel error -f lavfi -i "sine=frequency=$1:sample_rate=$2:duration=3" -ac "$3" \
    -c:a libmp3lame -b:a 128k -write_xing 0 -id3v2_version 0 -f mp3 pipe:1
}
{ part 440 44100 2; part 660 44100 1; part 880 48000 2; } >"$dir/switch.mp3"
sweep() {  # sweep CHANNELS OUTPUT OPTIONS...
  local channels=$1 out=$2
  shift 2
  ffmpeg -nostdin -loglevel error -y -f lavfi \
    -i "aevalsrc=0.3*sin(2*PI*(200+300*t)*t)|0.3*sin(2*PI*(300+200*t)*t):s=44100:d=4" \
    -f lavfi -i "anoisesrc=c=pink:r=44100:a=0.05:d=4:seed=7" -filter_complex "[0][1]amix=inputs=2:normalize=0" \
    -ac "$channels" "$@" "$dir/$out"
}
sweep 2 sweep.mp3 -c:a libmp3lame -b:a 192k -f mp3
ffmpeg -nostdin -loglevel error -y -i "$dir/sweep.mp3" -f s16le -ac 2 -ar 44100 "$dir/sweep.raw"
# The same in mono as MP3, and in stereo as 24-bit FLAC, each with its decoding in its
# own format: 16-bit mono, and 24-bit stereo.
sweep 1 sweep-mono.mp3 -c:a libmp3lame -b:a 96k -f mp3
ffmpeg -nostdin -loglevel error -y -i "$dir/sweep-mono.mp3" -f s16le -ac 1 -ar 44100 "$dir/sweep-mono.raw"
sweep 2 sweep24.flac -c:a flac -sample_fmt s32 -f flac
ffmpeg -nostdin -loglevel error -y -i "$dir/sweep24.flac" -f s24le -ac 2 -ar 44100 "$dir/sweep24.raw"
# chained.ogg is an Ogg station that begins a new chain for each song, each chain with
# headers of its own: 35 s of Vorbis at 44.1 kHz stereo (quality 2), at 22.05 kHz mono
# (quality 6) and at 48 kHz stereo (quality 0), each titled in its comments.
chain() {  # chain N HZ RATE CHANNELS QUALITY
  ffmpeg -nostdin -loglevel error -y -f lavfi -i "sine=frequency=$2:sample_rate=$3:duration=35" -ac "$4" \
    -c:a libvorbis -q:a "$5" -serial_offset "$1" -metadata artist="Artist $1" -metadata title="Chain $1" \
    -f ogg "$dir/chain$1.ogg"
}
chain 1 440 44100 2 2
chain 2 660 22050 1 6
chain 3 880 48000 2 0
cat "$dir/chain1.ogg" "$dir/chain2.ogg" "$dir/chain3.ogg" >"$dir/chained.ogg"
rm -f "$dir"/chain[123].ogg
