#!/usr/bin/env bash
# Printing 20,000 lines to PDF (plain, and coloured as the HTML check leaves them), against
# enscript | ps2pdf on the same file, and the preview of 20,000 lines. Needs BENCH_BUILD_DIR.
set -euo pipefail
build=${BENCH_BUILD_DIR:?BENCH_BUILD_DIR must name a release build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
"$build/bench/richprint/richprint_print_bench" --work "$work"
