#!/usr/bin/env bash
# Installs what is missing, builds the dependencies once, then configures and builds the
# Windows program with its Wine tests (build/win32) and the native rules with their
# sanitizer tests (build/native), whose ctest list includes the Windows tests.
set -euo pipefail
. "$(dirname "$0")/common.sh"
cd "$TUNORA_ROOT"

"$TUNORA_ROOT/scripts/setup-packages.sh"
deps=$("$TUNORA_ROOT/scripts/build-deps.sh")
dep() { printf '%s\n' "$deps" | sed -n "s/^$1=//p"; }

BUILD=${BUILD:-$TUNORA_ROOT/build}
JOBS=${JOBS:-$(nproc)}

cmake -S . -B "$BUILD/win32" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DTUNORA_GTEST_DIR="$(dep googletest)" -DTUNORA_JPEG_DIR="$(dep libjpeg-turbo)" \
  -DTUNORA_FFMPEG_DIR="$(dep ffmpeg)" >"$BUILD.win32-configure.log" 2>&1 \
  || { cat "$BUILD.win32-configure.log" >&2; die "configuring the Windows build failed"; }
# TUNORA_BUILD_TARGET builds one target of the Windows build alone (`make dist`: tunora).
cmake --build "$BUILD/win32" -j"$JOBS" ${TUNORA_BUILD_TARGET:+--target "$TUNORA_BUILD_TARGET"} \
  || die "building the Windows program failed"

if [ "${TUNORA_WINDOWS_ONLY:-}" != 1 ]; then
  cmake -S . -B "$BUILD/native" -DTUNORA_WIN32_BUILD_DIR="$BUILD/win32" >"$BUILD.native-configure.log" 2>&1 \
    || { cat "$BUILD.native-configure.log" >&2; die "configuring the native build failed"; }
  cmake --build "$BUILD/native" -j"$JOBS" || die "building the native tests failed"
fi
