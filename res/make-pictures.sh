#!/usr/bin/env bash
# Draws the program's pictures from nothing but ImageMagick primitives and a system font:
#   OUTDIR/splash.jpg  488x232 baseline 24-bit JPEG shown while the program starts
#   OUTDIR/tunora.ico  16x16, 32x32 and 48x48 application icon
#   OUTDIR/logo.bmp    102x12 24-bit BMP, the logo of the main window's button block
#   OUTDIR/skin.bmp    600x350 24-bit BMP, the main window's built-in face (no pixel of
#                      its mask colour, purple)
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
# skin.bmp: the main window's face, 600x350, 24-bit. A dark anodised front plate with a
# fine horizontal brush grain, lit from above; a bevelled edge with four screws; the
# name engraved at the top left; a recessed well behind the seven presets with their
# numbers and teal indicator dots; a groove between the presets and the blocks. The
# window's mask colour is purple (128,0,128): the picture must not hold that colour.
W=600 H=350
convert -size ${W}x${H} xc:'rgb(128,128,128)' -seed 23 -attenuate 0.9 +noise Gaussian \
  -colorspace Gray -motion-blur 0x28+0 -level 38%,62% \
  +level 19%,36% "${CLEAN[@]}" "$TMP/grain.png"
convert -size ${W}x${H} 'gradient:rgb(255,255,255)-rgb(165,165,165)' "${CLEAN[@]}" "$TMP/light.png"
convert "$TMP/grain.png" "$TMP/light.png" -compose multiply -composite \
  -fill 'rgba(0,40,60,0.10)' -draw "rectangle 0,0 $((W - 1)),$((H - 1))" "${CLEAN[@]}" "$TMP/plate.png"

# The preset well: a recessed panel with a soft inner shadow and a teal hairline.
well=(-fill 'rgb(14,16,18)' -stroke none -draw "roundrectangle 16,56 256,342 6,6"
      -fill none -stroke 'rgb(0,0,0)' -strokewidth 2 -draw "roundrectangle 17,57 255,341 6,6"
      -stroke 'rgb(70,74,78)' -strokewidth 1 -draw "line 22,342 251,342"
      -stroke 'rgb(0,88,92)' -draw "roundrectangle 20,60 252,338 5,5")
# Preset numbers and indicator dots, one beside each preset button.
marks=()
tops=(66 108 150 192 235 277 319)
for i in 0 1 2 3 4 5 6; do
  t=${tops[i]}
  marks+=(-stroke none -fill 'rgb(0,70,74)' -draw "circle 33,$((t + 9)) 36,$((t + 9))"
          -fill 'rgb(0,150,150)' -draw "circle 33,$((t + 9)) 34,$((t + 8))"
          -fill 'rgb(110,116,120)' -annotate +242+$((t + 13)) "$((i + 1))")
  # A fine line under each preset.
  marks+=(-stroke 'rgb(30,34,37)' -draw "line 46,$((t + 20)) 238,$((t + 20))" +stroke)
done
# Four screws with cross slots in the corners.
screws=()
for xy in "9,9" "590,9" "9,340" "590,340"; do
  x=${xy%,*} y=${xy#*,}
  screws+=(-stroke 'rgb(20,22,24)' -fill 'rgb(96,100,104)' -draw "circle $x,$y $((x + 4)),$y"
           -stroke 'rgb(34,36,38)' -draw "line $((x - 3)),$y $((x + 3)),$y line $x,$((y - 3)) $x,$((y + 3))"
           -stroke none -fill 'rgba(255,255,255,0.35)' -draw "point $((x - 2)),$((y - 2))")
done
convert "$TMP/plate.png" \
  "${FONT_BOOK_ARGS[@]}" -pointsize 9 "${well[@]}" "${marks[@]}" "${screws[@]}" \
  -stroke 'rgb(10,11,12)' -draw "line 274,20 274,330" -stroke 'rgb(88,92,96)' -draw "line 275,20 275,330" +stroke \
  -fill none -stroke 'rgb(150,154,158)' -draw "line 0,0 599,0 line 0,0 0,349" \
  -stroke 'rgb(104,108,112)' -draw "line 1,1 598,1 line 1,1 1,348" \
  -stroke 'rgb(8,9,10)' -draw "line 599,1 599,349 line 1,349 599,349" \
  -stroke 'rgb(24,26,28)' -draw "line 598,2 598,348 line 2,348 598,348" +stroke \
  "${FONT_BOLD_ARGS[@]}" -pointsize 19 -kerning 1 \
  -fill 'rgb(10,12,14)' -annotate +23+36 'OVEXIA TUNORA' \
  -fill 'rgb(176,182,186)' -annotate +22+35 'OVEXIA TUNORA' \
  "${FONT_BOOK_ARGS[@]}" -pointsize 8 -kerning 2 \
  -fill 'rgb(0,196,196)' -annotate +23+49 'INTERNET RADIO RECEIVER  /  RECORDER' \
  -pointsize 7 -kerning 1 -fill 'rgb(150,156,160)' -annotate +290+29 STATUS \
  -alpha off -type TrueColor "${CLEAN[@]}" "BMP3:$OUT/skin.bmp"
purple=$(convert "$OUT/skin.bmp" -fill black +opaque 'rgb(128,0,128)' -fill white -opaque 'rgb(128,0,128)' \
  -format '%[fx:int(mean*w*h+0.5)]' info:)
[ "$purple" = 0 ] || die "skin.bmp holds $purple pixels of the mask colour"
convert "$OUT/skin.bmp" -depth 8 "PPM:$OUT/skin-reference.ppm"


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

printf 'make-pictures: wrote %s/splash.jpg, tunora.ico, logo.bmp, skin.bmp, about-title.jpg, about-logo.jpg\n' "$OUT" >&2

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
