#!/usr/bin/env bash
# Moves 500 MB through a TWSocket in each direction over loopback and prints MB/s beside a
# plain blocking-socket copy of the same bytes measured in the same run (the peer figure).
# Usage: bench/wsocket/run.sh [megabytes] [runs]   (BENCH_BUILD_DIR: the release build)
set -euo pipefail
build=${BENCH_BUILD_DIR:?set BENCH_BUILD_DIR to a release build}
exec "$build/bench/wsocket/wsocket_bench" "${1:-500}" "${2:-3}"
