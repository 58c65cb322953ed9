#!/usr/bin/env bash
# Builds the Debian packages of both programs, tarnby_VERSION_ARCH.deb and
# quellin_VERSION_ARCH.deb, in build/package (PACKAGE_BUILD_DIR overrides it) and prints their
# paths. The programs are compiled with Debian's build flags (hardening included) in a build
# folder of their own; the packages' dependencies are computed from the binaries. A compiler
# launcher such as ccache is taken from CMAKE_CXX_COMPILER_LAUNCHER in the environment.
set -euo pipefail
cd "$(dirname "$0")/.."
# Standard output carries only the packages' paths.
bash scripts/install-deps.sh >&2
build=${PACKAGE_BUILD_DIR:-build/package}

# Debian's build flags, every hardening option included.
flags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DWITH_TESTS=OFF \
  -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" >&2
cmake --build "$build" -j "${JOBS:-2}" --target tarnby quellin desktop_data >&2
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB >&2)
realpath "$build"/tarnby_*.deb "$build"/quellin_*.deb
