#!/usr/bin/env bash
# The page pane on 5, 20 and 50 MB pages and Tarnby's start-up with a 20 MB file, against a
# Python script doing the same plain-text work. Needs BENCH_BUILD_DIR (a release build).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${BENCH_BUILD_DIR:?BENCH_BUILD_DIR must name a release build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
XDG_CONFIG_HOME="$work/config" "$build/bench/window/window_pane_bench" --python "$here/pane_model.py" --work "$work"
