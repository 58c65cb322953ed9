#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Tarnby and prints the links of the bundled example page.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DWITH_TESTS=OFF >/dev/null
cmake --build build/release -j "${JOBS:-2}" --target tarnby >/dev/null
build/release/tarnby/tarnby --links examples/links.html
