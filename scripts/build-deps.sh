#!/usr/bin/env bash
# Cross-builds FFmpeg (minimal), libjpeg-turbo and GoogleTest for i686-w64-mingw32 from
# Debian's source packages into $TUNORA_CACHE/deps/<name>-<version>-<config>. A finished
# build leaves a stamp and is reused; a failed one names what failed and keeps its log.
# Prints the prefix directory of each library as NAME=DIR lines on stdout.
set -euo pipefail
. "$(dirname "$0")/common.sh"

mkdir -p "$TUNORA_CACHE/deps"
# The real folder (CI links it into a cache of its own): builds configured with these
# paths keep them after that cache is gone.
DEPS=$(cd -P "$TUNORA_CACHE/deps" && pwd)
hold_lock "$DEPS/.lock"
JOBS=$(nproc)

src_version() {
  # awk reads to the end: leaving early would end apt-cache with SIGPIPE under pipefail.
  apt-cache showsrc "$1" 2>/dev/null | awk '/^Version:/ && v == "" {v = $2} END {print v}' | sed 's/^[0-9]*://'
}

# Fetches and unpacks the Debian source package $1 (with Debian's patches) into $2.
fetch_source() {
  local pkg=$1 dir=$2 tmp
  tmp=$(mktemp -d "$DEPS/.fetch-$pkg.XXXX")
  if ! (cd "$tmp" && apt-get source -q "$pkg" >"$tmp/fetch.log" 2>&1); then
    cat "$tmp/fetch.log" >&2
    die "downloading the Debian source package '$pkg' failed (is a deb-src entry configured?)"
  fi
  local unpacked
  unpacked=$(find "$tmp" -mindepth 1 -maxdepth 1 -type d | head -n 1)
  [ -n "$unpacked" ] || die "unpacking the source package '$pkg' failed"
  rm -rf "$dir"
  mv "$unpacked" "$dir"
  rm -rf "$tmp"
}

# build NAME CONFIG-TEXT FUNCTION: runs FUNCTION SRC PREFIX unless the stamp exists.
build() {
  local name=$1 config=$2 fn=$3 version key prefix work log
  version=$(src_version "$name")
  [ -n "$version" ] || die "no Debian source package '$name' is known to apt (run apt-get update?)"
  key=$(printf '%s' "$config" | sha1sum | cut -c1-8)
  prefix=$DEPS/$name-$version-$key
  if [ ! -f "$prefix/.complete" ]; then
    say "building $name $version for $CROSS (once; cached in $prefix)"
    work=$DEPS/.work-$name
    log=$DEPS/$name-$version-$key.log
    rm -rf "$prefix" "$work"; mkdir -p "$work"
    fetch_source "$name" "$work/src"
    if ! ( set -e; $fn "$work/src" "$prefix" ) >"$log" 2>&1 || [ ! -d "$prefix/lib" ]; then
      tail -n 30 "$log" >&2
      die "building $name failed; full log: $log"
    fi
    touch "$prefix/.complete"
    rm -rf "$work"
  fi
  echo "$name=$prefix"
}

# Every processor that runs a supported Windows has SSE2: FFmpeg's C code computes its
# floats in SSE registers rather than on the x87 stack (Opus decodes in about 60 % of the
# time; AAC, MP3 and Vorbis spend theirs mostly in the hand-written SIMD routines, which
# are chosen at run time as before).
FFMPEG_CONFIG=(
  --enable-cross-compile --arch=x86 --target-os=mingw32 --cross-prefix=$CROSS-
  --pkg-config=false --disable-autodetect --enable-w32threads --enable-schannel
  --enable-static --disable-shared --disable-programs --disable-doc --disable-debug
  "--extra-cflags=-msse2 -mfpmath=sse"
  --disable-avdevice --disable-swscale --disable-avfilter --disable-postproc
  --disable-everything --enable-network
  --enable-protocol=http,https,tcp,tls,hls,crypto,file
  --enable-demuxer=mp3,aac,ogg,flac,asf,wav,hls,mpegts,mov,w64
  --enable-decoder=mp3,mp3float,aac,aac_fixed,vorbis,opus,flac,wmav1,wmav2,pcm_u8,pcm_s16le,pcm_s24le,pcm_s32le,pcm_f32le,pcm_s8
  --enable-parser=aac,mpegaudio,flac,vorbis,opus
  --enable-muxer=mp3,adts,ogg,opus
)
# Our patches to FFmpeg's source, applied before it is configured: a program of ours
# checks the certificate of every https server itself (schannel under Wine checks none),
# and looks host names up where a lookup can be given up (getaddrinfo ignores the
# interrupt callback). The patches' text is part of the build's key.
FFMPEG_PATCHES=("$TUNORA_ROOT"/scripts/patches/ffmpeg-*.patch)
build_ffmpeg() {
  cd "$1" &&
  for p in "${FFMPEG_PATCHES[@]}"; do patch -p1 --forward <"$p" || return 1; done &&
  ./configure --prefix="$2" "${FFMPEG_CONFIG[@]}" &&
  make -j"$JOBS" &&
  make install
}

JPEG_CONFIG="static, simd, toolchain $CROSS"
build_libjpeg_turbo() {
  cmake -S "$1" -B "$1/build" -DCMAKE_TOOLCHAIN_FILE="$TUNORA_ROOT/cmake/mingw-i686.cmake" \
    -DCMAKE_INSTALL_PREFIX="$2" -DCMAKE_BUILD_TYPE=Release \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON -DCMAKE_SYSTEM_PROCESSOR=x86 &&
  cmake --build "$1/build" -j"$JOBS" &&
  cmake --install "$1/build"
}

GTEST_CONFIG="static, gmock, posix threads, toolchain $CROSS"
build_googletest() {
  cmake -S "$1" -B "$1/build" -DCMAKE_TOOLCHAIN_FILE="$TUNORA_ROOT/cmake/mingw-i686.cmake" \
    -DCMAKE_INSTALL_PREFIX="$2" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -Dgtest_disable_pthreads=ON -DCMAKE_EXE_LINKER_FLAGS=-static &&
  cmake --build "$1/build" -j"$JOBS" &&
  cmake --install "$1/build"
}

build ffmpeg "${FFMPEG_CONFIG[*]} $(cat "${FFMPEG_PATCHES[@]}" | sha1sum)" build_ffmpeg
build libjpeg-turbo "$JPEG_CONFIG" build_libjpeg_turbo
build googletest "$GTEST_CONFIG" build_googletest
