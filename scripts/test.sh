#!/usr/bin/env bash
# Installs what the build needs, builds everything and runs every test.
#   scripts/test.sh              normal build in build/
#   scripts/test.sh --sanitize   AddressSanitizer + UBSan build in build-asan/
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"

sanitize=OFF
build_dir=build
if [ "${1:-}" = "--sanitize" ]; then
  sanitize=ON
  build_dir=build-asan
fi

bash scripts/install-deps.sh
bash scripts/ensure-locales.sh

cmake -S . -B "$build_dir" -G Ninja \
  -DCORVALEN_WERROR="${CORVALEN_WERROR:-OFF}" \
  -DCORVALEN_SANITIZE="$sanitize"
cmake --build "$build_dir" -j"$(nproc)"

export QT_QPA_PLATFORM=offscreen
if [ "$sanitize" = ON ]; then
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:allow_user_segv_handler=1:handle_segv=1"
  export LSAN_OPTIONS="suppressions=$here/tests/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi
ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)" --timeout 300
