#!/usr/bin/env bash
# Builds the three benchmarks and runs them, each against its reference
# measured in the same run: CopyProductFiles against cp, ShowPicture against
# libjpeg-turbo alone, the setup window's first frame against a minimal Qt
# window's. Prints each figure as a ratio with the peak memory, then a summary.
#
#   bench/run.sh            uses ./build (configured here when missing)
#   BUILD=build-x bench/run.sh
#   REPS=9 bench/run.sh     repetitions of each (default 7)
set -euo pipefail

cd "$(dirname "$0")/.."
build=${BUILD:-build}
reps=${REPS:-7}
export QT_QPA_PLATFORM=offscreen

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja >/dev/null
fi
cmake --build "$build" -j2 --target copy_bench picture_bench startup_bench

out=$(mktemp -d /tmp/bench-run-XXXXXX)
trap 'rm -rf "$out"' EXIT

run() {  # run <name> <command...>
  local name=$1
  shift
  echo
  # Qt's notes about the offscreen platform are not figures.
  "$@" 2> >(grep -v -e propagateSizeHints -e XDG_RUNTIME_DIR >&2) | tee "$out/$name"
}

start=$(date +%s)
run copy "$build/bench/copy_bench" "$reps"
run picture "$build/bench/picture_bench" "$build/imaging" "$reps"
run startup "$build/bench/startup_bench" "$build/dist" "$reps"
end=$(date +%s)

ratio() { grep -o 'ratio [0-9.]*' "$out/$1" | head -1 | cut -d' ' -f2; }
echo
echo "Summary ($(nproc) cores, $(( end - start )) s):"
printf '  %-44s ratio %-6s %s\n' \
  "CopyProductFiles / cp (goal 1.05)" "$(ratio copy)" "$(grep -o 'peak memory.*' "$out/copy")" \
  "ShowPicture / libjpeg-turbo (goal 1.25)" "$(ratio picture)" "$(grep -o 'peak memory.*' "$out/picture")" \
  "first frame: Setup / minimal window (goal 1.5)" "$(ratio startup)" \
  "$(grep -o 'peak memory [0-9]* MB' "$out/startup" | tr '\n' ' ' | sed 's/peak memory /Setup /; s/ peak memory / MB, minimal /; s/ MB MB/ MB/')"
