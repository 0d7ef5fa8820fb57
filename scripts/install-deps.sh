#!/usr/bin/env bash
# Installs every Debian package that the build, the tests, the benchmarks and the
# sample distribution need. Safe to run again; does nothing new when all is there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libqt6svg6
  libturbojpeg0-dev libjpeg62-turbo-dev libgif-dev
  fonts-ipafont-gothic fonts-ipafont-mincho fontconfig libfontconfig-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  liblnk-utils
  xvfb xauth x11-utils xdg-utils
  locales imagemagick openbox
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
