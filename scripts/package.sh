#!/usr/bin/env bash
# Builds the Debian package in Release into build-release/ (another folder:
# BUILD_DIR=...) and prints its path.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$root/build-release}"
BUILD_DIR="$build" BUILD_TYPE=Release "$root/scripts/build.sh" -DBUILD_BENCH=OFF
cmake --build "$build" --target package >/dev/null
ls "$build"/ostrevanka_*.deb
