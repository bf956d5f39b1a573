#!/usr/bin/env bash
# Draws the program's pictures from nothing but ImageMagick primitives and a system font:
#   OUTDIR/splash.jpg  488x232 baseline 24-bit JPEG shown while the program starts
#   OUTDIR/tunora.ico  16x16, 32x32 and 48x48 application icon
#   OUTDIR/logo.bmp    102x12 24-bit BMP, the logo of the main window's button block
#   OUTDIR/about-title.jpg  256x52 baseline JPEG, the maker's name at the top of the about box
#   OUTDIR/about-logo.jpg   256x90 baseline JPEG, the receiver's emblem under it
# The output is byte-for-byte reproducible for a given ImageMagick and font: no metadata,
# no timestamps, no random input.
#
# Usage: res/make-pictures.sh OUTDIR
set -euo pipefail

die() { printf 'make-pictures: error: %s\n' "$*" >&2; exit 1; }
warn() { printf 'make-pictures: warning: %s\n' "$*" >&2; }

[ $# -eq 1 ] || die "usage: $0 OUTDIR"
command -v convert >/dev/null 2>&1 ||
  die "ImageMagick's 'convert' is not installed (Debian: apt-get install imagemagick)"

OUT=$1
mkdir -p "$OUT" || die "cannot create $OUT"

TMP=$(mktemp -d "${TMPDIR:-/tmp}/make-pictures.XXXXXX")
trap 'rm -rf "$TMP"' EXIT

# Keep the result independent of the caller's locale and of ImageMagick's thread count
# (parallel resampling can round differently from run to run).
export LC_ALL=C MAGICK_THREAD_LIMIT=1 OMP_NUM_THREADS=1

# find_font PATTERN: a TrueType file for PATTERN, or nothing.
find_font() {
  local f=""
  if command -v fc-match >/dev/null 2>&1; then
    f=$(fc-match -f '%{file}' "$1" 2>/dev/null || true)
  fi
  if [ -n "$f" ] && [ -r "$f" ]; then printf '%s' "$f"; return; fi
  for f in /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf \
           /usr/share/fonts/TTF/DejaVuSans-Bold.ttf \
           /usr/share/fonts/dejavu/DejaVuSans-Bold.ttf \
           /usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf; do
    [ -r "$f" ] && { printf '%s' "$f"; return; }
  done
}

FONT_BOLD=$(find_font 'DejaVu Sans:bold')
FONT_BOOK=$(find_font 'DejaVu Sans')
if [ -z "$FONT_BOLD" ]; then
  warn "no TrueType font found; using ImageMagick's default font"
  FONT_BOLD_ARGS=() FONT_BOOK_ARGS=()
else
  [ -n "$FONT_BOOK" ] || FONT_BOOK=$FONT_BOLD
  FONT_BOLD_ARGS=(-font "$FONT_BOLD") FONT_BOOK_ARGS=(-font "$FONT_BOOK")
fi

# Options that keep every written file free of dates, comments and profiles.
CLEAN=(-strip +set date:create +set date:modify +set comment -define png:exclude-chunks=date,time)

AQUA='#00FFFF'
TEAL='#008080'

# ---------------------------------------------------------------------------------------
# splash.jpg
W=488 H=232

# Background: a dark teal vertical gradient with a soft glow behind the title and faint
# scanlines, like the glass of a receiver's display, inside a thin rounded frame.
scan=""
for ((y = 1; y < H; y += 3)); do scan+="line 0,$y $((W - 1)),$y "; done
convert -size ${W}x${H} 'gradient:rgb(0,40,48)-rgb(0,8,12)' \
  \( -size 520x300 'radial-gradient:rgb(0,34,38)-black' \) \
  -gravity center -geometry +0-40 -compose screen -composite -gravity northwest \
  -fill 'rgba(0,0,0,0.22)' -draw "$scan" \
  -fill none -stroke 'rgb(0,96,100)' -strokewidth 1 -draw "roundrectangle 6,6 $((W - 7)),$((H - 7)) 9,9" \
  -stroke 'rgb(0,40,44)' -draw "roundrectangle 8,8 $((W - 9)),$((H - 9)) 7,7" \
  "${CLEAN[@]}" "$TMP/bg.png"

# The product name: a white-on-black mask, filled with a gradient that runs from aqua at
# the top of the letters to teal at their foot, over a soft teal glow.
TITLE_PT=44 TH=80
convert -size ${W}x$TH xc:black "${FONT_BOLD_ARGS[@]}" -pointsize $TITLE_PT -fill white \
  -gravity center -annotate +0+0 'Ovexia Tunora' "${CLEAN[@]}" "$TMP/title-mask.png"
bbox=$(convert "$TMP/title-mask.png" -format '%@' info:)   # WxH+X+Y of the letters
bh=${bbox#*x}; bh=${bh%%+*}; by=${bbox##*+}
((bh > 0)) || die "the title did not render (font: ${FONT_BOLD:-default})"
convert -size ${W}x$bh "gradient:$AQUA-$TEAL" \
  -background "$AQUA" -gravity south -extent ${W}x$((by + bh)) \
  -background "$TEAL" -gravity north -extent ${W}x$TH \
  "$TMP/title-mask.png" -alpha off -compose CopyOpacity -composite "${CLEAN[@]}" "$TMP/title.png"
convert "$TMP/title-mask.png" -blur 0x5 -level 0,160% \
  +level-colors black,'rgb(0,120,124)' "${CLEAN[@]}" "$TMP/title-glow.png"

# Stereo level meter: two rows of LED segments (left and right channel), lit up to a
# level and dim beyond it, the last lit segments shading from aqua to white as a peak.
SEGS=30 SEG_W=8 SEG_GAP=3 SEG_H=7
meter_w=$((SEGS * (SEG_W + SEG_GAP) - SEG_GAP))
mx=$(((W - meter_w) / 2 + 8)) my=168
leds=()
row() {  # row Y LIT
  local y=$1 lit=$2 i x col
  for ((i = 0; i < SEGS; i++)); do
    x=$((mx + i * (SEG_W + SEG_GAP)))
    if ((i < lit)); then
      if ((i >= SEGS - 5)); then col='rgb(200,255,255)'
      elif ((i >= SEGS - 11)); then col="$AQUA"
      else col='rgb(0,200,200)'; fi
    else
      col='rgb(0,52,58)'
    fi
    leds+=(-fill "$col" -draw "roundrectangle $x,$y $((x + SEG_W - 1)),$((y + SEG_H - 1)) 1,1")
  done
}
row $my 23
row $((my + SEG_H + 5)) 19

convert "$TMP/bg.png" \
  "$TMP/title-glow.png" -geometry +0+42 -compose screen -composite \
  "$TMP/title.png" -geometry +0+42 -compose over -composite \
  "${FONT_BOOK_ARGS[@]}" -pointsize 14 -fill 'rgb(120,200,200)' -gravity north \
  -annotate +0+122 'internet radio receiver & recorder' -gravity northwest \
  -fill none -stroke 'rgb(0,90,96)' -draw "line 64,152 $((W - 65)),152" +stroke \
  "${FONT_BOLD_ARGS[@]}" -pointsize 9 -fill 'rgb(0,150,150)' \
  -annotate +$((mx - 14))+$((my - 1)) 'L' -annotate +$((mx - 14))+$((my + SEG_H + 4)) 'R' \
  "${leds[@]}" \
  -fill "$AQUA" -draw "circle 30,30 32,30" -fill 'rgb(0,60,64)' -draw "circle $((W - 31)),30 $((W - 29)),30" \
  -alpha off -colorspace sRGB -type TrueColor "${CLEAN[@]}" \
  -interlace none -sampling-factor 2x2 -quality 90 "JPEG:$OUT/splash.jpg"
# The same picture as another decoder reads it: the tests compare what the program shows
# with it, so that a decoding that went wrong cannot pass as its own reference.
convert "$OUT/splash.jpg" -depth 8 "PPM:$OUT/splash-reference.ppm"

# ---------------------------------------------------------------------------------------
# tunora.ico: a transmitter mast with a beacon and radio waves on either side, aqua on a
# black rounded tile. 32x32 and 48x48 are drawn as vectors on a 48-unit grid at eight
# times their size and box-filtered down; 16x16 is placed pixel by pixel, because at that
# size any scaled-down drawing smears into a blob.
icon() {  # icon SIZE OUT
  local s=$1 out=$2 big=$(($1 * 8))
  local k waves
  k=$(awk -v s="$big" 'BEGIN { printf "%.6f", s / 48 }')
  # Two pairs of arcs around the beacon at (24,16): radius 8 (aqua) and 14 (teal), each
  # +-40 degrees around the horizontal, as SVG path data "inner|outer".
  waves=$(awk 'function arc(r, a0, a1,   d, x0, y0, x1, y1) {
                 d = 3.14159265358979 / 180
                 x0 = 24 + r * cos(a0 * d); y0 = 16 - r * sin(a0 * d)
                 x1 = 24 + r * cos(a1 * d); y1 = 16 - r * sin(a1 * d)
                 return sprintf("M %.3f,%.3f A %d,%d 0 0,0 %.3f,%.3f ", x0, y0, r, r, x1, y1) }
               BEGIN { printf "%s|%s", arc(8, -40, 40) arc(8, 140, 220), arc(14, -40, 40) arc(14, 140, 220) }')
  convert -size ${big}x${big} xc:none -draw "
    affine $k 0 0 $k 0 0
    stroke '$TEAL' stroke-width 1.2 fill black
    roundrectangle 0.6,0.6 47.4,47.4 8,8
    fill none stroke-linecap round stroke-linejoin round
    stroke '$AQUA' stroke-width 3
    path '${waves%%|*}'
    stroke '$TEAL'
    path '${waves##*|}'
    stroke '$AQUA' stroke-width 3.2
    path 'M 24,19 L 16,40 M 24,19 L 32,40 M 19.5,31 L 28.5,31 M 13,41 L 35,41'
    stroke none fill '$AQUA'
    circle 24,16 24,12
  " -filter box -resize ${s}x${s} "${CLEAN[@]}" "PNG32:$out"
}

icon16() {  # icon16 OUT  (' ' transparent, '.' black, 'a' aqua, 't' teal)
  local grid=(
    " .............. "
    "................"
    "..t..........t.."
    ".t..a......a..t."
    ".t.a...aa...a.t."
    ".t.a..aaaa..a.t."
    ".t.a...aa...a.t."
    ".t..a..aa..a..t."
    "..t....aa....t.."
    ".......aa......."
    "......a..a......"
    "......aaaa......"
    ".....a....a....."
    "....aaaaaaaa...."
    "................"
    " .............. "
  )
  local x y row pts=()
  for ((y = 0; y < 16; y++)); do
    row=${grid[y]}
    for ((x = 0; x < 16; x++)); do
      case ${row:x:1} in
        .) pts+=(-fill black -draw "point $x,$y") ;;
        a) pts+=(-fill "$AQUA" -draw "point $x,$y") ;;
        t) pts+=(-fill "$TEAL" -draw "point $x,$y") ;;
      esac
    done
  done
  convert -size 16x16 xc:none "${pts[@]}" "${CLEAN[@]}" "PNG32:$1"
}

icon16 "$TMP/i16.png"
icon 32 "$TMP/i32.png"
icon 48 "$TMP/i48.png"
convert "$TMP/i16.png" "$TMP/i32.png" "$TMP/i48.png" "${CLEAN[@]}" "ICO:$OUT/tunora.ico"

# ---------------------------------------------------------------------------------------
# logo.bmp: "OVEXIA" in small widely spaced capitals, aqua on black.
convert -size 102x12 xc:black "${FONT_BOLD_ARGS[@]}" -pointsize 11 -kerning 4 \
  -fill "$AQUA" -gravity center -annotate +0+0 'OVEXIA' \
  -alpha off -type TrueColor "${CLEAN[@]}" "BMP3:$OUT/logo.bmp"

# ---------------------------------------------------------------------------------------
# The about box's two pictures lie on its green-grey display panel (RGB 133,152,124) and
# take its colour at their edges, so that they read as printed on the panel.
PANEL='rgb(133,152,124)'
INK='rgb(16,40,32)'

# about-title.jpg: the maker's name in dark, widely spaced capitals with a light
# embossed edge, and the line of work under it.
convert -size 256x52 xc:"$PANEL" "${FONT_BOLD_ARGS[@]}" -pointsize 30 -kerning 6 -gravity northwest \
  -fill 'rgb(196,212,188)' -annotate +7+3 'OVEXIA' -fill "$INK" -annotate +6+2 'OVEXIA' \
  "${FONT_BOOK_ARGS[@]}" -pointsize 11 -kerning 1 -fill 'rgb(40,64,52)' -annotate +8+36 'digital audio software' \
  -fill none -stroke "$INK" -strokewidth 1 -draw 'line 168,42 250,42' \
  -alpha off -colorspace sRGB -type TrueColor "${CLEAN[@]}" \
  -interlace none -sampling-factor 1x1 -quality 92 "JPEG:$OUT/about-title.jpg"
convert "$OUT/about-title.jpg" -depth 8 "PPM:$OUT/about-title-reference.ppm"

# about-logo.jpg: the transmitter mast of the program's icon on a black rounded tile,
# beside the product's name and what it does.
icon 72 "$TMP/i72.png"
convert -size 256x90 xc:"$PANEL" \
  -fill 'rgb(92,108,86)' -draw 'roundrectangle 3,3 252,86 10,10' \
  -fill 'rgb(104,122,98)' -draw 'roundrectangle 4,4 251,85 9,9' \
  "$TMP/i72.png" -geometry +9+9 -compose over -composite \
  "${FONT_BOLD_ARGS[@]}" -pointsize 24 -fill 'rgb(0,40,40)' -gravity northwest -annotate +92+14 'Tunora' \
  "${FONT_BOOK_ARGS[@]}" -pointsize 10 -fill 'rgb(220,236,228)' \
  -annotate +93+48 'internet radio receiver' -annotate +93+62 '& recorder' \
  -alpha off -colorspace sRGB -type TrueColor "${CLEAN[@]}" \
  -interlace none -sampling-factor 1x1 -quality 92 "JPEG:$OUT/about-logo.jpg"
convert "$OUT/about-logo.jpg" -depth 8 "PPM:$OUT/about-logo-reference.ppm"

printf 'make-pictures: wrote %s/splash.jpg, tunora.ico, logo.bmp, about-title.jpg, about-logo.jpg\n' "$OUT" >&2

# ---------------------------------------------------------------------------------------
# The widgets' bitmaps: each res/widgets/NAME.py draws its own into OUTDIR and lists
# them in res/widgets/NAME.rc; the lists are joined into OUTDIR/widgets.rc.
HERE=$(cd "$(dirname "$0")" && pwd)
: >"$TMP/widgets.rc"
for script in "$HERE"/widgets/*.py; do
  [ -e "$script" ] || continue
  python3 "$script" "$OUT" || die "$(basename "$script") failed"
done
for list in "$HERE"/widgets/*.rc; do
  [ -e "$list" ] || continue
  cat "$list" >>"$TMP/widgets.rc"
done
cp "$TMP/widgets.rc" "$OUT/widgets.rc"
