#!/usr/bin/env bash
# Makes an import library that loads its DLL when one of its functions is first called
# rather than when the program starts: the functions of the toolchain's import library,
# written as a module definition, then made into a delay-load library by dlltool. The
# helper that loads the DLL on the first call comes with the mingw runtime.
#
# The linker drops the code of an import's stub when the program calls the function only
# through its address slot, as every caller of a system header does; a late import's
# slot points at that stub until the first call, so the stubs must stay. The linker is
# told to keep each of them by a response file made beside the library (OUTPUT.keep:
# "-u _Name@bytes" per function), which the program's link reads.
# Usage: delay-import.sh NM DLLTOOL IMPORT-LIBRARY DLL-NAME OUTPUT-LIBRARY
set -euo pipefail
[ $# -eq 5 ] || { echo "usage: $0 NM DLLTOOL IMPORT-LIBRARY DLL-NAME OUTPUT-LIBRARY" >&2; exit 2; }
nm=$1 dlltool=$2 library=$3 dll=$4 out=$5
def=${out%.a}.def
mkdir -p "$(dirname "$out")"
# Each function of an import library has a code thunk ("T _Name@bytes"); its data
# exports have none, and cannot be loaded late.
{
  echo "LIBRARY $dll"
  echo "EXPORTS"
  "$nm" "$library" | awk '$2 == "T" && $3 ~ /^_/ { print substr($3, 2) }' | sort -u
} >"$def.tmp"
mv "$def.tmp" "$def"
tail -n +3 "$def" | sed 's/^/-u _/' >"${out%.a}.keep"
"$dlltool" --input-def "$def" --dllname "$dll" --kill-at --output-delaylib "$out.tmp"
mv "$out.tmp" "$out"
