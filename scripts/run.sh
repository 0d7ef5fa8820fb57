#!/usr/bin/env bash
# Builds the setup program if needed, assembles the sample distribution in
# build/dist/, gives the demo a fresh Windows-like root of its own under
# build/demo/ and starts build/dist/Setup on your display.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"

bash scripts/install-deps.sh
bash scripts/ensure-locales.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j"$(nproc)" --target Setup dist

demo="$here/build/demo"
rm -rf "$demo"
mkdir -p "$demo/Desktop"
# The platform creates a fresh root in the missing folder on start.
export WINEPREFIX="$demo/root"
export XDG_DESKTOP_DIR="$demo/Desktop"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
  cat <<MSG
The setup program is built: build/dist/Setup.
This machine has no display. To run it on a virtual one:
  xvfb-run -s "-screen 0 1024x768x24" scripts/run.sh
MSG
  exit 0
fi

cd build/dist
exec ./Setup
