#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds everything with warnings as errors and runs every
# test inside a loopback-only network namespace; builds the Debian packages and checks them
# unpacked; then builds the headless components again with AddressSanitizer +
# UndefinedBehaviorSanitizer (clang, with the fuzz targets) and runs those.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/install-test-deps.sh

jobs=${JOBS:-2}
build=${BUILD_DIR:-build/test}
asan=${ASAN_BUILD_DIR:-build/asan}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DWARNINGS_AS_ERRORS=ON
cmake --build "$build" -j "$jobs"

netns="$root/scripts/in-loopback-netns.sh"
"$netns" ctest --test-dir "$build" -L headless --output-on-failure -j "$jobs"
"$netns" "$root/tests/support/with-xvfb.sh" ctest --test-dir "$build" -L x11 --output-on-failure --no-tests=ignore

# The Debian packages, built as a user builds them and checked without installing them.
packages=$(bash scripts/package.sh)
mapfile -t debs <<<"$packages"
"$netns" bash scripts/check-packages.sh "${debs[@]}"

CC=clang CXX=clang++ cmake -S . -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DWITH_WIDGETS=OFF -DSANITIZE=ON -DWITH_FUZZERS=ON
cmake --build "$asan" -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  "$netns" ctest --test-dir "$asan" --output-on-failure -j "$jobs"
