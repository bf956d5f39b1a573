#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need. Idempotent:
# a machine that has them all is left alone without touching the network.
set -euo pipefail
. "$(dirname "$0")/common.sh"

PACKAGES=(
  cmake make g++ pkg-config nasm dpkg-dev patch python3
  g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev
  wine wine32:i386 wine64
  xvfb x11-utils x11-xserver-utils xdotool imagemagick fonts-dejavu-core
  fonts-liberation  # Arial's metrics: the windows' texts are laid out for Arial
  pulseaudio pulseaudio-utils sox
  icecast2 ffmpeg openssl
  cuetools  # reads the cue sheets the recorder writes, as a cue player would
  googletest libgtest-dev libjpeg62-turbo-dev
  nlohmann-json3-dev  # the station directory's answers (header only, both builds)
  clang libclang-rt-14-dev  # the fuzz targets: libFuzzer with the sanitizers
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

say "installing Debian packages: ${missing[*]}"
[ "$(id -u)" -eq 0 ] || SUDO=sudo
${SUDO:-} dpkg --add-architecture i386
# Source packages of the cross-built dependencies come from the deb-src entries.
src=/etc/apt/sources.list.d/tunora-deb-src.sources
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  ${SUDO:-} tee "$src" >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
fi
${SUDO:-} apt-get update -q || die "apt-get update failed"
DEBIAN_FRONTEND=noninteractive ${SUDO:-} apt-get install -y -q --no-install-recommends "${missing[@]}" \
  || die "installing Debian packages failed: ${missing[*]}"
