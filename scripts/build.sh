#!/usr/bin/env bash
# Configures and builds into build/ at the repository root (another folder:
# BUILD_DIR=...): every target, or only those named in BUILD_TARGETS.
# Arguments go to the configuration (-DNAME=VALUE).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
"$root/scripts/install-deps.sh"
# Let clones in other folders share the compiler cache.
export CCACHE_BASEDIR="$root"
export CCACHE_NOHASHDIR=1
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" "$@" >/dev/null
targets=()
if [ -n "${BUILD_TARGETS:-}" ]; then
  read -r -a names <<<"$BUILD_TARGETS"
  targets=(--target "${names[@]}")
fi
cmake --build "$build" -j "$(nproc)" "${targets[@]}"
