#!/usr/bin/env bash
# Makes the seed corpus of every fuzz target into fuzz/corpus (committed; run again only
# to renew it). Needs python3, ImageMagick and the ffmpeg command line.
set -euo pipefail
cd "$(dirname "$0")"
C=corpus
rm -rf "$C" && mkdir -p "$C"/{settings,stations,skin_file,region,playlist,frame_sync,wave,jpeg,bitmap,trusted_hosts,leftover,title,stream_headers,directory_answer,schedule,keys}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

python3 - "$C" <<'PY'
import struct, sys, os
C = sys.argv[1]
def put(target, name, data):
    if isinstance(data, str): data = data.encode('latin-1')
    open(os.path.join(C, target, name), 'wb').write(data)
crlf = lambda lines: ''.join(l + '\r\n' for l in lines)

history = []
for k in range(11):
    history += ['Station %d' % k, 'http://radio%d.example/stream' % k] if k < 3 else ['none', 'Empty']
settings = ['C:\\Rec\\webfile.wav', '3', '0'] + history + ['Ovexia Radio Network', '120', '-40']
put('settings', 'defaults.ini', crlf(settings))
put('settings', 'bad-integer.ini', crlf(settings[:1] + ['3x'] + settings[2:]))
put('settings', 'short-lf.ini', '\n'.join(['', ' +7 ', '-2147483648', 'Name', 'http://a.example/']))
put('settings', 'bad-name.ini', crlf(['C:\\x\\a|b.wav', '1', '2']))

group = []
for k in range(7):
    group += ['Preset %d' % k, 'http://host.example:8000/mount%d' % k]
put('stations', 'group.dat', crlf(group))
put('stations', 'bands.ini', crlf(['Alternative', 'Blues-Jazz', 'Top 40', '', 'Mixed\rends\nhere']))
put('stations', 'nul.dat', 'one\r\ntwo\x00three\r\n')

print_a, print_b = 'A0' * 32, '9f' * 32
put('title', 'icy-references', "StreamTitle='&#1050;&#1080;&#1085;&#1086; - &#x3BA;&#X6771; &#0;&#55357;&#12';StreamUrl='';\0\0")
put('title', 'utf8-and-1252', b"Caf\xc3\xa9 \xf0\x9f\x8e\xb5 &#128512;\r\n\x1b[1m")
put('title', 'cp1252', b"\x93quoted\x94 caf\xe9 &#x41a; &amp; &#9999999999;")

answer = ('[{"stationuuid":"96062a7b-0601-11e8-ae97-52543be04c81","name":"Tone One","url":"http://127.0.0.1/x.pls",'
          '"url_resolved":"http://127.0.0.1:8000/tone.mp3","countrycode":"DE","tags":"test,tone","codec":"MP3",'
          '"bitrate":128,"hls":0,"lastcheckok":1,"votes":12,"clickcount":3},'
          '{"stationuuid":"aa","name":"Broken","url":"http://b/","lastcheckok":0,"votes":"7"},'
          '{"name":null,"url":5,"votes":-1,"bitrate":1e400},{"url":"HTTP://127.0.0.1:8000"},7,[[[]]]]')
put('directory_answer', 'stations.json', '\0' + answer)
put('directory_answer', 'broken-too.json', '\1' + answer)
put('directory_answer', 'web-page', '\0<html><body>502 Bad Gateway</body></html>')

import struct
def packets(*ps):
    return b''.join(struct.pack('<H', len(x)) + x for x in ps)
ident = b'\x01vorbis' + struct.pack('<IBIiii', 0, 2, 44100, 0, 128000, 0) + b'\xb8\x01'
mp3 = b'\xff\xfb\x90\x64' + b'\x00' * 32 + b'\x55' * 381
put('stream_headers', 'vorbis-chain', packets(b'\x9e' * 12, ident, b'\x03vorbis' + b'\x05\x00\x00\x00Lavf', b'\x05vorbis' + b'\x2a' * 64, b'\x9e' * 12))
put('stream_headers', 'mp3-frames', packets(mp3, b'\xff\xfb\x90\x64\xff\x80' + b'\x00' * 30 + b'\x55' * 381))

put('trusted_hosts', 'trusted.ini', crlf(['radio.example ' + print_a, '127.0.0.1 ' + print_b, '[::1]\t' + print_a]))
# Four bytes of the moment, two of the zone, then the file.
clock = struct.pack('<IH', 1765000000, 60)
put('schedule', 'schedule.ini', clock + crlf(['[Schedules]', 'Checked=1765000000', '', '[Schedule1]', 'Name=Jazz FM',
    'Url=http://radio.example/jazz.mp3', 'Days=Mon,Wed,Fri', 'Start=08:05', 'Minutes=30', '[Schedule2]', 'Name=Once',
    'Url=http://radio.example/a', 'Days=Once', 'Date=2026-12-31', 'Start=23:59', 'Minutes=1440']).encode())
put('schedule', 'damaged.ini', clock + '\n'.join(['x', '[Schedule1]', 'Days=Someday', '[S2]', 'Url=u', 'Start=7:5',
    '[S3]', 'Name=n', 'Url=u', 'Start=24:00', 'Minutes=0', '[S4]', 'Name=n', 'Url=u', 'Start=00:00', 'Date=2027-02-29']).encode())
put('keys', 'off.ini', '120\n' + crlf(['[Keys]', 'GlobalMediaKeys=0']))
put('keys', 'mixed.ini', ' 45 \n' + crlf(['; comment', 'globalmediakeys = On', 'GlobalMediaKeys=maybe', '=', 'GlobalMediaKeys']))
put('trusted_hosts', 'hosts-only.ini', crlf(['radio.example', 'Radio.Example ' + print_a, 'bad host ' + print_b]))

colours = ['clAqua', 'clTeal', 'OVEXIA TUNORA ONLINE!', 'clAqua', 'clTeal', 'clBlack', 'clSilver', 'clWhite', '$00000080']
places = [327, 16, 469, 9, 290, 60, 290, 136, 290, 215, 480, 204, 288, 285, 350, 285, 412, 285,
          48, 66, 48, 108, 48, 150, 48, 192, 48, 235, 48, 277, 48, 319]
skin = ['default'] + colours + [str(p) for p in places]
put('skin_file', 'current.skn', struct.pack('<I', 0x00FF8000) + crlf(skin).encode())
put('skin_file', 'numbers.skn', struct.pack('<I', 0x80000005) + crlf(['C:\\skins\\face.bmp', '-16777211', '$FF0000', 'Text'] + ['clnavy'] * 6 + ['99999', '-99999'] * 16).encode())
put('skin_file', 'damaged.skn', struct.pack('<I', 0) + crlf(['default', 'clNoSuchColour']).encode())

# The outline: byte 1 (scan) then width, two palette colours, the mask, pixel bytes.
put('region', 'scan', bytes([1, 9]) + struct.pack('<II', 0xFF00FF, 0x00FF00) + bytes([1]) + struct.pack('<I', 0xFF00FF) + bytes(range(0, 256, 3)) * 2)
put('region', 'scan-system-colour', bytes([1, 5]) + struct.pack('<II', 0, 0xFFFFFF) + bytes([0, 5]) + bytes([0x55, 0xAA, 0x0F] * 20))
rects = [(0, 0, 4, 1), (1, 1, 6, 3), (2, 5, 3, 9)]
body = b''.join(struct.pack('<iiii', *r) for r in rects)
data = struct.pack('<IIII', 32, 1, len(rects), 16 * len(rects)) + struct.pack('<iiii', 0, 0, 6, 9) + body
put('region', 'region-data', bytes([0]) + struct.pack('<I', len(data)) + data)
put('region', 'region-data-bad', bytes([0]) + struct.pack('<I', 1000) + data[:40])

put('playlist', 'listen.pls', 'http://radio.example/listen.pls\naudio/x-scpls\n[playlist]\r\nNumberOfEntries=3\r\nFile2=http://b.example:8000/\r\nFile1=http://a.example/stream\r\nTitle1=A\r\nfile10 = relative/path.mp3\r\nVersion=2\r\n')
put('playlist', 'list.m3u', 'http://radio.example/dir/list.m3u?x=1\naudio/x-mpegurl\n#EXTM3U\n#EXTINF:-1,Radio\nhttp://a.example/a.mp3\n../up.aac\n./here.ogg\n/root.opus\n//other.example/x\nC:\\music\\local.mp3\n\\\\server\\share\\x.mp3\n')
put('playlist', 'plain.m3u', 'https://radio.example/plain.m3u\n\nhttps://[::1]:8443/stream\r\nftp://x.example/y\r\n')
put('playlist', 'hls.m3u8', 'http://radio.example/live.m3u8\napplication/vnd.apple.mpegurl\n#EXTM3U\n#EXT-X-VERSION:3\nseg0.ts\n')
put('playlist', 'stream.asx', 'http://radio.example/s.asx\nvideo/x-ms-asf\n<ASX version="3.0"><Entry><REF HREF = "mms://a.example/x?a=1&amp;b=2"/><ref href=\'http://b.example/&lt;y&gt;\'></Entry></ASX>')
put('playlist', 'audio.mp3', 'http://radio.example/tone.mp3\naudio/mpeg\n\xff\xfb\x90\x64' + '\x00' * 60)

# A WAVE file as the recorder writes it, one with other chunks and an odd size, and one
# whose data chunk claims more than the file holds.
def wave(fmt, chunks):
    body = b'WAVE' + b'fmt ' + struct.pack('<I', len(fmt)) + fmt + b''.join(chunks)
    return b'RIFF' + struct.pack('<I', len(body)) + body
pcm = struct.pack('<HHIIHHH', 1, 2, 44100, 176400, 4, 16, 0)
samples = bytes((i * 37) & 0xFF for i in range(400))
put('wave', 'recorded.wav', wave(pcm, [b'data' + struct.pack('<I', len(samples)) + samples]))
put('wave', 'chunks.wav', wave(pcm[:16], [b'LIST' + struct.pack('<I', 5) + b'INFOx', b'data' + struct.pack('<I', 9) + samples[:9], b'fact' + struct.pack('<I', 4) + b'\x01\x00\x00\x00']))
put('wave', 'cut-short.wav', wave(pcm, [b'data' + struct.pack('<I', 0xFFFFFFF0) + samples[:100]]))
put('wave', 'not-wave', b'RIFX\x00\x00\x00\x00AVI ')
PY

# Stream pieces joined mid-frame: a byte for the format (odd: ADTS) and one for the
# size of the pieces, then the stream from some byte on.
media=../build/win32/tests/media
[ -f "$media/tone.aac" ] || { ffmpeg -loglevel error -f lavfi -i sine=f=550:d=2 -c:a aac -f adts "$tmp/tone.aac"; media=$tmp; }
[ -f "$media/tone.mp3" ] || ffmpeg -loglevel error -f lavfi -i sine=f=440:d=2 -c:a libmp3lame "$media/tone.mp3"
{ printf '\x01\x00'; head -c 3000 "$media/tone.aac"; } > "$C/frame_sync/adts-start"
{ printf '\x01\x01'; dd if="$media/tone.aac" iflag=skip_bytes,count_bytes skip=776 count=3000 status=none; } > "$C/frame_sync/adts-joined"
{ printf '\x00\x00'; head -c 4000 "$media/tone.mp3"; } > "$C/frame_sync/mp3-id3-start"
{ printf '\x00\x01'; dd if="$media/tone.mp3" iflag=skip_bytes,count_bytes skip=5000 count=3000 status=none; } > "$C/frame_sync/mp3-joined"
# Files a run left in the songs folder: a name, a newline, then the file's first bytes.
{ printf 'Artist - Tune.mp3.~1234-5.part\n'; head -c 4000 "$media/tone.mp3"; } > "$C/leftover/mp3-part"
{ printf '~song77-1.frames\n'; head -c 3000 "$media/tone.aac"; } > "$C/leftover/adts-spool"
ffmpeg -loglevel error -f lavfi -i sine=f=440:d=1 -c:a libopus -f ogg "$tmp/tone.opus"
{ printf 'Song.opus.~9-9.part\n'; head -c 3000 "$tmp/tone.opus"; } > "$C/leftover/opus-part"

# Pictures: JPEG (baseline, progressive, grey) and every kind of bitmap.
convert -size 24x16 gradient:red-blue -quality 60 "$C/jpeg/baseline.jpg"
convert -size 17x9 plasma:fractal -seed 1 -interlace JPEG -quality 50 "$C/jpeg/progressive.jpg" 2>/dev/null \
  || convert -size 17x9 gradient:green-yellow -interlace JPEG "$C/jpeg/progressive.jpg"
convert -size 8x8 gradient: -colorspace Gray "$C/jpeg/grey.jpg"
convert -size 12x7 gradient:red-blue "$tmp/face.png"
convert "$tmp/face.png" -type TrueColor "BMP3:$C/bitmap/24bit.bmp"
convert "$tmp/face.png" -colors 200 -type Palette "BMP3:$C/bitmap/8bit.bmp"
convert "$tmp/face.png" -colors 12 -type Palette -compress RLE "BMP3:$C/bitmap/rle8.bmp"
convert "$tmp/face.png" -monochrome "BMP3:$C/bitmap/1bit.bmp"
convert "$tmp/face.png" -colors 16 -depth 4 -type Palette "BMP3:$C/bitmap/4bit.bmp"
convert "$tmp/face.png" -type Palette "BMP2:$C/bitmap/core.bmp"
convert "$tmp/face.png" -alpha on "BMP:$C/bitmap/32bit-fields.bmp"
convert "$tmp/face.png" -define bmp:subtype=RGB565 "BMP:$C/bitmap/16bit-565.bmp"
python3 - "$C" <<'PY'
import struct, sys
# RLE4 by hand (ImageMagick does not write it): 8 x 4 pixels, runs, a literal, a delta.
rle = bytes([8, 0x12, 0, 0,  0, 4, 0x34, 0x56, 0, 0,  0, 2, 3, 1, 2, 0x78, 0, 0,  0, 1])
palette = b''.join(struct.pack('<BBBB', i * 16, 255 - i * 16, i * 8, 0) for i in range(16))
info = struct.pack('<IiiHHIIiiII', 40, 8, 4, 1, 4, 2, len(rle), 2835, 2835, 16, 0)
off = 14 + 40 + len(palette)
open(sys.argv[1] + '/bitmap/rle4.bmp', 'wb').write(b'BM' + struct.pack('<IHHI', off + len(rle), 0, 0, off) + info + palette + rle)
PY
ls -R "$C" | head -80
du -sh "$C"
