#!/usr/bin/env bash
# Takes a picture of the setup window as a user first sees it, on a virtual
# 1024 x 768 display, with a fresh Windows-like root of its own.
#   scripts/screenshot.sh [OUTPUT.png] [BUILD_DIR]
# Defaults: docs/screenshot.png and build/. Build first:
#   cmake --build build --target Setup dist
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:-$here/docs/screenshot.png}")"
build="$(realpath -m "${2:-$here/build}")"
dist="$build/dist"

if [ ! -x "$dist/Setup" ]; then
  echo "screenshot: $dist/Setup is missing; build the targets Setup and dist first" >&2
  exit 1
fi
for tool in xvfb-run openbox import xwininfo; do
  command -v "$tool" >/dev/null || { echo "screenshot: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/root" "$work/Desktop"
mkdir -p "$(dirname "$out")"

# Runs inside the virtual display: start a window manager (it gives the
# window its title bar and its maximised size), start Setup, wait until its
# window is mapped and painted, take the picture, end both.
cat >"$work/inside.sh" <<'INSIDE'
set -euo pipefail
dist="$1"; out="$2"
# wait_for COMMAND...: tries COMMAND up to 150 times, 0.2 s apart.
wait_for() {
  for _ in $(seq 1 150); do
    if "$@"; then return 0; fi
    sleep 0.2
  done
  return 1
}
wm_ready() { xwininfo -root -children 2>/dev/null | grep -q '"Openbox"'; }
# The setup window: the top-level window of class Setup, once it is viewable.
setup_window() { xwininfo -root -tree 2>/dev/null | grep '("Setup" "Setup")' | awk '{print $1}' | head -n 1; }
setup_viewable() {
  kill -0 "$pid" 2>/dev/null || { echo "screenshot: Setup ended before its window appeared" >&2; exit 1; }
  local id
  id="$(setup_window)"
  [ -n "$id" ] && xwininfo -id "$id" | grep -q 'Map State: IsViewable'
}

openbox --sm-disable 2>/dev/null &
wm=$!
trap 'kill "$wm" 2>/dev/null || true' EXIT
wait_for wm_ready || { echo "screenshot: the window manager did not start" >&2; exit 1; }

cd "$dist"
QT_QPA_PLATFORM=xcb ./Setup &
pid=$!
if ! wait_for setup_viewable; then
  kill "$pid" 2>/dev/null || true
  echo "screenshot: no Setup window appeared" >&2
  exit 1
fi
sleep 2  # let the window take its maximised size and paint the picture of the day
import -window root "$out"
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
INSIDE

# A Japanese user's desktop: the weekday names that choose the picture of the
# day are the locale's.
lang=C.UTF-8
if locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then lang=ja_JP.UTF-8; fi
# SCREENSHOT_LOCALE chooses another default locale (C.UTF-8: no weekday picture).
lang="${SCREENSHOT_LOCALE:-$lang}"

LC_ALL="$lang" LANG="$lang" WINEPREFIX="$work/root" XDG_DESKTOP_DIR="$work/Desktop" \
  xvfb-run -a -s "-screen 0 1024x768x24" bash "$work/inside.sh" "$dist" "$out"
echo "screenshot: $out"
