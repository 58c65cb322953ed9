#!/usr/bin/env bash
# Builds the Debian packages of both programs, tarnby_VERSION_ARCH.deb and
# quellin_VERSION_ARCH.deb, in build/package (PACKAGE_BUILD_DIR overrides it) and prints their
# paths. The programs are compiled with Debian's build flags (hardening included) in a build
# folder of their own; the packages' dependencies are computed from the binaries.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=${PACKAGE_BUILD_DIR:-build/package}

CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DWITH_TESTS=OFF >/dev/null
cmake --build "$build" -j "${JOBS:-2}" --target tarnby quellin desktop_data >/dev/null
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$PWD/$build"/*.deb
