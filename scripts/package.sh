#!/usr/bin/env bash
# Builds the Debian package in Release into build-release/ (another folder:
# BUILD_DIR=...) and prints its path. Compiled and linked with the hardening
# flags a Debian package build uses. Arguments go to the configuration, such
# as -DOST_MAINTAINER="Name <address>".
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$root/build-release}"
"$root/scripts/install-deps.sh"
# From the repository root: the flags map its path to "." in the debug
# information.
cd "$root"
export DEB_BUILD_MAINT_OPTIONS="hardening=+all"
CPPFLAGS="$(dpkg-buildflags --get CPPFLAGS)"
CFLAGS="$(dpkg-buildflags --get CFLAGS) $CPPFLAGS"
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $CPPFLAGS"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CPPFLAGS CFLAGS CXXFLAGS LDFLAGS
# CMake reads the variables only when it first configures a folder, and never
# CPPFLAGS: the flags are also given outright for a folder configured before.
BUILD_DIR="$build" BUILD_TYPE=Release BUILD_TARGETS=program "$root/scripts/build.sh" -DBUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$CXXFLAGS" \
  -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" \
  -DCMAKE_SHARED_LINKER_FLAGS="$LDFLAGS" \
  -DCMAKE_MODULE_LINKER_FLAGS="$LDFLAGS" "$@"
# cpack packs what is built; the package target would build the tests first.
(cd "$build" && cpack -G DEB --config CPackConfig.cmake >/dev/null)
ls "$build"/ostrevanka_*.deb
