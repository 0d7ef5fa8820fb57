#!/bin/sh
# Builds the fuzz targets with clang in build-fuzz and runs each for the given
# number of seconds on its seed corpus (tests/fuzz/corpus/<target>/; what the
# run finds goes to build-fuzz/corpus/<target>/, crashes to
# build-fuzz/crashes/<target>/).
#
#   scripts/fuzz.sh SECONDS [target...]     (default: every target)
set -eu

seconds=${1:?usage: scripts/fuzz.sh SECONDS [target...]}
shift
here=$(cd "$(dirname "$0")/.." && pwd)
build=$here/build-fuzz
all="fuzz_hive fuzz_paths fuzz_imgkit fuzz_dib fuzz_gif fuzz_form fuzz_lnk"
targets=${*:-$all}

# The libraries are instrumented for coverage and checked by the sanitizers;
# the fuzz targets link libFuzzer itself.
instrument="-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer"
CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCORVALEN_FUZZ=ON \
  -DCORVALEN_TESTS=ON -DCORVALEN_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS="$instrument" -DCMAKE_CXX_FLAGS="$instrument" >/dev/null
# shellcheck disable=SC2086
cmake --build "$build" -j2 --target $targets

status=0
for target in $targets; do
  name=${target#fuzz_}
  corpus=$build/corpus/$target
  crashes=$build/crashes/$target
  mkdir -p "$corpus" "$crashes"
  log=$build/$target.log
  echo "== $target: $seconds s"
  # One process and one job (libFuzzer's default): the machine is shared.
  # Qt's window layer needs no display for the targets that link it.
  if QT_QPA_PLATFORM=offscreen "$build/tests/fuzz/$target" \
      -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$crashes/" "$corpus" "$here/tests/fuzz/corpus/$name" >"$log" 2>&1; then
    :
  else
    status=1
    echo "   FAILED: see $log and $crashes/"
  fi
  # The final statistics: coverage (edges), features and corpus, executions,
  # and what was found.
  grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | sed 's/^/   /'
  grep -E '^stat::number_of_executed_units' "$log" | sed 's/^/   /'
  echo "   findings: $(find "$crashes" -type f | wc -l) in $crashes"
done
exit $status
