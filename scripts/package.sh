#!/usr/bin/env bash
# Packs the built program into the zip that users download:
#   OUT/tunora-<version>-win32.zip   tunora.exe (stripped), README.txt, LICENSES\
#   OUT/tunora-<version>.debug       the exe's debug data, named by its .gnu_debuglink
# The zip is reproducible: the same exe gives the same bytes (entries in a fixed order,
# all dated 1 January 2000, no owner or mode bits of this machine).
# Usage: package.sh BUILD_WIN32_DIR OUT_DIR   (prints the zip's path)
set -euo pipefail
. "$(dirname "$0")/common.sh"

[ $# -eq 2 ] || die "usage: $0 BUILD_WIN32_DIR OUT_DIR"
build=$(cd "$1" && pwd)
out=$2
exe=$build/src/tunora.exe
[ -f "$exe" ] || die "$exe does not exist: build the program first"
version=$(head -n 1 "$build/version.txt")
[ -n "$version" ] || die "$build/version.txt names no version"

mkdir -p "$out"
out=$(cd "$out" && pwd)
stage=$(mktemp -d "${TMPDIR:-/tmp}/tunora-package.XXXXXX")
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/LICENSES"

# The exe without its debug data, which goes beside the zip for crash reports.
# objcopy would stamp the time into the files it writes (as the link does not).
export SOURCE_DATE_EPOCH=0
debug=$out/tunora-$version.debug
$CROSS-objcopy --only-keep-debug "$exe" "$debug"
$CROSS-objcopy --strip-all --add-gnu-debuglink="$debug" "$exe" "$stage/tunora.exe"

# The user's part of the README, as Windows' Notepad shows it.
python3 - "$TUNORA_ROOT/README.md" "$version" >"$stage/README.txt" <<'PY'
import re, sys
text = open(sys.argv[1], encoding="utf-8").read()
parts = re.split(r"(?m)^(?=## )", text)
keep = ("## Download and install", "## Using the receiver", "## Now-playing titles", "## Songs",
        "## Find Station", "## Sleep timer and media keys", "## Skins and layout", "## Recording",
        "## Scheduled recordings", "## Where the program keeps its files")
intro = [l for l in parts[0].splitlines() if not l.startswith(("!", ">", "# "))]
out = ["Ovexia Tunora " + sys.argv[2], ""] + intro
# The screenshots stay on the web page: the zip holds no pictures.
for part in parts[1:]:
    if part.startswith(keep):
        out += [l for l in part.rstrip("\n").splitlines() if not l.startswith("![")] + [""]
body = "\n".join(out).strip("\n") + "\n"
sys.stdout.buffer.write(re.sub(r"\n{3,}", "\n\n", body).replace("\n", "\r\n").encode("utf-8"))
PY

# The licences of what is linked in, and where each one's source is.
deps=$("$TUNORA_ROOT/scripts/build-deps.sh")
dep() { printf '%s\n' "$deps" | sed -n "s/^$1=//p"; }
version_of() { basename "$(dep "$1")" | sed "s/^$1-//; s/-[0-9a-f]*\$//"; }

# The licence files of a Debian source package, fetched once per version into the cache.
licence_files() {
  local pkg=$1 version=$2 dir=$TUNORA_CACHE/licences/$1-$2
  shift 2
  [ -f "$dir/.complete" ] || hold_lock "$dir.lock"
  if [ ! -f "$dir/.complete" ]; then
    rm -rf "$dir" && mkdir -p "$dir/fetch"
    (cd "$dir/fetch" && apt-get source -q --download-only "$pkg=$version" >/dev/null 2>&1) \
      || (cd "$dir/fetch" && apt-get source -q --download-only "$pkg" >/dev/null 2>&1) \
      || die "downloading the source package '$pkg' for its licence texts failed"
    local f
    for f in "$@" copyright; do
      local tarball=orig
      [ "$f" = copyright ] && tarball=debian
      # The top folder's file only (the debian tarball's top folder is debian/).
      tar -xf "$dir"/fetch/*."$tarball".tar.* -O --wildcards --no-wildcards-match-slash "*/$f" 2>/dev/null \
        | head -c 4000000 >"$dir/$f" || true
      [ -s "$dir/$f" ] || die "the source package '$pkg' holds no $f"
    done
    rm -rf "$dir/fetch"
    touch "$dir/.complete"
  fi
  echo "$dir"
}

ffmpeg_version=$(version_of ffmpeg)
jpeg_version=$(version_of libjpeg-turbo)
mkdir -p "$stage/LICENSES/FFmpeg" "$stage/LICENSES/libjpeg-turbo" "$stage/LICENSES/mingw-w64"
dir=$(licence_files ffmpeg "$ffmpeg_version" COPYING.LGPLv2.1 LICENSE.md)
cp "$dir/COPYING.LGPLv2.1" "$dir/LICENSE.md" "$stage/LICENSES/FFmpeg/"
cp "$dir/copyright" "$stage/LICENSES/FFmpeg/debian-copyright"
# Without its --prefix: where this machine keeps its cache is nobody's business.
configure=$(strings -n 40 "$(dep ffmpeg)/lib/libavutil.a" | grep -m 1 -- '--enable-cross-compile' | sed 's/--prefix=[^ ]* //' || true)
[ -n "$configure" ] || die "the FFmpeg build names no configure line"
printf 'FFmpeg %s was configured with:\n./configure %s\n' "$ffmpeg_version" "$configure" \
  >"$stage/LICENSES/FFmpeg/CONFIGURE.txt"
cp "$TUNORA_ROOT"/scripts/patches/ffmpeg-*.patch "$stage/LICENSES/FFmpeg/"
dir=$(licence_files libjpeg-turbo "$jpeg_version" LICENSE.md README.ijg)
cp "$dir/LICENSE.md" "$dir/README.ijg" "$stage/LICENSES/libjpeg-turbo/"
cp "$dir/copyright" "$stage/LICENSES/libjpeg-turbo/debian-copyright"
cp /usr/share/doc/mingw-w64-common/copyright "$stage/LICENSES/mingw-w64/mingw-w64-runtime-and-winpthreads.txt"
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/LICENSES/mingw-w64/gcc-runtime-libgcc-libstdc++.txt"
mkdir -p "$stage/LICENSES/nlohmann-json"
cp /usr/share/doc/nlohmann-json3-dev/copyright "$stage/LICENSES/nlohmann-json/debian-copyright"
source_of() { dpkg-query -W -f '${source:Package} ${source:Version}' "$1"; }
cat >"$stage/LICENSES/SOURCES.txt" <<EOF
Ovexia Tunora $version links these libraries statically. Each is built from the Debian
source package named here, with Debian's patches; the same source is on
https://snapshot.debian.org and comes with "apt-get source PACKAGE=VERSION".

FFmpeg (libavformat, libavcodec, libswresample, libavutil): LGPL 2.1 or later.
  Debian source package: ffmpeg $ffmpeg_version
  Configured as in FFmpeg/CONFIGURE.txt, with the patches beside it (ffmpeg-*.patch).
libjpeg-turbo: the IJG licence and the modified BSD licence.
  Debian source package: libjpeg-turbo $jpeg_version
mingw-w64 runtime and winpthreads: the Zope Public Licence and MIT-style licences.
  Debian source package: $(source_of mingw-w64-common)
libgcc and libstdc++: GPL 3 with the GCC Runtime Library Exception.
  Debian source package: $(source_of gcc-mingw-w64-base)
nlohmann-json (header only, compiled into the program): MIT.
  Debian source package: $(source_of nlohmann-json3-dev)
EOF

# Text files get Windows line ends; the zip is written by Python for a fixed layout.
find "$stage/LICENSES" -type f ! -name '*.patch' -exec sed -i 's/\r*$/\r/' {} +
zip=$out/tunora-$version-win32.zip
python3 - "$stage" "$zip" <<'PY'
import os, sys, zipfile
stage, target = sys.argv[1], sys.argv[2]
names = sorted(os.path.relpath(os.path.join(d, f), stage) for d, _, files in os.walk(stage) for f in files)
with zipfile.ZipFile(target + ".part", "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
    for name in names:
        info = zipfile.ZipInfo(name, date_time=(2000, 1, 1, 0, 0, 0))
        info.compress_type = zipfile.ZIP_DEFLATED
        info.create_system = 0  # as if made on Windows: no Unix mode bits
        info.external_attr = 0x20  # FILE_ATTRIBUTE_ARCHIVE
        with open(os.path.join(stage, name), "rb") as f:
            z.writestr(info, f.read())
os.replace(target + ".part", target)
PY
echo "$zip"
