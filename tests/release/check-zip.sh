#!/usr/bin/env bash
# The release zip, made twice from the same build: byte for byte the same, holding a
# stripped exe of at most 8 MB whose debug data lies beside the zip, README.txt with
# Windows line ends and the licences. It is then unpacked into UNPACK_DIR, outside the
# build tree, for the Windows test of the unpacked program.
# Usage: check-zip.sh BUILD_WIN32_DIR UNPACK_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/common.sh"
build=$1 unpack=$(run_fixture_dir "$2")
fail() { echo "FAILED: $*" >&2; exit 1; }
case "$(realpath -m "$unpack")/" in "$root"/* | "$(realpath "$build")"/*) fail "$unpack is inside the build tree" ;; esac

work=$(mktemp -d "${TMPDIR:-/tmp}/tunora-zip.XXXXXX")
trap 'rm -rf "$work"' EXIT
first=$("$root/scripts/package.sh" "$build" "$work/a")
second=$("$root/scripts/package.sh" "$build" "$work/b")
cmp "$first" "$second" || fail "two zips of the same build differ"
version=$(head -n 1 "$build/version.txt")
[ "$(basename "$first")" = "tunora-$version-win32.zip" ] || fail "the zip is called $(basename "$first")"
[ -s "$work/a/tunora-$version.debug" ] || fail "no debug file beside the zip"

rm -rf "$unpack"
python3 - "$first" "$unpack" "tunora-$version.debug" "$root" <<'PY'
import struct, sys, zipfile
zip_path, unpack, debug_name, root = sys.argv[1:]
def fail(why):
    sys.exit("FAILED: " + why)
with zipfile.ZipFile(zip_path) as z:
    names = z.namelist()
    for need in ("tunora.exe", "README.txt", "LICENSES/SOURCES.txt", "LICENSES/FFmpeg/COPYING.LGPLv2.1",
                 "LICENSES/FFmpeg/CONFIGURE.txt", "LICENSES/libjpeg-turbo/LICENSE.md",
                 "LICENSES/mingw-w64/mingw-w64-runtime-and-winpthreads.txt"):
        if need not in names:
            fail(need + " is not in the zip: " + ", ".join(names))
    exe = z.read("tunora.exe")
    if len(exe) > 8 * 1024 * 1024:
        fail("tunora.exe has %d bytes, more than 8 MB" % len(exe))
    pe = struct.unpack_from("<I", exe, 0x3C)[0]
    if exe[pe:pe + 4] != b"PE\0\0" or struct.unpack_from("<I", exe, pe + 8)[0] != 0:
        fail("tunora.exe carries a link time stamp: two builds would differ")
    if root.encode() in exe:
        fail("tunora.exe names the build's folder " + root)
    if debug_name.encode() not in exe:
        fail("tunora.exe does not name its debug file " + debug_name)
    readme = z.read("README.txt")
    if readme.count(b"\n") < 50 or readme.count(b"\n") != readme.count(b"\r\n"):
        fail("README.txt is not a text with Windows line ends")
    for needed in (b"Download and install", b"Using the receiver", b"Recording", b"Where the program keeps its files"):
        if needed not in readme:
            fail("README.txt lacks its part " + needed.decode())
    z.extractall(unpack)
PY
echo "release zip: $(basename "$first"), $(stat -c %s "$first") bytes, unpacked into $unpack"
