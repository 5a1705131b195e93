#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each on a copy of the
# committed seed corpus for a bounded number of inputs (FUZZ_RUNS, about a
# minute each here) with a fixed seed, so that a run can be repeated.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-fuzz"
runs="${FUZZ_RUNS:-15000}"
"$root/scripts/install-deps.sh"
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBUILD_UI=OFF -DBUILD_BENCH=OFF -DENABLE_FUZZING=ON -DWARNINGS_AS_ERRORS=OFF >/dev/null
cmake --build "$build" --target fuzz_database fuzz_xlsx fuzz_xls
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
run() {
  local target="$1"; shift
  mkdir -p "$work/$target"
  for seeds in "$@"; do cp "$root/fuzz/corpus/$seeds"/* "$work/$target/"; done
  (cd "$work" && "$build/fuzz/$target" -runs="$runs" -seed=1 -max_total_time=600 -timeout=10 -rss_limit_mb=4096 \
    -print_final_stats=1 "$work/$target")
}
run fuzz_database database
run fuzz_xlsx xlsx
run fuzz_xls xls
echo "fuzzing: no findings"
